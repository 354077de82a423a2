#pragma once

#include "platform/SerialBackend.h"
#include "simulator/SimModem.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// The ports of a run: devices by number, some with a simulated modem or a
// scripted device behind them, some held by another program. Bytes travel on
// the console's clock, at the speed of the line; the device and the port
// understand each other only while the port runs at the device's rate and
// framing (the modem changes them when told to with "AT+IPR=" and "AT+ICF=";
// a scripted device keeps 9600,n,8,1).
class SimPorts : public PortEnvironment {
  public:
    struct Write {
        QString settings; // the line settings the bytes went out with
        QByteArray bytes;
        double seconds = 0; // when they were written, on the console's clock
    };
    // What a scripted device sends back for one write it understood.
    using Answer = std::function<QByteArray(const QByteArray& written)>;
    // A device whose output is given instead of worked out: the answer to each
    // write (none: it only says what it is told to), arriving as a modem's
    // would, in `pieces` parts of nearly the same size `gapSeconds` apart.
    struct Script {
        Answer answer;
        int pieces = 1;
        double gapSeconds = 0;
    };

    ~SimPorts() override;

    // A modem whose rate, set and stored in its profile, is `baud`.
    sim::SimModem& attachModem(int port, int baud = 9600);
    void attachScript(int port, Script script);
    // The scripted device at `port` sends these bytes `delaySeconds` from now.
    void scriptSays(int port, const QByteArray& bytes, double delaySeconds);
    void addDevice(int port);
    void hold(int port, bool held = true);
    // The device is there, but this user may not open it.
    void deny(int port);
    // The device goes away as a pulled USB device does: the port open on it
    // reports the device's failure (the serial control closes it), and the
    // port no longer exists. Output still on its way is lost.
    void pull(int port);
    // The same at that point of an exchange: the modem answers up to there,
    // and the device goes away once those bytes have arrived.
    void pullAt(int port, const sim::Silence& when);
    // The pulled device is back, its modem started afresh.
    void plugBackIn(int port);
    // The device runs only the lines `runs` accepts, and refuses the others as
    // a real port does.
    void limitLines(int port, std::function<bool(const LineSettings&)> runs);

    sim::SimModem& modem(int port) { return *devices_.at(port).modem; }
    const std::vector<Write>& writes(int port) { return devices_.at(port).writes; }
    // How often the port was opened.
    int opens(int port) { return devices_.at(port).opens; }
    bool isOpen(int port) const;

    bool exists(int port) const override;
    bool canOpenExclusively(int port) const override;
    bool isRefused(int port) const override;
    std::unique_ptr<SerialBackend> backend(int port) override;

  private:
    class Backend;
    struct Device {
        std::unique_ptr<sim::SimModem> modem;
        std::optional<Script> script;
        bool held = false;
        bool denied = false;
        bool pulled = false;
        std::function<bool(const LineSettings&)> runs; // none: every line
        int opens = 0;
        Backend* open = nullptr;
        std::vector<Write> writes;
    };
    // Bytes the port sent on `line` reach the device when it runs the same way.
    void reachDevice(int port, const QByteArray& bytes, const LineSettings& line);
    // Bytes the device sent on `line` reach the port when it runs the same way.
    void deliver(int port, const QByteArray& bytes, const sim::LineFormat& line);

    std::map<int, Device> devices_;
};
