// gsm-modem-sim: serves the simulated GSM module on a pseudo-terminal and links
// it as <dir>/ports/COM<n>. The module and the console understand each other
// only while the line runs at the module's own rate (+IPR) and framing (+ICF);
// otherwise what either sends is lost. A pseudo-terminal keeps the rate and the
// stop bits the console sets, but always reports 8 data bits and no parity, so
// only those two are compared. The module says on its output when it changes
// its line.

#include "simulator/SimModem.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) {
    stopRequested = 1;
}

const std::map<int, speed_t> kSpeeds = {
    {300, B300},   {600, B600},     {1200, B1200},   {2400, B2400},   {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};

struct Options {
    std::string dir = ".";
    int port = 3;
    int rate = 9600;
    std::string pin;
    bool noSim = false;
    bool unpaddedIdentity = false;
    std::string imei;
    double latency = 0.05;
    double ringAfter = -1;
    std::string ringNumber;
    std::string record; // file that receives every byte the module understood
    std::string dialOutcome;
    double smsAfter = -1;
    std::string smsNumber;
    std::string smsText;
    sim::ReplyShapes shapes;
};

void usage() {
    std::fprintf(
        stderr,
        "usage: gsm-modem-sim [--dir DIR] [--port N] [--rate BAUD] [--pin CODE | "
        "--no-sim]\n"
        "                     [--imei DIGITS] [--latency SECONDS] "
        "[--ring-after SECONDS NUMBER]\n"
        "                     [--record FILE] [--unpadded-identity] [--dial-outcome OUTCOME]\n"
        "                     [--sms-after SECONDS NUMBER TEXT]\n"
        "                     [--empty-slot-not-found] [--trailing-entry-fields]\n"
        "                     [--extended-errors] [--prompt-delay SECONDS]\n"
        "                     [--refuse COMMAND ERROR]...\n"
        "OUTCOME: answered, busy, no-answer or no-carrier. ERROR: \"ERROR\",\n"
        "\"+CME ERROR: n\" or \"+CMS ERROR: n\", given to COMMAND (\"+CNMI\") whatever it asks.\n"
        "While it runs, lines on\n"
        "standard input drive the world around the module (\"help\" lists them).\n"
        "\n"
        "Start it before the console. A console whose COM.txt names a port that\n"
        "does not exist (this simulator not running yet) shows its welcome line\n"
        "and nothing more: start the simulator and press REFRESH, pick the port\n"
        "with \"Port Settings->\", or empty COM.txt to have the console search.\n");
}

const std::map<std::string, sim::DialOutcome> kDialOutcomes = {
    {"answered", sim::DialOutcome::Answered},
    {"busy", sim::DialOutcome::Busy},
    {"no-answer", sim::DialOutcome::NoAnswer},
    {"no-carrier", sim::DialOutcome::NoCarrier},
};

// The options that schedule what happens around the module; false when one is malformed.
bool parseWorldOption(const std::string& arg, int argc, char** argv, int& i, Options& o) {
    if (arg == "--dial-outcome" && i + 1 < argc) {
        o.dialOutcome = argv[++i];
        return kDialOutcomes.count(o.dialOutcome) > 0;
    }
    if (arg == "--sms-after" && i + 3 < argc) {
        o.smsAfter = std::atof(argv[++i]);
        o.smsNumber = argv[++i];
        o.smsText = argv[++i];
        return true;
    }
    return false;
}

// The options that choose the shapes the module answers in; false when one is malformed.
bool parseShapeOption(const std::string& arg, int argc, char** argv, int& i, Options& o) {
    sim::ReplyShapes& shapes = o.shapes;
    if (arg == "--empty-slot-not-found") {
        shapes.emptySlot = sim::EmptySlot::NotFound;
    } else if (arg == "--trailing-entry-fields") {
        shapes.trailingEntryFields = true;
    } else if (arg == "--extended-errors") {
        shapes.equipmentErrorsExtended = shapes.messageErrorsExtended = true;
    } else if (arg == "--prompt-delay" && i + 1 < argc) {
        shapes.promptDelay = std::atof(argv[++i]);
    } else if (arg == "--refuse" && i + 2 < argc) {
        const QByteArray command = QByteArray(argv[++i]).toUpper();
        const auto refusal = sim::refusalFromText(argv[++i]);
        if (!refusal) return false;
        shapes.refusals[command] = *refusal;
    } else {
        return parseWorldOption(arg, argc, argv, i, o);
    }
    return true;
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--no-sim")
            o.noSim = true;
        else if (arg == "--unpadded-identity")
            o.unpaddedIdentity = true;
        else if (arg == "--dir" && hasValue)
            o.dir = argv[++i];
        else if (arg == "--port" && hasValue)
            o.port = std::atoi(argv[++i]);
        else if (arg == "--rate" && hasValue)
            o.rate = std::atoi(argv[++i]);
        else if (arg == "--pin" && hasValue)
            o.pin = argv[++i];
        else if (arg == "--imei" && hasValue)
            o.imei = argv[++i];
        else if (arg == "--record" && hasValue)
            o.record = argv[++i];
        else if (arg == "--latency" && hasValue)
            o.latency = std::atof(argv[++i]);
        else if (arg == "--ring-after" && i + 2 < argc) {
            o.ringAfter = std::atof(argv[++i]);
            o.ringNumber = argv[++i];
        } else if (!parseShapeOption(arg, argc, argv, i, o))
            return false;
    }
    return o.port > 0 && kSpeeds.count(o.rate);
}

