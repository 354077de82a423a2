// The SIM check, the PIN and PUK entry and the two initialisations, driven
// against the simulated modem: the bytes it received, and what the windows show.

#include "calls/Form5.h"
#include "config/Form15.h"
#include "console/Form10.h"
#include "console/Form20.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"

#include <QFrame>
#include <QListWidget>
#include <QPushButton>

using sim::SimStatus;

namespace {

const QStringList kFullInit = {"AT+CMEE=0",    "AT+CRC=0", "AT+CLIP=1", "AT+WIND=0",
                               "AT+CMGF=1",    "AT",       "AT+CSQ",    "AT+CREG?",
                               "AT+SPEAKER=1", "ATE1",     "ATI0",      "ATI3",
                               "AT+CCED=2",    "ATS0?",    "AT+IPR?",   "AT+ICF?"};
const QStringList kInitWithoutSim = {"AT+CMEE=0", "AT+CRC=0",  "AT+WIND=0", "AT+SPEAKER=1",
                                     "ATE1",      "AT+CCED=2", "ATI0",      "ATI3",
                                     "AT+IPR?",   "AT+ICF?"};
const QStringList kSimQueries = {"AT", "AT+CPIN?"};

const QString kReadyFraming = "Character Framing:8 Data,1 Stop Parity:NoneECHO:Enabled";

QStringList progress(const Form1& main) {
    return items(control<QListWidget>(main, "List1"));
}

// The feature buttons by the state the initialisation leaves them in.
std::vector<QPushButton*> simFreeButtons(Form1& main) {
    return {control<QPushButton>(main, "Command1"), control<QPushButton>(main, "Command6"),
            control<QPushButton>(main, "Command10"), control<QPushButton>(main, "Command12"),
            control<QPushButton>(main, "Command11")};
}
std::vector<QPushButton*> simButtons(Form1& main) {
    return {control<QPushButton>(main, "Command2"), control<QPushButton>(main, "Command3"),
            control<QPushButton>(main, "Command4"), control<QPushButton>(main, "Command5")};
}
std::vector<QPushButton*> featureButtons(Form1& main) {
    std::vector<QPushButton*> all = simFreeButtons(main);
    for (QPushButton* button : simButtons(main))
        all.push_back(button);
    return all;
}

bool pinMode(const Form1& main) {
    return !control<QLineEdit>(main, "Text2")->isHidden() &&
           control<QLineEdit>(main, "Text3")->isHidden();
}
bool pukMode(const Form1& main) {
    return control<QLineEdit>(main, "Text2")->isHidden() &&
           !control<QLineEdit>(main, "Text3")->isHidden();
}

// The checked options of the format (1 to 7) and parity (8 to 12) groups.
QStringList framingOptions() {
    QStringList checked;
    for (int n = 1; n <= 12; ++n)
        if (control<QRadioButton>(form<Form15>(), "Option" + QString::number(n))->isChecked())
            checked << "Option" + QString::number(n);
    return checked;
}

// Types into the entry window and presses "&Ok".
void enterPin(const QString& pin) {
    typeOver(control<QLineEdit>(form<Form10>(), "Text1"), pin);
    control<QPushButton>(form<Form10>(), "Command1")->click();
}
void enterPuk(const QString& puk, const QString& newPin) {
    typeOver(control<QLineEdit>(form<Form10>(), "Text2"), puk);
    enterPin(newPin);
}

} // namespace

class SimCheckTest : public ConnectedConsole {
  protected:
    // Initialises on its own, as after an accepted PIN.
    QStringList initialise() {
        sent();
        main().InitModem();
        return commands(sent());
    }
};

// --- the SIM states

enum class Outcome { Initialised, PinEntry, PukEntry, Failure, WithoutSim };

struct SimState {
    const char* name;
    SimStatus status;
    QByteArray reply; // the reply to "AT+CPIN?" in place of the card's own, when given
    Outcome outcome;
    void (*shape)(sim::ReplyShapes&) = nullptr; // how the module tells the state
    int asks = 1;                               // "AT+CPIN?" sent so often
};

