// The dispatcher of received data: every event of the serial control appends
// its text to the log, waits two seconds for the rest of the reply, then looks
// through the whole log for the replies and unsolicited codes it acts on.

#include "link/Log.h"
#include "link/ModemLink.h"
#include "link/replies/CallSettings.h"
#include "link/replies/Calls.h"
#include "link/replies/Identity.h"
#include "link/replies/Messages.h"
#include "link/replies/Phonebook.h"
#include "link/replies/Sim.h"
#include "platform/Clock.h"
#include "platform/Handlers.h"
#include "platform/PhoneBookDb.h"

#include <algorithm>
#include <functional>
#include <type_traits>
#include <vector>

namespace {

// Runs nest while the modem keeps sending; past this depth an arrival only
// joins the log, for the runs already waiting to examine.
constexpr int kMaxNestedRuns = 16;

} // namespace

// How a key is looked for. Each is a reply or a code at the start of a line,
// or the echo of a command, never text inside user data (a phonebook entry,
// a message).
enum class ModemLink::Match {
    Line,          // the first line that begins with it
    LineIfNoneYet, // the same, unless the key before it was found
    ReadableLine,  // the first line beginning with it that its reader can read
    Answered,      // the echo of a command the modem has said OK to
    Echo,          // the echo of a command, whatever its outcome
};

// What a key empties once it has acted: nothing, the lines of its code, or
// the exchange its reply belongs to (the echo, the reply, the final result).
// When no exchange is waiting for a reply, that empties the whole log; while
// one is, only what the key read goes, and the reply waited for stays.
enum class ModemLink::Empties { Nothing, Code, Exchange };

// What a key found: where it stands (the start of its line or of the echo),
// the text it reads (from its line on; for an echo, what follows the echo),
// the outcome of an echoed command, and the stretches it read.
struct ModemLink::Found {
    int at = 0;
    QString text;
    TerminalLog::Outcome outcome;
    std::vector<TerminalLog::Held> read;
};

struct ModemLink::Key {
    const char* text;
    Match match;
    Empties empties;
    // Reads the values and acts on them; false when the text cannot be read.
    std::function<bool(ModemLink&, Found&)> handle;
};

namespace {

using Key = ModemLink::Key;
using Found = ModemLink::Found;

// A key whose reader's value, when there is one, goes to its action.
template <class Value, class Action>
Key reading(const char* text, ModemLink::Match match, ModemLink::Empties empties,
            std::optional<Value> (*reader)(const QString&), Action action) {
    return {text, match, empties, [reader, action](ModemLink& m, Found& f) {
                const std::optional<Value> value = reader(f.text);
                if (!value) return false;
                std::invoke(action, m, *value);
                return true;
            }};
}

// A key that is acted on as it stands; an action that returns false could
// not read it.
template <class Action>
Key code(const char* text, ModemLink::Match match, ModemLink::Empties empties, Action action) {
    return {text, match, empties, [action](ModemLink& m, Found& f) {
                if constexpr (std::is_same_v<decltype(std::invoke(action, m, f)), bool>) {
                    return std::invoke(action, m, f);
                } else {
                    std::invoke(action, m, f);
                    return true;
                }
            }};
}

std::optional<bool> changeAccepted(const QString& reply) {
    return replies::accepted(reply).value_or(false);
}

} // namespace

