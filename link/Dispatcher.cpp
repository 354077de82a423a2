// The dispatcher of received data: every event of the serial control appends
// its text to the log, waits two seconds for the rest of the reply, then looks
// through the whole log for the replies and unsolicited codes it acts on.

#include "link/Log.h"
#include "link/ModemLink.h"
#include "platform/Clock.h"
#include "platform/Handlers.h"
#include "platform/PhoneBookDb.h"
#include "platform/Text.h"

#include <map>

namespace {

// Runs nest while the modem keeps sending; past this depth an arrival only
// joins the log, for the runs already waiting to examine.
constexpr int kMaxNestedRuns = 16;

const QString kCR = QStringLiteral("\r");

// New-message indexes the modem gives as letters.
QString messageIndex(const QString& idx) {
    static const std::map<QString, QString> letters = {
        {QStringLiteral("A"), QStringLiteral("10")},
        {QStringLiteral("B"), QStringLiteral("11")},
        {QStringLiteral("C"), QStringLiteral("12")},
    };
    auto found = letters.find(idx);
    return found == letters.end() ? idx : found->second;
}

// The text after the first comma of `window` up to the first carriage return
// after that comma, and the text before that comma.
std::pair<QString, QString> splitAtComma(const QString& window) {
    const int comma = text::find(window, QStringLiteral(","));
    const QString first = text::cut(window, 1, comma - 1);
    const int cr = comma > 0 ? text::find(window, kCR, comma) : 0;
    const QString second = text::cut(window, comma + 1, cr - comma - 1);
    return {first, second};
}

// Acts on the first line that begins with `key` and that `action` can read,
// trying them in order: a line it cannot read (the action fails or returns
// false) is passed over and the next one tried, so that a stale line never
// hides a later one. True when a line was read.
template <class Action>
bool onFirstReadable(const TerminalLog& log, const QString& key, Action&& action) {
    for (int at = log.findLine(key); at; at = log.findLine(key, at + 1)) {
        bool read = false;
        runGuarded(lcLink, [&] { read = action(at); });
        if (read) return true;
    }
    return false;
}

// Offsets are counted, as the replies are read, from the key without its
// "+": "CMTI", "VGR:", "CSQ:"...
constexpr int kPlus = 1;
// In the new-message line, the index begins past the quoted two-letter
// storage name and its comma.
constexpr int kMessageIndexOffset = 11;
constexpr int kMessageIndexLength = 2;
// Gains are read past "VGR:" or "VGT:" and a blank; three digits.
constexpr int kGainOffset = 5;
constexpr int kGainLength = 3;
// The values of a side-tone, signal or registration reply, read as a window
// past their key and blank.
constexpr int kSideToneOffset = 6;
constexpr int kSignalOffset = 5;
constexpr int kRegistrationOffset = 6;
constexpr int kValuesLength = 10;

} // namespace

// Where a key stands in the log: the start of its line or of the command's
// echo, and for an echo the final result after it (None while it has not come).
struct ModemLink::Found {
    int at = 0;
    TerminalLog::Outcome outcome;
};

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

struct ModemLink::Key {
    const char* text;
    Match match;
    // Reads the values and calls the action; false when the line cannot be read.
    bool (*read)(ModemLink&, const Found&);
};

