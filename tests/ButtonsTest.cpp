#include "calls/Form3.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "config/Form14.h"
#include "config/Form15.h"
#include "config/Form16.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "link/frmSettings.h"
#include "services/Form12.h"
#include "services/Form9.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"

#include <QFrame>
#include <QListWidget>
#include <QPushButton>

#include <functional>
#include <optional>

namespace {

const QString kWelcome = QString(22, ' ') + "Welcome To Kovalt Telecom Application";

} // namespace

// The main window connected to the modem on port 3, with every button
// enabled as the end of the modem initialisation leaves them.
class ButtonsTest : public ConnectedConsole {
  protected:
    ButtonsTest() {
        main().Show();
        main().ShowPortStatus();
        for (QPushButton* button : main().findChildren<QPushButton*>())
            button->setEnabled(true);
    }

    void setPortOpen(bool open) {
        if (main().MSComm1().PortOpen() != open) main().MSComm1().setPortOpen(open);
    }

    // Every message box so far, as its text and its title.
    QStringList messages() { return shownMessages(services()); }

    // Presses "Port Settings->" and, once its dialog is up, acts on it the
    // way a user would while the button waits for the dialog to close.
    void pressPortSettings(const std::function<void(frmSettings&)>& act, double after = 0.5) {
        clock().schedule(clock().seconds() + after, [act] {
            if (!Forms::instance().isLoaded<frmSettings>()) {
                ADD_FAILURE() << "the settings dialog is not open";
                return;
            }
            act(form<frmSettings>());
        });
        const auto guard = clock().schedule(clock().seconds() + 60, [] {
            if (!Forms::instance().isLoaded<frmSettings>()) return;
            ADD_FAILURE() << "the settings dialog was left open";
            form<frmSettings>().close();
        });
        control<QPushButton>(main(), "Command7")->click();
        clock().cancel(guard);
    }
};

