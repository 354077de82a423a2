#pragma once

#include "platform/Clock.h"
#include "platform/Forms.h"
#include "testsupport/RunScope.h"

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
    // Lets the clock run while events are handled, as a user waiting would.
    void run(double seconds) { Clock::instance().wait(seconds); }
    VirtualClock& clock() const { return scope_.clock(); }
    TestServices& services() const { return scope_.services(); }
    SimPorts& ports() const { return scope_.ports(); }

    // Writes a file into the program folder.
    void writeFile(const QString& name, const QByteArray& bytes);
    QByteArray readFile(const QString& name) const;

  private:
    RunScope scope_;
};
