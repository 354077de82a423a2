#pragma once

#include "platform/SerialBackend.h"

#include <QObject>

// The serial control of the main window: a port opened by number with a
// settings string, written as text and read as bytes, raising an event for
// every arrival, every emptied transmit buffer and every line error.
class MSComm : public QObject {
    Q_OBJECT
  public:
    enum Event { comEvSend = 1, comEvReceive = 2 };
    // A read or resource error: the device has gone away. The control then
    // closes the port itself, once, and raises this event once.
    static bool isDeviceLost(int event) { return event == ReadFailed || event == DeviceFailed; }

    explicit MSComm(QObject* parent = nullptr);
    ~MSComm() override;

    int CommPort() const { return port_; }
    void setCommPort(int port); // throws "Port already open" while open, as the control does

    QString Settings() const { return settings_; }
    // Throws "Invalid property value" for a text that is no settings string,
    // for a line no port here can run (1.5 stop bits, fewer than five data
    // bits), and, while the port is open, for a line the device refuses.
    // Settings then keeps its value: it never names a line not in force.
    void setSettings(const QString& settings);

    bool PortOpen() const { return backend_ != nullptr; }
    // Opening throws CommError: "Port already open" for a port another
    // program holds, "Invalid property value" for a device that cannot run
    // Settings or Handshaking; the port then stays closed.
    void setPortOpen(bool open);

    int Handshaking() const { return handshaking_; }
    void setHandshaking(int handshaking); // refused as Settings is

    int RThreshold() const { return rThreshold_; }
    void setRThreshold(int n) { rThreshold_ = n; }
    int SThreshold() const { return sThreshold_; }
    void setSThreshold(int n) { sThreshold_ = n; }
    int InputMode() const { return inputMode_; }
    void setInputMode(int mode) { inputMode_ = mode; }

    // As the console uses the control: every received character and every
    // emptied transmit buffer raises an event, and input is read as bytes.
    void raiseEveryEvent();
    // Opens port number `port` with `settings` as the console does, raising
    // every event.
    void openAt(int port, const QString& settings);

    // Takes every byte received so far.
    QByteArray Input();
    // Writes text, one byte per character. Text with a character the line
    // cannot carry (beyond Latin-1) is refused whole with "Invalid property
    // value": nothing goes out that differs from what was given.
    void setOutput(const QString& text);
    int CommEvent() const { return event_; }

  signals:
    void OnComm();

  private:
    void bytesArrived(const QByteArray& bytes);
    void lineError(int event);
    void raise(int event);

    int port_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    LineSettings line_;
    int handshaking_ = NoHandshaking;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    int inputMode_ = 0;
    int event_ = 0;
    bool receivePending_ = false;
    bool closingLostDevice_ = false;
    QByteArray input_;
    std::unique_ptr<SerialBackend> backend_;
};