double now() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return duration<double>(steady_clock::now() - start).count();
}

void configureModem(sim::SimModem& modem, const Options& o) {
    modem.setRate(o.rate);
    sim::ModemState& s = modem.state();
    if (!o.imei.empty()) s.imei = QByteArray::fromStdString(o.imei);
    if (o.noSim) s.sim.status = sim::SimStatus::Absent;
    s.paddedIdentity = !o.unpaddedIdentity;
    s.shapes = o.shapes;
    if (!o.pin.empty()) {
        s.sim.pin = QByteArray::fromStdString(o.pin);
        s.sim.status = sim::SimStatus::PinRequired;
    }
    // Something to look at when a person drives the console; the place of an
    // entry deleted on a phone stays empty.
    s.phonebooks["SM"].entries = {{1, {"0123456789", 129, "JOHN"}},
                                  {2, {"+441632960961", 145, "OFFICE"}},
                                  {4, {"0207946000", 129, "HOME"}}};
    s.messages[1] = {"REC UNREAD", "+441632960962", "24/01/15,10:30:00+00",
                     "Hello from the network"};
    if (!o.dialOutcome.empty()) s.network.dialOutcome = kDialOutcomes.at(o.dialOutcome);
}

int rateOf(const termios& t) {
    for (const auto& [rate, speed] : kSpeeds)
        if (cfgetospeed(&t) == speed) return rate;
    return 0;
}

