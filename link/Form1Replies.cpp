// Handlers of the replies the dispatcher recognises: the identity texts and
// the identity file, the SIM phonebook download, the echo cancellation values
// and the service centre.

#include "calls/Form3.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "console/Form1.h"
#include "console/Form2.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/Text.h"
#include "platform/Widgets.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

namespace {

constexpr int kIdentityFileNumber = 2;

int wholeNumber(const QString& number) {
    return static_cast<int>(text::number(number));
}

// The text of an identification reply: it starts after the echo, its carriage
// return and the line break that opens the reply, and keeps the reply's own
// line breaks, short of the last line feed before "OK".
QString identityText(const TerminalLog& log, int echoAt, int okAt) {
    return log.cut(echoAt + 7, okAt - 9);
}

// Serial number, manufacturer and model, each ended by a line break. The
// files are all closed afterwards, the start-up's reading of COM.txt among them.
void writeIdentityFile(const Form2& details) {
    Files& files = Files::instance();
    files.openForOutput(kIdentityFileNumber, Form2::kIdentityFile);
    for (const QLabel* label : {details.ui.Label3, details.ui.Label5, details.ui.Label6})
        files.write(kIdentityFileNumber, label->text() + QStringLiteral("\r\n"));
    files.closeAll();
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

void saveCounts(Form3& calls, const PhonebookStatus& status) {
    calls.ui.Text2->setText(status.used);
    calls.ui.Text4->setText(status.capacity);
    calls.Data2.Refresh();
    db::Recordset& details = calls.Data2.Recordset();
    details.AddNew();
    details.Fields(QStringLiteral("TotalIndex")).setValue(status.capacity);
    details.Fields(QStringLiteral("UsedIndex")).setValue(status.used);
    details.Update();
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

void addEntry(Form3& calls, int position, const PhonebookEntry& entry) {
    const QString index = QString::number(position);
    calls.ui.List1->addItem(Form3::listRow(index, entry.number, entry.name));
    db::Recordset& records = calls.Data1.Recordset();
    records.AddNew();
    records.Fields(QStringLiteral("Index")).setValue(index);
    records.Fields(QStringLiteral("Number")).setValue(entry.number);
    records.Fields(QStringLiteral("Name")).setValue(entry.name);
    records.Update();
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
            if (const auto entry = parseEntry(line)) addEntry(calls, position, *entry);
        }
        main.Text1().clear();
    }
}

// --- echo cancellation

using SliderOf = QSlider* Ui::Form6::*;
using FrameOf = QGroupBox* Ui::Form6::*;

// The parameters of an echo cancellation algorithm and where they are shown.
struct EchoAlgorithm {
    int algorithm;
    std::vector<SliderOf> sliders;
    FrameOf shown;
    FrameOf hidden;
};

const EchoAlgorithm kEchoAlgorithms[] = {
    {1,
     {&Ui::Form6::Slider3, &Ui::Form6::Slider4, &Ui::Form6::Slider5, &Ui::Form6::Slider6},
     &Ui::Form6::Frame6,
     &Ui::Form6::Frame7},
    {3,
     {&Ui::Form6::Slider7, &Ui::Form6::Slider8, &Ui::Form6::Slider9},
     &Ui::Form6::Frame7,
     &Ui::Form6::Frame6},
};

const EchoAlgorithm* echoAlgorithm(int algorithm) {
    const auto found =
        std::find_if(std::begin(kEchoAlgorithms), std::end(kEchoAlgorithms),
                     [algorithm](const EchoAlgorithm& a) { return a.algorithm == algorithm; });
    return found == std::end(kEchoAlgorithms) ? nullptr : found;
}

// The first `count` values of a reply: each ends at a comma, the last at the
// first carriage return after its comma. Throws when one is missing.
QStringList replyValues(const QString& reply, int count) {
    QStringList values;
    int from = 1;
    for (int i = 1; i <= count; ++i) {
        const int end =
            text::find(reply, i < count ? QStringLiteral(",") : QStringLiteral("\r"), from);
        values << text::cut(reply, from, end - from);
        from = end + 1;
    }
    return values;
}

} // namespace

