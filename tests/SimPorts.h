#pragma once

#include "platform/SerialBackend.h"
#include "simulator/SimModem.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

// The ports of a test: devices by number, some with a simulated modem behind
// them, some held by another program. Bytes travel on the console's clock, at
// the speed of the line; the modem and the port understand each other only
// while the port runs at the modem's rate and framing (the modem changes them
// when told to with "AT+IPR=" and "AT+ICF=").
class SimPorts : public PortEnvironment {
  public:
    struct Write {
        QString settings; // the line settings the bytes went out with
        QByteArray bytes;
        double seconds = 0; // when they were written, on the console's clock
    };

    ~SimPorts() override;

    // A modem whose rate, set and stored in its profile, is `baud`.
    sim::SimModem& attachModem(int port, int baud = 9600);
    void addDevice(int port);
    void hold(int port, bool held = true);
    // The device is there, but this user may not open it.
    void deny(int port);

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
        bool held = false;
        bool denied = false;
        int opens = 0;
        Backend* open = nullptr;
        std::vector<Write> writes;
    };
    // Bytes the modem sent on `line` reach the port when it runs the same way.
    void deliver(int port, const QByteArray& bytes, const sim::LineFormat& line);

    std::map<int, Device> devices_;
};