// The pseudo-terminal: a master we keep, a slave the console opens.
class Pty {
  public:
    bool open() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return false;
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
        slavePath_ = ptsname(master_);
        return true;
    }
    ~Pty() {
        if (master_ >= 0) close(master_);
    }

    int fd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Whether the console's end of the line runs as the module's does (the
    // master shares the slave's settings).
    bool carries(const sim::LineFormat& line) const {
        termios t{};
        if (tcgetattr(master_, &t) != 0) return false;
        const int stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
        return line.matches(rateOf(t), line.parity, line.dataBits, stopBits);
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

// Output waiting for its time, with the line the module sent it on; equal
// times keep their order.
class OutputQueue {
  public:
    void add(double due, const QByteArray& bytes, const sim::LineFormat& line) {
        queue_.emplace(due, Output{bytes, line});
    }
    bool empty() const { return queue_.empty(); }
    double nextDue() const { return queue_.begin()->first; }
    bool writePending(double t) const { return !empty() && nextDue() <= t; }

    // Writes what is due; a line without a listener, or one that runs
    // otherwise than the module sent on, loses it, as a real one would.
    void deliver(const Pty& pty, double t, bool listening) {
        while (writePending(t)) {
            auto head = queue_.begin();
            QByteArray& bytes = head->second.bytes;
            if (!listening || !pty.carries(head->second.line)) {
                queue_.erase(head);
                continue;
            }
            const ssize_t n = write(pty.fd(), bytes.constData(), bytes.size());
            if (n < 0) return; // full: poll waits for room
            if (n < bytes.size()) {
                bytes.remove(0, n);
                return;
            }
            queue_.erase(head);
        }
    }

  private:
    struct Output {
        QByteArray bytes;
        sim::LineFormat line;
    };
    std::multimap<double, Output> queue_;
};

// An incoming call rings every five seconds until answered; after six rings the caller gives up.
class Caller {
  public:
    Caller(double at, QByteArray number) : next_(at), number_(std::move(number)) {}

    double next() const { return next_; }
    void tick(sim::SimModem& modem, double t) {
        if (next_ < 0 || t < next_) return;
        const sim::Call& call = modem.state().call;
        if (rings_ == 0)
            modem.incomingCall(number_);
        else if (call.status != sim::CallStatus::Incoming)
            return stop();
        else if (rings_ >= 6)
            return stop(modem);
        else
            modem.ring();
        ++rings_;
        next_ = t + 5;
    }

  private:
    void stop() { next_ = -1; }
    void stop(sim::SimModem& modem) {
        modem.callerHangsUp();
        stop();
    }

    double next_;
    QByteArray number_;
    int rings_ = 0;
};

// A short message that reaches the module at a given time.
class Arrival {
  public:
    Arrival(double at, QByteArray number, QByteArray text)
        : at_(at), number_(std::move(number)), text_(std::move(text)) {}

    double next() const { return at_; }
    void tick(sim::SimModem& modem, double t) {
        if (at_ < 0 || t < at_) return;
        at_ = -1;
        modem.receiveMessage(number_, text_);
    }

  private:
    double at_;
    QByteArray number_;
    QByteArray text_;
};

void say(const std::string& text) {
    std::printf("gsm-modem-sim: %s\n", text.c_str());
    std::fflush(stdout);
}

// What happens around the module: a caller, an arriving message, and the
// lines typed on standard input that bring them about.
class World {
  public:
    World(Caller caller, Arrival message)
        : caller_(std::move(caller)), message_(std::move(message)) {}

    // The input to watch; -1 once it has ended.
    int input() const { return inputOpen_ ? STDIN_FILENO : -1; }
    void tick(sim::SimModem& modem, double t) {
        caller_.tick(modem, t);
        message_.tick(modem, t);
    }
    // When something is next due; -1 when nothing is.
    double next() const {
        const double a = caller_.next(), b = message_.next();
        return a < 0 ? b : b < 0 ? a : std::min(a, b);
    }
    void readInput(sim::SimModem& modem, double t) {
        char buffer[1024];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            inputOpen_ = false; // ended, or not ours to read
            return;
        }
        pending_.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            const std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            control(line, modem, t);
        }
    }

  private:
    void control(const std::string& line, sim::SimModem& modem, double t) {
        std::istringstream words(line);
        std::string command, number;
        words >> command >> number;
        std::string text;
        std::getline(words >> std::ws, text);
        if (command == "outcome" && kDialOutcomes.count(number)) {
            modem.state().network.dialOutcome = kDialOutcomes.at(number);
            say("the next call is " + number);
        } else if (command == "hangup") {
            modem.callerHangsUp();
            say("the far end hangs up");
        } else if (command == "call" && !number.empty()) {
            caller_ = Caller(t, QByteArray::fromStdString(number));
            say("a call from " + number);
        } else if (command == "sms" && !number.empty()) {
            const int index = modem.receiveMessage(QByteArray::fromStdString(number),
                                                   QByteArray::fromStdString(text));
            say(index ? "a message from " + number + " at index " + std::to_string(index)
                      : std::string("the message store is full"));
        } else if (!command.empty()) {
            say("outcome answered|busy|no-answer|no-carrier, hangup, call NUMBER, "
                "sms NUMBER TEXT");
        }
    }

    Caller caller_;
    Arrival message_;
    bool inputOpen_ = true;
    std::string pending_;
};

