#include "console/Form1.h"
#include "link/SerialLink.h"
#include "platform/MSComm.h"
#include "platform/PortMap.h"
#include "tests/Fixture.h"
#include "tests/Helpers.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#include <functional>
#include <utility>
#include <vector>

TEST(LineSettingsTest, ParsesRateParityDataStop) {
    struct Case {
        const char* text;
        bool valid;
        int baud;
        char parity;
        int data;
        double stop;
    };
    const Case cases[] = {
        {"9600,n,8,1", true, 9600, 'N', 8, 1},
        {"115200,N,8,1", true, 115200, 'N', 8, 1},
        {"19200,e,7,2", true, 19200, 'E', 7, 2},
        {"2400,O,8,1.5", true, 2400, 'O', 8, 1.5},
        {" 300 , n , 8 , 1 ", true, 300, 'N', 8, 1},
        {"9600,x,8,1", false, 0, 0, 0, 0},
        {"9600,n,9,1", false, 0, 0, 0, 0},
        {"9600,n,8,3", false, 0, 0, 0, 0},
        {"9601,n,8,1", false, 0, 0, 0, 0},
        {"9600,n,8", false, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0},
        {"abc,n,8,1", false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto parsed = LineSettings::parse(QString::fromLatin1(c.text));
        ASSERT_EQ(parsed.has_value(), c.valid) << c.text;
        if (!c.valid) continue;
        EXPECT_EQ(parsed->baud, c.baud) << c.text;
        EXPECT_EQ(parsed->parity, c.parity) << c.text;
        EXPECT_EQ(parsed->dataBits, c.data) << c.text;
        EXPECT_EQ(parsed->stopBits, c.stop) << c.text;
    }
}

TEST(LineSettingsTest, OnlyLinesTermiosHasAreRunnable) {
    for (const auto& [text, runnable] : std::vector<std::pair<const char*, bool>>{
             {"9600,n,8,1", true},
             {"300,e,7,2", true},
             {"9600,s,5,1", true},
             {"2400,O,8,1.5", false}, // no 1.5 stop bits
             {"9600,n,4,1", false},   // no four data bits
         })
        EXPECT_EQ(LineSettings::parse(text)->isRunnable(), runnable) << text;
}

using SerialControlTest = ConsoleTest;

namespace {
void expectRefused(const std::function<void()>& step) {
    try {
        step();
        ADD_FAILURE() << "a line the port cannot run was taken";
    } catch (const CommError& e) {
        EXPECT_EQ(e.number(), 380);
        EXPECT_EQ(e.description(), "Invalid property value");
    }
}
} // namespace

TEST_F(SerialControlTest, ALineNoPortHereRunsIsRefusedOpenOrClosed) {
    ports().attachModem(3);
    MSComm comm;
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "closed");
        if (open) comm.openAt(3, "9600,n,8,1");
        for (const char* text : {"9600,n,8,1.5", "2400,O,8,1.5", "9600,n,4,1"}) {
            SCOPED_TRACE(text);
            expectRefused([&] { comm.setSettings(text); });
            EXPECT_EQ(comm.Settings(), "9600,n,8,1");
        }
    }
    comm.setOutput("AT\r");
    EXPECT_EQ(ports().writes(3).back().settings, "9600,N,8,1");
}

// A device that has no mark or space parity.
TEST_F(SerialControlTest, ALineTheDeviceRefusesIsNotTakenAndItsLineStays) {
    ports().attachModem(3);
    ports().limitLines(3, [](const LineSettings& s) { return s.parity != 'M' && s.parity != 'S'; });
    MSComm comm;
    comm.setCommPort(3);
    comm.setSettings("9600,m,8,1"); // closed: the device is not asked yet
    expectRefused([&] { comm.setPortOpen(true); });
    EXPECT_FALSE(comm.PortOpen());
    EXPECT_FALSE(ports().isOpen(3));

    comm.setSettings("9600,n,8,1");
    comm.setPortOpen(true);
    expectRefused([&] { comm.setSettings("9600,s,8,1"); });
    EXPECT_EQ(comm.Settings(), "9600,n,8,1");
    comm.setOutput("AT\r");
    comm.setSettings("19200,e,7,1");
    comm.setOutput("AT\r");
    ASSERT_EQ(ports().writes(3).size(), 2u);
    EXPECT_EQ(ports().writes(3)[0].settings, "9600,N,8,1");
    EXPECT_EQ(ports().writes(3)[1].settings, "19200,E,7,1");
}

// A saved line the port cannot run is refused as a settings string the
// control does not know: nothing is opened, shown or saved.
TEST_F(SerialControlTest, ASavedLineWithOneAndAHalfStopBitsEndsTheStartUpQuietly) {
    ports().attachModem(3);
    writeFile("COM.txt", "9600,N,8,1.5 3\r\n");
    Form1& main = form<Form1>();
    EXPECT_FALSE(main.MSComm1().PortOpen());
    EXPECT_EQ(ports().opens(3), 0);
    EXPECT_EQ(control<QLabel>(main, "Label3")->text(), "");
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "");
    EXPECT_TRUE(services().messages.empty());
    EXPECT_EQ(readFile("COM.txt"), "9600,N,8,1.5 3\r\n");
}

TEST_F(SerialControlTest, SettingsReadBackAsSetAndRefuseInvalidText) {
    MSComm comm;
    comm.setSettings("19200,e,7,1");
    EXPECT_EQ(comm.Settings(), "19200,e,7,1");
    try {
        comm.setSettings("19200,q,7,1");
        FAIL() << "invalid settings accepted";
    } catch (const CommError& e) {
        EXPECT_EQ(e.number(), 380);
    }
    EXPECT_EQ(comm.Settings(), "19200,e,7,1");
}