void PrintTo(const SimState& s, std::ostream* out) {
    *out << s.name;
}

class SimStateTest : public SimCheckTest, public ::testing::WithParamInterface<SimState> {};

TEST_P(SimStateTest, TheStateDecidesBetweenInitialisationCodeEntryAndTheEnd) {
    const SimState& state = GetParam();
    modem().state().sim.status = state.status;
    if (state.shape) state.shape(modem().state().shapes);
    if (!state.reply.isEmpty()) modem().overrideReply("AT+CPIN?", state.reply);
    main().CheckSIM();
    const QStringList sentCommands = commands(sent());
    QStringList simQueries{"AT"};
    for (int ask = 0; ask < state.asks; ++ask)
        simQueries << "AT+CPIN?";
    const bool entryShown = Forms::instance().isLoaded<Form10>() && form<Form10>().isVisible();
    switch (state.outcome) {
    case Outcome::Initialised:
        EXPECT_EQ(sentCommands, simQueries + kFullInit);
        EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), kReadyFraming);
        EXPECT_FALSE(entryShown);
        break;
    case Outcome::PinEntry:
        EXPECT_EQ(sentCommands, simQueries);
        EXPECT_TRUE(entryShown);
        EXPECT_TRUE(form<Form10>().isPinDisplay());
        EXPECT_TRUE(pinMode(main()));
        break;
    case Outcome::PukEntry:
        EXPECT_EQ(sentCommands, simQueries);
        EXPECT_TRUE(entryShown);
        EXPECT_TRUE(form<Form10>().isPukDisplay());
        EXPECT_TRUE(pukMode(main()));
        break;
    case Outcome::Failure:
        EXPECT_EQ(sentCommands, simQueries);
        ASSERT_EQ(services().messages.size(), 1u);
        EXPECT_EQ(services().messages[0].text, "SIM FAILURE");
        EXPECT_EQ(services().messages[0].title, "GSM");
        break;
    case Outcome::WithoutSim:
        EXPECT_EQ(sentCommands, simQueries + kInitWithoutSim);
        EXPECT_TRUE(progress(main()).contains("SIM Not Found !.Insert SIM Properly"));
        for (QPushButton* button : simFreeButtons(main()))
            EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
        for (QPushButton* button : simButtons(main()))
            EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
        EXPECT_FALSE(control<QFrame>(main(), "Frame5")->isVisibleTo(&main()));
        EXPECT_TRUE(form<Form20>().Timer1.Enabled());
        break;
    }
    EXPECT_EQ(services().ended, state.outcome == Outcome::Failure ? 1 : 0);
    if (state.outcome != Outcome::Failure) {
        EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    SimStates, SimStateTest,
    ::testing::Values(
        SimState{"Ready", SimStatus::Ready, {}, Outcome::Initialised},
        SimState{"Pin", SimStatus::PinRequired, {}, Outcome::PinEntry},
        SimState{"Puk", SimStatus::PukRequired, {}, Outcome::PukEntry},
        SimState{"Pin2", SimStatus::Ready, reply("+CPIN: SIM PIN2"), Outcome::PinEntry},
        SimState{"PhoneSimPin", SimStatus::Ready, reply("+CPIN: PH-SIM PIN"), Outcome::PinEntry},
        SimState{"Puk2", SimStatus::Ready, reply("+CPIN: SIM PUK2"), Outcome::PukEntry},
        SimState{"ReadyBeatsPin", SimStatus::Ready, reply("+CPIN: READY") + reply("+CPIN: SIM PIN"),
                 Outcome::Initialised},
        SimState{"NetworkPin", SimStatus::Ready, reply("+CPIN: PH-NET PIN"), Outcome::Failure},
        // The state is the whole text after "+CPIN: ": a SIM not ready is no
        // ready SIM. It is asked for again a few times, and then taken as it stands.
        SimState{"NotReady", SimStatus::Ready, reply("+CPIN: NOT READY"), Outcome::Failure, nullptr,
                 5},
        SimState{"BusyForGood", SimStatus::Ready, "\r\n+CME ERROR: 14\r\n", Outcome::WithoutSim,
                 nullptr, 5},
        SimState{"Absent", SimStatus::Absent, {}, Outcome::WithoutSim},
        // A SIM reported missing in words is as missing as one refused.
        SimState{"AbsentInWords",
                 SimStatus::Absent,
                 {},
                 Outcome::WithoutSim,
                 [](sim::ReplyShapes& s) { s.absentSimInWords = true; }},
        SimState{"Blocked", SimStatus::Blocked, {}, Outcome::WithoutSim}),
    [](const auto& instance) { return std::string(instance.param.name); });