void Form1::ShowManufacturer(int echoAt, int okAt) {
    try {
        ui.Label5->setText(QString());
        Form2& details = form<Form2>();
        for (QLabel* label : {details.ui.Label4, details.ui.Label5, details.ui.Label6})
            label->setVisible(true);
        details.ui.Label4->setText(Form2::kDetailsCaption);
        details.ui.Label5->setText(identityText(Text1(), echoAt, okAt));
        Text1().clear();
    } catch (const std::exception&) {
    }
}

void Form1::SaveModelDetails(int echoAt, int okAt) {
    try {
        ui.Label5->setText(QString());
        Form2& details = form<Form2>();
        details.ui.Label6->setVisible(true);
        details.ui.Label6->setText(identityText(Text1(), echoAt, okAt));
        Text1().clear();
        writeIdentityFile(details);
    } catch (const std::exception&) {
    }
}

void Form1::SavePhoneBook() {
    try {
        ui.Label5->setText(QStringLiteral("Saving Phone Book...Please Wait"));
        // The reply is read whole before the local copy is emptied.
        const PhonebookStatus status = phonebookStatus(Text1());
        const int used = wholeNumber(status.used);
        emptyPhonebook();
        Form3& filling = form<Form3>();
        saveCounts(filling, status);
        Text1().clear();
        downloadEntries(*this, filling, used, searchLimit(status, used));
        // Reached anew: a call window the user closed during the download is
        // loaded again, and lists the copy from the table.
        Form3& calls = form<Form3>();
        calls.Data1.Refresh();
        calls.Data2.Refresh();
        calls.Show();
    } catch (const std::exception&) {
        // What was stored before the failure stays; the call window is not shown.
    }
}

void Form1::ShowEchoValues(int echoAt) {
    if (!echoAt) return;
    try {
        // "+ECHO: <mode>,<algorithm>,<the algorithm's parameters>"
        const QString values = Text1().cut(echoAt + 6, 20);
        const QStringList head = values.split(QLatin1Char(','));
        if (head.size() < 3 || head[0].isEmpty()) return;
        const EchoAlgorithm* algorithm = echoAlgorithm(static_cast<int>(text::number(head[1])));
        if (!algorithm) return;
        const QStringList fields =
            replyValues(values, 2 + static_cast<int>(algorithm->sliders.size()));
        Form6& control = form<Form6>();
        control.ui.Label7->setText(QStringLiteral("Echo Current Values--") + values);
        control.ui.Combo1->setCurrentText(fields[0]);
        control.ui.Combo2->setCurrentText(fields[1]);
        for (size_t i = 0; i < algorithm->sliders.size(); ++i) {
            QSlider* slider = control.ui.*algorithm->sliders[i];
            setSliderValue(slider, text::number(fields[static_cast<int>(i) + 2]));
        }
        (control.ui.*algorithm->shown)->show();
        (control.ui.*algorithm->hidden)->hide();
        Text1().clear();
    } catch (const std::exception&) {
    }
}

void Form1::ShowServiceCenter(int okAt, int errorAt) {
    try {
        // "+CSCA: "<number>",<type>": the number ends before the quote that precedes the comma.
        const int reply = Text1().find(QStringLiteral("+CSCA:"));
        if (okAt && reply) {
            const int comma = Text1().find(QStringLiteral(","), reply);
            const QString number = Text1().cut(reply + 8, comma - reply - 9);
            form<Form8>().ui.Text4->setText(number);
            form<Form8>().ui.Label4->setText(QString());
        }
        if (errorAt) form<Form8>().ui.Label4->setText(QStringLiteral("Service Center Unknown"));
        Text1().clear();
    } catch (const std::exception&) {
    }
}