TEST_F(SerialControlTest, HeldPortFailsWithPortAlreadyOpen) {
    ports().attachModem(3);
    ports().hold(3);
    MSComm comm;
    comm.setCommPort(3);
    try {
        comm.setPortOpen(true);
        FAIL() << "held port opened";
    } catch (const CommError& e) {
        EXPECT_EQ(e.description(), "Port already open");
    }
    EXPECT_FALSE(comm.PortOpen());
}

TEST_F(SerialControlTest, MissingPortAndPortChangeWhileOpenAreRefused) {
    MSComm comm;
    comm.setCommPort(4);
    EXPECT_THROW(comm.setPortOpen(true), CommError);
    ports().addDevice(4);
    comm.setPortOpen(true);
    try {
        comm.setCommPort(5);
        FAIL() << "port changed while open";
    } catch (const CommError& e) {
        EXPECT_EQ(e.description(), "Port already open");
    }
    comm.setPortOpen(false);
    comm.setCommPort(5);
    EXPECT_EQ(comm.CommPort(), 5);
}

// A link on its own, with a dispatcher that records what it is given.
class ExchangeTest : public ConsoleTest {
  protected:
    ExchangeTest() : modem(ports().attachModem(3, 9600)) {
        link.port().openAt(3, "9600,n,8,1");
        link.setDispatcher([this](const QString& text) {
            received.push_back(text);
            link.log().append(text);
        });
    }
    sim::SimModem& modem;
    SerialLink link;
    std::vector<QString> received;
};

TEST_F(ExchangeTest, SendsTheCommandWithOneCarriageReturnAndCollectsTheReply) {
    link.log().setText("stale");
    link.sendCommand("AT+CGSN", 1);
    EXPECT_EQ(modem.received(), QByteArray("AT+CGSN\r"));
    EXPECT_EQ(link.log().text().left(8), "AT+CGSN\r");
    EXPECT_TRUE(link.log().contains("\r\nOK\r\n"));
    EXPECT_EQ(link.log().find("stale"), 0);
}

TEST_F(ExchangeTest, SendEventRunsTheDispatcherWithEmptyText) {
    link.sendCommand("AT", 1);
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received.front(), ""); // the transmit buffer emptied before the reply came
    EXPECT_EQ(received.back(), "AT\r\r\nOK\r\n");
}

TEST_F(ExchangeTest, ReplyInPiecesIsAppendedInOrderOfArrival) {
    modem.splitReplies(4, 0.1);
    link.sendCommand("AT+CGSN", 1);
    QString joined;
    int pieces = 0;
    for (const QString& text : received)
        if (!text.isEmpty()) {
            joined += text;
            ++pieces;
        }
    EXPECT_EQ(pieces, 4);
    EXPECT_EQ(joined, link.log().text());
    EXPECT_TRUE(joined.startsWith("AT+CGSN\r\r\n"));
    EXPECT_TRUE(joined.endsWith("\r\nOK\r\n"));
}

TEST_F(ExchangeTest, KeepingTheLogAppendsTheReplyToWhatStood) {
    link.log().setText("before|");
    link.sendCommand("AT", 1, SerialLink::LogFirst::Keep);
    EXPECT_TRUE(link.log().text().startsWith("before|AT\r"));
}

TEST_F(ExchangeTest, ModemAtAnotherRateHearsNothing) {
    link.port().setSettings("2400,n,8,1");
    link.sendCommand("AT+CGSN", 1);
    EXPECT_TRUE(modem.received().isEmpty());
    EXPECT_TRUE(link.log().isEmpty());
    ASSERT_EQ(ports().writes(3).size(), 1u);
    EXPECT_EQ(ports().writes(3)[0].settings, "2400,N,8,1");
}

TEST_F(ExchangeTest, TextTheLineCannotCarryIsRefusedWholeAndNothingGoesOut) {
    link.port().setOutput(QString::fromUtf8("AT+CPBW=1,\"0123\",129,\"Zo\u00eb\"\r"));
    ASSERT_EQ(ports().writes(3).size(), 1u);
    EXPECT_EQ(ports().writes(3)[0].bytes, QByteArray("AT+CPBW=1,\"0123\",129,\"Zo\xeb\"\r"));

    for (const char* text : {"AT+CPBW=2,\"0123\",129,\"\u0141UKASZ\"\r", "AT+CMGS=\"5\"\r\u20ac"}) {
        SCOPED_TRACE(text);
        try {
            link.port().setOutput(QString::fromUtf8(text));
            FAIL() << "text beyond Latin-1 written";
        } catch (const CommError& e) {
            EXPECT_EQ(e.number(), 380);
        }
    }
    Pause(1);
    EXPECT_EQ(ports().writes(3).size(), 1u);
    EXPECT_EQ(modem.received(), QByteArray("AT+CPBW=1,\"0123\",129,\"Zo\xeb\"\r"));
}

TEST(PortMapTest, LinkBesideTheProgramWinsElseTheFixedTable) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("ports"));
    ASSERT_TRUE(QFile::link("/dev/null", folder.filePath("ports/COM3")));
    EXPECT_EQ(devicePathForPort(3, folder.path()), folder.filePath("ports/COM3"));
    const std::pair<int, const char*> table[] = {
        {1, "/dev/ttyUSB0"},
        {8, "/dev/ttyUSB7"},
        {9, "/dev/ttyACM0"},
        {16, "/dev/ttyACM7"},
        {17, "/dev/ttyS0"},
        {32, "/dev/ttyS15"},
        {33, ""},
        {0, ""},
    };
    for (const auto& [port, path] : table)
        EXPECT_EQ(devicePathForPort(port, folder.path()), QString::fromLatin1(path)) << port;
}
