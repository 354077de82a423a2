#include "testsupport/SimPorts.h"

#include "platform/Clock.h"

namespace {
// The line a scripted device runs, and how long it takes to answer.
const sim::LineFormat kScriptLine;
constexpr double kScriptLatencySeconds = 0.05;

// Seconds the line needs for these bytes: ten bits a character.
double lineTime(int bytes, int baud) {
    return bytes * 10.0 / baud;
}

bool understood(const sim::LineFormat& modem, const LineSettings& port) {
    return modem.matches(port.baud, port.parity, port.dataBits, static_cast<int>(port.stopBits));
}

QString settingsText(const LineSettings& s) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(s.baud)
        .arg(QLatin1Char(s.parity))
        .arg(s.dataBits)
        .arg(s.stopBits);
}
} // namespace

class SimPorts::Backend : public SerialBackend {
  public:
    Backend(SimPorts& ports, int port) : ports_(ports), port_(port) {}
    ~Backend() override {
        *alive_ = false;
        close();
    }

    void open(const LineSettings& settings, int) override {
        Device& device = ports_.devices_.at(port_);
        if (device.held || device.open) throw CommError::portAlreadyOpen();
        if (device.denied) throw CommError(8002, QStringLiteral("Permission denied"));
        refuseUnless(settings);
        line_ = settings;
        device.open = this;
        ++device.opens;
    }
    void close() override {
        auto found = ports_.devices_.find(port_);
        if (found != ports_.devices_.end() && found->second.open == this)
            found->second.open = nullptr;
    }
    void configure(const LineSettings& settings, int) override {
        refuseUnless(settings);
        line_ = settings;
    }

    void write(const QByteArray& bytes) override {
        Device& device = ports_.devices_.at(port_);
        if (device.pulled) return; // nowhere to go
        Clock& clock = Clock::instance();
        device.writes.push_back({settingsText(line_), bytes, clock.seconds()});
        clock.schedule(clock.seconds() + lineTime(bytes.size(), line_.baud),
                       [this, line = line_, bytes, alive = alive_] {
                           if (!*alive) return;
                           ports_.reachDevice(port_, bytes, line);
                           if (sent) sent();
                       });
    }

    const LineSettings& line() const { return line_; }
    void deliver(const QByteArray& bytes) {
        if (received) received(bytes);
    }
    void fail() {
        if (error) error(DeviceFailed);
    }

  private:
    void refuseUnless(const LineSettings& settings) const {
        const Device& device = ports_.devices_.at(port_);
        if (device.runs && !device.runs(settings)) throw CommError::invalidPropertyValue();
    }

    SimPorts& ports_;
    int port_;
    LineSettings line_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true); // pending bytes die with it
};

SimPorts::~SimPorts() {
    for (auto& [port, device] : devices_)
        device.open = nullptr;
}

sim::SimModem& SimPorts::attachModem(int port, int baud) {
    Device& device = devices_[port];
    device.modem = std::make_unique<sim::SimModem>(
        [this, port](const QByteArray& bytes, double delay) {
            Clock& clock = Clock::instance();
            clock.schedule(clock.seconds() + delay, [this, port, bytes, line = modem(port).line()] {
                deliver(port, bytes, line);
            });
        },
        [] { return Clock::instance().seconds(); });
    device.modem->setRate(baud);
    return *device.modem;
}

void SimPorts::attachScript(int port, Script script) {
    devices_[port].script = std::move(script);
}

void SimPorts::scriptSays(int port, const QByteArray& bytes, double delaySeconds) {
    if (bytes.isEmpty()) return;
    const Script& script = *devices_.at(port).script;
    Clock& clock = Clock::instance();
    const QByteArrayList parts = sim::inPieces(bytes, script.pieces);
    for (int i = 0; i < parts.size(); ++i)
        clock.schedule(clock.seconds() + delaySeconds + i * script.gapSeconds,
                       [this, port, piece = parts[i]] { deliver(port, piece, kScriptLine); });
}

void SimPorts::addDevice(int port) {
    devices_[port];
}

void SimPorts::hold(int port, bool held) {
    devices_[port].held = held;
}

void SimPorts::deny(int port) {
    devices_[port].denied = true;
}

void SimPorts::pull(int port) {
    Device& device = devices_.at(port);
    device.pulled = true;
    if (device.open) device.open->fail();
}

void SimPorts::pullAt(int port, const sim::Silence& when) {
    sim::SimModem& pulled = modem(port);
    pulled.onSilence([this, port](double untilSent) {
        Clock& clock = Clock::instance();
        clock.schedule(clock.seconds() + untilSent, [this, port] { pull(port); });
    });
    pulled.fallSilent(when);
}

void SimPorts::plugBackIn(int port) {
    Device& device = devices_.at(port);
    device.pulled = false;
    if (device.modem) {
        device.modem->onSilence({});
        device.modem->restart();
    }
}

void SimPorts::limitLines(int port, std::function<bool(const LineSettings&)> runs) {
    devices_[port].runs = std::move(runs);
}

bool SimPorts::isOpen(int port) const {
    auto found = devices_.find(port);
    return found != devices_.end() && found->second.open;
}

bool SimPorts::exists(int port) const {
    const auto found = devices_.find(port);
    return found != devices_.end() && !found->second.pulled;
}

bool SimPorts::canOpenExclusively(int port) const {
    if (!exists(port)) return false;
    const Device& device = devices_.at(port);
    return !device.held && !device.denied && !device.open;
}

bool SimPorts::isRefused(int port) const {
    return exists(port) && !canOpenExclusively(port);
}

std::unique_ptr<SerialBackend> SimPorts::backend(int port) {
    if (!exists(port)) throw CommError::invalidPortNumber();
    return std::make_unique<Backend>(*this, port);
}

void SimPorts::reachDevice(int port, const QByteArray& bytes, const LineSettings& line) {
    Device& device = devices_.at(port);
    if (device.pulled) return;
    if (device.modem && understood(device.modem->line(), line)) device.modem->receive(bytes);
    if (device.script && device.script->answer && understood(kScriptLine, line))
        scriptSays(port, device.script->answer(bytes), kScriptLatencySeconds);
}

void SimPorts::deliver(int port, const QByteArray& bytes, const sim::LineFormat& line) {
    Device& device = devices_.at(port);
    if (device.pulled) return;
    if (device.open && understood(line, device.open->line())) device.open->deliver(bytes);
}