// For some seconds after it starts a module is still reading its SIM, and says
// so in words or as the error "SIM busy": the state is asked for again, a
// second apart, until the SIM is ready.
TEST_F(SimCheckTest, ASimStillBeingReadIsAskedForAgainUntilItIsReady) {
    struct Case {
        const char* name;
        sim::SimNotReady told;
    };
    for (const Case& c : {Case{"in words", sim::SimNotReady::InWords},
                          Case{"as SIM busy", sim::SimNotReady::Busy}}) {
        SCOPED_TRACE(c.name);
        modem().state().shapes.simNotReady = c.told;
        modem().state().shapes.equipmentErrorsExtended = true; // "+CME ERROR: 14"
        modem().state().shapes.simNotReadySeconds = 4;
        modem().restart();
        sent();
        main().CheckSIM();
        const QStringList sentCommands = commands(sent());
        const qsizetype asks = sentCommands.count("AT+CPIN?");
        EXPECT_GT(asks, 1);
        EXPECT_LE(asks, 5);
        EXPECT_EQ(sentCommands.mid(1 + asks), kFullInit);
        EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), kReadyFraming);
        EXPECT_EQ(services().ended, 0);
        EXPECT_TRUE(services().messages.empty());
    }
}

TEST_F(SimCheckTest, NoAnswerToAtLeavesTheButtonsAsDesigned) {
    modem().dropReplies("AT");
    main().CheckSIM();
    EXPECT_EQ(commands(sent()), QStringList{"AT"});
    for (QPushButton* button : featureButtons(main()))
        EXPECT_FALSE(button->isEnabled());
}

// --- the full initialisation

// Each command waits its second; the dispatcher's two-second wait for the
// reply runs inside it and stretches it.
TEST_F(SimCheckTest, InitialisationSpacesItsCommandsByOneWaitEach) {
    for (SimStatus status : {SimStatus::Ready, SimStatus::Absent}) {
        modem().state().sim.status = status;
        const size_t first = ports().writes(3).size();
        main().CheckSIM();
        const auto& writes = ports().writes(3);
        for (size_t i = first + 1; i < writes.size(); ++i) {
            const double gap = writes[i].seconds - writes[i - 1].seconds;
            EXPECT_GE(gap, 1.0) << writes[i].bytes.data();
            EXPECT_LT(gap, 3.0) << writes[i].bytes.data();
        }
    }
}

