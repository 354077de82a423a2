#pragma once

#include "platform/Clock.h"
#include "platform/Forms.h"
#include "tests/SimPorts.h"
#include "tests/TestServices.h"

#include <gtest/gtest.h>

#include <ostream>

// Readable values in failure messages, line breaks shown as escapes.
void PrintTo(const QString& text, std::ostream* out);
void PrintTo(const QByteArray& bytes, std::ostream* out);
void PrintTo(const QStringList& list, std::ostream* out);

// Every console test: a virtual clock, recording services in a fresh program
// folder, and simulated ports. Windows are destroyed after each test.
class ConsoleTest : public ::testing::Test {
  protected:
    ConsoleTest();
    ~ConsoleTest() override;

    // Lets the clock run while events are handled, as a user waiting would.
    void run(double seconds) { Clock::instance().wait(seconds); }
    VirtualClock& clock() { return *clock_; }
    TestServices& services() { return *services_; }
    SimPorts& ports() { return *ports_; }

    // Writes a file into the program folder.
    void writeFile(const QString& name, const QByteArray& bytes);
    QByteArray readFile(const QString& name) const;

  private:
    VirtualClock* clock_;
    TestServices* services_;
    SimPorts* ports_;
    std::unique_ptr<Clock> previousClock_;
    std::unique_ptr<Services> previousServices_;
    std::unique_ptr<PortEnvironment> previousPorts_;
};
