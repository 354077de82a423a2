// The modem settings window against the simulated modem: the checks before
// saving, the eight commands, how their replies are judged, and the serial
// line following the device onto a new rate or framing.

#include "config/Form15.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"
#include "ui_Form15.h"
#include "ui_Form2.h"

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

class ModemSettingsWindowTest : public ConnectedConsole {
  protected:
    ModemSettingsWindowTest() {
        // As the start-up leaves the main window.
        main().ui->Label6->setText("9600");
        main().ui->Label7->setText(kStartUpFraming);
        main().ShowPortStatus();
    }

    Form15& window() { return form<Form15>(); }
    Ui::Form15& ui() { return *window().ui; }

    // The choices of the worked example: 8 data 1 stop, no parity, RTS and
    // CTS, DCD following the remote modem, DTR switching, DSR always on,
    // echo on, 115200.
    void chooseExample(const QString& rate = "115200") {
        for (QRadioButton* option : {ui().Option4, ui().Option12, ui().Option15, ui().Option19,
                                     ui().Option23, ui().Option25, ui().Option20, ui().Option28})
            option->click();
        typeOver(ui().Combo1, rate);
    }

    // Presses "Save Configurations"; the commands it sent and when, with the
    // settings the port wrote them with.
    std::vector<SimPorts::Write> save() {
        const size_t before = ports().writes(3).size();
        sent();
        ui().Command1->click();
        const auto& all = ports().writes(3);
        return std::vector<SimPorts::Write>(all.begin() + static_cast<long>(before), all.end());
    }

    // Whether the modem answers a command now, on the port as it is.
    bool answers() {
        main().link().sendCommand("AT", 1);
        const bool ok = main().Text1().result("AT") == TerminalLog::Result::Ok;
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
        main().ui->Label6->setText("9600");
        main().ui->Label7->setText(kStartUpFraming);
    }
};

// The tests that read the module's verdicts, in every shape modules answer in.
using ModemSettingsInShapes = InEveryShape<ModemSettingsWindowTest>;
INSTANTIATE_TEST_SUITE_P(Shapes, ModemSettingsInShapes, ::testing::ValuesIn(moduleShapes()),
                         shapeName);

TEST_F(ModemSettingsWindowTest, LoadFillsTheRatesAndAPresetShowsTheDeviceRate) {
    EXPECT_EQ(items(ui().Combo1), kRates);
    EXPECT_EQ(ui().Combo1->currentText(), "");
    window().PresetRate("57600");
    EXPECT_EQ(ui().Combo1->currentText(), "57600");
}

