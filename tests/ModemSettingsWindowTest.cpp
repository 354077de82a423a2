// The modem settings window against the simulated modem: the checks before
// saving, the eight commands, how their replies are judged, and the serial
// line following the device onto a new rate or framing.

#include "config/Form15.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <QFile>
#include <QRegularExpression>

#include <functional>

namespace {

const QStringList kRates = {"300",  "600",   "1200",  "2400",  "4800",
                            "9600", "19200", "38400", "57600", "115200"};
const QString kStartUpFraming = "Character Framing:8 Data,1 Stop Parity:NoneECHO:Enabled";

const char* const kIprFailure = " Changes UnsuccessFul-IPR ";
const char* const kIcfFailure = " Changes UnsuccessFul-Character Framing ";

} // namespace

class ModemSettingsWindowTest : public ConnectedConsole, protected ControlsOf<Form15> {
  protected:
    ModemSettingsWindowTest() {
        // As the start-up leaves the main window.
        control<QLabel>(main(), "Label6")->setText("9600");
        control<QLabel>(main(), "Label7")->setText(kStartUpFraming);
        main().ShowPortStatus();
    }

    Form15& window() { return form<Form15>(); }

    // The choices of the worked example: 8 data 1 stop, no parity, RTS and
    // CTS, DCD following the remote modem, DTR switching, DSR always on,
    // echo on, 115200.
    void chooseExample(const QString& rate = "115200") {
        for (const char* name : {"Option4", "Option12", "Option15", "Option19", "Option23",
                                 "Option25", "Option20", "Option28"})
            option(name)->click();
        typeOver(list("Combo1"), rate);
    }

    // Presses "Save Configurations"; the commands it sent and when, with the
    // settings the port wrote them with.
    std::vector<SimPorts::Write> save() {
        const size_t before = ports().writes(3).size();
        sent();
        button("Command1")->click();
        const auto& all = ports().writes(3);
        return std::vector<SimPorts::Write>(all.begin() + static_cast<long>(before), all.end());
    }

    // Whether the modem answers a command now, on the port as it is.
    bool answers() {
        main().link().sendCommand("AT", 1);
        const bool ok = main().Text1().succeeded("AT", TerminalLog::Judged::Final) == true;
        main().Text1().clear();
        return ok;
    }

    // Modem and port back at 9600 bits a second, 8 data bits, no parity, 1 stop bit.
    void resetLine() {
        modem().clearOverrides();
        modem().state().poweredOff = false;
        modem().state().settings.params["+IPR"] = "9600";
        modem().state().settings.params["+ICF"] = "3,4";
        modem().state().settings.echo = 1;
        main().MSComm1().setSettings("9600,n,8,1");
        main().ShowPortStatus();
        control<QLabel>(main(), "Label6")->setText("9600");
        control<QLabel>(main(), "Label7")->setText(kStartUpFraming);
    }
};

// The tests that read the module's verdicts, in every shape modules answer in.
using ModemSettingsInShapes = InEveryShape<ModemSettingsWindowTest>;
INSTANTIATE_TEST_SUITE_P(Shapes, ModemSettingsInShapes, ::testing::ValuesIn(moduleShapes()),
                         shapeName);

TEST_F(ModemSettingsWindowTest, LoadFillsTheRatesAndAPresetShowsTheDeviceRate) {
    EXPECT_EQ(items(list("Combo1")), kRates);
    EXPECT_EQ(list("Combo1")->currentText(), "");
    window().PresetRate("57600");
    EXPECT_EQ(list("Combo1")->currentText(), "57600");
}