TEST_F(SimCheckTest, ReadySimLeavesTheConsoleReadyForUse) {
    main().CheckSIM();
    Form1& console = main();
    EXPECT_EQ(progress(console).mid(1),
              (QStringList{"Check SIM PIN", "Setting to Text Mode", "Speaker Set ", "Echo Enabled",
                           "Checking Modem Speed"}));
    EXPECT_EQ(control<QLabel>(console, "Label6")->text(), "9600");
    EXPECT_FALSE(control<QFrame>(console, "Frame5")->isVisibleTo(&console));
    for (QPushButton* button : featureButtons(console))
        EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
    EXPECT_TRUE(form<Form20>().Timer1.Enabled());
    EXPECT_TRUE(form<Form7>().isVisible()); // the signal refresh after text mode
    Form15& settings = form<Form15>();
    EXPECT_EQ(control<QComboBox>(settings, "Combo1")->currentText(), "9600");
    EXPECT_EQ(framingOptions(), (QStringList{"Option4", "Option12"}));
    EXPECT_TRUE(control<QRadioButton>(settings, "Option28")->isChecked());
    EXPECT_TRUE(control<QPushButton>(form<Form5>(), "Command1")->isEnabled());
    EXPECT_EQ(control<QLabel>(form<Form5>(), "Label2")->text(), "");
    EXPECT_TRUE(console.Text1().isEmpty());
}

TEST_F(SimCheckTest, FramingReplySetsTheFramingLineAndTheOptions) {
    struct Case {
        const char* codes;
        const char* line;
        QStringList options;
    };
    const Case cases[] = {
        {"3,4", "Character Framing:8 Data,1 Stop Parity:NoneECHO:Enabled", {"Option4", "Option12"}},
        {"0,4", "Character Framing:Auto Detect Parity:NoneECHO:Enabled", {"Option1", "Option12"}},
        {"5,1",
         "Character Framing:7 Data,1 Parity,1 Stop Parity:EvenECHO:Enabled",
         {"Option6", "Option9"}},
        {"2,3",
         "Character Framing:8 Data,1 Parity,1 Stop Parity:SpaceECHO:Enabled",
         {"Option3", "Option11"}},
    };
    for (const Case& c : cases) {
        modem().overrideReply("AT+ICF?", reply(QByteArray("+ICF: ") + c.codes));
        EXPECT_EQ(initialise().last(), "AT+ICF?");
        EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), c.line) << c.codes;
        EXPECT_EQ(framingOptions(), c.options) << c.codes;
    }
}

TEST_F(SimCheckTest, FramingCodesOutsideTheTablesGiveEmptyTextsAndNoOption) {
    modem().overrideReply("AT+ICF?", reply("+ICF: 7,9"));
    initialise();
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), "Character Framing: ECHO:Enabled");
    EXPECT_EQ(framingOptions(), QStringList());
}

TEST_F(SimCheckTest, WithoutAFramingReplyTheStartUpIsNotCompleted) {
    modem().overrideReply("AT+ICF?", "\r\nERROR\r\n");
    initialise();
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), "");
    EXPECT_TRUE(control<QFrame>(main(), "Frame5")->isVisibleTo(&main()));
    for (QPushButton* button : featureButtons(main()))
        EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(form<Form20>().Timer1.Enabled());
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_F(SimCheckTest, ProfileDumpSetsOnlyTheFramingOptions) {
    modem().overrideReply("AT&V", reply("E:1 Q:0 V:1\r\n+IPR:9600 +ICF:2,3 +IFC:2,2"));
    main().link().sendCommand("AT&V", 1);
    main().SetFramingOptions();
    EXPECT_EQ(framingOptions(), (QStringList{"Option3", "Option11"}));
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), "");
    EXPECT_TRUE(main().Text1().contains("+ICF:2,3"));
}

TEST_F(SimCheckTest, AutoAnswerRegisterSetsTheAnswerButton) {
    struct Case {
        int rings;
        bool answerEnabled;
        const char* note;
    };
    // A module that answers "0" rather than "000" leaves the answering to the user too.
    for (const bool unpadded : {false, true}) {
        modem().state().shapes.unpaddedRegisters = unpadded;
        for (const Case& c : {Case{2, false, "AutoAnswer Enabled"}, Case{0, true, ""}}) {
            modem().state().settings.sRegisters[0] = c.rings;
            initialise();
            EXPECT_EQ(control<QPushButton>(form<Form5>(), "Command1")->isEnabled(), c.answerEnabled)
                << c.rings << unpadded;
            EXPECT_EQ(control<QLabel>(form<Form5>(), "Label2")->text(), c.note)
                << c.rings << unpadded;
        }
    }
    modem().state().shapes.unpaddedRegisters = false;
    modem().overrideReply("ATS0?", "\r\nERROR\r\n");
    control<QLabel>(form<Form5>(), "Label2")->setText("kept");
    initialise();
    EXPECT_EQ(control<QLabel>(form<Form5>(), "Label2")->text(), "kept");
}