int pollTimeout(const OutputQueue& out, const World& world, double t) {
    double wait = 1.0;
    if (!out.empty()) wait = std::min(wait, out.nextDue() - t);
    if (world.next() >= 0) wait = std::min(wait, world.next() - t);
    return wait <= 0 ? 0 : int(wait * 1000) + 1;
}

std::FILE* recordFile = nullptr;

void record(const char* bytes, ssize_t n) {
    if (!recordFile) return;
    std::fwrite(bytes, 1, static_cast<size_t>(n), recordFile);
    std::fflush(recordFile);
}

void readInput(const Pty& pty, sim::SimModem& modem, bool& listening) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pty.fd(), buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno == EIO) listening = false;
            return;
        }
        if (!pty.carries(modem.line())) continue;
        record(buffer, n);
        modem.receive(QByteArray(buffer, int(n)));
    }
}

// Tells whoever watches the module that it now runs its line otherwise.
void reportLineChange(const sim::SimModem& modem, int port, sim::LineFormat& reported) {
    const sim::LineFormat line = modem.line();
    if (line == reported) return;
    reported = line;
    say("COM" + std::to_string(port) + " now at " + line.text().toStdString());
}

void serve(Pty& pty, sim::SimModem& modem, OutputQueue& out, World& world, int port) {
    bool listening = true;
    sim::LineFormat reported = modem.line();
    while (!stopRequested) {
        const double t = now();
        world.tick(modem, t);
        reportLineChange(modem, port, reported);
        out.deliver(pty, t, listening);
        pollfd fds[] = {{pty.fd(), short(POLLIN | (out.writePending(now()) ? POLLOUT : 0)), 0},
                        {world.input(), POLLIN, 0}};
        const int ready = poll(fds, 2, pollTimeout(out, world, now()));
        if (ready < 0) continue; // a signal
        if (fds[1].revents) world.readInput(modem, now());
        const pollfd& p = fds[0];
        listening = true;
        if (p.revents & POLLIN) readInput(pty, modem, listening);
        if (p.revents & POLLHUP) {
            // No slave open: poll would return at once, so wait a little instead.
            listening = false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // Started in the background of a shell, reading the terminal fails instead of stopping.
    signal(SIGTTIN, SIG_IGN);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }
    Pty pty;
    if (!pty.open()) {
        std::perror("gsm-modem-sim: pseudo-terminal");
        return 1;
    }
    const std::string portsDir = options.dir + "/ports";
    const std::string link = portsDir + "/COM" + std::to_string(options.port);
    mkdir(portsDir.c_str(), 0755);
    unlink(link.c_str());
    if (symlink(pty.slavePath().c_str(), link.c_str()) != 0) {
        std::perror(("gsm-modem-sim: " + link).c_str());
        return 1;
    }
    installSignalHandlers();
    if (!options.record.empty()) recordFile = std::fopen(options.record.c_str(), "ab");

    OutputQueue out;
    sim::SimModem modem([&out, &modem](const QByteArray& bytes, double delay) {
        out.add(now() + delay, bytes, modem.line());
    });
    modem.setLatency(options.latency);
    configureModem(modem, options);
    World world(Caller(options.ringAfter < 0 ? -1 : now() + options.ringAfter,
                       QByteArray::fromStdString(options.ringNumber)),
                Arrival(options.smsAfter < 0 ? -1 : now() + options.smsAfter,
                        QByteArray::fromStdString(options.smsNumber),
                        QByteArray::fromStdString(options.smsText)));

    say("COM" + std::to_string(options.port) + " -> " + pty.slavePath() + " at " +
        modem.line().text().toStdString());
    serve(pty, modem, out, world, options.port);
    unlink(link.c_str());
    return 0;
}
