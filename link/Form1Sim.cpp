// SIM check, PIN entry and modem initialisation.

#include "calls/Form5.h"
#include "config/Form15.h"
#include "console/Form1.h"
#include "console/Form10.h"
#include "console/Form20.h"
#include "link/Framing.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/Text.h"
#include "platform/Widgets.h"
#include "ui_Form1.h"

#include <initializer_list>

namespace {

// The SIM code the main window waits for, held in the Visible flags of its
// two code boxes: the PIN box alone, the PUK box alone, or both (neither code).
enum class SimCode { None, Pin, Puk };

void setSimCode(Form1& main, SimCode code) {
    main.ui->Text2->setVisible(code == SimCode::Pin);
    main.ui->Text3->setVisible(code == SimCode::Puk);
}

SimCode simCode(const Form1& main) {
    const bool pinBox = !main.ui->Text2->isHidden();
    const bool pukBox = !main.ui->Text3->isHidden();
    if (pinBox == pukBox) return SimCode::None;
    return pinBox ? SimCode::Pin : SimCode::Puk;
}

// Opens the entry window for the code and waits for it; the window sends it.
void askForCode(Form1& main, SimCode code) {
    Form10& entry = form<Form10>();
    if (code == SimCode::Pin)
        entry.setPinDisplay();
    else
        entry.setPukDisplay();
    entry.Show();
    setSimCode(main, code);
}

void note(Form1& main, const char* line) {
    main.ui->List1->addItem(QLatin1String(line));
}

void setButtonsEnabled(std::initializer_list<QPushButton*> buttons, bool enabled) {
    for (QPushButton* button : buttons)
        button->setEnabled(enabled);
}

// What follows the command echo "AT+CPIN=..." and its carriage return, so that
// nothing the user typed is taken for the modem's verdict.
QString pinVerdict(const TerminalLog& log) {
    const int echo = log.find(QStringLiteral("+CPIN="));
    const int echoEnd = echo ? log.find(QStringLiteral("\r"), echo) : 0;
    return echoEnd ? text::cutRest(log.text(), echoEnd + 1) : QString();
}

// The wrong-PIN counter, one up; its text is kept from one start-up to the next.
int countWrongPin(Form1& main) {
    const int count = static_cast<int>(text::number(main.ui->Text2->text())) + 1;
    main.ui->Text2->setText(QString::number(count));
    return count;
}

void takePinVerdict(Form1& main, bool accepted, bool refused) {
    Form10& entry = form<Form10>();
    if (accepted) {
        note(main, "PIN Accepted");
        entry.hide();
        main.Text1().clear();
        main.InitModem();
    }
    if (!refused) return;
    entry.setPinDisplay();
    note(main, "Invalid PIN Entered");
    main.Text1().clear();
    const int wrong = countWrongPin(main);
    entry.Show();
    if (wrong <= 2) return;
    note(main, "Invalid PIN Entered 3Times.GET PUK Number");
    Services::instance().message(QStringLiteral("Invalid PIN Entered.GET PUK Number And TRY LAter"),
                                 kMessageTitle);
    Services::instance().endProgram();
}

void takePukVerdict(Form1& main, bool accepted, bool refused) {
    Form10& entry = form<Form10>();
    if (accepted) {
        note(main, "PIN,PUK Accepted");
        entry.hide();
        main.InitModem();
        main.Text1().clear();
    }
    if (!refused) return;
    note(main, "Invalid PUK Entered ");
    entry.setPukDisplay();
    main.Text1().clear();
}

// --- initialisation steps: what follows a command's wait

void noteTextMode(Form1& main) {
    note(main, "Setting to Text Mode");
    main.networkset();
}

void noteSpeaker(Form1& main) {
    note(main, "Speaker Set ");
}
void noteEcho(Form1& main) {
    note(main, "Echo Enabled");
}

// "ATS0?" answers the number of rings before the modem answers by itself, in
// three digits on the line after the echo.
constexpr int kRingsOffset = 8;
constexpr int kRingsLength = 3;
void presetAnswerButton(Form1& main) {
    const TerminalLog& log = main.Text1();
    const int echo = log.find(QStringLiteral("ATS0?"));
    if (!echo || !log.contains(QStringLiteral("OK"))) return;
    form<Form5>().PresetAnswerButton(log.window(echo, kRingsOffset, kRingsLength) ==
                                     QLatin1String("000"));
}

void checkSpeed(Form1& main) {
    note(main, "Checking Modem Speed");
    main.ShowBaudRate();
}

struct InitStep {
    const char* command;
    void (*after)(Form1&);
};

const InitStep kFullInit[] = {
    {"AT+CMEE=0", nullptr},
    {"AT+CRC=0", nullptr},
    {"AT+CLIP=1", nullptr},
    {"AT+WIND=0", nullptr},
    {"AT+CMGF=1", noteTextMode},
    {"AT+SPEAKER=1", noteSpeaker},
    {"ATE1", noteEcho},
    {"ATI0", nullptr},
    {"ATI3", nullptr},
    {"AT+CCED=2", nullptr},
    {"ATS0?", presetAnswerButton},
    {"AT+IPR?", checkSpeed},
};

// Without a SIM: no caller number, no text mode (and no signal refresh), no
// auto-answer query; the cell dump comes before the identification.
const InitStep kInitWithoutSim[] = {
    {"AT+CMEE=0", nullptr},  {"AT+CRC=0", nullptr},
    {"AT+WIND=0", nullptr},  {"AT+SPEAKER=1", noteSpeaker},
    {"ATE1", noteEcho},      {"AT+CCED=2", nullptr},
    {"ATI0", nullptr},       {"ATI3", nullptr},
    {"AT+IPR?", checkSpeed},
};

// Each command on an empty log, one second apart; the replies to the
// identification queries are taken apart by the dispatcher during the waits.
// The framing query keeps the rate reply in the log, and its reply completes
// the start-up.
template <size_t N> void initialise(Form1& main, const InitStep (&steps)[N]) {
    // A failure ends the initialisation where it happens; what it has set stays.
    runGuarded([&] {
        main.ui->Label5->setText(QStringLiteral("Intializing Settings...."));
        for (const InitStep& step : steps) {
            main.link().sendCommand(QLatin1String(step.command), 1);
            if (step.after) step.after(main);
        }
        main.link().sendCommand(QStringLiteral("AT+ICF?"), 1, SerialLink::LogFirst::Keep);
        main.ShowCharFraming();
    });
}

// The framing codes past "+ICF:": after a blank in the reply, directly in
// the profile dump; the parity code two places after the format code.
constexpr int kFramingOffset = 6;
constexpr int kProfileFramingOffset = 5;

// Tested in this order; the first found anywhere in the log is the device's rate.
const char* const kDeviceRates[] = {"9600", "115200", "19200", "300",  "57600",
                                    "600",  "1200",   "2400",  "4800", "38400"};

} // namespace

