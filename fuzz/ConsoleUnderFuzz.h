#pragma once

// The console on the virtual clock with one port, COM3, behind which the
// modem's output comes from a fuzz input: arbitrary bytes through the real
// receive path (serial control, dispatcher, reply handlers, windows).

#include "testsupport/SimPorts.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz {

// Modem output as an input holds it: one byte of settings, then chunks
// separated by the byte 0xFF.
//
// Settings: bit 0 set, the chunks are replies (chunk n answers the console's
// n-th write, from the start-up through the SIM check and the initialisation
// to the phonebook download); clear, they are unsolicited output (chunk n
// arrives n * kChunkSeconds after the port is opened). Bits 1-3: each chunk
// arrives in that many pieces plus one; bits 4-7: tenths of a second between
// the pieces.
struct ModemOutput {
    static constexpr char kSeparator = '\xff';
    static constexpr double kChunkSeconds = 1.5;

    bool asReplies = false;
    int pieces = 1;
    double gapSeconds = 0;
    std::vector<QByteArray> chunks;

    static ModemOutput fromInput(const uint8_t* data, size_t size);
    QByteArray toInput() const;
};

// What the modem sends back for one write of the console.
using Answer = SimPorts::Answer;

// Once before the first run: the application and the look.
void setUp();

// Runs the console through the output, bounded in virtual time: past
// kDeadlineSeconds the modem says nothing more, and the console's own bounds
// (ten rates on the one port, thirteen initialisation commands, at most 999
// phonebook positions) end what it still does.
constexpr double kDeadlineSeconds = 600;
void run(const ModemOutput& output);

// The replies scenario with `answer` standing for the modem; returns what it
// answered, write by write (for seeds made with the simulated modem).
std::vector<QByteArray> runReplies(const Answer& answer);

} // namespace fuzz
