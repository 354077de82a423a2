#pragma once

// What the table tests of the readers in link/replies/ share: a row of bytes
// recorded from a real module, named by where it was recorded, and the reply
// the simulated modem gives a command in each shape it answers in.

#include "simulator/SimModem.h"

#include <QByteArrayList>
#include <QString>

#include <functional>

// Bytes as a module sent them, and where they were recorded: a public
// repository's file (and commit) or capture, or a module's published manual,
// with the module they came from.
struct RecordedBytes {
    const char* source;
    const char* bytes;

    QString text() const { return QString::fromLatin1(bytes); }
};

// What the simulated modem answers `command` (a line without its carriage
// return) in `shapes`, past the echo and the carriage return that ends it, as
// the console's log gives a reply to its reader. `prepare` sets the module's
// state first; the lines of `before` are sent first and their answers dropped.
inline QString simulatedReply(const sim::ReplyShapes& shapes, const QByteArray& command,
                              const std::function<void(sim::ModemState&)>& prepare = {},
                              const QByteArrayList& before = {}) {
    QByteArray output;
    double seconds = 0;
    sim::SimModem modem([&output](const QByteArray& bytes, double) { output += bytes; },
                        [&seconds] { return seconds; });
    seconds = 3600; // long after its start: the SIM has been read
    modem.state().shapes = shapes;
    if (prepare) prepare(modem.state());
    for (const QByteArray& line : before)
        modem.receive(line + "\r");
    output.clear();
    modem.receive(command + "\r");
    return QString::fromLatin1(output.mid(command.size() + 1));
}