// Each check in its turn: its message with the title "GSM", nothing sent, the
// status line untouched; a rate that is not plain digits is no rate.
TEST_F(ModemSettingsWindowTest, ChecksStopTheSaveInTheirOrderAndSendNothing) {
    label("Label1")->setText("before");
    const std::pair<std::function<void()>, const char*> checks[] = {
        {[&] { option("Option4")->click(); }, "Framing Format Cannot Be Blank"},
        {[&] { option("Option12")->click(); }, "Parity Cannot Be Blank"},
        {[&] { option("Option15")->click(); }, "DCE-DTE Control Cannot Be Blank"},
        {[&] { option("Option19")->click(); }, "DTE-DCE Control Cannot Be Blank"},
        {[&] { typeOver(list("Combo1"), " 115200 "); }, "Select IPR Correctly"},
        {[&] { option("Option20")->click(); }, "Error:Set DSR Signal"},
        {[&] { option("Option23")->click(); }, "Error:Set DCD Signal"},
        {[&] { option("Option25")->click(); }, "Error:Set DTR Signal"},
        {[&] { option("Option28")->click(); }, "Error:Enable/Disable Echo"},
    };
    const QStringList ratesRefused = {"",      "  ",       "96;00", "OK", "115200;+CFUN=0",
                                      "+9600", "９６００", "9600中"};
    for (const auto& [choose, message] : checks) {
        SCOPED_TRACE(message);
        const bool rateCheck = QString(message) == "Select IPR Correctly";
        for (const QString& typed : rateCheck ? ratesRefused : QStringList{QString()}) {
            SCOPED_TRACE(typed.toStdString());
            if (rateCheck) typeOver(list("Combo1"), typed);
            services().messages.clear();
            save();
            EXPECT_EQ(shownMessages(services()), QStringList{QString(message) + " | GSM"});
            EXPECT_EQ(sent(), "");
            EXPECT_EQ(label("Label1")->text(), "before");
        }
        choose();
    }
    services().messages.clear();
    save();
    EXPECT_TRUE(services().messages.empty());
    EXPECT_EQ(commands(sent()).first(), "AT+IPR=115200"); // trimmed
}

TEST_F(ModemSettingsWindowTest, SavesTheExampleWithEightCommandsOneSecondApart) {
    chooseExample();
    const auto writes = save();
    const QStringList expected = {"AT+IPR=115200", "AT+ICF=3,4", "AT+IFC=2,2", "AT&C1",
                                  "AT&D1",         "AT&S0",      "ATE1",       "AT&W"};
    ASSERT_EQ(writes.size(), 8u);
    for (size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].bytes, expected[static_cast<int>(i)].toLatin1() + "\r");
        // The dispatcher's wait for the rest of a reply stretches a second.
        if (i > 0) {
            EXPECT_GE(writes[i].seconds - writes[i - 1].seconds, 1.0);
            EXPECT_LT(writes[i].seconds - writes[i - 1].seconds, 3.0);
        }
        // The rate's own "OK" comes at the old rate; the port follows at once.
        EXPECT_EQ(writes[i].settings, i == 0 ? "9600,N,8,1" : "115200,N,8,1");
    }
    EXPECT_EQ(label("Label1")->text(), "Changes SuccessFul");
    EXPECT_EQ(control<QLabel>(main(), "Label6")->text(), "Speed:115200");
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(),
              "Character Framing:8 Data,1 Stop Parity:NoneECHO:Enable");
    EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), "115200,N,8,1");
    EXPECT_EQ(control<QLabel>(main(), "Label1")->text(), "Open");
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_EQ(modem().state().storedProfile.params["+IPR"], "115200");
    // Only the start-up and the serial settings dialog write the saved port.
    EXPECT_FALSE(QFile::exists(services().path("COM.txt")));
    // The next command is answered.
    control<QPushButton>(main(), "Command1")->setEnabled(true);
    control<QPushButton>(main(), "Command1")->click();
    EXPECT_TRUE(form<Form2>().isVisible());
}

