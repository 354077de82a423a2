// The line a real port runs: QSerialPort on a pseudo-terminal, which has no
// parity and always eight data bits whatever it is told, beside the rate and
// the stop bits it keeps.

#include "platform/MSComm.h"
#include "platform/QtSerialBackend.h"
#include "testsupport/RunScope.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>

namespace {

// A pseudo-terminal linked as port 5 beside the program, on the real clock.
class PortLineTest : public ::testing::Test {
  protected:
    PortLineTest() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        grantpt(master_);
        unlockpt(master_);
        // Opened before the port takes it for itself; termios is the device's.
        slave_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
        const QString folder = scope_.services().programFolder();
        QDir(folder).mkdir("ports");
        QFile::link(QString::fromLatin1(ptsname(master_)), folder + "/ports/COM5");
    }
    ~PortLineTest() override {
        ::close(slave_);
        ::close(master_);
    }

    // The framing and rate the device runs, as "9600,N,8,1".
    QString lineInForce() const {
        termios t{};
        tcgetattr(slave_, &t);
        static const std::map<speed_t, int> rates = {{B9600, 9600}, {B19200, 19200}};
        static const std::map<tcflag_t, int> sizes = {{CS5, 5}, {CS6, 6}, {CS7, 7}, {CS8, 8}};
        return QStringLiteral("%1,%2,%3,%4")
            .arg(rates.count(cfgetospeed(&t)) ? rates.at(cfgetospeed(&t)) : 0)
            .arg(QLatin1Char(parityOf(t.c_cflag)))
            .arg(sizes.at(t.c_cflag & CSIZE))
            .arg(t.c_cflag & CSTOPB ? 2 : 1);
    }

    static char parityOf(tcflag_t cflag) {
        if (!(cflag & PARENB)) return 'N';
        static const std::map<tcflag_t, char> letters = {
            {0, 'E'}, {PARODD, 'O'}, {CMSPAR | PARODD, 'M'}, {CMSPAR, 'S'}};
        return letters.at(cflag & (PARODD | CMSPAR));
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    RunScope scope_{std::make_unique<RealClock>(), std::make_unique<DevicePorts>()};
};

int refusal(const std::function<void()>& step) {
    try {
        step();
        return 0;
    } catch (const CommError& e) {
        return e.number();
    }
}

} // namespace

TEST_F(PortLineTest, TheDeviceHasNoOneAndAHalfStopBits) {
    std::unique_ptr<SerialBackend> device = PortEnvironment::instance().backend(5);
    EXPECT_EQ(refusal([&] { device->open(LineSettings{9600, 'N', 8, 1.5}, NoHandshaking); }), 380);
    device->open(LineSettings{19200, 'N', 8, 2}, NoHandshaking);
    EXPECT_EQ(lineInForce(), "19200,N,8,2");
    EXPECT_EQ(refusal([&] { device->configure(LineSettings{9600, 'N', 8, 1.5}, 0); }), 380);
    EXPECT_EQ(lineInForce(), "19200,N,8,2");
    device->close();
}

// The lines tried: eight data bits without parity a pseudo-terminal runs at
// any rate and stop bits; whether it refuses the others or runs them is the
// kernel's, but it never runs them in part.
struct Line {
    const char* settings;
    bool mustRun;
};
const Line kLines[] = {
    {"9600,e,7,1", false}, {"9600,n,7,2", false}, {"9600,o,8,1", false},
    {"9600,m,8,1", false}, {"9600,s,8,1", false}, {"9600,n,5,1", false},
    {"9600,n,6,1", false}, {"9600,n,8,1", true},  {"19200,n,8,2", true},
};

// Each line is either run in full, or refused with the line before kept; the
// control's settings always name the line in force.
TEST_F(PortLineTest, AnOpenPortRunsALineInFullOrKeepsTheOneItHad) {
    MSComm comm;
    comm.openAt(5, "19200,n,8,2");
    ASSERT_EQ(lineInForce(), "19200,N,8,2");
    for (const Line& line : kLines) {
        SCOPED_TRACE(line.settings);
        const QString before = comm.Settings();
        const int refused = refusal([&] { comm.setSettings(line.settings); });
        EXPECT_TRUE(refused == 0 || refused == 380) << refused;
        EXPECT_TRUE(!line.mustRun || refused == 0);
        EXPECT_EQ(comm.Settings(), refused ? before : QString::fromLatin1(line.settings));
        EXPECT_EQ(lineInForce(), comm.Settings().toUpper());
    }
}

TEST_F(PortLineTest, APortOpensOnlyOnALineItRuns) {
    MSComm comm;
    comm.setCommPort(5);
    for (const Line& line : kLines) {
        SCOPED_TRACE(line.settings);
        comm.setSettings(line.settings); // closed: the device is asked at the opening
        const int refused = refusal([&] { comm.setPortOpen(true); });
        EXPECT_TRUE(refused == 0 || refused == 380) << refused;
        EXPECT_TRUE(!line.mustRun || refused == 0);
        EXPECT_EQ(comm.PortOpen(), refused == 0);
        if (comm.PortOpen()) {
            EXPECT_EQ(lineInForce(), comm.Settings().toUpper());
            comm.setPortOpen(false);
        }
        EXPECT_TRUE(PortEnvironment::instance().canOpenExclusively(5)); // nothing left holding it
    }
}
