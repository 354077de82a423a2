// The simulated devices' side of the serial line: the modem answers a
// command that changes its rate or framing on the old line, and from then on
// talks only to a port set as it now runs; a scripted device keeps its line.

#include "platform/MSComm.h"
#include "tests/Fixture.h"

namespace {

class SimLineTest : public ConsoleTest {
  protected:
    SimLineTest() : modem(ports().attachModem(3, 9600)) {}

    // What came back for one command line, written with the port's settings.
    QByteArray exchange(const QByteArray& line, const QString& settings) {
        port.setSettings(settings);
        port.Input();
        port.setOutput(QString::fromLatin1(line + "\r"));
        run(1);
        return port.Input();
    }

    MSComm port;
    sim::SimModem& modem;
};

} // namespace

TEST_F(SimLineTest, AnswersTheChangeOnTheOldLineThenOnlyOnTheNewOne) {
    struct Case {
        QByteArray command;
        QString before;
        QString after;
        bool oldLineStillTalks; // the module now detects rate or framing
    };
    const Case cases[] = {
        {"AT+IPR=19200", "9600,n,8,1", "19200,n,8,1", false},
        {"AT+IPR=300", "19200,n,8,1", "300,n,8,1", false},
        {"AT+ICF=5,1", "300,n,8,1", "300,e,7,1", false},
        {"AT+ICF=2,2", "300,e,7,1", "300,m,8,1", false},
        {"AT+ICF=1,0", "300,m,8,1", "300,n,8,2", false}, // no parity bit: the parity does not count
        {"AT+ICF=0,4", "300,n,8,2", "300,o,7,1", true},
        {"AT+IPR=0", "300,o,7,1", "115200,s,8,2", true},
    };
    port.openAt(3, "9600,n,8,1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        EXPECT_EQ(exchange(c.command, c.before), c.command + "\r\r\nOK\r\n");
        EXPECT_EQ(exchange("AT", c.before), c.oldLineStillTalks ? "AT\r\r\nOK\r\n" : "");
        EXPECT_EQ(exchange("AT", c.after), "AT\r\r\nOK\r\n");
    }
    EXPECT_EQ(modem.line().text(), "auto,auto");
}

TEST_F(SimLineTest, AFramingWithAParityBitAndNoParityIsRefused) {
    port.openAt(3, "9600,n,8,1");
    EXPECT_EQ(exchange("AT+ICF=2,4", "9600,n,8,1"), "AT+ICF=2,4\r\r\nERROR\r\n");
    EXPECT_EQ(exchange("AT+ICF=5", "9600,n,8,1"), "AT+ICF=5\r\r\nERROR\r\n");
    EXPECT_EQ(exchange("AT+ICF?", "9600,n,8,1"), "AT+ICF?\r\r\n+ICF: 3,4\r\n\r\nOK\r\n");
    EXPECT_EQ(modem.line().text(), "9600,N,8,1");
}

// The stored profile holds the line a reset comes up on; the factory
// settings leave the line as it runs.
TEST_F(SimLineTest, ResetTakesTheStoredLineFactorySettingsKeepTheLine) {
    port.openAt(3, "9600,n,8,1");
    exchange("AT+IPR=38400", "9600,n,8,1");
    exchange("AT&W", "38400,n,8,1");
    exchange("AT+IPR=57600", "38400,n,8,1");
    EXPECT_EQ(exchange("ATZ", "57600,n,8,1"), "ATZ\r\r\nOK\r\n");
    EXPECT_EQ(exchange("AT", "38400,n,8,1"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(exchange("AT&F", "38400,n,8,1"), "AT&F\r\r\nOK\r\n");
    EXPECT_EQ(exchange("AT", "38400,n,8,1"), "AT\r\r\nOK\r\n");
}

// The fuzz target's device: every write it understands (at 9600,n,8,1 only)
// is answered as its script says, a modem's latency later, in pieces
// arriving the script's gap apart.
TEST_F(SimLineTest, AScriptedDeviceAnswersWhatItUnderstandsInPieces) {
    ports().attachScript(4, {[](const QByteArray& written) { return "got " + written; }, 2, 0.5});
    std::vector<std::pair<double, QByteArray>> arrivals;
    QObject::connect(&port, &MSComm::OnComm, [&] {
        if (port.CommEvent() == MSComm::comEvReceive)
            arrivals.push_back({clock().seconds(), port.Input()});
    });
    port.openAt(4, "9600,n,8,1");
    port.setOutput("AT\r");
    run(2);
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[0].second + arrivals[1].second, "got AT\r");
    const double written = 3 * 10.0 / 9600;
    EXPECT_DOUBLE_EQ(arrivals[0].first, written + 0.05);
    EXPECT_DOUBLE_EQ(arrivals[1].first, written + 0.05 + 0.5);

    port.setSettings("19200,n,8,1");
    port.setOutput("AT\r");
    run(2);
    EXPECT_EQ(arrivals.size(), 2u);
}
