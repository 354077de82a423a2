#pragma once

#include "link/ConsoleView.h"
#include "link/LinkActions.h"
#include "link/SerialLink.h"
#include "link/replies/Calls.h"
#include "link/replies/Phonebook.h"
#include "link/replies/Sim.h"
#include "platform/Timer.h"

#include <QObject>

// The link to the modem beneath the windows: it owns the serial link (the
// port and the terminal log), finds the modem's port at start-up, checks the
// SIM and initialises the modem, runs the dispatcher of received data and
// the call watch. It shows its progress on the main window through the view,
// and what its replies mean to the other windows through the faces the
// composition gives it.
class ModemLink : public QObject {
    Q_OBJECT
  public:
    ModemLink(ConsoleView& view, LinkActions actions, QObject* parent = nullptr);
    ~ModemLink() override;

    // How the windows reach the link (through link/Modem.h): set once by the
    // program's composition. Reaching it may load the window that holds it.
    static void setProvider(std::function<ModemLink&()> provider);
    // Throws when no provider is set.
    static ModemLink& reach();

    SerialLink& link() { return link_; }
    MSComm& MSComm1() { return link_.port(); }
    TerminalLog& Text1() { return link_.log(); }
    ConsoleView& view() { return view_; }
    LinkActions& actions() { return actions_; }

    Timer Timer2; // call watch

    // ---- serial link (ModemLink.cpp)
    // Counts the occurrences of `find` in `text`, overlapping ones included.
    static int getCountOf(const QString& text, const QString& find);
    // Removes the first occurrence of `find` from `text` and returns the new
    // text; leaves `text` alone and returns "" when there is none.
    static QString StrDel(QString& text, const QString& find);
    // Appends a framed reply to the log.
    void LogResponse(const QString& reply);
    // Sets the port lines from the serial control.
    void ShowPortStatus();
    // The device went away and the serial control closed the port.
    void ShowModemDisconnected();
    // Shows the signal window and asks for signal and registration.
    void networkset();
    // Before the program ends: a message waiting for its text is cancelled,
    // and the device keeps its settings ("AT&W").
    void SaveProfile();

    // ---- start-up and port search (StartUp.cpp)
    // The saved port, else the search; whatever ends it leaves no file open.
    void StartUp();
    void SavePortAndCheckSIM();
    // Probes the port the settings dialog left open and takes it into use.
    void ProbePortAfterSettings();

    // ---- SIM check and initialisation (SimCheck.cpp)
    void CheckSIM();
    // Asks for the SIM state, again while the module says it is still reading the SIM.
    void AskSimState();
    // The SIM state a "+CPIN:" line tells; `afterCode` when the line follows
    // the code the entry window sent.
    void CheckPinStatus(replies::SimState state, bool afterCode = false);
    // A SIM that cannot be read, or that the module says is missing: the
    // reduced initialisation, and the buttons that need a SIM off.
    void TakeMissingSim();
    // False when it took no verdict (no code asked for, or none given yet).
    bool HandlePinResult(const replies::CodeVerdict& verdict);
    void InitModem();
    void InitModemNoSIM();
    void ShowBaudRate();
    void ShowCharFraming();
    void SetFramingOptions();

    // ---- reply handlers (ReplyHandlers.cpp), with the values read out of the log
    void ShowManufacturer(const QString& text);
    void SaveModelDetails(const QString& text);
    void SavePhoneBook(const replies::PhonebookStatus& status);

    // ---- dispatcher (Dispatcher.cpp)
    enum class Match;
    enum class Empties;
    struct Found;
    struct Key;

  private:
    static const std::vector<Key>& keys();
    void ProcessModemData(const QString& received);
    void examineLog();
    bool actOn(const Key& key, Found found);
    void empty(const std::vector<TerminalLog::Held>& read);
    void announceNewMessage(const QString& index);
    void announceRing(Found& found);
    void announceCaller(const QString& number, const QString& unknownText,
                        const QString& knownText);
    void showChangeResult(bool accepted, const QString& success);
    // False when the reply's number cannot be read.
    bool ShowServiceCenter(TerminalLog::Result outcome, const QString& reply);

    // ---- start-up (StartUp.cpp)
    void FindModemPort();
    QStringList ListFreePorts();
    void readSavedPorts();
    // Fills the candidate ports; throws when there is none.
    void buildPortList();
    void startSearch();
    // Tries the current candidate at every rate; true when a modem answered.
    bool tryCandidate();
    void nextCandidate();
    // Asks the port for the serial number: a modem there answers "OK".
    bool modemAnswers();
    // After "AT+CGSN" answered: the settings again, the serial number, the
    // port lines, then the SIM check and COM.txt.
    void takePortIntoUse(const QString& settings);
    void takeSerialNumber();

    // ---- call watch (ModemLink.cpp)
    void Timer2_Timer();
    // Where the module's "+CIND:" values tell a call: from "AT+CIND=?", the
    // console's own order when that cannot be read.
    replies::CallIndicators callIndicators();

    ConsoleView& view_;
    LinkActions actions_;
    SerialLink link_;

    // The port search: the candidates and the one being tried.
    QStringList candidates_;
    int portCount = 0;
    int scanCount = 0;
    QString scanIndex = QStringLiteral("0");

    // The call watch: the query of the tick in progress (0 when none), the
    // last query, and a tick that came while one was in progress.
    quint64 watchQuery_ = 0;
    quint64 lastWatchQuery_ = 0;
    bool watchDue_ = false;
    std::optional<replies::CallIndicators> callIndicators_; // learned once per SIM check
    // The SIM check's asks still to come, and whether the last answer said
    // the SIM is not ready yet.
    int simAsksLeft_ = 0;
    bool simNotReady_ = false;
    // The SIM has said it is ready, or taken a code, since the SIM check began.
    bool simReady_ = false;
    int dispatchDepth_ = 0;
    quint64 examined_ = 0;        // runs that examined the log
    quint64 changesExamined_ = 0; // the log's changes when it was last examined
};
