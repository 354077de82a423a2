#pragma once

#include "link/SerialLink.h"
#include "platform/FormBase.h"
#include "platform/Timer.h"

#include <memory>

namespace Ui {
class Form1;
}

// The main window: the row of feature buttons, the start-up progress list,
// the status, port and modem lines, and beneath them (outside the visible
// area) the terminal log, the port lists and the SIM code boxes. It owns the
// serial control and with it the only channel to the modem.
//
// Its operations are spread over files by concern: the layout and buttons in
// console/, the link to the modem (exchange, dispatcher, start-up, SIM check,
// reply handlers) in link/.
class Form1 : public FormBase {
    Q_OBJECT
  public:
    Form1();
    ~Form1() override;

    std::unique_ptr<Ui::Form1> ui;
    Timer Timer1; // clock
    Timer Timer2; // call watch

    SerialLink& link() { return link_; }
    MSComm& MSComm1() { return link_.port(); }
    TerminalLog& Text1() { return link_.log(); }

    // ---- serial link (Form1Link.cpp)
    // Counts the occurrences of `find` in `text`, overlapping ones included.
    static int getCountOf(const QString& text, const QString& find);
    // Removes the first occurrence of `find` from `text` and returns the new
    // text; leaves `text` alone and returns "" when there is none.
    static QString StrDel(QString& text, const QString& find);
    // Appends a framed reply to the log.
    void LogResponse(const QString& reply);
    // Sets the port labels from the serial control.
    void ShowPortStatus();
    // The device went away and the serial control closed the port.
    void ShowModemDisconnected();

    // ---- start-up and port search (Form1Startup.cpp)
    void Form_Load() override;
    void Form_Unload() override;
    void Form_Resize() override;
    void SavePortAndCheckSIM();

    // ---- signal window and timers (Form1Signal.cpp)
    void networkset();

    // ---- SIM check and initialisation (Form1Sim.cpp)
    void CheckSIM();
    void CheckPinStatus();
    void HandlePinResult();
    void InitModem();
    void InitModemNoSIM();
    void ShowBaudRate();
    void ShowCharFraming();
    void SetFramingOptions();

    // ---- reply handlers (Form1Replies.cpp)
    void ShowManufacturer(int echoAt, int okAt);
    void SaveModelDetails(int echoAt, int okAt);
    void SavePhoneBook();
    // True when it took the values apart (and emptied the log).
    bool ShowEchoValues(int echoAt);
    void ShowServiceCenter(int okAt, int errorAt);

    // ---- buttons (Form1Buttons.cpp)
    void ResetStatusList();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // ---- dispatcher (Form1Dispatcher.cpp)
    void ProcessModemData(const QString& received);
    void examineLog();
    void announceNewMessage(int at);
    void announceCaller(const QString& number, const QString& unknownText,
                        const QString& knownText);

    // ---- start-up (Form1Startup.cpp)
    void FindModemPort();
    void ListFreePorts();
    void readSavedPorts();
    // Fills Combo1 with the candidate ports; throws when there is none.
    void buildPortList();
    void startSearch();
    // Tries the current candidate at every rate; true when a modem answered.
    bool tryCandidate();
    void nextCandidate();
    // After "AT+CGSN" answered: the settings again, the serial number, the
    // port labels, then the SIM check and COM.txt.
    void takePortIntoUse(const QString& settings);
    void takeSerialNumber();

    // ---- signal window and timers (Form1Signal.cpp)
    void connectSignalLabel();
    void Label8_Click();
    void Timer1_Timer();
    void Timer2_Timer();

    // ---- buttons (Form1Buttons.cpp)
    void connectButtons();
    void Command1_Click();  // "&Model "
    void Command2_Click();  // "&Voice Call"
    void Command3_Click();  // "&SMS"
    void Command4_Click();  // "&Supplementary Service "
    void Command5_Click();  // "&Security"
    void Command6_Click();  // "&Call Control"
    void Command7_Click();  // "Port Settings->"
    void Command8_Click();  // "&Exit"
    void Command9_Click();  // "REFRESH"
    void Command10_Click(); // "Data-Fax Setup"
    void Command11_Click(); // "Modem Setting->"
    void Command12_Click(); // "Other Features"
    void Command13_Click(); // "Factory Settings"
    // Probes the port the settings dialog left open and takes it into use.
    void probePortAfterSettings();

    // The port search: the candidates and the one being tried.
    int portCount = 0;
    int scanCount = 0;
    QString scanIndex = QStringLiteral("0");

    SerialLink link_;
    // The call watch: the query of the tick in progress (0 when none), the
    // last query, and a tick that came while one was in progress.
    quint64 watchQuery_ = 0;
    quint64 lastWatchQuery_ = 0;
    bool watchDue_ = false;
    int dispatchDepth_ = 0;
    quint64 examined_ = 0;        // runs that examined the log
    quint64 changesExamined_ = 0; // the log's changes when it was last examined
};