TEST_F(ButtonsTest, ModelShowsTheDetailsOnlyWhenThePortIsOpenAndTheModemAnswers) {
    struct Case {
        const char* name;
        bool portOpen;
        bool modemAnswers;
        const char* portLabel;
        QByteArray sent;
        bool detailsShown;
        QStringList messages;
    };
    const Case cases[] = {
        {"port closed", false, true, "Closed", "", false, {}},
        {"modem answers", true, true, "Open", "AT\r", true, {}},
        {"modem silent",
         true,
         false,
         "Open",
         "AT\r",
         false,
         {"Check If Modem Is Connected Properly.Set The CommPorts | GSM"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setPortOpen(c.portOpen);
        modem().dropReplies("AT", !c.modemAnswers);
        services().messages.clear();
        form<Form2>().hide();
        main().Show();
        sent();
        control<QPushButton>(main(), "Command1")->click();
        EXPECT_EQ(control<QLabel>(main(), "Label1")->text(), c.portLabel);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(form<Form2>().isVisible(), c.detailsShown);
        EXPECT_EQ(main().isVisible(), !c.detailsShown);
        EXPECT_EQ(messages(), c.messages);
        if (c.detailsShown) {
            EXPECT_TRUE(main().Text1().isEmpty());
        }
    }
}

TEST_F(ButtonsTest, VoiceCallOpensTheCallWindowBesideTheMainWindowWhenTheModemAnswers) {
    struct Case {
        const char* name;
        bool portOpen;
        bool modemAnswers;
        QByteArray firstSent;
        bool callShown;
    };
    const Case cases[] = {
        {"modem answers", true, true, "AT\r", true},
        {"modem silent", true, false, "AT\r", false},
        {"port closed", false, true, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setPortOpen(c.portOpen);
        modem().dropReplies("AT", !c.modemAnswers);
        unloadIfLoaded<Form3>();
        control<QLabel>(main(), "Label5")->setText("before");
        sent();
        control<QPushButton>(main(), "Command2")->click();
        // Once shown, the call window's own load goes on talking to the modem.
        const QByteArray written = sent();
        EXPECT_TRUE(written.startsWith(c.firstSent));
        EXPECT_EQ(Forms::instance().isLoaded<Form3>() && form<Form3>().isVisible(), c.callShown);
        EXPECT_TRUE(main().isVisible());
        if (!c.callShown) {
            EXPECT_EQ(written, c.firstSent);
            EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "before");
        }
    }
}

TEST_F(ButtonsTest, SmsPresetsTheStatusReportChoiceFromTheMessageIndicationSettings) {
    struct Case {
        QByteArray reply;
        const char* reportText;
        QStringList selected;
    };
    const Case cases[] = {
        {"\r\n+CNMI: 0,1,0,1,0\r\n\r\nOK\r\n", "Status Report Enabled", {"Option3"}},
        {"\r\n+CNMI: 2,1,0,0,0\r\n\r\nOK\r\n", "Status Report Disabled", {"Option4"}},
        {"\r\n+CNMI: 0,1,0,1,0\r\n\r\nERROR\r\n", "Status Report Disabled", {"Option4"}},
        {"\r\nERROR\r\n", "Status Report Disabled", {"Option4"}},
        {"\r\n+CMS ERROR: 303\r\n", "Status Report Disabled", {"Option4"}},
        {"\r\n+CNMI: 0,1,0,2,0\r\n\r\nOK\r\n", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        modem().overrideReply("AT+CNMI?", c.reply);
        unloadIfLoaded<Form8>();
        main().Show();
        control<QPushButton>(main(), "Command3")
            ->setStyleSheet("background-color: #ffc0c0;"); // a new message came
        sent();
        control<QPushButton>(main(), "Command3")->click();
        EXPECT_EQ(sent(), "AT+CNMI?\r");
        Form8& sms = form<Form8>();
        EXPECT_EQ(control<QLabel>(sms, "Label6")->text(), c.reportText);
        EXPECT_EQ(checkedAmong(sms, {"Option3", "Option4"}), c.selected);
        EXPECT_TRUE(sms.isVisible());
        EXPECT_FALSE(main().isVisible());
        EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "");
        EXPECT_EQ(control<QPushButton>(main(), "Command3")->styleSheet(),
                  "background-color: #e0e0e0;");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_F(ButtonsTest, SmsWithThePortClosedEndsQuietly) {
    setPortOpen(false);
    control<QPushButton>(main(), "Command3")->click();
    EXPECT_EQ(sent(), "");
    EXPECT_FALSE(Forms::instance().isLoaded<Form8>() && form<Form8>().isVisible());
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(services().messages.empty());
}

TEST_F(ButtonsTest, ModemSettingPresetsFlowControlAndControlLinesFromTheProfile) {
    const QStringList groups = {"Option13", "Option14", "Option15", "Option16",
                                "Option17", "Option18", "Option19", "Option22",
                                "Option23", "Option24", "Option25", "Option26"};
    struct Case {
        const char* name;
        std::optional<QByteArray> dump; // none: the modem's own profile
        QStringList selected;
    };
    const Case cases[] = {
        {"the modem's own profile", std::nullopt, {"Option15", "Option19", "Option23", "Option26"}},
        {"RTS, CTS, DCD follows, DTR clears down",
         "+IFC:2,2 &C:1 &D:2",
         {"Option15", "Option19", "Option23", "Option26"}},
        {"no flow control in the dump", "&C:0 &D:1", {"Option22", "Option25"}},
        {"the lowest values",
         "+IFC:0,1 &C:0 &D:0",
         {"Option13", "Option18", "Option22", "Option24"}},
        {"global XON/XOFF", "+IFC:3,0", {"Option16", "Option17"}},
        {"values outside the tables", "+IFC:4,3 &C:2 &D:3", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        if (c.dump)
            modem().overrideReply("AT&V", "\r\nE:1 Q:0 V:1\r\n" + *c.dump + "\r\n\r\nOK\r\n");
        unloadIfLoaded<Form15>();
        main().Show();
        sent();
        control<QPushButton>(main(), "Command11")->click();
        EXPECT_EQ(sent(), "AT&V\r");
        EXPECT_EQ(checkedAmong(form<Form15>(), groups), c.selected);
        EXPECT_TRUE(form<Form15>().isVisible());
        EXPECT_FALSE(main().isVisible());
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_F(ButtonsTest, ModemSettingWithoutFramingInTheProfileKeepsTheFramingOptions) {
    Form15& settings = form<Form15>();
    control<QRadioButton>(settings, "Option4")->setChecked(true);
    control<QRadioButton>(settings, "Option9")->setChecked(true);
    modem().overrideReply("AT&V", "\r\n+IPR:9600 &C:1 &D:2 +IFC:2,2\r\n\r\nOK\r\n");
    control<QPushButton>(main(), "Command11")->click();
    EXPECT_EQ(checkedAmong(settings,
                           {"Option1", "Option2", "Option3", "Option4", "Option5", "Option6",
                            "Option7", "Option8", "Option9", "Option10", "Option11", "Option12"}),
              (QStringList{"Option4", "Option9"}));
}

TEST_F(ButtonsTest, FactorySettingsResetsAnOpenPortAndOnlyReportsAClosedOne) {
    struct Case {
        bool portOpen;
        QByteArray sent;
        const char* during;
        const char* after;
    };
    const Case cases[] = {
        {true, "AT&F\rAT+SPEAKER=1\rAT&W\r", "IniTializing To Factory Settings",
         "Restart in Process.Click Refresh "},
        {false, "", "Port Not Open ", "Port Not Open "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.portOpen ? "open" : "closed");
        setPortOpen(c.portOpen);
        control<QLabel>(main(), "Label5")->clear();
        sent();
        QString during;
        clock().schedule(clock().seconds() + 0.5,
                         [&] { during = control<QLabel>(main(), "Label5")->text(); });
        control<QPushButton>(main(), "Command13")->click();
        run(1);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(during, c.during);
        EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), c.after);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_F(ButtonsTest, ExitSavesTheProfileOnAnOpenPortAndEndsTheProgram) {
    struct Case {
        bool portOpen;
        QByteArray sent;
    };
    for (const Case& c : {Case{true, "AT&W\r"}, Case{false, ""}}) {
        SCOPED_TRACE(c.portOpen ? "open" : "closed");
        setPortOpen(c.portOpen);
        form<Form7>().Show();
        main().Text1().setText("earlier text");
        services().ended = 0;
        sent();
        control<QPushButton>(main(), "Command8")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_TRUE(main().Text1().text().startsWith("earlier text")); // not emptied first
        EXPECT_FALSE(form<Form7>().isVisible());
        EXPECT_EQ(services().ended, 1);
    }
}

TEST_F(ButtonsTest, RefreshClosesThePortEmptiesItsLabelsAndStartsAgain) {
    control<QFrame>(main(), "Frame5")->hide();
    control<QListWidget>(main(), "List1")->addItem("an old progress line");
    clock().setDateTime(QDateTime(QDate(2026, 6, 1), QTime(12, 30, 0)));
    control<QPushButton>(main(), "Command9")->click();
    EXPECT_FALSE(main().MSComm1().PortOpen());
    EXPECT_EQ(control<QLabel>(main(), "Label1")->text(), "");
    EXPECT_EQ(control<QLabel>(main(), "Label2")->text(), "");
    EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), "");
    EXPECT_TRUE(
        control<QFrame>(main(), "Frame5")->isVisibleTo(control<QLabel>(main(), "Picture1")));
    EXPECT_EQ(items(control<QListWidget>(main(), "List1")), QStringList{kWelcome});
    EXPECT_EQ(control<QLabel>(main(), "Label9")->text(), "System Started  01/06/2026,12:30:00");
}

TEST_F(ButtonsTest, RefreshTwiceRunsTheStartUpTwiceAndKeepsTheWrongPinCount) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    control<QLineEdit>(main(), "Text2")->setText("2");
    const int opensBefore = ports().opens(3);
    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        sent();
        control<QPushButton>(main(), "Command9")->click();
        EXPECT_TRUE(sent().startsWith("AT+CGSN\r"));
        EXPECT_EQ(ports().opens(3), opensBefore + press);
        EXPECT_EQ(control<QLabel>(main(), "Label1")->text(), "Open");
        EXPECT_EQ(control<QLabel>(main(), "Label2")->text(), "Port 3");
        EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), "9600,N,8,1");
        EXPECT_EQ(control<QLineEdit>(main(), "Text2")->text(), "2");
    }
}

TEST_F(ButtonsTest, EachFeatureButtonOpensItsWindowInsteadOfTheMainWindow) {
    struct Case {
        const char* name;
        const char* button;
        std::function<FormBase&()> window;
        std::function<bool()> loaded;
        const char* caption;
        const char* status; // nullptr: the status line is not touched
        bool closeBoxShowsMain;
    };
    const Case cases[] = {
        {"Supplementary Service", "Command4", []() -> FormBase& { return form<Form12>(); },
         [] { return Forms::instance().isLoaded<Form12>(); }, "GSM-Supplementary Service",
         "Please Wait....", true},
        {"Security", "Command5", []() -> FormBase& { return form<Form9>(); },
         [] { return Forms::instance().isLoaded<Form9>(); }, "GSM-SECURITY", nullptr, true},
        {"Call Control", "Command6", []() -> FormBase& { return form<Form6>(); },
         [] { return Forms::instance().isLoaded<Form6>(); }, "GSM-Call Control", "Please Wait...",
         false},
        {"Data-Fax Setup", "Command10", []() -> FormBase& { return form<Form14>(); },
         [] { return Forms::instance().isLoaded<Form14>(); }, "GSM-DATA&FAX SETUP", nullptr, true},
        {"Other Features", "Command12", []() -> FormBase& { return form<Form16>(); },
         [] { return Forms::instance().isLoaded<Form16>(); }, "GSM-Others FeaTures", nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main().Show();
        control<QLabel>(main(), "Label5")->setText("before");
        control<QPushButton>(main(), c.button)->click();
        FormBase& window = c.window();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), c.caption);
        EXPECT_FALSE(main().isVisible());
        EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), c.status ? c.status : "before");
        if (!c.closeBoxShowsMain) continue;
        window.close();
        EXPECT_FALSE(c.loaded());
        EXPECT_TRUE(main().isVisible());
    }
}

