#pragma once

#include <QString>
#include <QStringList>

// The SIM code the start-up waits for the user to enter.
enum class SimCode { None, Pin, Puk };

// What the link shows on the main window, and the little it reads back from
// it: the window is the view of the start-up, the SIM check and the port.
// Some state is kept in the window's hidden controls because that is where
// the user's session keeps it (the wrong-PIN count survives REFRESH).
class ConsoleView {
  public:
    virtual ~ConsoleView() = default;

    virtual void showWindow() = 0;

    // The progress and failure line, the device speed and the framing line.
    virtual void setStatus(const QString& text) = 0;
    virtual void setSpeedLine(const QString& text) = 0;
    virtual QString framingLine() const = 0;
    virtual void setFramingLine(const QString& text) = 0;

    // The port lines: the state ("Open", "Closed"), "Port " and the number,
    // the settings in upper case; the last is what the port file saves.
    virtual void setPortLines(const QString& state, const QString& port,
                              const QString& settings) = 0;
    virtual void setPortState(const QString& state) = 0;
    virtual QString portSettingsLine() const = 0;

    // The start-up's progress list and the frame that holds it.
    virtual void note(const QString& line) = 0;
    virtual void hideProgress() = 0;
    // The feature buttons once the modem is set up; without a SIM only
    // those that need none.
    virtual void enableFeatureButtons(bool simPresent) = 0;
    virtual void enablePortSettings() = 0;
    // The SMS button, marked when a new message has come.
    virtual void markNewMessage() = 0;

    // The ports the search tries, in order, and the one being tried.
    virtual void setCandidatePorts(const QStringList& ports) = 0;
    virtual void selectCandidatePort(int index) = 0;
    // The ports that can be opened, when none is known to exist.
    virtual void setFreePorts(const QStringList& ports) = 0;

    virtual SimCode awaitedCode() const = 0;
    virtual void setAwaitedCode(SimCode code) = 0;
    virtual QString wrongPinCount() const = 0;
    virtual void setWrongPinCount(const QString& count) = 0;
};
