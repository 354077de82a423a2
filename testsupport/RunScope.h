#pragma once

#include "platform/Clock.h"
#include "testsupport/SimPorts.h"
#include "testsupport/TestServices.h"

#include <memory>

// One run of the console on stand-ins (a test, a fuzz input, a benchmark):
// recording services in a fresh program folder, which becomes the current
// folder, and a virtual clock and simulated ports unless others are given,
// all installed for the scope's life. When it ends, the windows are gone, no
// file is left open, and the clock, services, ports and current folder of
// before are back.
class RunScope {
  public:
    explicit RunScope(TestServices::Folder folder = TestServices::Folder::Temporary);
    // Another clock and other ports: the real ones, say.
    RunScope(std::unique_ptr<Clock> clock, std::unique_ptr<PortEnvironment> ports,
             TestServices::Folder folder = TestServices::Folder::Temporary);
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    TestServices& services() const { return *services_; }
    // The virtual clock and the simulated ports (when no others were given).
    VirtualClock& clock() const { return dynamic_cast<VirtualClock&>(*clock_); }
    SimPorts& ports() const { return dynamic_cast<SimPorts&>(*ports_); }

  private:
    QString previousFolder_;
    Clock* clock_;
    TestServices* services_;
    PortEnvironment* ports_;
    std::unique_ptr<Clock> previousClock_;
    std::unique_ptr<Services> previousServices_;
    std::unique_ptr<PortEnvironment> previousPorts_;
};
