// SIM check, PIN entry and modem initialisation.

#include "link/Framing.h"
#include "link/Log.h"
#include "link/ModemLink.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/Text.h"

namespace {

// Opens the entry window for the code and waits for it; the window sends it.
void askForCode(ModemLink& modem, SimCode code) {
    CodeEntry& entry = modem.actions().console.codeEntry();
    if (code == SimCode::Pin)
        entry.setPinDisplay();
    else
        entry.setPukDisplay();
    entry.showEntry();
    modem.view().setAwaitedCode(code);
}

void note(ModemLink& modem, const char* line) {
    modem.view().note(QLatin1String(line));
}

// What follows the command echo "AT+CPIN=..." and its carriage return, so that
// nothing the user typed is taken for the modem's verdict.
QString pinVerdict(const TerminalLog& log) {
    const int echo = log.find(QStringLiteral("+CPIN="));
    const int echoEnd = echo ? log.find(QStringLiteral("\r"), echo) : 0;
    return echoEnd ? text::cutRest(log.text(), echoEnd + 1) : QString();
}

// The wrong-PIN counter, one up; its text is kept from one start-up to the next.
int countWrongPin(ConsoleView& view) {
    const int count = static_cast<int>(text::number(view.wrongPinCount())) + 1;
    view.setWrongPinCount(QString::number(count));
    return count;
}

void takePinVerdict(ModemLink& modem, bool accepted, bool refused) {
    CodeEntry& entry = modem.actions().console.codeEntry();
    if (accepted) {
        note(modem, "PIN Accepted");
        entry.hideEntry();
        modem.Text1().clear();
        modem.InitModem();
    }
    if (!refused) return;
    entry.setPinDisplay();
    note(modem, "Invalid PIN Entered");
    modem.Text1().clear();
    const int wrong = countWrongPin(modem.view());
    entry.showEntry();
    if (wrong <= 2) return;
    note(modem, "Invalid PIN Entered 3Times.GET PUK Number");
    Services::instance().message(QStringLiteral("Invalid PIN Entered.GET PUK Number And TRY LAter"),
                                 kMessageTitle);
    Services::instance().endProgram();
}

void takePukVerdict(ModemLink& modem, bool accepted, bool refused) {
    CodeEntry& entry = modem.actions().console.codeEntry();
    if (accepted) {
        note(modem, "PIN,PUK Accepted");
        entry.hideEntry();
        modem.InitModem();
        modem.Text1().clear();
    }
    if (!refused) return;
    note(modem, "Invalid PUK Entered ");
    entry.setPukDisplay();
    modem.Text1().clear();
}

// --- initialisation steps: what follows a command's wait

void noteTextMode(ModemLink& modem) {
    note(modem, "Setting to Text Mode");
    modem.networkset();
}

void noteSpeaker(ModemLink& modem) {
    note(modem, "Speaker Set ");
}
void noteEcho(ModemLink& modem) {
    note(modem, "Echo Enabled");
}

// "ATS0?" answers the number of rings before the modem answers by itself, in
// three digits on the line after the echo.
constexpr int kRingsOffset = 8;
constexpr int kRingsLength = 3;
void presetAnswerButton(ModemLink& modem) {
    const TerminalLog& log = modem.Text1();
    const int echo = log.find(QStringLiteral("ATS0?"));
    if (!echo || !log.contains(QStringLiteral("OK"))) return;
    modem.actions().calls.answerMode(log.window(echo, kRingsOffset, kRingsLength) ==
                                     QLatin1String("000"));
}

void checkSpeed(ModemLink& modem) {
    note(modem, "Checking Modem Speed");
    modem.ShowBaudRate();
}

struct InitStep {
    const char* command;
    void (*after)(ModemLink&);
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
template <size_t N> void initialise(ModemLink& modem, const InitStep (&steps)[N]) {
    // A failure ends the initialisation where it happens; what it has set stays.
    runGuarded(lcLink, [&] {
        modem.view().setStatus(QStringLiteral("Intializing Settings...."));
        for (const InitStep& step : steps) {
            modem.link().sendCommand(QLatin1String(step.command), 1);
            if (step.after) step.after(modem);
        }
        modem.link().sendCommand(QStringLiteral("AT+ICF?"), 1, SerialLink::LogFirst::Keep);
        modem.ShowCharFraming();
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

void ModemLink::CheckSIM() {
    // A failure ends the check where it happens; the buttons keep their state.
    runGuarded(lcLink, [&] {
        view_.setStatus(QStringLiteral("Please Wait..."));
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
            view_.hideProgress();
            view_.enableFeatureButtons(false);
        }
        view_.setStatus(QString());
    });
}

void ModemLink::CheckPinStatus() {
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
    view_.setStatus(QStringLiteral("SIM Failure"));
    Services::instance().message(QStringLiteral("SIM FAILURE"), kMessageTitle);
    Services::instance().endProgram();
}

void ModemLink::HandlePinResult() {
    // A failure ends the handling; the entry window stays as it is.
    runGuarded(lcLink, [&] {
        const QString verdict = pinVerdict(Text1());
        const bool accepted = verdict.contains(QLatin1String("OK"));
        const bool refused = verdict.contains(QLatin1String("ERROR"));
        switch (view_.awaitedCode()) {
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

void ModemLink::InitModem() {
    initialise(*this, kFullInit);
}

void ModemLink::InitModemNoSIM() {
    initialise(*this, kInitWithoutSim);
}

void ModemLink::ShowBaudRate() {
    runGuarded(lcLink, [&] {
        for (const char* rate : kDeviceRates) {
            if (!Text1().contains(QLatin1String(rate))) continue;
            view_.setSpeedLine(QLatin1String(rate));
            actions_.config.deviceRate(QLatin1String(rate));
            return;
        }
    });
}

void ModemLink::ShowCharFraming() {
    runGuarded(lcLink, [&] {
        // "+ICF: <format>,<parity>"
        if (const int p = Text1().find(QStringLiteral("+ICF:"))) {
            const QString formatCode = Text1().window(p, kFramingOffset, 1);
            const QString parityCode = Text1().window(p, kFramingOffset + 2, 1);
            actions_.config.framing(formatCode, parityCode);
            actions_.config.echoEnabled();
            view_.setFramingLine(framing::summary(formatCode, parityCode) +
                                 QStringLiteral("ECHO:Enabled"));
            view_.hideProgress();
            view_.enableFeatureButtons(true);
            actions_.console.initialised();
        }
        Text1().clear();
    });
}

void ModemLink::SetFramingOptions() {
    runGuarded(lcLink, [&] {
        // The profile dump writes "+ICF:<format>,<parity>", without a blank.
        if (const int p = Text1().find(QStringLiteral("+ICF:")))
            actions_.config.framing(Text1().window(p, kProfileFramingOffset, 1),
                                    Text1().window(p, kProfileFramingOffset + 2, 1));
    });
}
