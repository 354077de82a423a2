// The simulated ports as the console's serial control sees them: a device
// pulled out at once or in the middle of an exchange, and plugged in again.

#include "platform/MSComm.h"
#include "tests/Fixture.h"

namespace {

class PulledDeviceTest : public ConsoleTest {
  protected:
    PulledDeviceTest() : modem(ports().attachModem(3)) {
        comm.openAt(3, "9600,n,8,1");
        // Read as the console reads: on each arrival.
        QObject::connect(&comm, &MSComm::OnComm, [this] {
            events.push_back(comm.CommEvent());
            if (comm.CommEvent() == MSComm::comEvReceive) arrived += comm.Input();
        });
    }
    // What arrives for these bytes, within `seconds`; nothing goes out on a closed port.
    QByteArray exchange(const QByteArray& bytes, double seconds = 1) {
        arrived.clear();
        if (comm.PortOpen()) comm.setOutput(QString::fromLatin1(bytes));
        run(seconds);
        return arrived;
    }
    int deviceFailures() const { return int(std::count(events.begin(), events.end(), 1011)); }

    sim::SimModem& modem;
    MSComm comm;
    std::vector<int> events;
    QByteArray arrived;
};

} // namespace

// The port reports the device's failure once, the serial control closes it,
// and the port is gone until the device is back, its modem started afresh.
TEST_F(PulledDeviceTest, PulledOutTheOpenPortFailsAndThePortIsGone) {
    EXPECT_EQ(exchange("AT\r"), "AT\r\r\nOK\r\n");
    modem.state().settings.echo = 0;
    ports().pull(3);
    run(0.5);
    EXPECT_FALSE(comm.PortOpen());
    EXPECT_EQ(deviceFailures(), 1);
    EXPECT_FALSE(ports().exists(3));
    EXPECT_FALSE(ports().canOpenExclusively(3));
    EXPECT_THROW(comm.setPortOpen(true), CommError);

    ports().plugBackIn(3);
    EXPECT_TRUE(ports().exists(3));
    comm.setPortOpen(true);
    EXPECT_EQ(exchange("AT\r"), "AT\r\r\nOK\r\n"); // its stored profile echoes
    EXPECT_EQ(deviceFailures(), 1);
}

// In the middle of an exchange: after the first entry of a phonebook read, or
// after the prompt of a message; the bytes sent before arrive, nothing after.
TEST_F(PulledDeviceTest, PulledOutInTheMiddleOfAnExchange) {
    modem.state().phonebooks["SM"].entries = {{1, {"0123456789", 129, "JOHN"}},
                                              {2, {"+441632960961", 145, "OFFICE"}}};
    struct Case {
        const char* when;
        std::vector<QByteArray> lines;
        QByteArray arrived;
    };
    const Case cases[] = {
        {"within AT+CPBR= 1",
         {"AT+CPBR=1,10\r"},
         "AT+CPBR=1,10\r\r\n+CPBR: 1,\"0123456789\",129,\"JOHN\"\r\n"},
        {"after 1 AT+CMGS",
         {"AT+CMGF=1\r", "AT+CMGS=\"123\"\r", "Hi\x1a"},
         "AT+CMGF=1\r\r\nOK\r\nAT+CMGS=\"123\"\r\r\n> "},
        {"at AT+CMGS", {"AT+CMGS=\"123\"\r"}, ""},
    };
    for (const Case& c : cases) {
        ports().pullAt(3, *sim::silenceFromText(c.when));
        QByteArray all;
        for (const QByteArray& line : c.lines)
            all += exchange(line, 0.5);
        EXPECT_EQ(all, c.arrived) << c.when;
        EXPECT_EQ(deviceFailures(), 1) << c.when;
        EXPECT_FALSE(comm.PortOpen()) << c.when;
        EXPECT_FALSE(ports().exists(3)) << c.when;
        EXPECT_TRUE(modem.state().sent.empty()) << c.when;
        ports().plugBackIn(3);
        events.clear();
        comm.setPortOpen(true);
    }
}
