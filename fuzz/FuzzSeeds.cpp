// Writes the fuzz target's seeds into the folder named: the simulated modem's
// replies to the console's start-up, SIM check, initialisation and phonebook
// download (whole, and in pieces), and its unsolicited output (calls, waiting
// calls, messages, registration) together with replies the dispatcher reads.

#include "fuzz/ConsoleUnderFuzz.h"
#include "simulator/SimModem.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <memory>

namespace {

// A simulated modem whose output is collected instead of sent.
struct CollectedModem {
    QByteArray output;
    sim::SimModem modem{[this](const QByteArray& bytes, double) { output += bytes; }};

    QByteArray take() { return std::exchange(output, QByteArray()); }
    QByteArray answer(const QByteArray& line) {
        modem.receive(line);
        return take();
    }
};

// A SIM phonebook with a few entries, names that look like replies among them.
void fillPhonebook(sim::ModemState& state) {
    state.phonebooks["SM"].entries = {{1, {"0123456789", 129, "JOHN"}},
                                      {2, {"+441632960961", 145, "RING"}},
                                      {3, {"0207946000", 129, "x\"y"}}};
}

fuzz::ModemOutput startUpReplies(bool padded, int pieces) {
    CollectedModem sim;
    sim.modem.state().paddedIdentity = padded;
    fillPhonebook(sim.modem.state());
    fuzz::ModemOutput output;
    output.asReplies = true;
    output.pieces = pieces;
    output.gapSeconds = pieces > 1 ? 0.3 : 0;
    output.chunks =
        fuzz::runReplies([&sim](const QByteArray& written) { return sim.answer(written); });
    return output;
}

fuzz::ModemOutput unsolicitedOutput() {
    CollectedModem sim;
    sim::ModemState& state = sim.modem.state();
    fillPhonebook(state);
    state.settings.clip = 1;
    state.settings.creg = 1;
    state.settings.ccwa = 1;
    state.settings.cmgf = 1;
    state.network.callWaitingClasses = 1;
    fuzz::ModemOutput output;
    auto event = [&](auto happen) {
        happen();
        output.chunks.push_back(sim.take());
    };
    event([&] { sim.modem.incomingCall("+441632960961"); });
    event([&] { sim.modem.callWaiting("0123456789"); });
    event([&] { sim.modem.callerHangsUp(); });
    event([&] { sim.modem.receiveMessage("+441632960962", "CPIN: READY\nRING"); });
    event([&] { sim.modem.setRegistration(5); });
    for (const char* line : {"AT+CSQ\r", "AT+CREG?\r", "AT+VGR?\r", "AT+ECHO?\r", "AT+SIDET?\r",
                             "AT+CSCA?\r", "AT+CMGR=1\r", "AT+CPBR=1,3\r", "AT+CIND?\r"})
        output.chunks.push_back(sim.answer(line));
    return output;
}

bool writeSeed(const QDir& folder, const QString& name, const fuzz::ModemOutput& output) {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(output.toInput()) >= 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz-seeds FOLDER\n");
        return 2;
    }
    // Named before the runs, which make the program's folder the current one.
    const QDir folder(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    fuzz::setUp();
    if (!folder.mkpath(QStringLiteral("."))) return 1;
    const bool written = writeSeed(folder, "start-up-padded", startUpReplies(true, 1)) &&
                         writeSeed(folder, "start-up-bare", startUpReplies(false, 1)) &&
                         writeSeed(folder, "start-up-in-pieces", startUpReplies(true, 3)) &&
                         writeSeed(folder, "unsolicited", unsolicitedOutput());
    return written ? 0 : 1;
}