TEST_F(ButtonsTest, PortSettingsWaitsForTheDialogWhileTheWindowsStayLive) {
    control<QLabel>(main(), "Label4")->clear();
    bool dialogSeen = false;
    pressPortSettings(
        [&](frmSettings& dialog) {
            dialogSeen = dialog.isVisible();
            EXPECT_EQ(dialog.windowTitle(), "Communications Port Settings");
            EXPECT_FALSE(main().MSComm1().PortOpen());
            EXPECT_EQ(sent(), "");
            EXPECT_NE(control<QLabel>(main(), "Label4")->text(), ""); // the clock kept ticking
            control<QPushButton>(dialog, "cmdAction1")->click();
        },
        2.5);
    EXPECT_TRUE(dialogSeen);
    EXPECT_FALSE(Forms::instance().isLoaded<frmSettings>());
}

TEST_F(ButtonsTest, PortSettingsPressedAgainWhileTheDialogIsOpenOnlyBringsItForward) {
    pressPortSettings([this](frmSettings& dialog) {
        control<QPushButton>(main(), "Command7")->click();
        EXPECT_EQ(&form<frmSettings>(), &dialog);
        EXPECT_EQ(control<QComboBox>(dialog, "cboBaud")->count(), 10);
        control<QPushButton>(dialog, "cmdAction1")->click();
    });
    EXPECT_TRUE(ports().isOpen(3));
    EXPECT_EQ(sent().count("AT+CGSN\r"), 1);
}

