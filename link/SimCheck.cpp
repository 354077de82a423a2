// SIM check, PIN entry and modem initialisation.

#include "link/Framing.h"
#include "link/Log.h"
#include "link/Modem.h"
#include "link/ModemLink.h"
#include "link/replies/CallSettings.h"
#include "link/replies/DeviceSettings.h"
#include "link/replies/Sim.h"
#include "platform/Clock.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/Text.h"

namespace {

// A SIM the module is still reading is asked for this often, a second apart,
// before its answer is taken as it stands.
constexpr int kSimAsks = 5;
const QString kSimQuery = QStringLiteral("AT+CPIN?");

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
        modem.InitModem();
    }
    if (!refused) return;
    entry.setPinDisplay();
    note(modem, "Invalid PIN Entered");
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
    }
    if (!refused) return;
    note(modem, "Invalid PUK Entered ");
    entry.setPukDisplay();
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

// "ATS0?" answers the number of rings before the modem answers by itself.
void presetAnswerButton(ModemLink& modem) {
    const QString query = QStringLiteral("ATS0?");
    const TerminalLog& log = modem.Text1();
    if (!log.findLine(query)) return;
    if (const std::optional<int> rings = replies::rings(log.afterEcho(query)))
        modem.actions().calls.answerMode(*rings == 0);
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

} // namespace

void ModemLink::CheckSIM() {
    // A failure ends the check where it happens; the buttons keep their state.
    runGuarded(lcLink, [&] {
        view_.setStatus(QStringLiteral("Please Wait..."));
        simReady_ = false;
        callIndicators_.reset(); // the module may be another one
        link().sendCommand(QStringLiteral("AT"), 1);
        if (Text1().contains(QStringLiteral("OK"))) {
            note(*this, "Check SIM PIN");
            AskSimState();
        }
        // What is left is a refusal without a state: the SIM cannot be read.
        if (Text1().contains(QStringLiteral("ERROR"))) TakeMissingSim();
        view_.setStatus(QString());
    });
}

// A reply that names the SIM state is judged by the dispatcher during the
// wait; one that says the SIM is still being read is asked again.
void ModemLink::AskSimState() {
    for (int ask = 1;; ++ask) {
        simAsksLeft_ = kSimAsks - ask;
        simNotReady_ = false;
        link().sendCommand(kSimQuery, 1);
        const bool notReady = simNotReady_ || replies::simBusy(modem::reply(kSimQuery));
        if (!notReady || simAsksLeft_ == 0) break;
        Pause(1);
    }
    simAsksLeft_ = 0;
}

void ModemLink::TakeMissingSim() {
    note(*this, "SIM Not Found !.Insert SIM Properly");
    InitModemNoSIM();
    view_.hideProgress();
    view_.enableFeatureButtons(false);
}

// A READY that follows a code the modem was given accepts that code (some
// modules say it, unasked, right after the code's "OK"); the modem is
// initialised once, whichever says so first.
void ModemLink::CheckPinStatus(replies::SimState state, bool afterCode) {
    switch (state) {
    case replies::SimState::Ready:
        if (afterCode && HandlePinResult({true, false})) return;
        if (simReady_) return;
        simReady_ = true;
        Text1().clear();
        InitModem();
        return;
    case replies::SimState::Pin:
        askForCode(*this, SimCode::Pin);
        return;
    case replies::SimState::Puk:
        askForCode(*this, SimCode::Puk);
        return;
    case replies::SimState::NotInserted:
        TakeMissingSim();
        return;
    case replies::SimState::NotReady:
        // Still being read: the SIM check asks again while it may.
        if (simAsksLeft_ > 0) {
            simNotReady_ = true;
            return;
        }
        break;
    case replies::SimState::Unknown:
        break;
    }
    view_.setStatus(QStringLiteral("SIM Failure"));
    Services::instance().message(QStringLiteral("SIM FAILURE"), kMessageTitle);
    Services::instance().endProgram();
}

// The verdict on the code the entry window sent; what the log held is
// emptied by the dispatcher once it is taken.
bool ModemLink::HandlePinResult(const replies::CodeVerdict& verdict) {
    if (!verdict.accepted && !verdict.refused) return false;
    if (view_.awaitedCode() == SimCode::None) return false;
    // A SIM that is ready takes no code: refusing one is no wrong code.
    if (simReady_ && !verdict.accepted) {
        actions_.console.codeEntry().hideEntry();
        return true;
    }
    if (verdict.accepted) simReady_ = true;
    switch (view_.awaitedCode()) {
    case SimCode::Pin:
        takePinVerdict(*this, verdict.accepted, verdict.refused);
        return true;
    case SimCode::Puk:
        takePukVerdict(*this, verdict.accepted, verdict.refused);
        return true;
    case SimCode::None:
        break;
    }
    return false;
}

void ModemLink::InitModem() {
    initialise(*this, kFullInit);
}

void ModemLink::InitModemNoSIM() {
    initialise(*this, kInitWithoutSim);
}

void ModemLink::ShowBaudRate() {
    runGuarded(lcLink, [&] {
        if (const std::optional<QString> rate = replies::deviceRate(Text1().text())) {
            view_.setSpeedLine(*rate);
            actions_.config.deviceRate(*rate);
        }
    });
}

void ModemLink::ShowCharFraming() {
    runGuarded(lcLink, [&] {
        if (const std::optional<replies::Framing> codes = replies::framing(Text1().text())) {
            actions_.config.framing(codes->format, codes->parity);
            actions_.config.echoEnabled();
            view_.setFramingLine(framing::summary(codes->format, codes->parity) +
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
        if (const std::optional<replies::Framing> codes = replies::profileFraming(Text1().text()))
            actions_.config.framing(codes->format, codes->parity);
    });
}
