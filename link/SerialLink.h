#pragma once

#include "link/TerminalLog.h"
#include "platform/Exchange.h"
#include "platform/MSComm.h"

#include <functional>
#include <set>

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
    // Runs when the device has gone away and the port has been closed, before
    // the dispatcher runs for that event.
    void setDeviceLostHandler(std::function<void()> handler);

    // Empties the log (unless told to keep it), writes the command and one
    // carriage return, and waits `seconds` while the replies come in; a person
    // acting meanwhile is refused, unless the wait yields. Throws while the
    // modem waits for a message's text that another exchange is writing.
    void sendCommand(const QString& command, double seconds, LogFirst logFirst = LogFirst::Empty,
                     exchange::Waiting::Yields yields = exchange::Waiting::Yields::No);
    // The same on an emptied log, then waits on, at most `lateSeconds` more,
    // until the command's final result stands after its echo.
    void sendForResult(const QString& command, double seconds, double lateSeconds);
    // Writes text as it stands, without a carriage return.
    void write(const QString& text);

    // A message's command and its text, as one exchange: from the command
    // until its text (with the character that ends or cancels it) has gone
    // out, the modem takes whatever comes as the text, so no other command
    // may go out meanwhile.
    class TextEntry {
      public:
        explicit TextEntry(SerialLink& link) : link_(link) {}
        ~TextEntry();
        TextEntry(const TextEntry&) = delete;
        TextEntry& operator=(const TextEntry&) = delete;

        // The command that asks for the text ("AT+CMGS=..."), as sendCommand.
        void sendCommand(const QString& command, double seconds);
        // Writes the text and waits `seconds` for the modem's verdict.
        void sendText(const QString& text, double seconds);

      private:
        SerialLink& link_;
    };
    // Cancels a text entry that the program's end interrupts, so that nothing
    // half-written stays in the modem.
    void cancelTextEntry();

    // Every command written so far has a number; 0 before the first.
    quint64 lastCommand() const { return commands_; }
    // Waits while the rest of an arrival comes in, counted as a run for the
    // last command written (whose reply it most likely is).
    void awaitRestOfArrival(double seconds);
    // Something else than the exchange of `command` is waiting for the modem:
    // another command's reply, or an arrival that followed another command.
    bool isBusyApartFrom(quint64 command) const;
    // A command's exchange is waiting for its reply.
    bool isExchangePending() const { return exchange::isWaiting(); }

  private:
    void writeCommand(const QString& command, LogFirst logFirst);
    void onComm();
    void waitFor(quint64 command, double seconds);

    MSComm port_;
    TerminalLog log_;
    std::function<void(const QString&)> dispatcher_;
    std::function<void()> deviceLost_;
    quint64 commands_ = 0;
    // What waits for the modem, by command: a command's own wait, and the runs
    // of arrivals that came after the command was written.
    std::multiset<quint64> waits_;
    TextEntry* openEntry_ = nullptr; // the modem waits for its text
};