void Form1::CheckSIM() {
    // A failure ends the check where it happens; the buttons keep their state.
    runGuarded([&] {
        ui->Label5->setText(QStringLiteral("Please Wait..."));
        link().sendCommand(QStringLiteral("AT"), 1);
        if (Text1().contains(QStringLiteral("OK"))) {
            note(*this, "Check SIM PIN");
            // A reply that names the SIM state is judged by the dispatcher during the wait.
            link().sendCommand(QStringLiteral("AT+CPIN?"), 1);
        }
        // What is left is a refusal without a state: the SIM cannot be read.
        if (Text1().contains(QStringLiteral("ERROR"))) {
            note(*this, "SIM Not Found !.Insert SIM Properly");
            InitModemNoSIM();
            ui->Frame5->hide();
            setButtonsEnabled(
                {ui->Command1, ui->Command6, ui->Command10, ui->Command12, ui->Command11}, true);
            setButtonsEnabled({ui->Command2, ui->Command3, ui->Command4, ui->Command5}, false);
        }
        ui->Label5->setText(QString());
    });
}

void Form1::CheckPinStatus() {
    // The state is read from the modem's "+CPIN:" line, not from what else the log holds.
    const int reply = Text1().findLine(QStringLiteral("+CPIN:"));
    const QString state = reply ? Text1().lineAt(reply) : QString();
    if (state.contains(QLatin1String("READY"))) {
        Text1().clear();
        InitModem();
        return;
    }
    // "SIM PIN" also stands in "SIM PIN2" and "PH-SIM PIN", "SIM PUK" in "SIM PUK2".
    if (state.contains(QLatin1String("SIM PIN"))) {
        askForCode(*this, SimCode::Pin);
        return;
    }
    if (state.contains(QLatin1String("SIM PUK"))) {
        askForCode(*this, SimCode::Puk);
        return;
    }
    ui->Label5->setText(QStringLiteral("SIM Failure"));
    Services::instance().message(QStringLiteral("SIM FAILURE"), kMessageTitle);
    Services::instance().endProgram();
}

void Form1::HandlePinResult() {
    // A failure ends the handling; the entry window stays as it is.
    runGuarded([&] {
        const QString verdict = pinVerdict(Text1());
        const bool accepted = verdict.contains(QLatin1String("OK"));
        const bool refused = verdict.contains(QLatin1String("ERROR"));
        switch (simCode(*this)) {
        case SimCode::Pin:
            takePinVerdict(*this, accepted, refused);
            break;
        case SimCode::Puk:
            takePukVerdict(*this, accepted, refused);
            break;
        case SimCode::None:
            break;
        }
    });
}

void Form1::InitModem() {
    initialise(*this, kFullInit);
}

void Form1::InitModemNoSIM() {
    initialise(*this, kInitWithoutSim);
}

void Form1::ShowBaudRate() {
    runGuarded([&] {
        for (const char* rate : kDeviceRates) {
            if (!Text1().contains(QLatin1String(rate))) continue;
            ui->Label6->setText(QLatin1String(rate));
            form<Form15>().PresetRate(QLatin1String(rate));
            return;
        }
    });
}

void Form1::ShowCharFraming() {
    runGuarded([&] {
        // "+ICF: <format>,<parity>"
        if (const int p = Text1().find(QStringLiteral("+ICF:"))) {
            const QString formatCode = Text1().window(p, kFramingOffset, 1);
            const QString parityCode = Text1().window(p, kFramingOffset + 2, 1);
            Form15& settings = form<Form15>();
            settings.PresetFraming(formatCode, parityCode);
            settings.PresetEchoEnabled();
            ui->Label7->setText(framing::summary(formatCode, parityCode) +
                                QStringLiteral("ECHO:Enabled"));
            ui->Frame5->hide();
            setButtonsEnabled({ui->Command1, ui->Command2, ui->Command3, ui->Command4, ui->Command5,
                               ui->Command6, ui->Command10, ui->Command12, ui->Command11},
                              true);
            form<Form20>().StartReminder();
        }
        Text1().clear();
    });
}

void Form1::SetFramingOptions() {
    runGuarded([&] {
        // The profile dump writes "+ICF:<format>,<parity>", without a blank.
        if (const int p = Text1().find(QStringLiteral("+ICF:")))
            form<Form15>().PresetFraming(Text1().window(p, kProfileFramingOffset, 1),
                                         Text1().window(p, kProfileFramingOffset + 2, 1));
    });
}
