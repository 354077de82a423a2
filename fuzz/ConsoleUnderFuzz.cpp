#include "fuzz/ConsoleUnderFuzz.h"

#include "calls/Form3.h"
#include "console/Composition.h"
#include "console/Form1.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "platform/SerialBackend.h"
#include "platform/Services.h"
#include "simulator/SimModem.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace fuzz {

namespace {

constexpr int kPort = 3;
constexpr int kBaud = 9600;
// Time for what the console still does after the last output (timers, the
// dispatcher's waits).
constexpr double kSettleSeconds = 10;
// The modem answers a write after this.
constexpr double kLatencySeconds = 0.05;

// The program's folder in memory where the machine has it (/dev/shm): the
// phonebook download commits every entry, and a disk would make each commit
// wait for a flush.
class FuzzServices : public Services {
  public:
    FuzzServices()
        : folder(QDir(QStringLiteral("/dev/shm")).exists()
                     ? QStringLiteral("/dev/shm/gsm-fuzz-XXXXXX")
                     : QDir::tempPath() + QStringLiteral("/gsm-fuzz-XXXXXX")) {}
    void message(const QString&, const QString&, Icon) override {}
    void endProgram() override {}
    void saveSetting(const QString&, const QString&, const QVariant&) override {}
    QString programFolder() const override { return folder.path(); }
    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
};

FuzzServices* services = nullptr;
// The folder the fuzzer was started in: its corpus paths are relative to it,
// and every window's load makes the program's folder the current one.
QString startFolder;

// The device behind COM3: what the console writes goes nowhere; the modem's
// output comes from `answer`, for each write, or is pushed by the scenario.
class Device : public SerialBackend {
  public:
    Device(const Answer& answer, int pieces, double gap, std::vector<QByteArray>& answered)
        : answer_(answer), pieces_(pieces), gap_(gap), answered_(answered) {}
    ~Device() override { *alive_ = false; }

    void open(const LineSettings& settings, int) override { baud_ = settings.baud; }
    void close() override {}
    void configure(const LineSettings& settings, int) override { baud_ = settings.baud; }

    void write(const QByteArray& bytes) override {
        Clock& clock = Clock::instance();
        const double now = clock.seconds();
        clock.schedule(now + bytes.size() * 10.0 / kBaud, [this, alive = alive_] {
            if (*alive && sent) sent();
        });
        // A modem understands only what comes at its own rate.
        if (!answer_ || baud_ != kBaud || now > kDeadlineSeconds) return;
        const QByteArray reply = answer_(bytes);
        answered_.push_back(reply);
        arrive(reply, now + kLatencySeconds);
    }

    // Output of the modem reaching the console from `due` on, in pieces `gap`
    // seconds apart.
    void arrive(const QByteArray& bytes, double due) {
        Clock& clock = Clock::instance();
        const QByteArrayList parts = sim::inPieces(bytes, pieces_);
        for (int i = 0; i < parts.size(); ++i)
            clock.schedule(due + i * gap_, [this, alive = alive_, piece = parts[i]] {
                if (*alive && received && !piece.isEmpty()) received(piece);
            });
    }

  private:
    Answer answer_;
    int pieces_;
    double gap_;
    std::vector<QByteArray>& answered_;
    int baud_ = kBaud;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// One port, COM3; the device made for it is kept for the scenario.
class Ports : public PortEnvironment {
  public:
    Ports(Answer answer, int pieces, double gap)
        : answer_(std::move(answer)), pieces_(pieces), gap_(gap) {}

    bool exists(int port) const override { return port == kPort; }
    bool canOpenExclusively(int port) const override { return port == kPort; }
    bool isRefused(int) const override { return false; }
    std::unique_ptr<SerialBackend> backend(int port) override {
        if (port != kPort) throw CommError::invalidPortNumber();
        auto device = std::make_unique<Device>(answer_, pieces_, gap_, answered);
        last = device.get();
        return device;
    }

    std::vector<QByteArray> answered;
    Device* last = nullptr;

  private:
    Answer answer_;
    int pieces_;
    double gap_;
};

void writeProgramFile(const char* name, const QByteArray& bytes) {
    QFile file(services->path(QLatin1String(name)));
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// A fresh program folder, clock and port for each run; the windows and open
// files of the run are gone after it.
struct Run {
    Run(Answer answer, int pieces, double gap) {
        for (const char* name : {"COM.txt", "Model.txt", db::kPhoneBookFile})
            QFile::remove(services->path(QLatin1String(name)));
        Clock::install(std::make_unique<VirtualClock>());
        auto made = std::make_unique<Ports>(std::move(answer), pieces, gap);
        ports = made.get();
        PortEnvironment::install(std::move(made));
    }
    ~Run() {
        Forms::instance().clear();
        Files::instance().closeAll();
        QDir::setCurrent(startFolder);
    }
    Ports* ports;
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
void startUpAndDownload() {
    Form1& main = mainWindow();
    writeProgramFile("COM.txt", "9600,N,8,1 3\r\n");
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
    startFolder = QDir::currentPath();
    auto installed = std::make_unique<FuzzServices>();
    services = installed.get();
    Services::install(std::move(installed));
}

void run(const ModemOutput& output) {
    if (output.asReplies) {
        size_t next = 0;
        const Answer fromInput = [&output, &next](const QByteArray&) {
            return next < output.chunks.size() ? output.chunks[next++] : QByteArray();
        };
        Run run(fromInput, output.pieces, output.gapSeconds);
        startUpAndDownload();
        return;
    }
    Run run(Answer(), output.pieces, output.gapSeconds);
    MSComm& port = mainWindow().MSComm1();
    port.setCommPort(kPort);
    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.setPortOpen(true);
    for (size_t i = 0; i < output.chunks.size(); ++i)
        run.ports->last->arrive(output.chunks[i], i * ModemOutput::kChunkSeconds);
    Pause(output.chunks.size() * ModemOutput::kChunkSeconds + kSettleSeconds);
}

std::vector<QByteArray> runReplies(const Answer& answer) {
    Run run(answer, 1, 0);
    startUpAndDownload();
    return run.ports->answered;
}

} // namespace fuzz
