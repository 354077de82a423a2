// Handlers of the replies the dispatcher recognises, with the values read out
// of them: the identity texts and the identity file, the SIM phonebook
// download and the service centre.

#include "link/Log.h"
#include "link/Modem.h"
#include "link/ModemLink.h"
#include "link/SimPhonebook.h"
#include "link/replies/Messages.h"
#include "platform/Handlers.h"
#include "platform/PhoneBookDb.h"
#include "platform/Text.h"
#include "platform/TypedText.h"

#include <algorithm>
#include <optional>
#include <vector>

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

// What the main window's status line says while the download runs, and
// when a read of the SIM got no answer at all.
const QString kSaving = QStringLiteral("Saving Phone Book...Please Wait");
const QString kNotRead = QStringLiteral("Phone Book Not Read.Modem Not Responding");

// Why the copy could not take a download: a file that cannot be read, or
// written. None when it can.
std::optional<QString> copyRefusal() {
    db::DataControl entries(db::kPhoneBookFile, QStringLiteral("DATA"));
    db::DataControl counts(db::kPhoneBookFile, QStringLiteral("Details"));
    if (!db::isReadable(entries) || !db::isReadable(counts)) return db::kUnreadableText;
    if (!db::isWritable()) return db::kUnwritableText;
    return std::nullopt;
}

// Reads place after place until as many entries as are in use have been
// found (a SIM may leave gaps, which read as empty), never past the last
// place, and stops at a place the modem refuses as past the SIM's range.
// A malformed entry is skipped and the download goes on. None when a read
// got no answer at all (the module is silent, or the device has gone): the
// SIM has not been read whole.
std::optional<std::vector<db::PhonebookEntry>> downloadEntries(TerminalLog& log, int used,
                                                               int last) {
    std::vector<db::PhonebookEntry> entries;
    int found = 0;
    for (int place = 1; found < used && place <= last; ++place) {
        if (!modem::isPortOpen()) return std::nullopt;
        const replies::PlaceRead read = simphonebook::readPosition(place);
        log.clear();
        if (read.slot == replies::Slot::NoAnswer) return std::nullopt;
        if (read.slot == replies::Slot::PastRange) break;
        if (read.slot != replies::Slot::Entry) continue;
        ++found;
        if (const auto entry = replies::phonebookEntry(read.entry))
            entries.push_back({QString::number(place), entry->number, entry->name});
    }
    return entries;
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

// The copy is replaced only by a SIM phonebook read whole, in one write:
// whatever ends the download before (a read without an answer, a file that
// cannot be read or written) keeps the old copy and says so on the status
// line. A count that is no number ends it at once, the status line as it was.
void ModemLink::SavePhoneBook(const replies::PhonebookStatus& status) {
    const int used = typed::integer16(status.used);
    view_.setStatus(kSaving);
    // Nothing is read from the SIM that the copy could not keep.
    if (const std::optional<QString> refusal = copyRefusal()) {
        view_.setStatus(*refusal);
        return;
    }
    Text1().clear();
    // The device may have gone away right after the status reply.
    const auto entries = modem::isPortOpen()
                             ? downloadEntries(Text1(), used, lastPlace(Text1(), status, used))
                             : std::nullopt;
    if (!entries) {
        view_.setStatus(kNotRead);
        return;
    }
    try {
        db::replacePhonebook(status.capacity, status.used, *entries);
    } catch (const db::DbError& failure) {
        failures::logFailure(lcLink, failure);
        view_.setStatus(db::kUnwritableText);
        return;
    }
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
