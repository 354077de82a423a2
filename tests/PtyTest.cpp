// The production serial path: QSerialPort on a pseudo-terminal, on the real
// clock, with a simulated modem in this process or the standalone one behind it.

#include "console/Form1.h"
#include "link/SerialLink.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/QtSerialBackend.h"
#include "simulator/SimModem.h"
#include "tests/Helpers.h"
#include "testsupport/RunScope.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <utility>

namespace {

// A simulated modem behind the master side of a pseudo-terminal.
class PtyModem {
  public:
    PtyModem() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        grantpt(master_);
        unlockpt(master_);
        slave_ = QString::fromLatin1(ptsname(master_));
        // Keep one slave descriptor open so the master never reads a hang-up.
        keepOpen_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char buffer[512];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) modem.receive(QByteArray(buffer, static_cast<int>(n)));
        });
    }
    ~PtyModem() { unplug(); }
    // The device goes away under whoever holds the slave side.
    void unplug() {
        notifier_.reset();
        if (keepOpen_ >= 0) ::close(std::exchange(keepOpen_, -1));
        if (master_ >= 0) ::close(std::exchange(master_, -1));
    }
    const QString& slave() const { return slave_; }

    sim::SimModem modem{[this](const QByteArray& bytes, double delay) {
        QTimer::singleShot(static_cast<int>(delay * 1000), &pending_, [this, bytes] {
            if (master_ < 0) return;
            [[maybe_unused]] ssize_t n = ::write(master_, bytes.constData(), bytes.size());
        });
    }};

  private:
    int master_ = -1;
    int keepOpen_ = -1;
    QString slave_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QObject pending_; // output still on its way is dropped with the device
};

// Processor time this process has used, in seconds.
double processorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The console in real time on the machine's own ports: recording services in
// a fresh program folder, the real clock and the device ports, for the
// scope's life.
class RealTime : public RunScope {
  public:
    RealTime() : RunScope(std::make_unique<RealClock>(), std::make_unique<DevicePorts>()) {}
    QString folder() const { return services().programFolder(); }
    QString path(const QString& name) const { return services().path(name); }
};

class PtyTest : public ::testing::Test {
  protected:
    PtyTest() {
        QDir(realTime.folder()).mkdir("ports");
        plugIn(pty);
    }
    // Links the device as port 5 beside the program.
    void plugIn(const PtyModem& device) {
        QFile::remove(realTime.path("ports/COM5"));
        QFile::link(device.slave(), realTime.path("ports/COM5"));
    }

    PtyModem pty;
    RealTime realTime; // ends while the device is still there
};

// The console's own serial path (the serial control on a real port) against
// the standalone simulated modem, in real time.
class SimLineOnAPseudoTerminal : public ::testing::Test {
  protected:
    SimLineOnAPseudoTerminal() {
        simulator.start(SIM_BINARY, {"--dir", realTime.folder(), "--port", "4", "--rate", "9600"});
        link.setDispatcher([this](const QString& text) { link.log().append(text); });
    }
    ~SimLineOnAPseudoTerminal() override {
        if (link.port().PortOpen()) link.port().setPortOpen(false);
        simulator.terminate();
        simulator.waitForFinished(3000);
    }

    bool answered(const QString& command) {
        link.sendCommand(command, 1);
        return link.log().succeeded(command, TerminalLog::Judged::Final) == true;
    }

    QProcess simulator;
    SerialLink link;

  private:
    RealTime realTime; // begins after the link is made, ends once the simulator has stopped
};

} // namespace

TEST_F(PtyTest, PortHeldByAnotherProgramIsPortAlreadyOpen) {
    PortEnvironment& ports = PortEnvironment::instance();
    EXPECT_TRUE(ports.exists(5));
    EXPECT_FALSE(ports.exists(6 + 100)); // no link and no device
    EXPECT_TRUE(ports.canOpenExclusively(5));
    EXPECT_FALSE(ports.isRefused(5));

    QSerialPort holder(pty.slave());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    EXPECT_FALSE(ports.canOpenExclusively(5));
    EXPECT_TRUE(ports.isRefused(5));
    MSComm comm;
    comm.setCommPort(5);
    try {
        comm.setPortOpen(true);
        FAIL() << "a held port was opened";
    } catch (const CommError& e) {
        EXPECT_EQ(e.description(), "Port already open");
    }
    holder.close();
    comm.setPortOpen(true);
    EXPECT_TRUE(comm.PortOpen());
}

TEST_F(PtyTest, ExchangeOverARealPortInRealTime) {
    SerialLink link;
    std::vector<QString> events;
    link.setDispatcher([&](const QString& text) {
        events.push_back(text);
        link.log().append(text);
    });
    link.port().openAt(5, "9600,n,8,1");

    link.sendCommand("AT+CGSN", 1);
    EXPECT_EQ(pty.modem.received(), QByteArray("AT+CGSN\r"));
    EXPECT_EQ(link.log().text(), "AT+CGSN\r\r\n123456789012345\r\n\r\nOK\r\n");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), ""); // the send event
}

// A modem pulled out while the console holds its port: the port is closed
// once, the main window says so, no processor time goes to a flood of errors,
// and REFRESH takes the modem into use again once it is back.
TEST_F(PtyTest, ModemPulledOutIsClosedOnceAndRefreshFindsItAgain) {
    Form1& main = form<Form1>(); // no COM.txt: no start-up
    main.MSComm1().openAt(5, "9600,n,8,1");
    main.ShowPortStatus();
    ASSERT_EQ(control<QLabel>(main, "Label1")->text(), "Open");

    int events = 0;
    QObject::connect(&main.MSComm1(), &MSComm::OnComm, [&events] { ++events; });
    pty.unplug();
    const double before = processorSeconds();
    Pause(2.5);
    EXPECT_LT(processorSeconds() - before, 0.5);
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(main.MSComm1().PortOpen());
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "Closed");
    EXPECT_EQ(control<QLabel>(main, "Label5")->text(),
              "Modem Disconnected.Connect It And Press REFRESH");

    // Back, answering the probe but not the SIM check, which keeps the start-up short.
    PtyModem back;
    back.modem.dropReplies("AT");
    plugIn(back);
    QFile comTxt(realTime.path("COM.txt"));
    ASSERT_TRUE(comTxt.open(QIODevice::WriteOnly));
    comTxt.write("9600,N,8,1 5\r\n");
    comTxt.close();
    control<QPushButton>(main, "Command9")->click();
    EXPECT_TRUE(main.MSComm1().PortOpen());
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "Open");
    EXPECT_TRUE(back.modem.received().startsWith("AT+CGSN\rAT\r"));
}

// A port set anew while open reaches the modem on its new line.
TEST_F(SimLineOnAPseudoTerminal, ThePortFollowsTheModemWhileOpen) {
    ASSERT_TRUE(simulator.waitForReadyRead(10000));
    EXPECT_TRUE(simulator.readLine().endsWith(" at 9600,N,8,1\n"));
    link.port().openAt(4, "9600,n,8,1");
    EXPECT_TRUE(answered("AT+IPR=19200"));
    EXPECT_FALSE(answered("AT"));
    link.port().setSettings("19200,n,8,1");
    EXPECT_TRUE(answered("AT+ICF=1,4"));
    EXPECT_FALSE(answered("AT"));
    link.port().setSettings("19200,n,8,2");
    EXPECT_TRUE(answered("AT"));
}