TEST_F(SimCheckTest, RateReplyShowsTheDeviceRate) {
    const std::pair<const char*, const char*> cases[] = {
        {"57600", "57600"},
        {"9600", "9600"},
        {"0", "9600"}, // automatic rate: unchanged
        {"115200", "115200"},
    };
    for (const auto& [rate, shown] : cases) {
        modem().overrideReply("AT+IPR?", reply(QByteArray("+IPR: ") + rate));
        initialise();
        EXPECT_EQ(control<QLabel>(main(), "Label6")->text(), shown) << rate;
        EXPECT_EQ(control<QComboBox>(form<Form15>(), "Combo1")->currentText(), shown) << rate;
    }
}

// --- PIN and PUK entry

TEST_F(SimCheckTest, RightPinIsAcceptedAndTheModemInitialised) {
    modem().state().sim.status = SimStatus::PinRequired;
    main().CheckSIM();
    sent();
    enterPin("1234");
    EXPECT_EQ(commands(sent()), QStringList{"AT+CPIN=1234"} + kFullInit);
    EXPECT_TRUE(progress(main()).contains("PIN Accepted"));
    EXPECT_FALSE(form<Form10>().isVisible());
    EXPECT_EQ(control<QLineEdit>(form<Form10>(), "Text1")->text(), "");
    EXPECT_TRUE(form<Form10>().isPinDisplay());
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), kReadyFraming);
    EXPECT_EQ(modem().state().sim.status, SimStatus::Ready);
}

// Some modules say "+CPIN: READY" unasked right after the OK to a right PIN:
// the PIN is accepted once, its window closes, the modem is initialised once,
// and a READY that comes later changes nothing.
TEST_F(SimCheckTest, AnUnaskedReadyAfterTheRightPinAcceptsItOnce) {
    modem().state().sim.status = SimStatus::PinRequired;
    modem().state().shapes.unaskedReadyAfterPin = true;
    main().CheckSIM();
    sent();
    enterPin("1234");
    EXPECT_EQ(commands(sent()), QStringList{"AT+CPIN=1234"} + kFullInit);
    EXPECT_EQ(progress(main()).filter("PIN Accepted").size(), 1);
    EXPECT_FALSE(form<Form10>().isVisible());
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), kReadyFraming);
    arrive("\r\n+CPIN: READY\r\n");
    run(3);
    EXPECT_EQ(sent(), "");
    EXPECT_TRUE(main().Text1().isEmpty());
}

// A code sent while the SIM is already ready is refused by the module; that is
// no wrong code, however often it happens.
TEST_F(SimCheckTest, ACodeSentWhileTheSimIsReadyIsNoWrongCode) {
    modem().state().sim.status = SimStatus::PinRequired;
    modem().state().shapes.unaskedReadyAfterPin = true;
    main().CheckSIM();
    enterPin("1234");
    const QString wrongCount = control<QLineEdit>(main(), "Text2")->text();
    for (int again = 1; again <= 3; ++again) {
        form<Form10>().Show(); // as a window left open would be
        enterPin("1234");
        EXPECT_FALSE(form<Form10>().isVisible()) << again;
    }
    EXPECT_TRUE(progress(main()).filter("Invalid PIN Entered").isEmpty());
    EXPECT_EQ(control<QLineEdit>(main(), "Text2")->text(), wrongCount);
    EXPECT_EQ(services().ended, 0);
    EXPECT_TRUE(services().messages.empty());
}

