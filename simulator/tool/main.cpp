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
#include <initializer_list>
#include <map>
#include <optional>
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
    std::optional<sim::Silence> silence; // where the module falls silent
    std::optional<sim::Silence> unplug;  // where the device is pulled out
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
        "                     [--entry-fields FIELDS] [--unquoted-hex-names]\n"
        "                     [--extended-errors] [--prompt-delay SECONDS]\n"
        "                     [--reply-delay SECONDS] [--refuse COMMAND ERROR]...\n"
        "                     [--unasked-ready-after-pin] [--sms-ready-after-pin SECONDS]\n"
        "                     [--absent-sim-in-words]\n"
        "                     [--sim-not-ready SECONDS] [--sim-busy-error]\n"
        "                     [--dial-ok-at-once] [--unpadded-registers]\n"
        "                     [--indicator-order ORDER] [--creg-location-always]\n"
        "                     [--unquoted-location] [--access-technology ACT]\n"
        "                     [--silent WHEN] [--unplug WHEN]\n"
        "OUTCOME: answered, busy, no-answer or no-carrier. ERROR: \"ERROR\",\n"
        "\"+CME ERROR: n\" or \"+CMS ERROR: n\", given to COMMAND (\"+CNMI\") whatever it asks.\n"
        "FIELDS (after a phonebook entry's name): none, hidden-group, hidden, empty, all\n"
        "or dates. ORDER (of +CIND): wavecom, ublox, telit, huawei or motorola.\n"
        "WHEN: \"now\", \"after N\" (commands), \"after N COMMAND\", \"at COMMAND\" or\n"
        "\"within COMMAND LINES\" (e.g. \"within AT+CPBR= 1\").\n"
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

// The shapes a flag alone switches on.
const std::map<std::string, bool sim::ReplyShapes::*> kShapeSwitches = {
    {"--trailing-entry-fields", &sim::ReplyShapes::trailingEntryFields},
    {"--unquoted-hex-names", &sim::ReplyShapes::unquotedHexNames},
    {"--unasked-ready-after-pin", &sim::ReplyShapes::unaskedReadyAfterPin},
    {"--absent-sim-in-words", &sim::ReplyShapes::absentSimInWords},
    {"--dial-ok-at-once", &sim::ReplyShapes::voiceDialOkAtOnce},
    {"--unpadded-registers", &sim::ReplyShapes::unpaddedRegisters},
    {"--unquoted-location", &sim::ReplyShapes::unquotedLocation},
};

// The shapes a flag sets to the value after it.
const std::map<std::string, double sim::ReplyShapes::*> kShapeSeconds = {
    {"--prompt-delay", &sim::ReplyShapes::promptDelay},
    {"--reply-delay", &sim::ReplyShapes::replyDelaySeconds},
    {"--sim-not-ready", &sim::ReplyShapes::simNotReadySeconds},
    {"--sms-ready-after-pin", &sim::ReplyShapes::smsReadyAfterPinSeconds},
};

// The shapes a flag sets by a name; false when the name is not one of them.
bool parseNamedShape(const std::string& arg, const char* value, sim::ReplyShapes& shapes) {
    if (arg == "--entry-fields") {
        const auto fields = sim::entryFieldsFromName(value);
        if (fields) shapes.entryFields = *fields;
        return fields.has_value();
    }
    if (arg == "--indicator-order") {
        const auto order = sim::indicatorOrderFromName(value);
        if (order) shapes.indicatorOrder = *order;
        return order.has_value();
    }
    if (arg == "--access-technology") {
        bool ok = false;
        shapes.accessTechnology = QByteArray(value).toInt(&ok);
        return ok && shapes.accessTechnology >= 0;
    }
    return false;
}

// Where the module falls silent or the device is pulled out; false when it is malformed.
bool parseSilence(const char* value, std::optional<sim::Silence>& silence) {
    silence = sim::silenceFromText(value);
    return silence.has_value();
}

