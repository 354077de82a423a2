// Handlers of the replies the dispatcher recognises: the identity texts and
// the identity file, the SIM phonebook download, the echo cancellation values
// and the service centre.

#include "calls/Form3.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "console/Form1.h"
#include "console/Form2.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Text.h"
#include "ui_Form1.h"

#include <algorithm>
#include <optional>

namespace {

// The echo cancellation values begin past "ECHO:" and a blank.
constexpr int kEchoValuesOffset = 6;
constexpr int kEchoValuesLength = 20;
// A quoted value begins past its prefix ("+CSCA:"), a blank and the opening
// quote, and ends at the quote before the next comma.
constexpr int kQuotedValueOffset = 8;
constexpr int kClosingQuote = 1;

int wholeNumber(const QString& number) {
    return static_cast<int>(text::number(number));
}

// The text of an identification reply: it starts after the echo, its carriage
// return and the line break that opens the reply, and keeps the reply's own
// line breaks, short of the last line feed before "OK".
QString identityText(const TerminalLog& log, int echoAt, int okAt) {
    return log.cut(echoAt + 7, okAt - 9);
}

// --- phonebook download

// The status reply of the SIM phonebook: "SM", the entries in use, the capacity.
struct PhonebookStatus {
    QString used;
    QString capacity;
};

// Throws when the reply is not the SIM phonebook's.
PhonebookStatus phonebookStatus(const TerminalLog& log) {
    const int storage = log.find(QStringLiteral("SM"));
    if (!storage) throw text::CutError("not the SIM phonebook");
    const int lineEnd = log.find(QStringLiteral("\r"), storage);
    const QStringList fields = log.cut(storage, lineEnd - storage).split(QLatin1Char(','));
    if (fields.size() < 2) throw text::CutError("phonebook count missing");
    return {fields[1].trimmed(), fields.value(2).trimmed()};
}

void emptyPhonebook() {
    db::Database phonebook = db::OpenDatabase(QStringLiteral("phonebook.mdb"));
    phonebook.Execute(QStringLiteral("delete from data"));
    phonebook.Execute(QStringLiteral("delete from details"));
    phonebook.Close();
}

// The "+CPBR:" line of an entry reply, "" when the position is empty.
QString entryLine(const TerminalLog& log) {
    const int at = log.find(QStringLiteral("+CPBR:"));
    return at ? text::cutRest(log.text(), at).section(QLatin1Char('\r'), 0, 0) : QString();
}

struct PhonebookEntry {
    QString number;
    QString name;
};

// +CPBR: <index>,"<number>",<type>,"<name>": both texts are taken between
// their quotes, whatever their length.
std::optional<PhonebookEntry> parseEntry(const QString& line) {
    const QStringList parts = line.split(QLatin1Char('"'));
    if (parts.size() < 5 || parts[1].isEmpty()) return std::nullopt;
    return PhonebookEntry{parts[1], parts[3]};
}

// How far the download may look for the entries in use: the capacity, or
// just the used count when the reply gives no capacity that is a number.
int searchLimit(const PhonebookStatus& status, int used) {
    try {
        return std::max(used, wholeNumber(status.capacity));
    } catch (const text::CutError&) {
        return used;
    }
}

// Reads position after position until as many entries as are in use have
// been found (a SIM may leave gaps), never past the capacity. A malformed
// entry is skipped and the download goes on.
void downloadEntries(Form1& main, Form3& calls, int used, int capacity) {
    int found = 0;
    for (int position = 1; found < used && position <= capacity; ++position) {
        main.link().sendCommand(QStringLiteral("AT+CPBR=") + QString::number(position), 1);
        const QString line = entryLine(main.Text1());
        if (!line.isEmpty()) {
            ++found;
            if (const auto entry = parseEntry(line))
                calls.AddPhonebookEntry(QString::number(position), entry->number, entry->name);
        }
        main.Text1().clear();
    }
}

} // namespace

void Form1::ShowManufacturer(int echoAt, int okAt) {
    runGuarded([&] {
        ui->Label5->setText(QString());
        form<Form2>().ShowManufacturer(identityText(Text1(), echoAt, okAt));
        Text1().clear();
    });
}

void Form1::SaveModelDetails(int echoAt, int okAt) {
    runGuarded([&] {
        ui->Label5->setText(QString());
        Form2& details = form<Form2>();
        details.ShowModel(identityText(Text1(), echoAt, okAt));
        Text1().clear();
        details.SaveIdentityFile();
    });
}

void Form1::SavePhoneBook() {
    runGuarded([&] {
        ui->Label5->setText(QStringLiteral("Saving Phone Book...Please Wait"));
        // The reply is read whole before the local copy is emptied.
        const PhonebookStatus status = phonebookStatus(Text1());
        const int used = wholeNumber(status.used);
        emptyPhonebook();
        Form3& filling = form<Form3>();
        filling.SetPhonebookCounts(status.used, status.capacity);
        Text1().clear();
        downloadEntries(*this, filling, used, searchLimit(status, used));
        // Reached anew: a call window the user closed during the download is
        // loaded again, and lists the copy from the table.
        Form3& calls = form<Form3>();
        calls.Data1.Refresh();
        calls.Data2.Refresh();
        calls.Show();
    });
    // On a failure what was stored before it stays; the call window is not shown.
}

void Form1::ShowEchoValues(int echoAt) {
    if (!echoAt) return;
    runGuarded([&] {
        // "+ECHO: <mode>,<algorithm>,<the algorithm's parameters>", read
        // before the window is reached: loading it runs its own queries.
        const QString values = Text1().window(echoAt, kEchoValuesOffset, kEchoValuesLength);
        if (form<Form6>().ShowEchoValues(values)) Text1().clear();
    });
}

void Form1::ShowServiceCenter(int okAt, int errorAt) {
    runGuarded([&] {
        // "+CSCA: "<number>",<type>"
        const QString reply = QStringLiteral("+CSCA:");
        if (okAt && Text1().contains(reply))
            form<Form8>().ShowServiceCentre(
                Text1().upToComma(reply, kQuotedValueOffset, kClosingQuote));
        if (errorAt) form<Form8>().ShowNotice(QStringLiteral("Service Center Unknown"));
        Text1().clear();
    });
}
