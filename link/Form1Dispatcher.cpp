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

// Position of the first occurrence of `code` that begins a line of the log (at
// its start or after a carriage return or line feed), 0 when there is none.
// Unsolicited codes count only there, so that a name or a message body that
// holds one does not fire its action.
int lineStartPosition(const TerminalLog& log, const QString& code) {
    for (int at = log.find(code); at > 0; at = log.find(code, at + 1)) {
        const QChar before = at > 1 ? log.text().at(at - 2) : QChar('\n');
        if (before == QLatin1Char('\r') || before == QLatin1Char('\n')) return at;
    }
    return 0;
}

// Position of "CMTI" in a new-message line, which modems send as "+CMTI: ...".
int newMessagePosition(const TerminalLog& log) {
    if (const int plus = lineStartPosition(log, QStringLiteral("+CMTI"))) return plus + 1;
    return lineStartPosition(log, QStringLiteral("CMTI"));
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

// A caller's number begins past the blank and the opening quote after its
// "+CLIP:" or "+CCWA:" prefix and ends at the quote before the next comma.
constexpr int kCallerNumberOffset = 8;
constexpr int kClosingQuote = 1;

QString callerNumber(const TerminalLog& log, int at) {
    return log.upToComma(at, kCallerNumberOffset, kClosingQuote);
}

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

void Form1::examineLog() {
    TerminalLog& log = Text1();
    auto has = [&log](const char* key) { return log.find(QLatin1String(key)); };

    // 1: a new message
    if (const int p = newMessagePosition(log)) {
        form<Form11>().Show();
        Pause(3);
        ui->Command3->setStyleSheet(QStringLiteral("background-color: #ffc0c0;"));
        form<Form11>().hide();
        const QString idx = messageIndex(log.window(p, kMessageIndexOffset, kMessageIndexLength));
        form<Form8>().ShowNotice(QStringLiteral("New Message Received.") + idx);
        log.clear();
    }
    // 2: a waiting call
    if (const int p = lineStartPosition(log, QStringLiteral("+CCWA:")); p && has("\""))
        announceCaller(callerNumber(log, p), QStringLiteral("Call Waiting-  "),
                       QStringLiteral("Call Waiting- "));
    // 3: the call ended
    if (lineStartPosition(log, QStringLiteral("NO ANSWER"))) {
        form<Form3>().ShowCallStatus(QStringLiteral("No Answer.Plz Disconnect"));
    } else if (lineStartPosition(log, QStringLiteral("NO CARRIER"))) {
        form<Form3>().ShowCallStatus(QStringLiteral("No Carrier.Plz Disconnect"));
        form<Form5>().hide();
    } else if (lineStartPosition(log, QStringLiteral("BUSY"))) {
        form<Form3>().ShowCallStatus(QStringLiteral("Busy.Plz Disconnect"));
    }
    // 4 to 6: identity and phonebook replies
    if (const int a = has("ATI0"); a && has("OK")) ShowManufacturer(a, has("OK"));
    if (const int a = has("ATI3"); a && has("OK")) SaveModelDetails(a, has("OK"));
    if (has("AT+CPBS?") && has("OK")) SavePhoneBook();
    // 7 and 8: speaker and microphone gain set
    // Read before the window is reached: loading it runs its own queries.
    auto changeResult = [&](const char* echo, const QString& success) {
        if (!has(echo)) return;
        const QString result = has("OK") ? success : QStringLiteral("UnSuccessFul.Try Again");
        form<Form6>().ShowResult(result);
        log.clear();
    };
    changeResult("AT+VGR=", QStringLiteral("Changes SuccessFul-Speaker"));
    changeResult("AT+VGT=", QStringLiteral("Changes SuccessFul-Microphone"));
    // 9 and 10: speaker and microphone gain read
    auto gain = [&](const char* key, Form6::Gain which) {
        if (!has(key)) return;
        const QString value = log.window(QLatin1String(key), kGainOffset, kGainLength);
        form<Form6>().ShowGain(which, value);
        log.clear();
    };
    gain("VGR:", Form6::Gain::Speaker);
    gain("VGT:", Form6::Gain::Microphone);
    // 11 and 12: echo cancellation
    if (const int p = has("ECHO:")) ShowEchoValues(p);
    changeResult("AT+ECHO=", QStringLiteral("Changes SuccessFul"));
    // 13 and 14: side tone
    if (const int p = has("SIDET:")) {
        const auto [mode, level] = splitAtComma(log.window(p, kSideToneOffset, kValuesLength));
        form<Form6>().ShowSideTone(mode, level);
        log.clear();
    }
    changeResult("AT+SIDET=", QStringLiteral("Changes SuccessFul"));
    // 15: signal quality
    if (const int p = has("CSQ:")) {
        const auto [rssi, ber] = splitAtComma(log.window(p, kSignalOffset, kValuesLength));
        form<Form7>().ShowSignalQuality(static_cast<int>(text::number(rssi)), rssi, ber);
        log.clear();
    }
    // 16: registration
    if (const int p = has("CREG:")) {
        const QString stat = splitAtComma(log.window(p, kRegistrationOffset, kValuesLength)).second;
        form<Form7>().ShowRegistration(static_cast<int>(text::number(stat)));
        log.clear();
    }
    // 17 and 18: SIM state and code submission
    if (has("CPIN:")) {
        CheckPinStatus();
        log.clear();
    }
    if (has("+CPIN=")) HandlePinResult();
    // 19: service centre
    if (has("AT+CSCA?")) ShowServiceCenter(has("OK"), has("ERROR"));
    // 20: an incoming call
    if (lineStartPosition(log, QStringLiteral("RING"))) {
        if (const int q = has("+CLIP:"))
            announceCaller(callerNumber(log, q), QStringLiteral("Call Received-  "),
                           QStringLiteral("Call Received From  "));
        log.clear();
        Timer2.setEnabled(true);
    }
}

void Form1::announceCaller(const QString& number, const QString& unknownText,
                           const QString& knownText) {
    const std::optional<QString> name = form<Form3>().CallerName(number);
    form<Form5>().AnnounceCaller(name ? knownText + *name : unknownText + number);
}
