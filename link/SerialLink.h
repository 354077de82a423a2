#pragma once

#include "link/TerminalLog.h"
#include "platform/MSComm.h"

#include <functional>

// The one channel to the modem: the serial control, the terminal log it
// fills, and the command exchange every window performs.
class SerialLink : public QObject {
    Q_OBJECT
  public:
    enum class LogFirst { Empty, Keep };

    explicit SerialLink(QObject* parent = nullptr);

    MSComm& port() { return port_; }
    TerminalLog& log() { return log_; }

    // Runs for every received text (empty for every other event of the port).
    void setDispatcher(std::function<void(const QString&)> dispatcher);

    // Empties the log (unless told to keep it), writes the command and one
    // carriage return, and waits `seconds` while the replies come in.
    void sendCommand(const QString& command, double seconds, LogFirst logFirst = LogFirst::Empty);
    // Writes text as it stands, without a carriage return.
    void write(const QString& text);

    // Something is waiting for the modem: a command's reply, or the rest of
    // an arrival the dispatcher is collecting.
    bool isWaiting() const { return waiting_ > 0; }
    // Waits like Pause, counted as waiting for the modem.
    void awaitReply(double seconds);

  private:
    void onComm();

    MSComm port_;
    TerminalLog log_;
    std::function<void(const QString&)> dispatcher_;
    int waiting_ = 0;
};

// Waits on the console's clock while handling every kind of event.
void Pause(double seconds);
