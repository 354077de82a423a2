// The production serial path: QSerialPort on a pseudo-terminal, on the real clock.

#include "link/SerialLink.h"
#include "platform/Clock.h"
#include "platform/QtSerialBackend.h"
#include "simulator/SimModem.h"
#include "tests/OpenPort.h"
#include "tests/TestServices.h"

#include <QDir>
#include <QFile>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

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
    ~PtyModem() {
        notifier_.reset();
        ::close(keepOpen_);
        ::close(master_);
    }
    const QString& slave() const { return slave_; }

    sim::SimModem modem{[this](const QByteArray& bytes, double delay) {
        QTimer::singleShot(static_cast<int>(delay * 1000), [this, bytes] {
            [[maybe_unused]] ssize_t n = ::write(master_, bytes.constData(), bytes.size());
        });
    }};

  private:
    int master_ = -1;
    int keepOpen_ = -1;
    QString slave_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

class PtyTest : public ::testing::Test {
  protected:
    PtyTest() {
        auto services = std::make_unique<TestServices>();
        services_ = services.get();
        previousServices_ = Services::install(std::move(services));
        previousClock_ = Clock::install(std::make_unique<RealClock>());
        previousPorts_ = PortEnvironment::install(std::make_unique<DevicePorts>());
        QDir(services_->folder.path()).mkdir("ports");
        QFile::link(pty.slave(), services_->path("ports/COM5"));
    }
    ~PtyTest() override {
        PortEnvironment::install(std::move(previousPorts_));
        Clock::install(std::move(previousClock_));
        Services::install(std::move(previousServices_));
    }

    PtyModem pty;
    TestServices* services_;
    std::unique_ptr<Services> previousServices_;
    std::unique_ptr<Clock> previousClock_;
    std::unique_ptr<PortEnvironment> previousPorts_;
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
    openPort(link.port(), 5);

    link.sendCommand("AT+CGSN", 1);
    EXPECT_EQ(pty.modem.received(), QByteArray("AT+CGSN\r"));
    EXPECT_EQ(link.log().text(), "AT+CGSN\r\r\n123456789012345\r\n\r\nOK\r\n");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), ""); // the send event
}
