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
#include "platform/Widgets.h"

#include <map>

namespace {

// Runs nest while the modem keeps sending; past this depth an arrival only
// joins the log, for the runs already waiting to examine.
constexpr int kMaxNestedRuns = 16;

const QString kCR = QStringLiteral("\r");

// Bars shown for a signal quality; a quality not listed changes nothing.
struct SignalBars {
    int shown;
    bool unknown; // "Unknown/Undetectable" instead of the values
};
std::optional<SignalBars> barsFor(int rssi) {
    if (rssi == 0) return SignalBars{1, false};
    if (rssi == 1) return SignalBars{2, false};
    if (rssi >= 2 && rssi <= 30) return SignalBars{3, false};
    if (rssi == 31) return SignalBars{4, false};
    if (rssi == 99) return SignalBars{0, true};
    return std::nullopt;
}

const std::map<int, QString>& registrationTexts() {
    static const std::map<int, QString> texts = {
        {0, QStringLiteral("Not Registered")},
        {1, QStringLiteral("Registered/Home Network")},
        {2, QStringLiteral("Not Registered.Searching Operator")},
        {3, QStringLiteral("Registration Denied")},
        {4, QStringLiteral("Unknown")},
        {5, QStringLiteral("Registered/Roaming")},
    };
    return texts;
}

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

// The number that follows a "+CLIP:" or "+CCWA:" prefix at `at`, up to the
// comma that closes its quotes.
QString callerNumber(const TerminalLog& log, int at) {
    const int comma = log.find(QStringLiteral(","), at);
    return log.cut(at + 8, comma - at - 9);
}

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
    link().awaitReply(2);
    if (Text1().isEmpty()) return;
    examineLog();
    Text1().moveCaretToEnd();
}

void Form1::examineLog() {
    TerminalLog& log = Text1();
    auto has = [&log](const char* key) { return log.find(QLatin1String(key)); };

    // 1: a new message
    if (const int p = newMessagePosition(log)) {
        form<Form11>().Show();
        Pause(3);
        ui.Command3->setStyleSheet(QStringLiteral("background-color: #ffc0c0;"));
        form<Form11>().hide();
        const QString idx = messageIndex(log.cut(p + 11, 2));
        form<Form8>().ui.Label4->setText(QStringLiteral("New Message Received.") + idx);
        log.clear();
    }
    // 2: a waiting call
    if (const int p = lineStartPosition(log, QStringLiteral("+CCWA:")); p && has("\""))
        lookUpCaller(callerNumber(log, p), QStringLiteral("Call Waiting-  "),
                     QStringLiteral("Call Waiting- "));
    // 3: the call ended
    if (lineStartPosition(log, QStringLiteral("NO ANSWER"))) {
        form<Form3>().ui.Label3->setText(QStringLiteral("No Answer.Plz Disconnect"));
    } else if (lineStartPosition(log, QStringLiteral("NO CARRIER"))) {
        form<Form3>().ui.Label3->setText(QStringLiteral("No Carrier.Plz Disconnect"));
        form<Form5>().hide();
    } else if (lineStartPosition(log, QStringLiteral("BUSY"))) {
        form<Form3>().ui.Label3->setText(QStringLiteral("Busy.Plz Disconnect"));
    }
    // 4 to 6: identity and phonebook replies
    if (const int a = has("ATI0"); a && has("OK")) ShowManufacturer(a, has("OK"));
    if (const int a = has("ATI3"); a && has("OK")) SaveModelDetails(a, has("OK"));
    if (has("AT+CPBS?") && has("OK")) SavePhoneBook();
    // 7 and 8: speaker and microphone gain set
    auto changeResult = [&](const char* echo, const QString& success) {
        if (!has(echo)) return;
        form<Form6>().ui.Label7->setText(has("OK") ? success
                                                   : QStringLiteral("UnSuccessFul.Try Again"));
        log.clear();
    };
    changeResult("AT+VGR=", QStringLiteral("Changes SuccessFul-Speaker"));
    changeResult("AT+VGT=", QStringLiteral("Changes SuccessFul-Microphone"));
    // 9 and 10: speaker and microphone gain read
    using LabelOf = QLabel* Ui::Form6::*;
    using SliderOf = QSlider* Ui::Form6::*;
    auto gain = [&](const char* key, const QString& caption, LabelOf value, SliderOf slider) {
        const int p = has(key);
        if (!p) return;
        const QString v = log.cut(p + 5, 3);
        Ui::Form6& control = form<Form6>().ui;
        control.Label7->setText(caption + v);
        (control.*value)->setText(v);
        setSliderValue(control.*slider, text::number(v));
        log.clear();
    };
    gain("VGR:", QStringLiteral("Default Values-Speaker "), &Ui::Form6::Label5,
         &Ui::Form6::Slider1);
    gain("VGT:", QStringLiteral("Default Values-MicroPhone "), &Ui::Form6::Label6,
         &Ui::Form6::Slider2);
    // 11 and 12: echo cancellation
    if (const int p = has("ECHO:")) ShowEchoValues(p);
    changeResult("AT+ECHO=", QStringLiteral("Changes SuccessFul"));
    // 13 and 14: side tone
    if (const int p = has("SIDET:")) {
        const auto [mode, level] = splitAtComma(log.cut(p + 6, 10));
        const double modeValue = text::number(mode);
        if (modeValue == 0)
            selectOption(form<Form6>().ui.Option1);
        else if (modeValue == 1)
            selectOption(form<Form6>().ui.Option2);
        setSliderValue(form<Form6>().ui.Slider10, text::number(level));
        log.clear();
    }
    changeResult("AT+SIDET=", QStringLiteral("Changes SuccessFul"));
    // 15: signal quality
    if (const int p = has("CSQ:")) {
        const auto [rssi, ber] = splitAtComma(log.cut(p + 5, 10));
        if (const auto bars = barsFor(static_cast<int>(text::number(rssi)))) {
            Form7& signal = form<Form7>();
            QLabel* images[] = {signal.ui.Image1, signal.ui.Image2, signal.ui.Image3,
                                signal.ui.Image4, signal.ui.Image5};
            for (int i = 0; i < 5; ++i)
                images[i]->setVisible(i < bars->shown);
            signal.ui.Label4->setText(bars->unknown ? QStringLiteral("Unknown/Undetectable")
                                                    : rssi + QLatin1Char(',') + ber);
        }
        log.clear();
    }
    // 16: registration
    if (const int p = has("CREG:")) {
        const QString stat = splitAtComma(log.cut(p + 6, 10)).second;
        const auto found = registrationTexts().find(static_cast<int>(text::number(stat)));
        if (found != registrationTexts().end()) form<Form7>().ui.Label5->setText(found->second);
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
            lookUpCaller(callerNumber(log, q), QStringLiteral("Call Received-  "),
                         QStringLiteral("Call Received From  "));
        log.clear();
        Timer2.setEnabled(true);
    }
}

void Form1::lookUpCaller(const QString& number, const QString& unknownText,
                         const QString& knownText) {
    db::DataControl& phonebook = form<Form3>().Data1;
    phonebook.Refresh();
    db::Recordset& records = phonebook.Recordset();
    records.FindFirst(
        db::Criterion::lastCharsEqual(QStringLiteral("number"), 10, number.right(10)));
    Form5& incoming = form<Form5>();
    incoming.Show();
    if (records.NoMatch())
        incoming.ui.Label1->setText(unknownText + number);
    else
        incoming.ui.Label1->setText(knownText + records.Fields(QStringLiteral("name")).Value());
}
