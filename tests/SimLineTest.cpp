// The simulated modem's side of the serial line: it answers a command that
// changes its rate or framing on the old line, and from then on talks only
// to a port set as it now runs.

#include "platform/MSComm.h"
#include "tests/Fixture.h"
#include "tests/OpenPort.h"

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
    openPort(port, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        EXPECT_EQ(exchange(c.command, c.before), c.command + "\r\r\nOK\r\n");
        EXPECT_EQ(exchange("AT", c.before), c.oldLineStillTalks ? "AT\r\r\nOK\r\n" : "");
        EXPECT_EQ(exchange("AT", c.after), "AT\r\r\nOK\r\n");
    }
    EXPECT_EQ(modem.line().text(), "auto,auto");
}

TEST_F(SimLineTest, AFramingWithAParityBitAndNoParityIsRefused) {
    openPort(port, 3);
    EXPECT_EQ(exchange("AT+ICF=2,4", "9600,n,8,1"), "AT+ICF=2,4\r\r\nERROR\r\n");
    EXPECT_EQ(exchange("AT+ICF=5", "9600,n,8,1"), "AT+ICF=5\r\r\nERROR\r\n");
    EXPECT_EQ(exchange("AT+ICF?", "9600,n,8,1"), "AT+ICF?\r\r\n+ICF: 3,4\r\n\r\nOK\r\n");
    EXPECT_EQ(modem.line().text(), "9600,N,8,1");
}

// The stored profile holds the line a reset comes up on; the factory
// settings leave the line as it runs.
TEST_F(SimLineTest, ResetTakesTheStoredLineFactorySettingsKeepTheLine) {
    openPort(port, 3);
    exchange("AT+IPR=38400", "9600,n,8,1");
    exchange("AT&W", "38400,n,8,1");
    exchange("AT+IPR=57600", "38400,n,8,1");
    EXPECT_EQ(exchange("ATZ", "57600,n,8,1"), "ATZ\r\r\nOK\r\n");
    EXPECT_EQ(exchange("AT", "38400,n,8,1"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(exchange("AT&F", "38400,n,8,1"), "AT&F\r\r\nOK\r\n");
    EXPECT_EQ(exchange("AT", "38400,n,8,1"), "AT\r\r\nOK\r\n");
}
