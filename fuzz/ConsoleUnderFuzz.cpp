#include "fuzz/ConsoleUnderFuzz.h"

#include "calls/Form3.h"
#include "console/Composition.h"
#include "console/Form1.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "testsupport/RunScope.h"

#include <QApplication>
#include <QFile>

namespace fuzz {

namespace {

constexpr int kPort = 3;
// Time for what the console still does after the last output (timers, the
// dispatcher's waits).
constexpr double kSettleSeconds = 10;

// Past the deadline the modem says nothing more.
Answer untilDeadline(Answer answer) {
    if (!answer) return answer;
    return [answer = std::move(answer)](const QByteArray& written) {
        return Clock::instance().seconds() > kDeadlineSeconds ? QByteArray() : answer(written);
    };
}

// A fresh program folder (in memory: the phonebook download commits every
// entry, and a disk would make each commit wait for a flush), clock and port
// for each run: COM3, with a device whose output comes from the run. The
// windows and open files of the run are gone after it.
struct Run : RunScope {
    Run(Answer answer, int pieces, double gap) : RunScope(TestServices::Folder::InMemory) {
        ports().attachScript(kPort, {untilDeadline(std::move(answer)), pieces, gap});
    }
};

// The main window without a start-up (there is no COM.txt yet). Its clock
// is stopped: it only redraws a label every second.
Form1& mainWindow() {
    Form1& main = form<Form1>();
    main.Timer1.setEnabled(false);
    return main;
}

// The start-up on the saved port, as REFRESH runs it, with its SIM check and
// initialisation, then the call window, whose first load downloads the SIM
// phonebook.
void startUpAndDownload(const Run& run) {
    Form1& main = mainWindow();
    QFile file(run.services().path(QStringLiteral("COM.txt")));
    if (file.open(QIODevice::WriteOnly)) file.write("9600,N,8,1 3\r\n");
    file.close();
    main.Form_Load();
    form<Form3>();
    Pause(kSettleSeconds);
}

} // namespace

ModemOutput ModemOutput::fromInput(const uint8_t* data, size_t size) {
    ModemOutput output;
    if (size == 0) return output;
    const uint8_t settings = data[0];
    output.asReplies = settings & 1;
    output.pieces = ((settings >> 1) & 7) + 1;
    output.gapSeconds = (settings >> 4) / 10.0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    for (const QByteArray& chunk : rest.split(kSeparator))
        output.chunks.push_back(chunk);
    return output;
}

QByteArray ModemOutput::toInput() const {
    const int gapTenths = static_cast<int>(gapSeconds * 10 + 0.5);
    const char settings =
        static_cast<char>((asReplies ? 1 : 0) | ((pieces - 1) & 7) << 1 | (gapTenths & 15) << 4);
    QByteArray input(1, settings);
    for (size_t i = 0; i < chunks.size(); ++i)
        input += (i ? QByteArray(1, kSeparator) : QByteArray()) + chunks[i];
    return input;
}

void setUp() {
    static int argc = 1;
    static char name[] = "modem-output-fuzzer";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: the process ends while it lives, as Qt expects.
    static QApplication* app = new QApplication(argc, argv);
    Q_UNUSED(app);
    installLook();
    installConsole();
}

void run(const ModemOutput& output) {
    if (output.asReplies) {
        size_t next = 0;
        const Answer fromInput = [&output, &next](const QByteArray&) {
            return next < output.chunks.size() ? output.chunks[next++] : QByteArray();
        };
        Run run(fromInput, output.pieces, output.gapSeconds);
        startUpAndDownload(run);
        return;
    }
    Run run(Answer(), output.pieces, output.gapSeconds);
    mainWindow().MSComm1().openAt(kPort, QStringLiteral("9600,n,8,1"));
    for (size_t i = 0; i < output.chunks.size(); ++i)
        run.ports().scriptSays(kPort, output.chunks[i], i * ModemOutput::kChunkSeconds);
    Pause(output.chunks.size() * ModemOutput::kChunkSeconds + kSettleSeconds);
}

std::vector<QByteArray> runReplies(const Answer& answer) {
    std::vector<QByteArray> answered;
    const Answer recorded = [&answer, &answered](const QByteArray& written) {
        answered.push_back(answer(written));
        return answered.back();
    };
    Run run(recorded, 1, 0);
    startUpAndDownload(run);
    return answered;
}

} // namespace fuzz