// Each check in its turn: its message with the title "GSM", nothing sent, the
// status line untouched; a rate that is not plain digits is no rate.
TEST_F(ModemSettingsWindowTest, ChecksStopTheSaveInTheirOrderAndSendNothing) {
    ui().Label1->setText("before");
    const std::pair<std::function<void()>, const char*> checks[] = {
        {[&] { ui().Option4->click(); }, "Framing Format Cannot Be Blank"},
        {[&] { ui().Option12->click(); }, "Parity Cannot Be Blank"},
        {[&] { ui().Option15->click(); }, "DCE-DTE Control Cannot Be Blank"},
        {[&] { ui().Option19->click(); }, "DTE-DCE Control Cannot Be Blank"},
        {[&] { typeOver(ui().Combo1, " 115200 "); }, "Select IPR Correctly"},
        {[&] { ui().Option20->click(); }, "Error:Set DSR Signal"},
        {[&] { ui().Option23->click(); }, "Error:Set DCD Signal"},
        {[&] { ui().Option25->click(); }, "Error:Set DTR Signal"},
        {[&] { ui().Option28->click(); }, "Error:Enable/Disable Echo"},
    };
    const QStringList ratesRefused = {"", "  ", "96;00", "OK", "115200;+CFUN=0", "+9600"};
    for (const auto& [choose, message] : checks) {
        SCOPED_TRACE(message);
        const bool rateCheck = QString(message) == "Select IPR Correctly";
        for (const QString& typed : rateCheck ? ratesRefused : QStringList{QString()}) {
            SCOPED_TRACE(typed.toStdString());
            if (rateCheck) typeOver(ui().Combo1, typed);
            services().messages.clear();
            save();
            EXPECT_EQ(shownMessages(services()), QStringList{QString(message) + " | GSM"});
            EXPECT_EQ(sent(), "");
            EXPECT_EQ(ui().Label1->text(), "before");
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
    EXPECT_EQ(ui().Label1->text(), "Changes SuccessFul");
    EXPECT_EQ(main().ui->Label6->text(), "Speed:115200");
    EXPECT_EQ(main().ui->Label7->text(), "Character Framing:8 Data,1 Stop Parity:NoneECHO:Enable");
    EXPECT_EQ(main().ui->Label3->text(), "115200,N,8,1");
    EXPECT_EQ(main().ui->Label1->text(), "Open");
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_EQ(modem().state().storedProfile.params["+IPR"], "115200");
    // Only the start-up and the serial settings dialog write the saved port.
    EXPECT_FALSE(QFile::exists(services().path("COM.txt")));
    // The next command is answered.
    main().ui->Command1->setEnabled(true);
    main().ui->Command1->click();
    EXPECT_TRUE(form<Form2>().isVisible());
}

// Every option of every group, and every rate of the list, puts its own code
// into its command; a typed rate is sent as typed, not completed to a rate
// of the list it begins.
TEST_F(ModemSettingsWindowTest, EachChoiceSendsItsOwnCode) {
    using F = Ui::Form15;
    struct Case {
        QString name;
        std::function<void()> choose;
        QString command;
    };
    auto option = [&](QRadioButton* F::*button, const char* command) {
        return Case{(ui().*button)->objectName(), [=] { (ui().*button)->click(); }, command};
    };
    std::vector<Case> cases = {
        option(&F::Option1, "AT+ICF=0,4"),
        option(&F::Option2, "AT+ICF=1,4"),
        option(&F::Option3, "AT+ICF=2,4"),
        option(&F::Option4, "AT+ICF=3,4"),
        option(&F::Option5, "AT+ICF=4,4"),
        option(&F::Option6, "AT+ICF=5,4"),
        option(&F::Option7, "AT+ICF=6,4"),
        option(&F::Option8, "AT+ICF=3,0"),
        option(&F::Option9, "AT+ICF=3,1"),
        option(&F::Option10, "AT+ICF=3,2"),
        option(&F::Option11, "AT+ICF=3,3"),
        option(&F::Option12, "AT+ICF=3,4"),
        option(&F::Option13, "AT+IFC=0,2"),
        option(&F::Option14, "AT+IFC=1,2"),
        option(&F::Option15, "AT+IFC=2,2"),
        option(&F::Option16, "AT+IFC=3,2"),
        option(&F::Option17, "AT+IFC=2,0"),
        option(&F::Option18, "AT+IFC=2,1"),
        option(&F::Option19, "AT+IFC=2,2"),
        option(&F::Option22, "AT&C0"),
        option(&F::Option23, "AT&C1"),
        option(&F::Option24, "AT&D0"),
        option(&F::Option25, "AT&D1"),
        option(&F::Option26, "AT&D2"),
        option(&F::Option20, "AT&S0"),
        option(&F::Option21, "AT&S1"),
        option(&F::Option27, "ATE0"),
        option(&F::Option28, "ATE1"),
        {"typed 96", [&] { typeOver(ui().Combo1, "96"); }, "AT+IPR=96"},
        {"typed 1920, Enter", [&] { typeOver(ui().Combo1, "1920\n"); }, "AT+IPR=1920"},
        {"typed 4800, Enter", [&] { typeOver(ui().Combo1, "4800\n"); }, "AT+IPR=4800"},
    };
    for (const QString& rate : kRates)
        cases.push_back({"rate " + rate, [&, rate] { pick(ui().Combo1, rate); }, "AT+IPR=" + rate});
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
    EXPECT_EQ(items(ui().Combo1), kRates);
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
        EXPECT_EQ(ui().Label1->text(), c.status);
        EXPECT_EQ(main().ui->Label6->text(), c.speed);
        EXPECT_EQ(main().ui->Label7->text(), c.framing);
        EXPECT_EQ(main().ui->Label3->text(), c.port);
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
        QRadioButton* Ui::Form15::*format;
        QRadioButton* Ui::Form15::*parity;
        QString port;
        QString status;
        QByteArray framingReply = {}; // replaces the device's own answer when given
    };
    using F = Ui::Form15;
    const Case cases[] = {
        {"19200", &F::Option4, &F::Option12, "19200,N,8,1", "Changes SuccessFul"},
        {"300", &F::Option4, &F::Option12, "300,N,8,1", "Changes SuccessFul"},
        {"38400", &F::Option6, &F::Option9, "38400,E,7,1", "Changes SuccessFul"},
        {"0", &F::Option4, &F::Option12, "9600,N,8,1", "Changes SuccessFul"},
        {"14400", &F::Option4, &F::Option12, "9600,N,8,1", kIprFailure}, // refused
        {"9600", &F::Option2, &F::Option12, "9600,N,8,2", "Changes SuccessFul"},
        {"9600", &F::Option3, &F::Option8, "9600,O,8,1", "Changes SuccessFul"},
        {"9600", &F::Option3, &F::Option9, "9600,E,8,1", "Changes SuccessFul"},
        {"9600", &F::Option5, &F::Option10, "9600,N,7,2", "Changes SuccessFul"},
        {"9600", &F::Option6, &F::Option10, "9600,M,7,1", "Changes SuccessFul"},
        {"9600", &F::Option6, &F::Option11, "9600,S,7,1", "Changes SuccessFul"},
        {"9600", &F::Option7, &F::Option9, "9600,N,7,1", "Changes SuccessFul"},
        {"9600", &F::Option1, &F::Option12, "9600,N,8,1", "Changes SuccessFul"},
        {"9600", &F::Option3, &F::Option12, "9600,N,8,1", kIcfFailure}, // refused
        {"9600", &F::Option3, &F::Option12, "9600,N,8,1", "Changes SuccessFul", "\r\nOK\r\n"},
    };
    for (const Case& c : cases) {
        resetLine();
        chooseExample(c.rate);
        (ui().*c.format)->click();
        (ui().*c.parity)->click();
        SCOPED_TRACE(
            (c.rate + QString(" ") + (ui().*c.format)->text() + " " + (ui().*c.parity)->text())
                .toStdString());
        if (!c.framingReply.isEmpty()) modem().overrideReply("AT+ICF=2,4", c.framingReply);
        const auto writes = save();
        ASSERT_EQ(writes.size(), 8u);
        EXPECT_EQ(writes.front().settings, "9600,N,8,1");
        EXPECT_EQ(writes.back().settings, c.port);
        EXPECT_EQ(main().ui->Label3->text(), c.port);
        EXPECT_EQ(ui().Label1->text(), c.status);
        EXPECT_TRUE(answers());
    }
}

// The echo text replaces the one the framing line ends in, however often
// the configuration is saved and whether or not the framing was taken.
TEST_F(ModemSettingsWindowTest, RepeatedSavesKeepOneEchoText) {
    struct Case {
        QRadioButton* Ui::Form15::*echo;
        bool framingTaken;
        QString framing;
    };
    const QString summary = "Character Framing:8 Data,1 Stop Parity:None";
    const Case cases[] = {
        {&Ui::Form15::Option28, false, summary + "ECHO:Enable"},
        {&Ui::Form15::Option27, false, summary + "ECHO:Disable"},
        {&Ui::Form15::Option27, true, summary + "ECHO:Disable"},
        // The device no longer echoes; its replies are read all the same.
        {&Ui::Form15::Option28, false, summary + "ECHO:Enable"},
        {&Ui::Form15::Option28, true, summary + "ECHO:Enable"},
    };
    chooseExample("9600");
    for (const Case& c : cases) {
        modem().clearOverrides();
        if (!c.framingTaken) modem().overrideReply("AT+ICF=3,4", kError);
        (ui().*c.echo)->click();
        save();
        EXPECT_EQ(main().ui->Label7->text(), c.framing);
    }
    // A line without an echo text gets one.
    main().ui->Label7->clear();
    modem().overrideReply("AT+ICF=3,4", kError);
    save();
    EXPECT_EQ(main().ui->Label7->text(), "ECHO:Enable");
}

TEST_F(ModemSettingsWindowTest, AReopenedWindowHasOnlyThePresetsMadeSince) {
    // As the start-up and "Modem Setting->" leave it: everything but DSR.
    window().PresetRate("9600");
    window().PresetFraming("3", "4");
    window().PresetEchoEnabled();
    main().ui->Command11->setEnabled(true);
    main().ui->Command11->click();
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

    main().ui->Command11->click();
    ui().Option20->click();
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
    EXPECT_EQ(ui().Label1->text(), "Please Wait...Saving The Setting");
    EXPECT_TRUE(services().messages.empty());
    EXPECT_EQ(main().ui->Label6->text(), "9600");
}

// The saved port file keeps the old rate: the next start-up fails on it,
// searches, and finds the device at the rate it stored.
TEST_F(ModemSettingsWindowTest, ALaterStartUpFindsTheDeviceAtItsNewRate) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    chooseExample("19200");
    save();
    EXPECT_EQ(readFile("COM.txt"), "9600,N,8,1 3\r\n");
    modem().state().settings = modem().state().storedProfile; // switched off and on
    main().ui->Command9->click();                             // REFRESH
    run(5);
    EXPECT_EQ(main().ui->Label3->text(), "19200,N,8,1");
    EXPECT_EQ(form<Form2>().ui->Label3->text(), modem().state().imei);
    EXPECT_EQ(readFile("COM.txt"), "19200,N,8,1 3\r\n");
}

// With echo off stored in its profile, the device no longer echoes after a
// restart; the start-up must still read its serial number.
TEST_F(ModemSettingsWindowTest, SavedWithEchoOffTheNextStartUpReadsTheSerialNumber) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    chooseExample("9600");
    ui().Option27->click();
    save();
    EXPECT_EQ(modem().state().storedProfile.echo, 0);
    modem().state().settings = modem().state().storedProfile; // switched off and on
    form<Form2>().ui->Label3->clear();
    main().ui->Command9->click(); // REFRESH
    run(5);
    EXPECT_EQ(form<Form2>().ui->Label3->text(), modem().state().imei);
}
