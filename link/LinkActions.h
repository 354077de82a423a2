#pragma once

#include "link/replies/CallSettings.h"

#include <QString>

#include <optional>

// The PIN entry window, as the SIM check drives it.
class CodeEntry {
  public:
    virtual ~CodeEntry() = default;
    virtual void setPinDisplay() = 0;
    virtual void setPukDisplay() = 0;
    virtual void showEntry() = 0;
    virtual void hideEntry() = 0;
};

// What the link's replies and steps do to the windows above it, one face for
// each folder of windows, which that folder implements (so a face left
// unimplemented does not build). The link reads the values out of the log,
// then calls the face: each call reaches its window as it runs (form<X>()),
// which loads a window that is not loaded, and a first load may run
// exchanges of its own; that is why the values are read first. The link
// names no window.

// The main window's own windows (console/): model details, signal, PIN
// entry, new-message pop-up, reminder.
class ConsoleWindows {
  public:
    virtual ~ConsoleWindows() = default;
    // The identity replies, and the identity file once the model is known.
    virtual void serialNumber(const QString& serial) = 0;
    virtual void manufacturer(const QString& text) = 0;
    virtual void model(const QString& text) = 0;
    virtual void saveIdentityFile() = 0;
    // The signal window.
    virtual void showSignalWindow() = 0;
    virtual void clearSignalReadings() = 0;
    virtual void signalQuality(int rssi, const QString& rssiText, const QString& berText) = 0;
    virtual void registration(int stat) = 0;
    // The PIN entry window, as the SIM check drives it.
    virtual CodeEntry& codeEntry() = 0;
    // A new message: the pop-up shown for a while, then hidden.
    virtual void showNewMessagePopUp() = 0;
    virtual void hideNewMessagePopUp() = 0;
    // The start-up is complete.
    virtual void initialised() = 0;
};

// The call, phonebook entry, incoming-call, call-control and short-message
// windows (calls/).
class CallsWindows {
  public:
    virtual ~CallsWindows() = default;
    // A caller: the name the phonebook has for the number (none when it has
    // none), then the incoming-call window announcing it.
    virtual std::optional<QString> callerName(const QString& number) = 0;
    virtual void announceCaller(const QString& text) = 0;
    virtual void hideIncomingCall() = 0;
    // The call window's status line.
    virtual void callStatus(const QString& text) = 0;
    // The phonebook download has replaced the copy: the call window lists
    // it and is shown.
    virtual void phonebookCopied() = 0;
    // Whether the user answers calls by hand (the modem does not answer itself).
    virtual void answerMode(bool byHand) = 0;
    // The call-control window: a change's result, the gains, echo
    // cancellation and side tone.
    virtual void audioResult(const QString& text) = 0;
    virtual void speakerGain(const QString& value) = 0;
    virtual void microphoneGain(const QString& value) = 0;
    virtual void echoValues(const replies::EchoValues& values) = 0;
    virtual void sideTone(const QString& mode, const QString& level) = 0;
    // The short-message window's status line and service-centre number.
    virtual void messageNotice(const QString& text) = 0;
    virtual void serviceCentre(const QString& number) = 0;
};

// The modem configuration windows (config/).
class ConfigWindows {
  public:
    virtual ~ConfigWindows() = default;
    // The modem settings window preset from the device's replies.
    virtual void deviceRate(const QString& rate) = 0;
    virtual void framing(const QString& formatCode, const QString& parityCode) = 0;
    virtual void echoEnabled() = 0;
};

// Every face, as the program's composition gives them to the link.
struct LinkActions {
    ConsoleWindows& console;
    CallsWindows& calls;
    ConfigWindows& config;
};
