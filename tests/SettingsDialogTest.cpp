#include "link/frmSettings.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"

namespace {

const QString kTitle = "Communications Port Settings";

// The index of the selected option of one of the dialog's option arrays, -1
// when none is.
int selectedIndex(const frmSettings& dialog, const QString& array, int count) {
    for (int i = 0; i < count; ++i)
        if (control<QRadioButton>(dialog, array + QString::number(i))->isChecked()) return i;
    return -1;
}

} // namespace

// The main window's serial control open on port 3 at 9600,n,8,1 beside a free
// port 2, a port 12 that another program holds and a port 14 this user may
// not open.
class SettingsDialogTest : public ConnectedConsole {
  protected:
    SettingsDialogTest() {
        ports().addDevice(2);
        ports().addDevice(12);
        ports().hold(12);
        ports().deny(14);
    }

    MSComm& port() { return main().MSComm1(); }
    frmSettings& openDialog() {
        frmSettings::CommSettings(&port(), kTitle);
        return form<frmSettings>();
    }
    bool dialogLoaded() const { return Forms::instance().isLoaded<frmSettings>(); }
    void choosePort(frmSettings& dialog, const QString& entry) {
        const int at = control<QComboBox>(dialog, "cboPort")->findText(entry);
        ASSERT_GE(at, 0) << entry.toStdString();
        control<QComboBox>(dialog, "cboPort")->setCurrentIndex(at);
    }
    // What the settings store received, one "section/key=value" a write.
    QStringList storeWrites() {
        QStringList writes;
        for (const auto& s : services().settings)
            writes << s.section + "/" + s.key + "=" + s.value.toString();
        return writes;
    }
};

