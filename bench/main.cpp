// Benchmarks of the console's waiting and receive paths. Prints its figures.

#include "console/Composition.h"
#include "console/Form1.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "testsupport/RunScope.h"

#include <QApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A ten-second wait on the real clock with nothing arriving.
void idleWait() {
    auto previous = Clock::install(std::make_unique<RealClock>());
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    Clock::instance().wait(10);
    const double cpu = cpuSeconds() - cpuBefore;
    const double seconds = wall.nsecsElapsed() / 1e9;
    std::printf("idle wait: %.2f s waited, %.4f s of processor time, %.3f%% of one core "
                "(target under 1%%)\n",
                seconds, cpu, 100.0 * cpu / seconds);
    Clock::install(std::move(previous));
}

// 1 MiB of modem output in 64-byte pieces, one every millisecond of the
// console's clock, through the serial control and the dispatcher into the log.
void receivePath() {
    constexpr int kTotal = 1 << 20;
    constexpr int kPiece = 64;
    RunScope scope;
    sim::SimModem& modem = scope.ports().attachModem(3, 115200);

    // As a user has the console: the main window shown, its log's box kept current.
    Form1& main = form<Form1>();
    main.Show();
    main.Timer1.setEnabled(false);
    main.MSComm1().openAt(3, "115200,n,8,1");

    QByteArray stream;
    stream.reserve(kTotal);
    for (int i = 0; stream.size() < kTotal; ++i)
        stream += QByteArray::number(i).rightJustified(9, '0') + ' ';
    stream.truncate(kTotal);
    for (int at = 0; at < kTotal; at += kPiece)
        modem.unsolicited(stream.mid(at, kPiece), at / kPiece * 0.001);

    QElapsedTimer wall;
    wall.start();
    Clock::instance().wait(kTotal / kPiece * 0.001 + 5);
    const double seconds = wall.nsecsElapsed() / 1e9;
    const bool complete = main.Text1().text() == QString::fromLatin1(stream);
    // A 115200 bit/s line carries 11520 bytes a second (ten bits a byte).
    const double lineRates = kTotal / seconds / 11520.0;
    std::printf("receive path, main window shown: %d bytes in %d pieces, %s, %.0f bytes/s "
                "(%.0f times a 115200 bit/s line, target at least 100), peak memory %ld KiB\n",
                kTotal, kTotal / kPiece, complete ? "complete and in order" : "INCOMPLETE",
                kTotal / seconds, lineRates, peakMemoryKiB());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installConsole();
    idleWait();
    receivePath();
    return 0;
}
