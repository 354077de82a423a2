#pragma once

#include "platform/Failure.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

// A failure of the serial control, with the control's error number and text.
// Handlers recognise a port held by another program by the text "Port already open".
class CommError : public Failure {
  public:
    CommError(int number, const QString& description)
        : Failure(description.toStdString()), number_(number), description_(description) {}
    int number() const { return number_; }
    const QString& description() const { return description_; }

    static CommError portAlreadyOpen() { return {8005, QStringLiteral("Port already open")}; }
    static CommError invalidPortNumber() { return {8002, QStringLiteral("Invalid Port Number")}; }
    static CommError invalidPropertyValue() {
        return {380, QStringLiteral("Invalid property value")};
    }
    static CommError portNotOpen() {
        return {8018, QStringLiteral("Operation valid only when the port is open")};
    }

  private:
    int number_;
    QString description_;
};

// Bit rate, parity, data bits and stop bits, as in "9600,n,8,1".
struct LineSettings {
    int baud = 9600;
    char parity = 'N'; // 'N', 'E', 'O', 'M' or 'S'
    int dataBits = 8;
    double stopBits = 1;

    static std::optional<LineSettings> parse(const QString& text);
    // Whether a serial port of this system can run the line at all: termios
    // has no one and a half stop bits and no fewer than five data bits.
    bool isRunnable() const { return stopBits != 1.5 && dataBits >= 5; }
    // The ten rates modems run at, slowest first: the lists that offer a rate
    // and the port search take them in this order.
    static const QStringList& standardRates();
};

// Line errors a device reports, numbered as the serial control's error events.
enum LineError { ReadFailed = 1006, WriteFailed = 1010, DeviceFailed = 1011 };

// Handshaking values of the serial control.
enum Handshake { NoHandshaking = 0, XonXoff = 1, RtsCts = 2, RtsCtsXonXoff = 3 };

// The device under the serial control: a real port, or a simulated modem in tests.
// A device runs a line only as far as it can; a line it cannot run in full
// (a framing its driver leaves out, a rate it does not take) is refused with
// CommError::invalidPropertyValue(), never run in part.
class SerialBackend {
  public:
    virtual ~SerialBackend() = default;
    // Throws CommError ("Port already open" when another program holds the
    // port, "Invalid property value" when the device cannot run the line);
    // the port is then left closed.
    virtual void open(const LineSettings& settings, int handshaking) = 0;
    virtual void close() = 0;
    // Throws "Invalid property value" when the device cannot run the line; it
    // then keeps running the line it had.
    virtual void configure(const LineSettings& settings, int handshaking) = 0;
    virtual void write(const QByteArray& bytes) = 0;

    // Set by the serial control.
    std::function<void(const QByteArray&)> received;
    std::function<void()> sent;           // the transmit buffer has become empty
    std::function<void(int event)> error; // a LineError
};

// The ports the console can reach, by number: whether a port exists, whether it
// can be opened exclusively now, and the device behind it.
class PortEnvironment {
  public:
    virtual ~PortEnvironment() = default;
    virtual bool exists(int port) const = 0;
    virtual bool canOpenExclusively(int port) const = 0;
    // The port exists but opening it is refused: another program holds it,
    // or this user may not use the device.
    virtual bool isRefused(int port) const = 0;
    // Throws CommError for a port that does not exist.
    virtual std::unique_ptr<SerialBackend> backend(int port) = 0;

    static PortEnvironment& instance();
    static std::unique_ptr<PortEnvironment> install(std::unique_ptr<PortEnvironment> env);
};