// The keys, in their fixed order. Every key is tested whatever the keys
// before it found (the call's end is told by the first of its three codes
// only), and a key that fails does not keep the later ones from being tested.
const std::vector<ModemLink::Key>& ModemLink::keys() {
    using M = Match;
    using E = Empties;
    static const std::vector<Key> table = {
        // 1: a new message
        reading("+CMTI:", M::Line, E::Code, replies::newMessageIndex,
                &ModemLink::announceNewMessage),
        // 2: a waiting call
        reading("+CCWA:", M::ReadableLine, E::Nothing, replies::quotedNumber,
                [](ModemLink& m, const QString& number) {
                    m.announceCaller(number, QStringLiteral("Call Waiting-  "),
                                     QStringLiteral("Call Waiting- "));
                }),
        // 3: the call ended, the first of the three codes found
        code("NO ANSWER", M::Line, E::Nothing,
             [](ModemLink& m, const Found&) {
                 m.actions_.calls.callStatus(QStringLiteral("No Answer.Plz Disconnect"));
             }),
        code("NO CARRIER", M::LineIfNoneYet, E::Nothing,
             [](ModemLink& m, const Found&) {
                 m.actions_.calls.callStatus(QStringLiteral("No Carrier.Plz Disconnect"));
                 m.actions_.calls.hideIncomingCall();
             }),
        code("BUSY", M::LineIfNoneYet, E::Nothing,
             [](ModemLink& m, const Found&) {
                 m.actions_.calls.callStatus(QStringLiteral("Busy.Plz Disconnect"));
             }),
        // 4 to 6: identity and phonebook replies, once the modem has said OK to them
        reading("ATI0", M::Answered, E::Exchange, replies::manufacturer,
                &ModemLink::ShowManufacturer),
        reading("ATI3", M::Answered, E::Exchange, replies::model, &ModemLink::SaveModelDetails),
        reading("AT+CPBS?", M::Answered, E::Exchange, replies::phonebookStatus,
                &ModemLink::SavePhoneBook),
        // 7 and 8: speaker and microphone gain set
        reading("AT+VGR=", M::Echo, E::Exchange, changeAccepted,
                [](ModemLink& m, bool ok) {
                    m.showChangeResult(ok, QStringLiteral("Changes SuccessFul-Speaker"));
                }),
        reading("AT+VGT=", M::Echo, E::Exchange, changeAccepted,
                [](ModemLink& m, bool ok) {
                    m.showChangeResult(ok, QStringLiteral("Changes SuccessFul-Microphone"));
                }),
        // 9 and 10: speaker and microphone gain read
        reading("+VGR:", M::ReadableLine, E::Exchange, replies::gain,
                [](ModemLink& m, const QString& value) { m.actions_.calls.speakerGain(value); }),
        reading("+VGT:", M::ReadableLine, E::Exchange, replies::gain,
                [](ModemLink& m, const QString& value) { m.actions_.calls.microphoneGain(value); }),
        // 11 and 12: echo cancellation
        reading("+ECHO:", M::ReadableLine, E::Exchange, replies::echoCancellation,
                [](ModemLink& m, const replies::EchoValues& values) {
                    m.actions_.calls.echoValues(values);
                }),
        reading("AT+ECHO=", M::Echo, E::Exchange, changeAccepted,
                [](ModemLink& m, bool ok) {
                    m.showChangeResult(ok, QStringLiteral("Changes SuccessFul"));
                }),
        // 13 and 14: side tone
        reading("+SIDET:", M::ReadableLine, E::Exchange, replies::sideTone,
                [](ModemLink& m, const replies::SideTone& tone) {
                    m.actions_.calls.sideTone(tone.mode, tone.level);
                }),
        reading("AT+SIDET=", M::Echo, E::Exchange, changeAccepted,
                [](ModemLink& m, bool ok) {
                    m.showChangeResult(ok, QStringLiteral("Changes SuccessFul"));
                }),
        // 15: signal quality
        reading("+CSQ:", M::ReadableLine, E::Exchange, replies::signalQuality,
                [](ModemLink& m, const replies::SignalQuality& quality) {
                    m.actions_.console.signalQuality(quality.rssi, quality.rssiText,
                                                     quality.berText);
                }),
        // 16: registration
        reading("+CREG:", M::ReadableLine, E::Exchange, replies::registrationStat,
                [](ModemLink& m, int stat) { m.actions_.console.registration(stat); }),
        // 17 and 18: SIM state and code submission
        code("+CPIN:", M::Line, E::Exchange,
             [](ModemLink& m, const Found& f) {
                 const int code = m.Text1().findLine(QStringLiteral("AT+CPIN="));
                 m.CheckPinStatus(replies::simState(f.text), code && code < f.at);
             }),
        code("AT+CPIN=", M::Echo, E::Exchange,
             [](ModemLink& m, const Found& f) {
                 return m.HandlePinResult(replies::codeVerdict(f.text));
             }),
        // 19: service centre
        code("AT+CSCA?", M::Echo, E::Exchange,
             [](ModemLink& m, const Found& f) {
                 return m.ShowServiceCenter(f.outcome.result, f.text);
             }),
        // 20: an incoming call, with the caller's number when the modem gives it
        code("RING", M::Line, E::Code, &ModemLink::announceRing),
    };
    return table;
}