// The options that choose the shapes the module answers in; false when one is malformed.
bool parseShapeOption(const std::string& arg, int argc, char** argv, int& i, Options& o) {
    sim::ReplyShapes& shapes = o.shapes;
    const bool hasValue = i + 1 < argc;
    if (kShapeSwitches.count(arg)) {
        shapes.*kShapeSwitches.at(arg) = true;
    } else if (kShapeSeconds.count(arg) && hasValue) {
        shapes.*kShapeSeconds.at(arg) = std::atof(argv[++i]);
    } else if (arg == "--empty-slot-not-found") {
        shapes.emptySlot = sim::EmptySlot::NotFound;
    } else if (arg == "--extended-errors") {
        shapes.equipmentErrorsExtended = shapes.messageErrorsExtended = true;
    } else if (arg == "--sim-busy-error") {
        shapes.simNotReady = sim::SimNotReady::Busy;
    } else if (arg == "--creg-location-always") {
        shapes.cellLocation = sim::CellLocation::Always;
    } else if (arg == "--refuse" && i + 2 < argc) {
        const QByteArray command = QByteArray(argv[++i]).toUpper();
        const auto refusal = sim::refusalFromText(argv[++i]);
        if (!refusal) return false;
        shapes.refusals[command] = *refusal;
    } else if ((arg == "--entry-fields" || arg == "--indicator-order" ||
                arg == "--access-technology") &&
               hasValue) {
        return parseNamedShape(arg, argv[++i], shapes);
    } else if (arg == "--silent" && hasValue) {
        return parseSilence(argv[++i], o.silence);
    } else if (arg == "--unplug" && hasValue) {
        return parseSilence(argv[++i], o.unplug);
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
    // Whoever holds the slave then reads an error, as from a device pulled out.
    void close() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    ~Pty() { close(); }

    int fd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Whether the console's end of the line runs as the module's does (the
    // master shares the slave's settings).
    bool carries(const sim::LineFormat& line) const {
        termios t{};
        if (master_ < 0 || tcgetattr(master_, &t) != 0) return false;
        const int stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
        return line.matches(rateOf(t), line.parity, line.dataBits, stopBits);
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

// The port the module is plugged into: a pseudo-terminal linked as
// <dir>/ports/COM<n> while plugged in; pulled out, neither is there, as a USB
// device's node goes with it.
class Port {
  public:
    Port(std::string link, int number) : link_(std::move(link)), number_(number) {}
    ~Port() { unplug(); }

    bool plugIn() {
        if (!pty_.open()) {
            std::perror("gsm-modem-sim: pseudo-terminal");
            return false;
        }
        unlink(link_.c_str());
        if (symlink(pty_.slavePath().c_str(), link_.c_str()) != 0) {
            std::perror(("gsm-modem-sim: " + link_).c_str());
            return false;
        }
        return true;
    }
    void unplug() {
        if (!pluggedIn()) return;
        pty_.close();
        unlink(link_.c_str());
    }
    bool pluggedIn() const { return pty_.fd() >= 0; }
    const Pty& pty() const { return pty_; }
    std::string name() const { return "COM" + std::to_string(number_); }

  private:
    Pty pty_;
    std::string link_;
    int number_;
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

// The device's presence at its port: pulled out at once, or once the module
// has answered up to a point; plugged in again, its module started afresh.
class Presence {
  public:
    Presence(Port& port, sim::SimModem& modem) : port_(port), modem_(modem) {}

    void unplugAt(const sim::Silence& when) {
        // A moment after the last bytes, so that the console has read them
        // before its line hangs up.
        modem_.onSilence([this](double untilSent) { due_ = now() + untilSent + 0.2; });
        modem_.fallSilent(when);
    }
    void plugIn() {
        if (port_.pluggedIn() || !port_.plugIn()) return;
        due_ = -1;
        modem_.onSilence({});
        modem_.restart();
        say(port_.name() + " -> " + port_.pty().slavePath() + " again");
    }
    double next() const { return due_; }
    void tick(double t) {
        if (due_ < 0 || t < due_) return;
        due_ = -1;
        port_.unplug();
        say(port_.name() + " unplugged");
    }

  private:
    Port& port_;
    sim::SimModem& modem_;
    double due_ = -1;
};

double earliest(std::initializer_list<double> times) {
    double first = -1;
    for (double t : times)
        if (t >= 0 && (first < 0 || t < first)) first = t;
    return first;
}

// What happens around the module: a caller, an arriving message, the device
// going away and coming back, and the lines typed on standard input that
// bring them about.
class World {
  public:
    World(Caller caller, Arrival message, Presence& presence)
        : caller_(std::move(caller)), message_(std::move(message)), presence_(presence) {}

    // The input to watch; -1 once it has ended.
    int input() const { return inputOpen_ ? STDIN_FILENO : -1; }
    void tick(sim::SimModem& modem, double t) {
        caller_.tick(modem, t);
        message_.tick(modem, t);
    }
    // When something is next due; -1 when nothing is.
    double next() const { return earliest({caller_.next(), message_.next(), presence_.next()}); }
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
        } else if ((command == "silent" || command == "unplug") && silence(line)) {
            fallSilent(command, *silence(line), modem);
        } else if (command == "plug") {
            presence_.plugIn();
        } else if (!command.empty()) {
            say("outcome answered|busy|no-answer|no-carrier, hangup, call NUMBER, "
                "sms NUMBER TEXT, silent [WHEN], unplug [WHEN], plug");
        }
    }

    // What follows "silent" or "unplug"; now when nothing does.
    static std::optional<sim::Silence> silence(const std::string& line) {
        const QByteArray words = QByteArray::fromStdString(line).simplified();
        const int blank = words.indexOf(' ');
        return sim::silenceFromText(blank < 0 ? QByteArray("now") : words.mid(blank + 1));
    }

    void fallSilent(const std::string& command, const sim::Silence& when, sim::SimModem& modem) {
        if (command == "unplug") {
            presence_.unplugAt(when);
            return;
        }
        modem.fallSilent(when);
        say(modem.silent() ? "the module falls silent" : "the module will fall silent");
    }

    Caller caller_;
    Arrival message_;
    Presence& presence_;
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
void reportLineChange(const sim::SimModem& modem, const Port& port, sim::LineFormat& reported) {
    const sim::LineFormat line = modem.line();
    if (line == reported) return;
    reported = line;
    say(port.name() + " now at " + line.text().toStdString());
}

void serve(Port& port, sim::SimModem& modem, OutputQueue& out, World& world, Presence& presence) {
    bool listening = true;
    sim::LineFormat reported = modem.line();
    while (!stopRequested) {
        const double t = now();
        world.tick(modem, t);
        reportLineChange(modem, port, reported);
        out.deliver(port.pty(), t, listening);
        presence.tick(now());
        const Pty& pty = port.pty();
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
    const std::string portsDir = options.dir + "/ports";
    mkdir(portsDir.c_str(), 0755);
    Port port(portsDir + "/COM" + std::to_string(options.port), options.port);
    if (!port.plugIn()) return 1;
    installSignalHandlers();
    if (!options.record.empty()) recordFile = std::fopen(options.record.c_str(), "ab");

    OutputQueue out;
    sim::SimModem modem([&out, &modem](const QByteArray& bytes, double delay) {
        out.add(now() + delay, bytes, modem.line());
    });
    modem.setLatency(options.latency);
    configureModem(modem, options);
    Presence presence(port, modem);
    World world(Caller(options.ringAfter < 0 ? -1 : now() + options.ringAfter,
                       QByteArray::fromStdString(options.ringNumber)),
                Arrival(options.smsAfter < 0 ? -1 : now() + options.smsAfter,
                        QByteArray::fromStdString(options.smsNumber),
                        QByteArray::fromStdString(options.smsText)),
                presence);
    if (options.silence) modem.fallSilent(*options.silence);
    if (options.unplug) presence.unplugAt(*options.unplug);

    say(port.name() + " -> " + port.pty().slavePath() + " at " + modem.line().text().toStdString());
    serve(port, modem, out, world, presence);
    return 0;
}
