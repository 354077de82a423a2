#pragma once

#include "console/Form1.h"
#include "tests/Fixture.h"

#include <functional>
#include <vector>

// The main window loaded with no saved port (no COM.txt, so no start-up
// search), then connected by hand to a simulated modem on port 3 at 9600.
class ConnectedConsole : public ConsoleTest {
  protected:
    ConnectedConsole();

    Form1& main() { return form<Form1>(); }
    sim::SimModem& modem() { return *modem_; }
    // The modem sends this text on its own.
    void arrive(const QByteArray& text) { modem().unsolicited(text); }
    // What the console wrote to the modem since the last call.
    QByteArray sent();
    // The waits of what `press` does: from each command written to the next,
    // and from the last to the end, with the replies held back long enough
    // and the control raising no event for its emptied transmit buffer, so
    // that no run of the dispatcher stretches a wait.
    std::vector<double> waitsOf(const std::function<void()>& press);

  private:
    sim::SimModem* modem_;
    int consumed_ = 0;
};
