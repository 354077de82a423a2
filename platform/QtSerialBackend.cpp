#include "platform/QtSerialBackend.h"
#include "platform/Installed.h"

#include "platform/PortMap.h"
#include "platform/Services.h"

#include <QFileInfo>
#include <QSerialPort>

#include <map>

#include <termios.h>

namespace {

QString deviceOf(int port) {
    const QString path = devicePathForPort(port, Services::instance().programFolder());
    if (path.isEmpty()) return path;
    // Lock files are named after the device itself, not after a link to it.
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

QSerialPort::Parity parityOf(char letter) {
    switch (letter) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::FlowControl flowControlOf(int handshaking) {
    if (handshaking == RtsCts || handshaking == RtsCtsXonXoff) return QSerialPort::HardwareControl;
    if (handshaking == XonXoff) return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

// The framing bits of termios that stand for a line's data bits, parity and
// stop bits. Parity bits other than PARENB count only while it is set.
tcflag_t framingBits(tcflag_t cflag) {
    const tcflag_t parity = (cflag & PARENB) ? cflag & (PARENB | PARODD | CMSPAR) : 0;
    return (cflag & (CSIZE | CSTOPB)) | parity;
}

tcflag_t framingBitsOf(const LineSettings& s) {
    static const std::map<int, tcflag_t> sizes = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
    static const std::map<char, tcflag_t> parities = {{'N', 0},
                                                      {'E', PARENB},
                                                      {'O', PARENB | PARODD},
                                                      {'M', PARENB | CMSPAR | PARODD},
                                                      {'S', PARENB | CMSPAR}};
    return sizes.at(s.dataBits) | parities.at(s.parity) | (s.stopBits == 2 ? CSTOPB : 0);
}

// Line errors as the serial control numbers them. A device that goes away
// (a USB modem pulled out) reports a resource error, or a read error on every
// pass of the event loop until the port is closed.
int commEventOf(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::ResourceError:
        return DeviceFailed;
    case QSerialPort::WriteError:
        return WriteFailed;
    case QSerialPort::ReadError:
        return ReadFailed;
    default:
        return 0;
    }
}

class QtSerialBackend : public SerialBackend {
  public:
    explicit QtSerialBackend(const QString& device) : device_(device) { port_.setPortName(device); }

    void open(const LineSettings& settings, int handshaking) override {
        // Opened on the port's plain line (9600,n,8,1) first, so that a line
        // the device cannot run is told apart from a port that does not open.
        if (!port_.open(QIODevice::ReadWrite)) throw openFailure();
        if (!applied(settings, handshaking)) {
            port_.close();
            throw CommError::invalidPropertyValue();
        }
        line_ = settings;
        handshaking_ = handshaking;
        QObject::connect(&port_, &QSerialPort::readyRead, [this] {
            // Take the bytes now: the port does not signal again while this runs.
            if (received) received(port_.readAll());
        });
        QObject::connect(&port_, &QSerialPort::bytesWritten, [this](qint64) {
            if (port_.bytesToWrite() == 0 && sent) sent();
        });
        QObject::connect(&port_, &QSerialPort::errorOccurred,
                         [this](QSerialPort::SerialPortError e) {
                             const int event = commEventOf(e);
                             if (event && error) error(event);
                         });
    }

    void close() override {
        QObject::disconnect(&port_, nullptr, nullptr, nullptr);
        port_.close();
    }

    void configure(const LineSettings& s, int handshaking) override {
        if (!applied(s, handshaking)) {
            applied(line_, handshaking_); // back to the line that was in force
            throw CommError::invalidPropertyValue();
        }
        line_ = s;
        handshaking_ = handshaking;
    }

    void write(const QByteArray& bytes) override { port_.write(bytes); }

  private:
    // Sets the line and tells whether the device now runs it as given. The
    // port reports some refusals itself; a driver that cannot do a framing
    // (a pseudo-terminal has no parity and always 8 data bits) leaves it out
    // of termios, so the framing is read back.
    bool applied(const LineSettings& s, int handshaking) {
        const bool set =
            s.isRunnable() && port_.setBaudRate(s.baud) &&
            port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
            port_.setParity(parityOf(s.parity)) &&
            port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
            port_.setFlowControl(flowControlOf(handshaking));
        port_.clearError();
        termios in_force{};
        return set && ::tcgetattr(port_.handle(), &in_force) == 0 &&
               framingBits(in_force.c_cflag) == framingBitsOf(s);
    }

  private:
    CommError openFailure() const {
        switch (port_.error()) {
        case QSerialPort::DeviceNotFoundError:
            return CommError::invalidPortNumber();
        case QSerialPort::PermissionError:
            // Held by another program (its lock or its exclusive open), unless we
            // may not use the device at all.
            if (QFileInfo(device_).isWritable()) return CommError::portAlreadyOpen();
            return CommError(8002, port_.errorString());
        default:
            return CommError(8002, port_.errorString());
        }
    }

    QString device_;
    QSerialPort port_;
    LineSettings line_; // the line in force while open
    int handshaking_ = NoHandshaking;
};

} // namespace

bool DevicePorts::exists(int port) const {
    const QString device = deviceOf(port);
    return !device.isEmpty() && QFileInfo::exists(device);
}

bool DevicePorts::canOpenExclusively(int port) const {
    if (!exists(port)) return false;
    QSerialPort probe(deviceOf(port));
    if (!probe.open(QIODevice::ReadWrite)) return false;
    probe.close();
    return true;
}

bool DevicePorts::isRefused(int port) const {
    if (!exists(port)) return false;
    QSerialPort probe(deviceOf(port));
    if (probe.open(QIODevice::ReadWrite)) {
        probe.close();
        return false;
    }
    // Another program's lock or exclusive open, or a device this user may not
    // use; one that fails otherwise (no hardware behind it) is not refused.
    return probe.error() == QSerialPort::PermissionError;
}

std::unique_ptr<SerialBackend> DevicePorts::backend(int port) {
    if (!exists(port)) throw CommError::invalidPortNumber();
    return std::make_unique<QtSerialBackend>(deviceOf(port));
}

PortEnvironment& PortEnvironment::instance() {
    return Installed<PortEnvironment, DevicePorts>::get();
}

std::unique_ptr<PortEnvironment> PortEnvironment::install(std::unique_ptr<PortEnvironment> env) {
    return Installed<PortEnvironment, DevicePorts>::install(std::move(env));
}
