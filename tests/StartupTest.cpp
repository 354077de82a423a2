#include "console/Form1.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "platform/Files.h"
#include "tests/FileSystems.h"
#include "tests/Fixture.h"
#include "tests/Helpers.h"

#include <QListWidget>
#include <QPushButton>

namespace {
const QString kWelcome = QString(22, ' ') + "Welcome To Kovalt Telecom Application";

QStringList progress() {
    return items(control<QListWidget>(form<Form1>(), "List1"));
}

// The progress lines of the start-up itself; the SIM check that follows a
// port taken into use begins with "Check SIM PIN".
QStringList linesBeforeSimCheck() {
    const QStringList lines = progress();
    const qsizetype check = lines.indexOf("Check SIM PIN");
    return check < 0 ? lines : lines.mid(0, check);
}

const QStringList kSearchLines(int ports) {
    return {"Checking For Available Communication Ports",
            "Found  " + QString::number(ports) + " Ports", "Detecting Modem Present.."};
}

// The settings each "AT+CGSN" went out with on a port.
QStringList probeRates(SimPorts& ports, int port) {
    QStringList rates;
    for (const auto& write : ports.writes(port))
        if (write.bytes == "AT+CGSN\r") rates << write.settings.section(',', 0, 0);
    return rates;
}

const QStringList kAllRates = {"300",  "600",   "1200",  "2400",  "4800",
                               "9600", "19200", "38400", "57600", "115200"};
} // namespace

class StartupTest : public ConsoleTest {
  protected:
    Form1& start() { return form<Form1>(); }
};

TEST_F(StartupTest, WithoutComTxtOnlyTheStampAndWelcomeAppear) {
    clock().setDateTime(QDateTime(QDate(2026, 4, 3), QTime(7, 8, 9)));
    ports().attachModem(3);
    Form1& main = start();
    EXPECT_EQ(control<QLabel>(main, "Label9")->text(), "System Started  03/04/2026,07:08:09");
    EXPECT_EQ(progress(), QStringList{kWelcome});
    EXPECT_EQ(ports().opens(3), 0);
}

TEST_F(StartupTest, EmptyLineSearchesEveryPortAtEveryRate) {
    writeFile("COM.txt", "\r\n");
    ports().addDevice(2);
    ports().addDevice(7);
    Form1& main = start();
    EXPECT_EQ(progress(), QStringList{kWelcome} + kSearchLines(2));
    EXPECT_EQ(probeRates(ports(), 2), kAllRates);
    EXPECT_EQ(probeRates(ports(), 7), kAllRates);
    EXPECT_EQ(control<QLabel>(main, "Label5")->text(), "No Modem Device Found.Set The Comm Ports");
    EXPECT_FALSE(main.MSComm1().PortOpen());
    EXPECT_TRUE(control<QPushButton>(main, "Command7")->isEnabled());
}

TEST_F(StartupTest, SavedPortThatAnswersIsTakenIntoUse) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    ports().attachModem(3, 9600).state().imei = "356938035643809";
    Form1& main = start();
    EXPECT_EQ(control<QLabel>(form<Form2>(), "Label2")->text(), "IMEI: ");
    EXPECT_EQ(control<QLabel>(form<Form2>(), "Label3")->text(), "356938035643809");
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "Open");
    EXPECT_EQ(control<QLabel>(main, "Label2")->text(), "Port 3");
    EXPECT_EQ(control<QLabel>(main, "Label3")->text(), "9600,N,8,1");
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(probeRates(ports(), 3), QStringList{"9600"});
    EXPECT_EQ(linesBeforeSimCheck(), QStringList{kWelcome});
    EXPECT_TRUE(progress().contains("Check SIM PIN"));
}

// COM.txt that cannot be put in place once written (here another file is
// mounted over it, so that nothing can be renamed over it) is told, and the
// port file keeps its line.
TEST_F(StartupTest, ASavedPortFileThatCannotBePutInPlaceIsTold) {
    // Written anew, the line would read "9600,N,8,1 3".
    writeFile("COM.txt", "9600,n,8,1 3\r\n");
    writeFile("saved", "9600,n,8,1 3\r\n");
    const MountedOver mount(services().path("saved"), services().path("COM.txt"));
    if (!mount.mounted()) GTEST_SKIP() << "no file can be mounted here";
    ports().attachModem(3, 9600);
    Form1& main = start();
    EXPECT_EQ(control<QLabel>(main, "Label3")->text(), "9600,N,8,1");
    EXPECT_EQ(shownMessages(services()), QStringList{"Device I/O error | GSM-APPLICATION"});
    EXPECT_EQ(readFile("COM.txt"), "9600,n,8,1 3\r\n");
    EXPECT_FALSE(Files::instance().isOpen(1));
}

TEST_F(StartupTest, SilentSavedPortFallsBackToTheSearch) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    ports().attachModem(3, 19200);
    Form1& main = start();
    EXPECT_EQ(probeRates(ports(), 3),
              (QStringList{"9600", "300", "600", "1200", "2400", "4800", "9600", "19200"}));
    EXPECT_EQ(control<QLabel>(main, "Label3")->text(), "19200,N,8,1");
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "Open");
    EXPECT_EQ(linesBeforeSimCheck(), QStringList{kWelcome} + kSearchLines(1));
}

