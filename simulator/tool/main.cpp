// gsm-modem-sim: serves the simulated GSM module on a pseudo-terminal and links
// it as <dir>/ports/COM<n>. It only understands the console while the line runs
// at the module's own rate (+IPR); at other rates the input is lost.

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
};

void usage() {
    std::fprintf(stderr, "usage: gsm-modem-sim [--dir DIR] [--port N] [--rate BAUD] [--pin CODE | "
                         "--no-sim]\n"
                         "                     [--imei DIGITS] [--latency SECONDS] "
                         "[--ring-after SECONDS NUMBER]\n"
                         "                     [--record FILE] [--unpadded-identity]\n");
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
        } else
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
    sim::ModemState& s = modem.state();
    s.settings.params["+IPR"] = QByteArray::number(o.rate);
    s.storedProfile = s.settings;
    if (!o.imei.empty()) s.imei = QByteArray::fromStdString(o.imei);
    if (o.noSim) s.sim.status = sim::SimStatus::Absent;
    s.paddedIdentity = !o.unpaddedIdentity;
    if (!o.pin.empty()) {
        s.sim.pin = QByteArray::fromStdString(o.pin);
        s.sim.status = sim::SimStatus::PinRequired;
    }
    // Something to look at when a person drives the console.
    s.phonebooks["SM"].entries = {{1, {"0123456789", 129, "JOHN"}},
                                  {2, {"+441632960961", 145, "OFFICE"}},
                                  {3, {"0207946000", 129, "HOME"}}};
    s.messages[1] = {"REC UNREAD", "+441632960962", "24/01/15,10:30:00+00",
                     "Hello from the network"};
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

    // The rate the console set on its end of the line (the master shares the slave's settings).
    int lineRate() const {
        termios t{};
        if (tcgetattr(master_, &t) != 0) return 0;
        for (const auto& [rate, speed] : kSpeeds)
            if (cfgetospeed(&t) == speed) return rate;
        return 0;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

// Output waiting for its time; equal times keep their order.
class OutputQueue {
  public:
    void add(double due, const QByteArray& bytes) { queue_.emplace(due, bytes); }
    bool empty() const { return queue_.empty(); }
    double nextDue() const { return queue_.begin()->first; }
    bool writePending(double t) const { return !empty() && nextDue() <= t; }

    // Writes what is due; a line without a listener loses it, as a real one would.
    void deliver(int fd, double t, bool listening) {
        while (writePending(t)) {
            auto head = queue_.begin();
            if (!listening) {
                queue_.erase(head);
                continue;
            }
            const ssize_t n = write(fd, head->second.constData(), head->second.size());
            if (n < 0) return; // full: poll waits for room
            if (n < head->second.size()) {
                head->second.remove(0, n);
                return;
            }
            queue_.erase(head);
        }
    }

  private:
    std::multimap<double, QByteArray> queue_;
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

int pollTimeout(const OutputQueue& out, const Caller& caller, double t) {
    double wait = 1.0;
    if (!out.empty()) wait = std::min(wait, out.nextDue() - t);
    if (caller.next() >= 0) wait = std::min(wait, caller.next() - t);
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
        const int rate = modem.bitRate();
        if (rate != 0 && pty.lineRate() != rate) continue;
        record(buffer, n);
        modem.receive(QByteArray(buffer, int(n)));
    }
}

void serve(Pty& pty, sim::SimModem& modem, OutputQueue& out, Caller& caller) {
    bool listening = true;
    while (!stopRequested) {
        const double t = now();
        caller.tick(modem, t);
        out.deliver(pty.fd(), t, listening);
        pollfd p{pty.fd(), short(POLLIN | (out.writePending(now()) ? POLLOUT : 0)), 0};
        const int ready = poll(&p, 1, pollTimeout(out, caller, now()));
        if (ready < 0) continue; // a signal
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
    sim::SimModem modem(
        [&out](const QByteArray& bytes, double delay) { out.add(now() + delay, bytes); });
    modem.setLatency(options.latency);
    configureModem(modem, options);
    Caller caller(options.ringAfter < 0 ? -1 : now() + options.ringAfter,
                  QByteArray::fromStdString(options.ringNumber));

    std::printf("gsm-modem-sim: COM%d -> %s at %d\n", options.port, pty.slavePath().c_str(),
                options.rate);
    std::fflush(stdout);
    serve(pty, modem, out, caller);
    unlink(link.c_str());
    return 0;
}
