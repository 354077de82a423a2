#pragma once

#include "link/SerialLink.h"
#include "link/TerminalLog.h"
#include "platform/Clock.h"

#include <QString>

// The one face through which every window reaches the modem: the command
// exchange, the terminal log it fills, the port's state and the signal
// refresh. The serial control stays the link's own.
namespace modem {

enum class LogFirst { Empty, Keep };

// The command exchange: empties the log (unless told to keep it), writes the
// command and one carriage return, and waits `seconds` while the replies come
// in and pass through the dispatcher. Throws when the port is closed.
void send(const QString& command, double seconds = 1, LogFirst logFirst = LogFirst::Empty);
// How long past its wait an exchange whose final result must not be missed
// may wait for it.
constexpr double kLateResultSeconds = 5;
// The same on an emptied log, for a command whose final result must not be
// missed (a phonebook read or write): once the `seconds` are over, the wait
// goes on, at most kLateResultSeconds more, until that result stands after
// the command's echo, as a slow module gives it. With the result there by
// then, as a prompt module gives it, the wait is the same as `send`'s.
void sendForResult(const QString& command, double seconds = 1);
// A message's command and its text as one exchange: from the command on, the
// modem takes what comes as the text, so nothing else goes out until the
// text (with the character that ends or cancels it) has been written, and a
// program that ends meanwhile cancels it. Throws when the port is closed.
class TextEntry {
  public:
    TextEntry();
    // The command that asks for the text, as `send` writes it.
    void send(const QString& command, double seconds = 1);
    // The text, then a wait of `seconds` for the modem's verdict.
    void write(const QString& text, double seconds);

  private:
    SerialLink::TextEntry entry_;
};

// The terminal log: the receive buffer every window empties and reads.
TerminalLog& log();
// The reply to `command` in the log, for the readers of link/replies/: what
// follows its last echo up to the next command's (see TerminalLog::replyTo);
// "" when its echo is gone.
QString reply(const QString& command);
bool isPortOpen();

// Shows the signal window and asks the modem for signal and registration.
void networkset();

// What the device has been told to run its side of the line with; an empty
// part is kept as it is.
struct LineChange {
    QString rate;
    QString parity; // a settings string's letter: "n", "e", "o", "m", "s"
    QString dataBits;
    QString stopBits;
};
// The serial control follows the device onto a new rate or framing it has
// accepted: the parts given replace those of its settings, the port stays
// open, and the main window's port lines show the result. False when the
// port cannot run that line (a pseudo-terminal has no parity and always 8
// data bits): it keeps the line it had. The saved port file is not written:
// a later start-up that fails on it searches.
bool followDeviceLine(const LineChange& change);

} // namespace modem