TEST_F(ButtonsTest, PortSettingsTakesTheNewPortIntoUseWhenTheModemAnswers) {
    sim::SimModem& other = ports().attachModem(2, 4800);
    other.state().imei = "356938035643809";
    other.state().settings.params["+ICF"] = "0,4"; // it detects the framing
    pressPortSettings([](frmSettings& dialog) {
        control<QComboBox>(dialog, "cboPort")
            ->setCurrentIndex(control<QComboBox>(dialog, "cboPort")->findText(" 2"));
        control<QComboBox>(dialog, "cboBaud")
            ->setCurrentIndex(control<QComboBox>(dialog, "cboBaud")->findText("4800"));
        control<QRadioButton>(dialog, "optParity0")->click();
        control<QRadioButton>(dialog, "optDataBits0")->click();
        control<QRadioButton>(dialog, "optStopBits1")->click();
        control<QPushButton>(dialog, "cmdAction0")->click();
    });
    EXPECT_FALSE(ports().isOpen(3));
    EXPECT_TRUE(ports().isOpen(2));
    ASSERT_FALSE(ports().writes(2).empty());
    EXPECT_EQ(ports().writes(2).front().bytes, "AT+CGSN\r");
    EXPECT_EQ(control<QLabel>(main(), "Label1")->text(), "Open");
    EXPECT_EQ(control<QLabel>(main(), "Label2")->text(), "Port 2");
    EXPECT_EQ(control<QLabel>(main(), "Label3")->text(), "4800,E,7,2");
    EXPECT_EQ(control<QLabel>(form<Form2>(), "Label2")->text(), "IMEI: ");
    EXPECT_EQ(control<QLabel>(form<Form2>(), "Label3")->text(), "356938035643809");
    EXPECT_EQ(readFile("COM.txt"), "4800,E,7,2 2\r\n");
    EXPECT_TRUE(main().isVisible());
}