// Every option of every group, and every rate of the list, puts its own code
// into its command; a typed rate is sent as typed, not completed to a rate
// of the list it begins.
TEST_F(ModemSettingsWindowTest, EachChoiceSendsItsOwnCode) {
    struct Case {
        QString name;
        std::function<void()> choose;
        QString command;
    };
    auto byOption = [&](const char* name, const char* command) {
        return Case{name, [=] { option(name)->click(); }, command};
    };
    std::vector<Case> cases = {
        byOption("Option1", "AT+ICF=0,4"),
        byOption("Option2", "AT+ICF=1,4"),
        byOption("Option3", "AT+ICF=2,4"),
        byOption("Option4", "AT+ICF=3,4"),
        byOption("Option5", "AT+ICF=4,4"),
        byOption("Option6", "AT+ICF=5,4"),
        byOption("Option7", "AT+ICF=6,4"),
        byOption("Option8", "AT+ICF=3,0"),
        byOption("Option9", "AT+ICF=3,1"),
        byOption("Option10", "AT+ICF=3,2"),
        byOption("Option11", "AT+ICF=3,3"),
        byOption("Option12", "AT+ICF=3,4"),
        byOption("Option13", "AT+IFC=0,2"),
        byOption("Option14", "AT+IFC=1,2"),
        byOption("Option15", "AT+IFC=2,2"),
        byOption("Option16", "AT+IFC=3,2"),
        byOption("Option17", "AT+IFC=2,0"),
        byOption("Option18", "AT+IFC=2,1"),
        byOption("Option19", "AT+IFC=2,2"),
        byOption("Option22", "AT&C0"),
        byOption("Option23", "AT&C1"),
        byOption("Option24", "AT&D0"),
        byOption("Option25", "AT&D1"),
        byOption("Option26", "AT&D2"),
        byOption("Option20", "AT&S0"),
        byOption("Option21", "AT&S1"),
        byOption("Option27", "ATE0"),
        byOption("Option28", "ATE1"),
        {"typed 96", [&] { typeOver(list("Combo1"), "96"); }, "AT+IPR=96"},
        {"typed 1920, Enter", [&] { typeOver(list("Combo1"), "1920\n"); }, "AT+IPR=1920"},
        {"typed 4800, Enter", [&] { typeOver(list("Combo1"), "4800\n"); }, "AT+IPR=4800"},
    };
    for (const QString& rate : kRates)
        cases.push_back(
            {"rate " + rate, [&, rate] { pick(list("Combo1"), rate); }, "AT+IPR=" + rate});
    // The example's commands at 9600, the one of the case's command replaced.
    auto withCommand = [](const QString& command) {
        const auto name = [](const QString& line) {
            return line.left(line.indexOf(QRegularExpression("\\d")));
        };
        QStringList lines = {"AT+IPR=9600", "AT+ICF=3,4", "AT+IFC=2,2", "AT&C1",
                             "AT&D1",       "AT&S0",      "ATE1",       "AT&W"};
        for (QString& line : lines)
            if (name(line) == name(command)) line = command;
        return lines;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        resetLine();
        chooseExample("9600");
        c.choose();
        save();
        EXPECT_EQ(commands(sent()), withCommand(c.command));
    }
    EXPECT_EQ(items(list("Combo1")), kRates);
}