TEST_F(SimCheckTest, WrongPinCountsAndKeepsTheEntryOpen) {
    modem().state().sim.status = SimStatus::PinRequired;
    main().CheckSIM();
    sent();
    enterPin(" 432"); // sent without its blank
    EXPECT_EQ(sent(), "AT+CPIN=432\r");
    EXPECT_EQ(progress(main()).last(), "Invalid PIN Entered");
    EXPECT_EQ(control<QLineEdit>(main(), "Text2")->text(), "1");
    EXPECT_TRUE(form<Form10>().isVisible());
    EXPECT_TRUE(form<Form10>().isPinDisplay());
    EXPECT_EQ(services().ended, 0);
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), "");
}

TEST_F(SimCheckTest, PukWithNewPinUnblocksTheSim) {
    modem().state().sim.status = SimStatus::PukRequired;
    main().CheckSIM();
    sent();
    enterPuk(" 7654321", "12 "); // both sent without their blanks
    EXPECT_EQ(sent(), "AT+CPIN=7654321,12\r");
    EXPECT_EQ(progress(main()).last(), "Invalid PUK Entered ");
    EXPECT_TRUE(form<Form10>().isVisible());
    EXPECT_TRUE(form<Form10>().isPukDisplay());

    enterPuk("12345678", "4321");
    EXPECT_EQ(commands(sent()), QStringList{"AT+CPIN=12345678,4321"} + kFullInit);
    EXPECT_TRUE(progress(main()).contains("PIN,PUK Accepted"));
    EXPECT_FALSE(form<Form10>().isVisible());
    EXPECT_EQ(control<QLineEdit>(form<Form10>(), "Text1")->text(), "");
    EXPECT_EQ(control<QLineEdit>(form<Form10>(), "Text2")->text(), "");
    EXPECT_EQ(modem().state().sim.pin, "4321");
    EXPECT_EQ(control<QLineEdit>(main(), "Text2")->text(), "0"); // wrong PUKs are not counted
    EXPECT_EQ(services().ended, 0);
}

// Codes go into the command line: only digits are sent.
TEST_F(SimCheckTest, CodesThatAreNotDigitsAreRefusedAndNothingIsSent) {
    struct Case {
        SimStatus status;
        const char* puk;
        const char* pin;
        const char* message;
    };
    const Case cases[] = {
        {SimStatus::PinRequired, "", "", "Enter Valid PIN Number"},
        {SimStatus::PinRequired, "", "OK", "Enter Valid PIN Number"},
        {SimStatus::PinRequired, "", "1;H", "Enter Valid PIN Number"},
        {SimStatus::PinRequired, "", "12 4", "Enter Valid PIN Number"},
        {SimStatus::PukRequired, "", "1234", "Enter Valid PUK/PIN Number"},
        {SimStatus::PukRequired, "12345678", "", "Enter Valid PUK/PIN Number"},
        {SimStatus::PukRequired, "1234567A", "1234", "Enter Valid PUK/PIN Number"},
        {SimStatus::PukRequired, "12345678", "12,3", "Enter Valid PUK/PIN Number"},
    };
    for (const Case& c : cases) {
        modem().state().sim.status = c.status;
        main().CheckSIM();
        sent();
        services().messages.clear();
        enterPuk(c.puk, c.pin);
        EXPECT_EQ(sent(), "") << c.pin;
        ASSERT_EQ(services().messages.size(), 1u) << c.pin;
        EXPECT_EQ(services().messages[0].text, c.message);
        EXPECT_EQ(services().messages[0].title, "GSM");
        EXPECT_EQ(c.status == SimStatus::PinRequired, form<Form10>().isPinDisplay()) << c.pin;
    }
}

