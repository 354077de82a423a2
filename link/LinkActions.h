#pragma once

#include <QString>

#include <functional>
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

// The window that receives the copy of the SIM phonebook while it is read.
class PhonebookCopy {
  public:
    virtual ~PhonebookCopy() = default;
    virtual void SetPhonebookCounts(const QString& used, const QString& capacity) = 0;
    virtual void AddPhonebookEntry(const QString& index, const QString& number,
                                   const QString& name) = 0;
};

// What the link's replies and steps do to the windows above it. The link
// reads the values out of the log, then calls the action: each action
// reaches its window as it runs (form<X>()), which loads a window that is
// not loaded, and a first load may run exchanges of its own; that is why the
// values are read first. Every slot is filled by the program's composition
// (each window folder fills its own); the link names no window.
struct LinkActions {
    // --- the dispatcher's keys
    // A new message: the pop-up shown for a while, then hidden.
    std::function<void()> showNewMessagePopUp;
    std::function<void()> hideNewMessagePopUp;
    // The short-message window's status line.
    std::function<void(const QString& text)> messageNotice;
    // A caller: the name the phonebook has for the number (none when it has
    // none), then the incoming-call window announcing it.
    std::function<std::optional<QString>(const QString& number)> callerName;
    std::function<void(const QString& text)> announceCaller;
    std::function<void()> hideIncomingCall;
    // The call window's status line.
    std::function<void(const QString& text)> callStatus;
    // The identity replies, and the identity file once the model is known.
    std::function<void(const QString& serial)> serialNumber;
    std::function<void(const QString& text)> manufacturer;
    std::function<void(const QString& text)> model;
    std::function<void()> saveIdentityFile;
    // The phonebook download: the window that takes the copy (reached when
    // the download begins and held until it ends), then the copy shown.
    std::function<PhonebookCopy&()> phonebookCopy;
    std::function<void()> phonebookCopied;
    // The call-control window: a change's result, the gains, echo
    // cancellation (true when the values could be shown) and side tone.
    std::function<void(const QString& text)> audioResult;
    std::function<void(const QString& value)> speakerGain;
    std::function<void(const QString& value)> microphoneGain;
    std::function<bool(const QString& values)> echoValues;
    std::function<void(const QString& mode, const QString& level)> sideTone;
    // The signal window.
    std::function<void()> showSignalWindow;
    std::function<void()> clearSignalReadings;
    std::function<void(int rssi, const QString& rssiText, const QString& berText)> signalQuality;
    std::function<void(int stat)> registration;
    // The short-message window's service-centre number.
    std::function<void(const QString& number)> serviceCentre;

    // --- the SIM check and the initialisation
    std::function<CodeEntry&()> codeEntry;
    // Whether the user answers calls by hand (the modem does not answer itself).
    std::function<void(bool byHand)> answerMode;
    // The modem settings window preset from the device's replies.
    std::function<void(const QString& rate)> deviceRate;
    std::function<void(const QString& formatCode, const QString& parityCode)> framing;
    std::function<void()> echoEnabled;
    // The start-up is complete.
    std::function<void()> initialised;
};