// "OK" and "ERROR" are two tests: a reply with both does both. A step the
// device does not answer is no success; the profile store is not judged.
TEST_P(ModemSettingsInShapes, EachStepIsJudgedOnItsOwnReply) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QString status;
        QString speed;   // Form1.Label6
        QString framing; // Form1.Label7
        QString port;    // Form1.Label3
    };
    const QString savedFraming = "Character Framing:8 Data,1 Stop Parity:NoneECHO:Enable";
    const Case cases[] = {
        {"all taken", [] {}, "Changes SuccessFul", "Speed:19200", savedFraming, "19200,N,8,1"},
        {"rate and framing refused",
         [&] {
             refuseOnly({{"+IPR", "+CME ERROR: 3"}, {"+ICF", "+CME ERROR: 3"}});
         },
         QString(kIprFailure) + kIcfFailure, "9600", savedFraming, "9600,N,8,1"},
        {"rate answered with both words",
         [&] { modem().overrideReply("AT+IPR=19200", "\r\nOK\r\n\r\nERROR\r\n"); }, kIprFailure,
         "Speed:19200", savedFraming, "9600,N,8,1"},
        {"rate answered with OK and an extended error",
         [&] { modem().overrideReply("AT+IPR=19200", "\r\nOK\r\n\r\n+CME ERROR: 3\r\n"); },
         kIprFailure, "Speed:19200", savedFraming, "9600,N,8,1"},
        {"DCD unanswered", [&] { modem().dropReplies("AT&C1"); }, "Changes UnsuccessFul-DCD signal",
         "Speed:19200", savedFraming, "19200,N,8,1"},
        {"DTR, DSR and flow control refused",
         [&] {
             refuseOnly({{"+IFC", "+CME ERROR: 3"}, {"&D", "+CME ERROR: 3"}, {"&S", "ERROR"}});
         },
         "Changes UnsuccessFul-DCE-DTE Flow ControlChanges UnsuccessFul-DTR signal"
         "Changes UnsuccessFul-DSR signal",
         "Speed:19200", savedFraming, "19200,N,8,1"},
        {"echo refused, profile store refused",
         [&] {
             refuseOnly({{"E", "+CME ERROR: 3"}, {"&W", "+CME ERROR: 3"}});
         },
         "Changes UnsuccessFul-ECHO", "Speed:19200", "Character Framing:8 Data,1 Stop Parity:None",
         "19200,N,8,1"},
        {"no device answering", [&] { modem().state().poweredOff = true; },
         QString(kIprFailure) + kIcfFailure +
             "Changes UnsuccessFul-DCE-DTE Flow ControlChanges UnsuccessFul-DCD signal"
             "Changes UnsuccessFul-DTR signalChanges UnsuccessFul-DSR signal"
             "Changes UnsuccessFul-ECHO",
         "9600", kStartUpFraming, "9600,N,8,1"},
    };
    chooseExample("19200");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetLine();
        refuseOnly({});
        modem().dropReplies("AT&C1", false);
        c.arrange();
        const auto writes = save();
        EXPECT_EQ(writes.size(), 8u); // every step is sent
        EXPECT_EQ(label("Label1")->text(), c.status);
        EXPECT_EQ(control<QLabel>(main(), "Label6")->text(), c.speed);
        EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), c.framing);
        EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), c.port);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

// After "OK" to the rate the port takes it, when it is one the port knows;
// after "OK" to the framing it takes its data bits, stop bits and parity.
// Rate 0 and framing 0 have the device detect them, and a parity bit with no
// parity cannot be: the port keeps its own. The next command is answered.
TEST_F(ModemSettingsWindowTest, ThePortFollowsTheRateAndFramingTheDeviceTook) {
    struct Case {
        const char* rate;
        const char* format;
        const char* parity;
        QString port;
        QString status;
        QByteArray framingReply = {}; // replaces the device's own answer when given
    };
    const Case cases[] = {
        {"19200", "Option4", "Option12", "19200,N,8,1", "Changes SuccessFul"},
        {"300", "Option4", "Option12", "300,N,8,1", "Changes SuccessFul"},
        {"38400", "Option6", "Option9", "38400,E,7,1", "Changes SuccessFul"},
        {"0", "Option4", "Option12", "9600,N,8,1", "Changes SuccessFul"},
        {"14400", "Option4", "Option12", "9600,N,8,1", kIprFailure}, // refused
        {"9600", "Option2", "Option12", "9600,N,8,2", "Changes SuccessFul"},
        {"9600", "Option3", "Option8", "9600,O,8,1", "Changes SuccessFul"},
        {"9600", "Option3", "Option9", "9600,E,8,1", "Changes SuccessFul"},
        {"9600", "Option5", "Option10", "9600,N,7,2", "Changes SuccessFul"},
        {"9600", "Option6", "Option10", "9600,M,7,1", "Changes SuccessFul"},
        {"9600", "Option6", "Option11", "9600,S,7,1", "Changes SuccessFul"},
        {"9600", "Option7", "Option9", "9600,N,7,1", "Changes SuccessFul"},
        {"9600", "Option1", "Option12", "9600,N,8,1", "Changes SuccessFul"},
        {"9600", "Option3", "Option12", "9600,N,8,1", kIcfFailure}, // refused
        {"9600", "Option3", "Option12", "9600,N,8,1", "Changes SuccessFul", "\r\nOK\r\n"},
    };
    for (const Case& c : cases) {
        resetLine();
        chooseExample(c.rate);
        option(c.format)->click();
        option(c.parity)->click();
        SCOPED_TRACE(
            (c.rate + QString(" ") + option(c.format)->text() + " " + option(c.parity)->text())
                .toStdString());
        if (!c.framingReply.isEmpty()) modem().overrideReply("AT+ICF=2,4", c.framingReply);
        const auto writes = save();
        ASSERT_EQ(writes.size(), 8u);
        EXPECT_EQ(writes.front().settings, "9600,N,8,1");
        EXPECT_EQ(writes.back().settings, c.port);
        EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), c.port);
        EXPECT_EQ(label("Label1")->text(), c.status);
        EXPECT_TRUE(answers());
    }
}