// The keys, in their fixed order. Every key is tested whatever the keys
// before it found (the call's end is told by the first of its three codes
// only), and a key that fails does not keep the later ones from being tested.
const ModemLink::Key ModemLink::kKeys[] = {
    // 1: a new message
    {"+CMTI:", Match::Line,
     [](ModemLink& m, const Found& f) { return m.announceNewMessage(f.at + kPlus), true; }},
    // 2: a waiting call
    {"+CCWA:", Match::ReadableLine,
     [](ModemLink& m, const Found& f) {
         m.announceCaller(m.Text1().quotedNumberAt(f.at), QStringLiteral("Call Waiting-  "),
                          QStringLiteral("Call Waiting- "));
         return true;
     }},
    // 3: the call ended, the first of the three codes found
    {"NO ANSWER", Match::Line,
     [](ModemLink& m, const Found&) {
         m.actions_.calls.callStatus(QStringLiteral("No Answer.Plz Disconnect"));
         return true;
     }},
    {"NO CARRIER", Match::LineIfNoneYet,
     [](ModemLink& m, const Found&) {
         m.actions_.calls.callStatus(QStringLiteral("No Carrier.Plz Disconnect"));
         m.actions_.calls.hideIncomingCall();
         return true;
     }},
    {"BUSY", Match::LineIfNoneYet,
     [](ModemLink& m, const Found&) {
         m.actions_.calls.callStatus(QStringLiteral("Busy.Plz Disconnect"));
         return true;
     }},
    // 4 to 6: identity and phonebook replies, once the modem has said OK to them
    {"ATI0", Match::Answered,
     [](ModemLink& m, const Found& f) { return m.ShowManufacturer(f.at, f.outcome.at), true; }},
    {"ATI3", Match::Answered,
     [](ModemLink& m, const Found& f) { return m.SaveModelDetails(f.at, f.outcome.at), true; }},
    {"AT+CPBS?", Match::Answered, [](ModemLink& m, const Found&) { return m.SavePhoneBook(), true; }},
    // 7 and 8: speaker and microphone gain set
    {"AT+VGR=", Match::Echo,
     [](ModemLink& m, const Found& f) {
         return m.showChangeResult(f, QStringLiteral("Changes SuccessFul-Speaker"));
     }},
    {"AT+VGT=", Match::Echo,
     [](ModemLink& m, const Found& f) {
         return m.showChangeResult(f, QStringLiteral("Changes SuccessFul-Microphone"));
     }},
    // 9 and 10: speaker and microphone gain read
    {"+VGR:", Match::ReadableLine,
     [](ModemLink& m, const Found& f) { return m.showGain(f, &CallsWindows::speakerGain); }},
    {"+VGT:", Match::ReadableLine,
     [](ModemLink& m, const Found& f) { return m.showGain(f, &CallsWindows::microphoneGain); }},
    // 11 and 12: echo cancellation
    {"+ECHO:", Match::ReadableLine,
     [](ModemLink& m, const Found& f) { return m.ShowEchoValues(f.at + kPlus); }},
    {"AT+ECHO=", Match::Echo,
     [](ModemLink& m, const Found& f) {
         return m.showChangeResult(f, QStringLiteral("Changes SuccessFul"));
     }},
    // 13 and 14: side tone
    {"+SIDET:", Match::ReadableLine,
     [](ModemLink& m, const Found& f) {
         const auto [mode, level] =
             splitAtComma(m.Text1().window(f.at + kPlus, kSideToneOffset, kValuesLength));
         m.actions_.calls.sideTone(mode, level);
         m.Text1().clear();
         return true;
     }},
    {"AT+SIDET=", Match::Echo,
     [](ModemLink& m, const Found& f) {
         return m.showChangeResult(f, QStringLiteral("Changes SuccessFul"));
     }},
    // 15: signal quality
    {"+CSQ:", Match::ReadableLine,
     [](ModemLink& m, const Found& f) {
         const auto [rssi, ber] =
             splitAtComma(m.Text1().window(f.at + kPlus, kSignalOffset, kValuesLength));
         m.actions_.console.signalQuality(static_cast<int>(text::number(rssi)), rssi, ber);
         m.Text1().clear();
         return true;
     }},
    // 16: registration
    {"+CREG:", Match::ReadableLine,
     [](ModemLink& m, const Found& f) {
         const QString stat =
             splitAtComma(m.Text1().window(f.at + kPlus, kRegistrationOffset, kValuesLength))
                 .second;
         m.actions_.console.registration(static_cast<int>(text::number(stat)));
         m.Text1().clear();
         return true;
     }},
    // 17 and 18: SIM state and code submission
    {"+CPIN:", Match::Line,
     [](ModemLink& m, const Found&) {
         m.CheckPinStatus();
         m.Text1().clear();
         return true;
     }},
    {"AT+CPIN=", Match::Line, [](ModemLink& m, const Found&) { return m.HandlePinResult(), true; }},
    // 19: service centre
    {"AT+CSCA?", Match::Echo,
     [](ModemLink& m, const Found& f) {
         const TerminalLog::Outcome& outcome = f.outcome;
         m.ShowServiceCenter(outcome.result == TerminalLog::Result::Ok ? outcome.at : 0,
                             outcome.result == TerminalLog::Result::Error ? outcome.at : 0);
         return true;
     }},
    // 20: an incoming call, with the caller's number when the modem gives it
    {"RING", Match::Line,
     [](ModemLink& m, const Found&) {
         TerminalLog& log = m.Text1();
         onFirstReadable(log, QStringLiteral("+CLIP:"), [&](int at) {
             m.announceCaller(log.quotedNumberAt(at), QStringLiteral("Call Received-  "),
                              QStringLiteral("Call Received From  "));
             return true;
         });
         log.clear();
         m.Timer2.setEnabled(true);
         return true;
     }},
};

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
    for (const Key& key : kKeys) {
        if (key.match == Match::LineIfNoneYet && found) continue;
        found = false;
        const QLatin1String text(key.text);
        const auto read = [&](const Found& where) { return key.read(*this, where); };
        runGuarded(lcLink, [&] {
            switch (key.match) {
            case Match::Line:
            case Match::LineIfNoneYet:
                if (const int at = log.findLine(text)) {
                    found = true;
                    read({at, {}});
                }
                break;
            case Match::ReadableLine:
                onFirstReadable(log, text, [&](int at) { return read({at, {}}); });
                break;
            case Match::Answered:
            case Match::Echo:
                if (const int at = log.findLine(text)) {
                    const Found exchange{at, log.outcomeAfter(at)};
                    if (key.match == Match::Echo ||
                        exchange.outcome.result == TerminalLog::Result::Ok)
                        read(exchange);
                }
                break;
            }
        });
    }
}

