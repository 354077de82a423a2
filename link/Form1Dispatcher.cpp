// The dispatcher of received data: every event of the serial control appends
// its text to the log, waits two seconds for the rest of the reply, then looks
// through the whole log for the replies and unsolicited codes it acts on.

#include "calls/Form3.h"
#include "calls/Form5.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "console/Form1.h"
#include "console/Form11.h"
#include "console/Form7.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Text.h"
#include "ui_Form1.h"

#include <map>
#include <optional>

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
        runGuarded([&] { read = action(at); });
        if (read) return true;
    }
    return false;
}

// Where the echo of a command begins a line of the log (0 when it is not
// there), and the final result after it (None while it has not come).
struct Exchange {
    int echoAt = 0;
    TerminalLog::Outcome outcome;
};

Exchange exchangeOf(const TerminalLog& log, const QString& echo) {
    const int at = log.findLine(echo);
    return {at, at ? log.outcomeAfter(at) : TerminalLog::Outcome{}};
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

void Form1::ProcessModemData(const QString& received) {
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

// The keys, in their fixed order. Each is a reply or a code at the start of a
// line, or the echo of a command, never text inside user data (a phonebook
// entry, a message); a key that fails does not keep the keys after it from
// being tested.
void Form1::examineLog() {
    TerminalLog& log = Text1();
    const auto key = [](const char* text) { return QLatin1String(text); };

    // 1: a new message
    runGuarded([&] {
        if (const int at = log.findLine(key("+CMTI:"))) announceNewMessage(at + kPlus);
    });
    // 2: a waiting call
    onFirstReadable(log, key("+CCWA:"), [&](int at) {
        announceCaller(log.quotedNumberAt(at), QStringLiteral("Call Waiting-  "),
                       QStringLiteral("Call Waiting- "));
        return true;
    });
    // 3: the call ended
    runGuarded([&] {
        if (log.findLine(key("NO ANSWER"))) {
            form<Form3>().ShowCallStatus(QStringLiteral("No Answer.Plz Disconnect"));
        } else if (log.findLine(key("NO CARRIER"))) {
            form<Form3>().ShowCallStatus(QStringLiteral("No Carrier.Plz Disconnect"));
            form<Form5>().hide();
        } else if (log.findLine(key("BUSY"))) {
            form<Form3>().ShowCallStatus(QStringLiteral("Busy.Plz Disconnect"));
        }
    });
    // 4 to 6: identity and phonebook replies, once the modem has said OK to them
    auto answered = [&](const char* echo, auto handle) {
        runGuarded([&] {
            const Exchange exchange = exchangeOf(log, key(echo));
            if (exchange.outcome.result == TerminalLog::Result::Ok)
                handle(exchange.echoAt, exchange.outcome.at);
        });
    };
    answered("ATI0", [&](int at, int okAt) { ShowManufacturer(at, okAt); });
    answered("ATI3", [&](int at, int okAt) { SaveModelDetails(at, okAt); });
    answered("AT+CPBS?", [&](int, int) { SavePhoneBook(); });
    // 7 and 8: speaker and microphone gain set
    auto changeResult = [&](const char* echo, const QString& success) {
        runGuarded([&] {
            const Exchange exchange = exchangeOf(log, key(echo));
            if (!exchange.echoAt) return;
            // Read before the window is reached: loading it runs its own queries.
            const bool ok = exchange.outcome.result == TerminalLog::Result::Ok;
            const QString result = ok ? success : QStringLiteral("UnSuccessFul.Try Again");
            form<Form6>().ShowResult(result);
            log.clear();
        });
    };
    changeResult("AT+VGR=", QStringLiteral("Changes SuccessFul-Speaker"));
    changeResult("AT+VGT=", QStringLiteral("Changes SuccessFul-Microphone"));
    // 9 and 10: speaker and microphone gain read
    auto gain = [&](const char* reply, Form6::Gain which) {
        onFirstReadable(log, key(reply), [&](int at) {
            const QString value = log.window(at + kPlus, kGainOffset, kGainLength);
            form<Form6>().ShowGain(which, value);
            log.clear();
            return true;
        });
    };
    gain("+VGR:", Form6::Gain::Speaker);
    gain("+VGT:", Form6::Gain::Microphone);
    // 11 and 12: echo cancellation
    onFirstReadable(log, key("+ECHO:"), [&](int at) { return ShowEchoValues(at + kPlus); });
    changeResult("AT+ECHO=", QStringLiteral("Changes SuccessFul"));
    // 13 and 14: side tone
    onFirstReadable(log, key("+SIDET:"), [&](int at) {
        const auto [mode, level] =
            splitAtComma(log.window(at + kPlus, kSideToneOffset, kValuesLength));
        form<Form6>().ShowSideTone(mode, level);
        log.clear();
        return true;
    });
    changeResult("AT+SIDET=", QStringLiteral("Changes SuccessFul"));
    // 15: signal quality
    onFirstReadable(log, key("+CSQ:"), [&](int at) {
        const auto [rssi, ber] = splitAtComma(log.window(at + kPlus, kSignalOffset, kValuesLength));
        form<Form7>().ShowSignalQuality(static_cast<int>(text::number(rssi)), rssi, ber);
        log.clear();
        return true;
    });
    // 16: registration
    onFirstReadable(log, key("+CREG:"), [&](int at) {
        const QString stat =
            splitAtComma(log.window(at + kPlus, kRegistrationOffset, kValuesLength)).second;
        form<Form7>().ShowRegistration(static_cast<int>(text::number(stat)));
        log.clear();
        return true;
    });
    // 17 and 18: SIM state and code submission
    runGuarded([&] {
        if (!log.findLine(key("+CPIN:"))) return;
        CheckPinStatus();
        log.clear();
    });
    runGuarded([&] {
        if (log.findLine(key("AT+CPIN="))) HandlePinResult();
    });
    // 19: service centre
    runGuarded([&] {
        const Exchange exchange = exchangeOf(log, key("AT+CSCA?"));
        if (!exchange.echoAt) return;
        const TerminalLog::Outcome& outcome = exchange.outcome;
        ShowServiceCenter(outcome.result == TerminalLog::Result::Ok ? outcome.at : 0,
                          outcome.result == TerminalLog::Result::Error ? outcome.at : 0);
    });
    // 20: an incoming call, with the caller's number when the modem gives it
    runGuarded([&] {
        if (!log.findLine(key("RING"))) return;
        onFirstReadable(log, key("+CLIP:"), [&](int at) {
            announceCaller(log.quotedNumberAt(at), QStringLiteral("Call Received-  "),
                           QStringLiteral("Call Received From  "));
            return true;
        });
        log.clear();
        Timer2.setEnabled(true);
    });
}

// Key 1: the pop-up for three seconds, the SMS button marked, and the index
// read from the log as it is after the wait.
void Form1::announceNewMessage(int at) {
    form<Form11>().Show();
    Pause(3);
    ui->Command3->setStyleSheet(QStringLiteral("background-color: #ffc0c0;"));
    form<Form11>().hide();
    const QString idx = messageIndex(Text1().window(at, kMessageIndexOffset, kMessageIndexLength));
    form<Form8>().ShowNotice(QStringLiteral("New Message Received.") + idx);
    Text1().clear();
}

void Form1::announceCaller(const QString& number, const QString& unknownText,
                           const QString& knownText) {
    std::optional<QString> name;
    try {
        name = form<Form3>().CallerName(number);
    } catch (const db::DbError&) {
        // A phonebook that cannot be read names nobody: the number is shown.
    }
    form<Form5>().AnnounceCaller(name ? knownText + *name : unknownText + number);
}