// A line the device took but the console's port cannot run (a pseudo-terminal
// keeps 8 data bits and no parity; a port may refuse a rate) leaves the port
// as it was, and the status line says that it did not follow. Nothing more
// reaches the device: the commands left count as unanswered, and the profile
// is not stored.
TEST_F(ModemSettingsWindowTest, APortThatCannotFollowTheDeviceIsTold) {
    struct Case {
        const char* rate;
        const char* format;
        const char* parity;
        QStringList sent;
        QString status;
    };
    const QString rest = "Changes UnsuccessFul-DCE-DTE Flow Control"
                         "Changes UnsuccessFul-DCD signal"
                         "Changes UnsuccessFul-DTR signal"
                         "Changes UnsuccessFul-DSR signal"
                         "Changes UnsuccessFul-ECHO";
    const Case cases[] = {
        {"9600",
         "Option6",
         "Option9",
         {"AT+IPR=9600", "AT+ICF=5,1"},
         " Console Port Not Changed-Character Framing " + rest},
        {"19200",
         "Option4",
         "Option12",
         {"AT+IPR=19200"},
         " Console Port Not Changed-IPR  Changes UnsuccessFul-Character Framing " + rest},
    };
    ports().limitLines(3, [](const LineSettings& s) {
        return s.dataBits == 8 && s.parity == 'N' && s.baud == 9600;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rate) + " " + c.format);
        resetLine();
        chooseExample(c.rate);
        option(c.format)->click();
        option(c.parity)->click();
        save();
        EXPECT_EQ(commands(sent()), c.sent);
        EXPECT_EQ(label("Label1")->text(), c.status);
        EXPECT_EQ(main().MSComm1().Settings(), "9600,n,8,1");
        EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), "9600,N,8,1");
    }
}

// The echo text replaces the one the framing line ends in, however often
// the configuration is saved and whether or not the framing was taken.
TEST_F(ModemSettingsWindowTest, RepeatedSavesKeepOneEchoText) {
    struct Case {
        const char* echo;
        bool framingTaken;
        QString framing;
    };
    const QString summary = "Character Framing:8 Data,1 Stop Parity:None";
    const Case cases[] = {
        {"Option28", false, summary + "ECHO:Enable"},
        {"Option27", false, summary + "ECHO:Disable"},
        {"Option27", true, summary + "ECHO:Disable"},
        // The device no longer echoes; its replies are read all the same.
        {"Option28", false, summary + "ECHO:Enable"},
        {"Option28", true, summary + "ECHO:Enable"},
    };
    chooseExample("9600");
    for (const Case& c : cases) {
        modem().clearOverrides();
        if (!c.framingTaken) modem().overrideReply("AT+ICF=3,4", kError);
        option(c.echo)->click();
        save();
        EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), c.framing);
    }
    // A line without an echo text gets one.
    control<QLabel>(main(), "Label7")->clear();
    modem().overrideReply("AT+ICF=3,4", kError);
    save();
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), "ECHO:Enable");
}