TEST_F(ButtonsTest, PortSettingsReportsAPortWithoutAModem) {
    ports().addDevice(5);
    pressPortSettings([](frmSettings& dialog) {
        control<QComboBox>(dialog, "cboPort")
            ->setCurrentIndex(control<QComboBox>(dialog, "cboPort")->findText(" 5"));
        control<QPushButton>(dialog, "cmdAction0")->click();
    });
    EXPECT_EQ(ports().writes(5).size(), 1u);
    EXPECT_EQ(control<QLabel>(main(), "Label1")->text(), "Open");
    EXPECT_EQ(control<QLabel>(main(), "Label2")->text(), "Port 5");
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "Check If Modem Is Connected Properly");
    EXPECT_EQ(items(control<QListWidget>(main(), "List1")).last(),
              "Check If Modem Is Connected Properly.");
    EXPECT_EQ(readFile("COM.txt"), "");
}

TEST_F(ButtonsTest, PortSettingsCancelledProbesThePortAgainAndSavesIt) {
    pressPortSettings(
        [](frmSettings& dialog) { control<QPushButton>(dialog, "cmdAction1")->click(); });
    EXPECT_TRUE(ports().isOpen(3));
    EXPECT_TRUE(sent().startsWith("AT+CGSN\r"));
    EXPECT_EQ(readFile("COM.txt"), "9600,N,8,1 3\r\n");
}

TEST_F(ButtonsTest, PortSettingsThatLeaveThePortClosedShowItAsClosed) {
    ASSERT_EQ(control<QLabel>(main(), "Label1")->text(), "Open");
    pressPortSettings([](frmSettings& dialog) {
        control<QComboBox>(dialog, "cboPort")->setCurrentIndex(0); // "<none>"
        control<QPushButton>(dialog, "cmdAction0")->click();
    });
    EXPECT_FALSE(main().MSComm1().PortOpen());
    EXPECT_EQ(control<QLabel>(main(), "Label1")->text(), "Closed");
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(readFile("COM.txt"), "");
}
