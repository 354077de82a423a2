// Handlers of the replies the dispatcher recognises, with the values read out
// of them: the identity texts and the identity file, the SIM phonebook
// download and the service centre.

#include "link/Log.h"
#include "link/ModemLink.h"
#include "link/SimPhonebook.h"
#include "link/replies/Messages.h"
#include "platform/Handlers.h"
#include "platform/PhoneBookDb.h"
#include "platform/Text.h"
#include "platform/TypedText.h"

#include <algorithm>

namespace {

// Places beyond three digits do not exist: the capacity has three at most.
constexpr int kLastPlace = 999;

// The last place the download may read: the capacity; when the status reply
// gives none, the top of the range the module reads, else the used count.
int lastPlace(TerminalLog& log, const replies::PhonebookStatus& status, int used) {
    int limit = status.capacity.isEmpty() ? simphonebook::lastIndex()
                                          : static_cast<int>(text::number(status.capacity));
    if (!limit) limit = used;
    log.clear();
    return std::min(limit, kLastPlace);
}

void emptyPhonebook() {
    db::Database phonebook = db::OpenDatabase(QStringLiteral("phonebook.mdb"));
    phonebook.Execute(QStringLiteral("delete from data"));
    phonebook.Execute(QStringLiteral("delete from details"));
    phonebook.Close();
}

// Reads place after place until as many entries as are in use have been
// found (a SIM may leave gaps, which read as empty), never past the last
// place, and stops at a place the modem refuses as past the SIM's range.
// A malformed entry is skipped and the download goes on.
void downloadEntries(TerminalLog& log, PhonebookCopy& calls, int used, int last) {
    int found = 0;
    for (int place = 1; found < used && place <= last; ++place) {
        const replies::PlaceRead read = simphonebook::readPosition(place);
        if (read.slot == replies::Slot::Entry) {
            ++found;
            if (const auto entry = replies::phonebookEntry(read.entry))
                calls.AddPhonebookEntry(QString::number(place), entry->number, entry->name);
        }
        log.clear();
        if (read.slot == replies::Slot::PastRange) return;
    }
}

} // namespace

void ModemLink::ShowManufacturer(const QString& text) {
    view_.setStatus(QString());
    actions_.console.manufacturer(text);
}

void ModemLink::SaveModelDetails(const QString& text) {
    view_.setStatus(QString());
    actions_.console.model(text);
    actions_.console.saveIdentityFile();
}

void ModemLink::SavePhoneBook(const replies::PhonebookStatus& status) {
    // A failure ends the download: what was stored stays; the call window is not shown.
    view_.setStatus(QStringLiteral("Saving Phone Book...Please Wait"));
    const int used = typed::integer16(status.used);
    emptyPhonebook();
    PhonebookCopy& filling = actions_.calls.phonebookCopy();
    filling.SetPhonebookCounts(status.used, status.capacity);
    Text1().clear();
    const int last = lastPlace(Text1(), status, used);
    downloadEntries(Text1(), filling, used, last);
    // Reached anew: a call window the user closed during the download is
    // loaded again, and lists the copy from the table.
    actions_.calls.phonebookCopied();
}

// "+CSCA: "<number>",<type>" after "OK"; a refusal makes the centre unknown.
bool ModemLink::ShowServiceCenter(TerminalLog::Result outcome, const QString& reply) {
    if (outcome == TerminalLog::Result::Ok &&
        replies::lineStarting(reply, QStringLiteral("+CSCA:"))) {
        const std::optional<QString> number = replies::serviceCentre(reply);
        if (!number) return false;
        actions_.calls.serviceCentre(*number);
    }
    if (outcome == TerminalLog::Result::Error)
        actions_.calls.messageNotice(QStringLiteral("Service Center Unknown"));
    return true;
}
