// Handlers of the replies the dispatcher recognises: the identity texts and
// the identity file, the SIM phonebook download, the echo cancellation values
// and the service centre.

#include "link/Log.h"
#include "link/ModemLink.h"
#include "link/SimPhonebook.h"
#include "platform/Handlers.h"
#include "platform/PhoneBookDb.h"
#include "platform/Text.h"
#include "platform/TypedText.h"

#include <algorithm>

namespace {

// The echo cancellation values begin past "ECHO:" and a blank.
constexpr int kEchoValuesOffset = 6;
constexpr int kEchoValuesLength = 20;

// An identification reply begins past the echoed command of four characters,
// its carriage return and the line break that opens the reply.
constexpr int kIdentityOffset = 7;

// The text of an identification reply: from its first character up to the
// last line feed before "OK", so that the reply's own line breaks stay.
QString identityText(const TerminalLog& log, int echoAt, int okAt) {
    const int start = echoAt + kIdentityOffset;
    return log.cut(start, okAt - 1 - start);
}

QString withoutLeadingBlanks(const QString& text) {
    qsizetype blanks = 0;
    while (blanks < text.size() && text.at(blanks) == QLatin1Char(' '))
        ++blanks;
    return text.mid(blanks);
}

// --- phonebook download

// The status reply of the SIM phonebook: "+CPBS: "SM",<used>,<capacity>".
struct PhonebookStatus {
    QString used;
    QString capacity; // at most three digits; "" when the reply gives none
};

// Positions beyond three digits do not exist: the capacity has three at most.
constexpr int kCapacityDigits = 3;
constexpr int kLastPosition = 999;

QString leadingDigits(const QString& text, int most) {
    qsizetype count = 0;
    while (count < text.size() && count < most && text.at(count) >= QLatin1Char('0') &&
           text.at(count) <= QLatin1Char('9'))
        ++count;
    return text.left(count);
}

// Throws when there is no status reply of the SIM phonebook.
PhonebookStatus phonebookStatus(const TerminalLog& log) {
    const QString prefix = QStringLiteral("+CPBS:");
    const int at = log.findLine(prefix);
    if (!at) throw text::CutError("no phonebook status");
    const QStringList fields = text::fields(log.lineAt(at).mid(prefix.size()));
    if (fields[0] != QLatin1String("\"SM\"")) throw text::CutError("not the SIM phonebook");
    if (fields.size() < 2) throw text::CutError("phonebook count missing");
    return {fields[1], leadingDigits(fields.value(2), kCapacityDigits)};
}

// The last position the download may read: the capacity; when the status
// reply gives none, the top of the range the module reads, else the used count.
int lastPosition(TerminalLog& log, const PhonebookStatus& status, int used) {
    int limit = status.capacity.isEmpty() ? simphonebook::lastIndex()
                                          : static_cast<int>(text::number(status.capacity));
    if (!limit) limit = used;
    log.clear();
    return std::min(limit, kLastPosition);
}

void emptyPhonebook() {
    db::Database phonebook = db::OpenDatabase(QStringLiteral("phonebook.mdb"));
    phonebook.Execute(QStringLiteral("delete from data"));
    phonebook.Execute(QStringLiteral("delete from details"));
    phonebook.Close();
}

// Reads position after position until as many entries as are in use have
// been found (a SIM may leave gaps, which read as empty), never past the last
// position, and stops at a position the modem refuses as past the SIM's range.
// A malformed entry is skipped and the download goes on.
void downloadEntries(TerminalLog& log, PhonebookCopy& calls, int used, int last) {
    int found = 0;
    for (int position = 1; found < used && position <= last; ++position) {
        const simphonebook::Read read = simphonebook::readPosition(position);
        if (read.slot == simphonebook::Slot::Entry) {
            ++found;
            if (const auto entry = simphonebook::parseEntry(read.entry))
                calls.AddPhonebookEntry(QString::number(position), entry->number, entry->name);
        }
        log.clear();
        if (read.slot == simphonebook::Slot::PastRange) return;
    }
}

} // namespace

void ModemLink::ShowManufacturer(int echoAt, int okAt) {
    runGuarded(lcLink, [&] {
        view_.setStatus(QString());
        // Modules that pad their identity lines begin them with a blank.
        actions_.console.manufacturer(withoutLeadingBlanks(identityText(Text1(), echoAt, okAt)));
        Text1().clear();
    });
}

void ModemLink::SaveModelDetails(int echoAt, int okAt) {
    runGuarded(lcLink, [&] {
        view_.setStatus(QString());
        actions_.console.model(identityText(Text1(), echoAt, okAt));
        Text1().clear();
        actions_.console.saveIdentityFile();
    });
}

void ModemLink::SavePhoneBook() {
    // A failure ends the download: what was stored stays; the call window is not shown.
    runGuarded(lcLink, [&] {
        view_.setStatus(QStringLiteral("Saving Phone Book...Please Wait"));
        // The reply is read whole before the local copy is emptied.
        const PhonebookStatus status = phonebookStatus(Text1());
        const int used = typed::integer16(status.used);
        emptyPhonebook();
        PhonebookCopy& filling = actions_.calls.phonebookCopy();
        filling.SetPhonebookCounts(status.used, status.capacity);
        Text1().clear();
        const int last = lastPosition(Text1(), status, used);
        downloadEntries(Text1(), filling, used, last);
        // Reached anew: a call window the user closed during the download is
        // loaded again, and lists the copy from the table.
        actions_.calls.phonebookCopied();
    });
}

bool ModemLink::ShowEchoValues(int echoAt) {
    bool shown = false;
    if (!echoAt) return shown;
    runGuarded(lcLink, [&] {
        // "+ECHO: <mode>,<algorithm>,<the algorithm's parameters>", read
        // before the window is reached: loading it runs its own queries.
        const QString values = Text1().window(echoAt, kEchoValuesOffset, kEchoValuesLength);
        shown = actions_.calls.echoValues(values);
        if (shown) Text1().clear();
    });
    return shown;
}

void ModemLink::ShowServiceCenter(int okAt, int errorAt) {
    runGuarded(lcLink, [&] {
        // "+CSCA: "<number>",<type>"
        const int reply = okAt ? Text1().findLine(QStringLiteral("+CSCA:")) : 0;
        if (reply) actions_.calls.serviceCentre(Text1().quotedNumberAt(reply));
        if (errorAt) actions_.calls.messageNotice(QStringLiteral("Service Center Unknown"));
        Text1().clear();
    });
}