TEST_F(ModemSettingsWindowTest, AReopenedWindowHasOnlyThePresetsMadeSince) {
    // As the start-up and "Modem Setting->" leave it: everything but DSR.
    window().PresetRate("9600");
    window().PresetFraming("3", "4");
    window().PresetEchoEnabled();
    control<QPushButton>(main(), "Command11")->setEnabled(true);
    control<QPushButton>(main(), "Command11")->click();
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(main().isVisible());
    save();
    EXPECT_EQ(shownMessages(services()), QStringList{"Error:Set DSR Signal | GSM"});

    // Minimising takes the signal window along; the close box unloads.
    form<Form7>().Show();
    window().showMinimized();
    EXPECT_TRUE(form<Form7>().isMinimized());
    window().showNormal();
    window().close();
    EXPECT_FALSE(Forms::instance().isLoaded<Form15>());
    EXPECT_TRUE(main().isVisible());

    control<QPushButton>(main(), "Command11")->click();
    option("Option20")->click();
    services().messages.clear();
    save();
    EXPECT_EQ(shownMessages(services()), QStringList{"Error:Enable/Disable Echo | GSM"});
    EXPECT_EQ(sent(), "");
}

// The handler's error exit: nothing more is sent, the status line keeps its
// waiting text, no message.
TEST_F(ModemSettingsWindowTest, AClosedPortEndsTheSaveQuietly) {
    chooseExample();
    main().MSComm1().setPortOpen(false);
    save();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(label("Label1")->text(), "Please Wait...Saving The Setting");
    EXPECT_TRUE(services().messages.empty());
    EXPECT_EQ(control<QLabel>(main(), "Label6")->text(), "9600");
}

// A device pulled out during the save answers none of the later commands:
// nothing more is written to the port that is gone, and the status line
// shows the failure of each command left unanswered, as a silent module's.
TEST_F(ModemSettingsWindowTest, ADeviceGoneDuringTheSaveShowsTheCommandsLeftUnanswered) {
    chooseExample("9600");
    ports().pullAt(3, *sim::silenceFromText("after 1 AT+ICF"));
    save();
    EXPECT_EQ(commands(sent()), (QStringList{"AT+IPR=9600", "AT+ICF=3,4"}));
    EXPECT_EQ(label("Label1")->text(), "Changes UnsuccessFul-DCE-DTE Flow Control"
                                       "Changes UnsuccessFul-DCD signal"
                                       "Changes UnsuccessFul-DTR signal"
                                       "Changes UnsuccessFul-DSR signal"
                                       "Changes UnsuccessFul-ECHO");
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(),
              "Modem Disconnected.Connect It And Press REFRESH");
}

// The saved port file keeps the old rate: the next start-up fails on it,
// searches, and finds the device at the rate it stored.
TEST_F(ModemSettingsWindowTest, ALaterStartUpFindsTheDeviceAtItsNewRate) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    chooseExample("19200");
    save();
    EXPECT_EQ(readFile("COM.txt"), "9600,N,8,1 3\r\n");
    modem().state().settings = modem().state().storedProfile; // switched off and on
    control<QPushButton>(main(), "Command9")->click();        // REFRESH
    run(5);
    EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), "19200,N,8,1");
    EXPECT_EQ(control<QLabel>(form<Form2>(), "Label3")->text(), modem().state().imei);
    EXPECT_EQ(readFile("COM.txt"), "19200,N,8,1 3\r\n");
}

// With echo off stored in its profile, the device no longer echoes after a
// restart; the start-up must still read its serial number.
TEST_F(ModemSettingsWindowTest, SavedWithEchoOffTheNextStartUpReadsTheSerialNumber) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    chooseExample("9600");
    option("Option27")->click();
    save();
    EXPECT_EQ(modem().state().storedProfile.echo, 0);
    modem().state().settings = modem().state().storedProfile; // switched off and on
    control<QLabel>(form<Form2>(), "Label3")->clear();
    control<QPushButton>(main(), "Command9")->click(); // REFRESH
    run(5);
    EXPECT_EQ(control<QLabel>(form<Form2>(), "Label3")->text(), modem().state().imei);
}