TEST_F(StartupTest, HeldSavedPortIsReportedAndTheSearchSkipsIt) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    ports().attachModem(3);
    ports().hold(3);
    ports().attachModem(5, 9600);
    Form1& main = start();
    const QStringList expected =
        QStringList{kWelcome, "Port Selected Already Open in Other Application"} + kSearchLines(2);
    EXPECT_EQ(linesBeforeSimCheck(), expected);
    EXPECT_EQ(control<QLabel>(main, "Label2")->text(), "Port 5");
    EXPECT_TRUE(ports().isOpen(5));
}

TEST_F(StartupTest, FreePortCandidateKeepsItsBlankOnTheStatusLine) {
    writeFile("COM.txt", "\r\n");
    ports().attachModem(20, 19200); // only beyond the first sixteen ports
    // Read while the first rate is tried: the SIM check empties the line later.
    QString scanning;
    clock().schedule(clock().seconds() + 0.5,
                     [&scanning] { scanning = control<QLabel>(form<Form1>(), "Label5")->text(); });
    Form1& main = start();
    EXPECT_EQ(control<QComboBox>(main, "Combo1")->itemText(0), " 20");
    EXPECT_EQ(scanning, "Scanning Port   20");
    EXPECT_EQ(control<QLabel>(main, "Label3")->text(), "19200,N,8,1");
}

TEST_F(StartupTest, NoPortAtAllShowsTheMessageAndNothingMore) {
    writeFile("COM.txt", "\r\n");
    start();
    ASSERT_EQ(services().messages.size(), 1u);
    EXPECT_EQ(services().messages[0].text, "No Comm Ports Present");
    EXPECT_EQ(services().messages[0].title, "GSM");
    EXPECT_EQ(progress(), QStringList{kWelcome});
}

TEST_F(StartupTest, LastCandidateHeldEndsAsASearchWithoutResult) {
    writeFile("COM.txt", "\r\n");
    ports().addDevice(2);
    ports().attachModem(7);
    ports().hold(7);
    Form1& main = start();
    EXPECT_EQ(control<QLabel>(main, "Label5")->text(), "No Modem Device Found.Set The Comm Ports");
    EXPECT_TRUE(control<QPushButton>(main, "Command7")->isEnabled());
    EXPECT_FALSE(main.MSComm1().PortOpen());
}

TEST_F(StartupTest, UnusableSavedLinesEndTheStartUpQuietly) {
    for (const char* line :
         {"9600,N,8,1\r\n", "9600,N,8,1 x\r\n", "9600,Q,8,1 3\r\n", "9600,N,8,1 4\r\n"}) {
        Forms::instance().clear();
        writeFile("COM.txt", line);
        ports().attachModem(3);
        Form1& main = start();
        EXPECT_FALSE(main.MSComm1().PortOpen()) << line;
        EXPECT_EQ(progress(), QStringList{kWelcome}) << line;
        EXPECT_TRUE(services().messages.empty()) << line;
        // The start-up no longer holds COM.txt: a later save can write it.
        EXPECT_FALSE(Files::instance().isOpen(1)) << line;
    }
}

TEST_F(StartupTest, NoPortToSearchEndsTheStartUpAtOnce) {
    // Port 40 lies beyond the ports that are searched, so the list stays empty.
    ports().attachModem(40);
    writeFile("COM.txt", "\r\n\r\n9600,N,8,1 40\r\n");
    start();
    EXPECT_EQ(services().messages.size(), 1u);
    EXPECT_EQ(ports().opens(40), 0);
}

TEST_F(StartupTest, SecondStartUpTriesEachFreePortOnce) {
    writeFile("COM.txt", "\r\n");
    ports().addDevice(18);
    Form1& main = start();
    main.Form_Load();
    EXPECT_EQ(control<QComboBox>(main, "Combo2")->count(), 1);
    EXPECT_EQ(probeRates(ports(), 18).size(), 20); // ten rates in each start-up
}

TEST_F(StartupTest, ClosingTheMainWindowSavesTheProfileWhenThePortIsOpen) {
    writeFile("COM.txt", "9600,N,8,1 3\r\n");
    sim::SimModem& modem = ports().attachModem(3);
    Form1& main = start();
    modem.clearReceived();
    main.close();
    EXPECT_EQ(modem.received(), "AT&W\r");
    EXPECT_EQ(services().ended, 1);
}

TEST_F(StartupTest, ClosingWithThePortClosedSendsNothing) {
    Form1& main = start();
    main.close();
    EXPECT_EQ(services().ended, 1);
}

// The serial number is the reply's own line, whether the modem echoes the
// query or (with "E0" stored in its profile) does not.
TEST_F(StartupTest, SerialNumberIsTheReplyLineWithOrWithoutTheEcho) {
    for (int echo : {1, 0}) {
        SCOPED_TRACE(echo ? "echo" : "no echo");
        Forms::instance().clear();
        writeFile("COM.txt", "9600,N,8,1 3\r\n");
        sim::SimModem& modem = ports().attachModem(3, 9600);
        modem.state().imei = "356938035643809";
        modem.state().settings.echo = echo;
        modem.state().storedProfile = modem.state().settings;
        start();
        EXPECT_EQ(control<QLabel>(form<Form2>(), "Label3")->text(), "356938035643809");
        EXPECT_TRUE(readFile("Model.txt").startsWith("356938035643809\r\nGSM SIMULATOR MODEM"));
    }
}