void ModemLink::ProcessModemData(const QString& received) {
    if (dispatchDepth_ >= kMaxNestedRuns) {
        Text1().append(received);
        return;
    }
    ++dispatchDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{dispatchDepth_};

    Text1().append(received);
    const quint64 examinedBefore = examined_;
    link().awaitRestOfArrival(2);
    if (Text1().isEmpty()) return;
    // A run that came during this one's wait has just examined this very log.
    if (examined_ != examinedBefore && Text1().changes() == changesExamined_) return;
    examineLog();
    ++examined_;
    changesExamined_ = Text1().changes();
    Text1().moveCaretToEnd();
}

void ModemLink::examineLog() {
    const TerminalLog& log = Text1();
    // The key before was found, or passed over for one found before it.
    bool found = false;
    for (const Key& key : keys()) {
        if (key.match == Match::LineIfNoneYet && found) continue;
        found = false;
        const QLatin1String text(key.text);
        switch (key.match) {
        case Match::Line:
        case Match::LineIfNoneYet:
            if (const int at = log.findLine(text)) {
                found = true;
                actOn(key, {at, log.text().mid(at - 1), {}, {}});
            }
            break;
        case Match::ReadableLine:
            for (int at = log.findLine(text); at; at = log.findLine(text, at + 1))
                if (actOn(key, {at, log.text().mid(at - 1), {}, {}})) break;
            break;
        case Match::Answered:
        case Match::Echo:
            if (const int at = log.findLine(text)) {
                const TerminalLog::Outcome outcome = log.outcomeAfter(at);
                if (key.match == Match::Echo || outcome.result == TerminalLog::Result::Ok)
                    actOn(key, {at, log.replyAfterLine(at), outcome, {}});
            }
            break;
        }
    }
}

// Reads what the key found and acts on it; what it read is emptied after, as
// its row says. False when it could not be read, or its action failed.
bool ModemLink::actOn(const Key& key, Found found) {
    TerminalLog& log = Text1();
    found.read.push_back(log.hold(key.empties == Empties::Exchange ? log.exchangeSpan(found.at)
                                                                   : log.lineSpan(found.at)));
    bool handled = false;
    if (!runGuarded(lcLink, [&] { handled = key.handle(*this, found); }) || !handled) return false;
    if (key.empties != Empties::Nothing) empty(found.read);
    return true;
}

void ModemLink::empty(const std::vector<TerminalLog::Held>& read) {
    TerminalLog& log = Text1();
    const bool stillThere = std::any_of(read.begin(), read.end(),
                                        [](const TerminalLog::Held& h) { return h.isHeld(); });
    if (!stillThere) return; // what the action did to the log has emptied it
    if (!link().isExchangePending()) {
        log.clear();
        return;
    }
    for (const TerminalLog::Held& stretch : read)
        log.remove(stretch);
}

void ModemLink::showChangeResult(bool accepted, const QString& success) {
    actions_.calls.audioResult(accepted ? success : QStringLiteral("UnSuccessFul.Try Again"));
}

// Key 1: the pop-up for three seconds, the SMS button marked, then the index.
void ModemLink::announceNewMessage(const QString& index) {
    actions_.console.showNewMessagePopUp();
    Pause(3);
    view_.markNewMessage();
    actions_.console.hideNewMessagePopUp();
    actions_.calls.messageNotice(QStringLiteral("New Message Received.") + index);
}

// Key 20: the caller of the first caller line that can be read, then the call
// watch on. The caller line is emptied with the ring.
void ModemLink::announceRing(Found& found) {
    TerminalLog& log = Text1();
    const QString clip = QStringLiteral("+CLIP:");
    for (int at = log.findLine(clip); at; at = log.findLine(clip, at + 1)) {
        const std::optional<QString> number = replies::quotedNumber(log.lineAt(at));
        if (!number) continue;
        found.read.push_back(log.hold(log.lineSpan(at)));
        announceCaller(*number, QStringLiteral("Call Received-  "),
                       QStringLiteral("Call Received From  "));
        break;
    }
    Timer2.setEnabled(true);
}

void ModemLink::announceCaller(const QString& number, const QString& unknownText,
                               const QString& knownText) {
    std::optional<QString> name;
    try {
        name = actions_.calls.callerName(number);
    } catch (const db::DbError& failure) {
        // A phonebook that cannot be read names nobody: the number is shown.
        failures::logFailure(lcLink, failure);
    }
    actions_.calls.announceCaller(name ? knownText + *name : unknownText + number);
}