TEST_F(SettingsDialogTest, FirstOpeningClosesThePortAndPresetsItsState) {
    frmSettings& dialog = openDialog();
    EXPECT_FALSE(ports().isOpen(3));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog.windowTitle(), kTitle);
    EXPECT_TRUE(control<QPushButton>(dialog, "cmdAction0")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(dialog, "cmdAction1")->isEnabled());
    EXPECT_EQ(items(control<QComboBox>(dialog, "cboPort")),
              (QStringList{"<none>", " 2", " 3", " 12 - Not Available", " 14 - Not Available"}));
    EXPECT_EQ(control<QComboBox>(dialog, "cboPort")->currentText(), " 3");
    EXPECT_EQ(items(control<QComboBox>(dialog, "cboBaud")),
              (QStringList{"300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600",
                           "115200"}));
    EXPECT_EQ(control<QComboBox>(dialog, "cboBaud")->currentText(), "9600");
    EXPECT_TRUE(control<QRadioButton>(dialog, "optParity2")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(dialog, "optDataBits1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(dialog, "optStopBits0")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(dialog, "optStopBits1")->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(dialog, "optHandshake0")->isChecked());
}

TEST_F(SettingsDialogTest, ChoicesArePresetFromTheControl) {
    struct Case {
        const char* settings;
        int handshaking;
        const char* rate;
        int parity;
        int dataBits;
        int stopBits;
        bool twoStopBitsAllowed;
    };
    const Case cases[] = {
        {"9600,n,8,1", 0, "9600", 2, 1, 0, false},
        {"110,e,7,2", 2, "115200", 0, 0, 1, true}, // a rate the list lacks: the last one
        {"2400,O,7,1", 3, "2400", 1, 0, 0, true},
        {"57600,E,8,1", 1, "57600", 0, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        port().setSettings(c.settings);
        port().setHandshaking(c.handshaking);
        frmSettings& dialog = openDialog();
        EXPECT_EQ(control<QComboBox>(dialog, "cboBaud")->currentText(), c.rate);
        EXPECT_EQ(selectedIndex(dialog, "optParity", 3), c.parity);
        EXPECT_EQ(selectedIndex(dialog, "optDataBits", 2), c.dataBits);
        EXPECT_EQ(selectedIndex(dialog, "optStopBits", 2), c.stopBits);
        EXPECT_EQ(control<QRadioButton>(dialog, "optStopBits1")->isEnabled(), c.twoStopBitsAllowed);
        EXPECT_EQ(selectedIndex(dialog, "optHandshake", 4), c.handshaking);
        control<QPushButton>(dialog, "cmdAction1")->click();
        EXPECT_TRUE(ports().isOpen(3));
    }
}

TEST_F(SettingsDialogTest, OpenedWithThePortClosedSelectsNoneAndCancelKeepsItClosed) {
    port().setPortOpen(false);
    frmSettings& dialog = openDialog();
    EXPECT_EQ(control<QComboBox>(dialog, "cboPort")->currentText(), "<none>");
    control<QPushButton>(dialog, "cmdAction1")->click();
    EXPECT_FALSE(dialogLoaded());
    EXPECT_FALSE(ports().isOpen(3));
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(storeWrites().isEmpty());
}

TEST_F(SettingsDialogTest, OkAppliesTheChoicesOpensThePortAndStoresWhatTheControlTook) {
    frmSettings& dialog = openDialog();
    control<QRadioButton>(dialog, "optDataBits0")->click();
    control<QRadioButton>(dialog, "optStopBits1")->click();
    control<QRadioButton>(dialog, "optParity0")->click();
    control<QRadioButton>(dialog, "optHandshake2")->click();
    QComboBox* rates = control<QComboBox>(dialog, "cboBaud");
    rates->setCurrentIndex(rates->findText("4800"));
    choosePort(dialog, " 2");
    control<QPushButton>(dialog, "cmdAction0")->click();
    EXPECT_EQ(port().CommPort(), 2);
    EXPECT_EQ(port().Settings(), "4800,E,7,2");
    EXPECT_EQ(port().Handshaking(), 2);
    EXPECT_TRUE(ports().isOpen(2));
    EXPECT_FALSE(ports().isOpen(3));
    EXPECT_EQ(storeWrites(), (QStringList{"/Settings=4800,E,7,2", "/Port=2", "/Handshaking=2"}));
    EXPECT_FALSE(dialogLoaded());
    EXPECT_TRUE(main().isVisible());
}

TEST_F(SettingsDialogTest, TwoStopBitsGoOnlyWithSevenDataBits) {
    frmSettings& dialog = openDialog();
    control<QRadioButton>(dialog, "optDataBits0")->click();
    EXPECT_TRUE(control<QRadioButton>(dialog, "optStopBits1")->isEnabled());
    control<QRadioButton>(dialog, "optStopBits1")->click();
    control<QRadioButton>(dialog, "optDataBits1")->click();
    EXPECT_TRUE(control<QRadioButton>(dialog, "optStopBits0")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(dialog, "optStopBits1")->isEnabled());
    control<QRadioButton>(dialog, "optDataBits0")->click();
    EXPECT_TRUE(control<QRadioButton>(dialog, "optStopBits1")->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(dialog, "optStopBits0")->isChecked());
}

TEST_F(SettingsDialogTest, NoPortStoresOnlyPortZeroAndLeavesThePortClosed) {
    frmSettings& dialog = openDialog();
    choosePort(dialog, "<none>");
    control<QPushButton>(dialog, "cmdAction0")->click();
    EXPECT_EQ(storeWrites(), QStringList{"/Port=0"});
    EXPECT_FALSE(dialogLoaded());
    EXPECT_FALSE(port().PortOpen());
}

TEST_F(SettingsDialogTest, PortHeldByAnotherProgramIsRefusedAndTheDialogStaysOpen) {
    frmSettings& dialog = openDialog();
    choosePort(dialog, " 12 - Not Available");
    control<QPushButton>(dialog, "cmdAction0")->click();
    ASSERT_EQ(services().messages.size(), 1u);
    EXPECT_EQ(services().messages[0].text,
              "Port 12 is already open by another process. Please select a different Comm port.");
    EXPECT_EQ(services().messages[0].title, "GSM");
    EXPECT_TRUE(dialogLoaded());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(port().PortOpen());
    EXPECT_TRUE(storeWrites().isEmpty());

    control<QPushButton>(dialog, "cmdAction1")->click();
    EXPECT_TRUE(ports().isOpen(3));
}

TEST_F(SettingsDialogTest, WithoutAControlOnlyTheMessageShows) {
    frmSettings::CommSettings(nullptr, kTitle);
    ASSERT_EQ(services().messages.size(), 1u);
    EXPECT_EQ(services().messages[0].text, "No serial communications control specified.");
    EXPECT_EQ(services().messages[0].title, "GSM");
    EXPECT_EQ(services().messages[0].icon, Services::Icon::Critical);
    EXPECT_FALSE(dialogLoaded());
    EXPECT_TRUE(ports().isOpen(3));
}

TEST_F(SettingsDialogTest, CancelReopensAPortThatWasOpenAtThisOpeningWhateverEarlierOnesLeft) {
    struct Case {
        const char* name;
        std::function<void()> earlierOpening;
    };
    const Case cases[] = {
        {"opened with the port closed, then cancelled",
         [this] {
             port().setPortOpen(false);
             control<QPushButton>(openDialog(), "cmdAction1")->click();
         }},
        {"no port chosen",
         [this] {
             frmSettings& dialog = openDialog();
             choosePort(dialog, "<none>");
             control<QPushButton>(dialog, "cmdAction0")->click();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.earlierOpening();
        ASSERT_FALSE(port().PortOpen());
        port().setPortOpen(true);
        control<QPushButton>(openDialog(), "cmdAction1")->click();
        EXPECT_TRUE(ports().isOpen(3));
    }
}

TEST_F(SettingsDialogTest, CloseBoxActsAsCancel) {
    frmSettings& dialog = openDialog();
    control<QRadioButton>(dialog, "optDataBits0")->click();
    main().hide();
    dialog.close();
    EXPECT_FALSE(dialogLoaded());
    EXPECT_TRUE(ports().isOpen(3));
    EXPECT_EQ(port().Settings(), "9600,n,8,1");
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(storeWrites().isEmpty());
}

TEST_F(SettingsDialogTest, APortTakenMeanwhileIsAppliedButStaysClosed) {
    frmSettings& dialog = openDialog();
    choosePort(dialog, " 2");
    ports().hold(2);
    control<QPushButton>(dialog, "cmdAction0")->click();
    EXPECT_EQ(port().CommPort(), 2);
    EXPECT_FALSE(port().PortOpen());
    EXPECT_FALSE(dialogLoaded());
    EXPECT_EQ(storeWrites(), (QStringList{"/Settings=9600,N,8,1", "/Port=2", "/Handshaking=0"}));
}

// Port 2's device runs only eight data bits: the chosen line is refused with
// the control's own description, and the control keeps its port and line.
TEST_F(SettingsDialogTest, ALineThePortCannotRunIsRefusedAndTheControlKeepsItsOwn) {
    ports().limitLines(2, [](const LineSettings& s) { return s.dataBits == 8; });
    frmSettings& dialog = openDialog();
    control<QRadioButton>(dialog, "optDataBits0")->click();
    control<QRadioButton>(dialog, "optParity0")->click();
    control<QRadioButton>(dialog, "optHandshake2")->click();
    QComboBox* rates = control<QComboBox>(dialog, "cboBaud");
    rates->setCurrentIndex(rates->findText("4800"));
    choosePort(dialog, " 2");
    control<QPushButton>(dialog, "cmdAction0")->click();

    ASSERT_EQ(services().messages.size(), 1u);
    EXPECT_EQ(services().messages[0].text, "Invalid property value");
    EXPECT_EQ(services().messages[0].title, "GSM");
    EXPECT_EQ(services().messages[0].icon, Services::Icon::Critical);
    EXPECT_TRUE(dialogLoaded());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(port().CommPort(), 3);
    EXPECT_EQ(port().Settings(), "9600,n,8,1");
    EXPECT_EQ(port().Handshaking(), 0);
    EXPECT_FALSE(port().PortOpen());
    EXPECT_TRUE(storeWrites().isEmpty());

    // Eight data bits the device runs.
    control<QRadioButton>(dialog, "optDataBits1")->click();
    control<QPushButton>(dialog, "cmdAction0")->click();
    EXPECT_FALSE(dialogLoaded());
    EXPECT_EQ(port().Settings(), "4800,E,8,1");
    EXPECT_TRUE(ports().isOpen(2));
    EXPECT_EQ(storeWrites(), (QStringList{"/Settings=4800,E,8,1", "/Port=2", "/Handshaking=2"}));
}

TEST_F(SettingsDialogTest, CancelAfterARefusedLineReopensThePortOnItsOwnLine) {
    ports().limitLines(2, [](const LineSettings& s) { return s.parity == 'N'; });
    frmSettings& dialog = openDialog();
    control<QRadioButton>(dialog, "optParity1")->click();
    choosePort(dialog, " 2");
    control<QPushButton>(dialog, "cmdAction0")->click();
    ASSERT_TRUE(dialogLoaded());
    control<QPushButton>(dialog, "cmdAction1")->click();
    EXPECT_TRUE(ports().isOpen(3));
    EXPECT_FALSE(ports().isOpen(2));
    EXPECT_EQ(port().Settings(), "9600,n,8,1");
    EXPECT_TRUE(storeWrites().isEmpty());
}