TEST_F(SimCheckTest, VerdictIsTheModemsAnswerNotTheEchoedCommand) {
    modem().state().sim.status = SimStatus::PinRequired;
    main().CheckSIM();
    arrive("AT+CPIN=OK\r\r\nERROR\r\n");
    run(3);
    EXPECT_EQ(progress(main()).last(), "Invalid PIN Entered");
    EXPECT_EQ(control<QLineEdit>(main(), "Text2")->text(), "1");
    EXPECT_EQ(commands(sent()), kSimQueries);
}

// The verdict is taken once: what arrives after it does not count the same
// wrong PIN again.
TEST_F(SimCheckTest, AWrongPinCountsOnceWhateverArrivesAfter) {
    modem().state().sim.status = SimStatus::PinRequired;
    main().CheckSIM();
    arrive("AT+CPIN=1111\r\r\nERROR\r\n");
    run(3);
    arrive("\r\n+CGREG: 0,1\r\n");
    run(3);
    EXPECT_EQ(control<QLineEdit>(main(), "Text2")->text(), "1");
    EXPECT_EQ(progress(main()).filter("Invalid PIN Entered").size(), 1);
}

TEST_F(SimCheckTest, SubmissionEchoWithoutACodeAskedForChangesNothing) {
    arrive("AT+CPIN=1234\r\r\nOK\r\n");
    run(3);
    EXPECT_EQ(progress(main()).size(), 1); // the welcome line
    EXPECT_FALSE(Forms::instance().isLoaded<Form10>());
    EXPECT_EQ(sent(), "");
}

// --- the start-up around the SIM check

class SimStartUpTest : public ConsoleTest {
  protected:
    SimStartUpTest() : modem(ports().attachModem(3, 9600)) {}
    // What the REFRESH button does before it runs the start-up again.
    void refresh() {
        form<Form1>().MSComm1().setPortOpen(false);
        form<Form1>().Form_Load();
    }

    sim::SimModem& modem;
};

TEST_F(SimStartUpTest, ThirdWrongPinEndsTheProgramAlsoAcrossARefresh) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    modem.state().sim.status = SimStatus::PinRequired;
    Form1& main = form<Form1>();
    ASSERT_TRUE(form<Form10>().isVisible());
    enterPin("1111");
    EXPECT_EQ(control<QLineEdit>(main, "Text2")->text(), "1");

    refresh();
    ASSERT_TRUE(form<Form10>().isPinDisplay());
    enterPin("2222");
    EXPECT_EQ(control<QLineEdit>(main, "Text2")->text(), "2");
    EXPECT_EQ(services().ended, 0);
    EXPECT_TRUE(services().messages.empty());

    enterPin("3333");
    EXPECT_EQ(control<QLineEdit>(main, "Text2")->text(), "3");
    EXPECT_EQ(progress(main).mid(progress(main).size() - 2),
              (QStringList{"Invalid PIN Entered", "Invalid PIN Entered 3Times.GET PUK Number"}));
    ASSERT_EQ(services().messages.size(), 1u);
    EXPECT_EQ(services().messages[0].text, "Invalid PIN Entered.GET PUK Number And TRY LAter");
    EXPECT_EQ(services().messages[0].title, "GSM");
    EXPECT_EQ(services().ended, 1);
    EXPECT_TRUE(modem.received().endsWith("AT+CPIN=3333\r"));
}

// COM.txt is still open for reading while the start-up takes its port into
// use: only the identity file written during the initialisation closes it.
TEST_F(SimStartUpTest, SavedLineIsRewrittenOnlyWhenTheInitialisationRan) {
    const std::pair<SimStatus, QByteArray> cases[] = {
        {SimStatus::Ready, "9600,N,8,1 3\r\n"},
        {SimStatus::Absent, "9600,N,8,1 3\r\n"},
        {SimStatus::PinRequired, "9600,n,8,1 3\r\n"},
    };
    for (const auto& [status, saved] : cases) {
        Forms::instance().clear();
        writeFile("COM.txt", "9600,n,8,1 3\r\n");
        modem.state().sim.status = status;
        form<Form1>();
        EXPECT_EQ(readFile("COM.txt"), saved);
    }
}