// Keys 7, 8, 12 and 14: whether the device took a change, shown once its echo
// is there. Read before the window is reached: loading it runs its own queries.
bool ModemLink::showChangeResult(const Found& found, const QString& success) {
    const bool ok = found.outcome.result == TerminalLog::Result::Ok;
    actions_.calls.audioResult(ok ? success : QStringLiteral("UnSuccessFul.Try Again"));
    Text1().clear();
    return true;
}

bool ModemLink::showGain(const Found& found, void (CallsWindows::*show)(const QString&)) {
    const QString value = Text1().window(found.at + kPlus, kGainOffset, kGainLength);
    (actions_.calls.*show)(value);
    Text1().clear();
    return true;
}

// Key 1: the pop-up for three seconds, the SMS button marked, and the index
// read from the log as it is after the wait.
void ModemLink::announceNewMessage(int at) {
    actions_.console.showNewMessagePopUp();
    Pause(3);
    view_.markNewMessage();
    actions_.console.hideNewMessagePopUp();
    const QString idx = messageIndex(Text1().window(at, kMessageIndexOffset, kMessageIndexLength));
    actions_.calls.messageNotice(QStringLiteral("New Message Received.") + idx);
    Text1().clear();
}

void ModemLink::announceCaller(const QString& number, const QString& unknownText,
                               const QString& knownText) {
    std::optional<QString> name;
    try {
        name = actions_.calls.callerName(number);
    } catch (const db::DbError&) {
        // A phonebook that cannot be read names nobody: the number is shown.
    }
    actions_.calls.announceCaller(name ? knownText + *name : unknownText + number);
}
