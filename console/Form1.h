#pragma once

#include "link/ConsoleView.h"
#include "link/ModemLink.h"
#include "platform/FormBase.h"
#include "platform/Timer.h"

#include <memory>

namespace Ui {
class Form1;
}

// The main window: the row of feature buttons, the start-up progress list,
// the status, port and modem lines, and beneath them (outside the visible
// area) the terminal log, the port lists and the SIM code boxes. It holds the
// link to the modem and is its view; its own code is the layout, the clock
// and the buttons.
class Form1 : public FormBase, private ConsoleView {
    Q_OBJECT
  public:
    Form1();
    ~Form1() override;

  private:
    std::unique_ptr<Ui::Form1> ui;
    ModemLink modem_;
    bool ending_ = false; // the program's end is under way

  public:
    Timer Timer1;  // clock
    Timer& Timer2; // the link's call watch

    ModemLink& modem() { return modem_; }

    // The link's parts and operations, reached through the main window as the
    // tests have always reached them.
    SerialLink& link() { return modem_.link(); }
    MSComm& MSComm1() { return modem_.MSComm1(); }
    TerminalLog& Text1() { return modem_.Text1(); }
    static int getCountOf(const QString& text, const QString& find) {
        return ModemLink::getCountOf(text, find);
    }
    static QString StrDel(QString& text, const QString& find) {
        return ModemLink::StrDel(text, find);
    }
    void LogResponse(const QString& reply) { modem_.LogResponse(reply); }
    void ShowPortStatus() { modem_.ShowPortStatus(); }
    void networkset() { modem_.networkset(); }
    void CheckSIM() { modem_.CheckSIM(); }
    void InitModem() { modem_.InitModem(); }
    void SetFramingOptions() { modem_.SetFramingOptions(); }

    // ---- start-up (Form1.cpp): the window's part, then the link's
    void Form_Load() override;
    void Form_Unload() override;
    void Form_Resize() override;

    // ---- buttons (Form1Buttons.cpp)
    void ResetStatusList();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // ---- what the link shows here (Form1View.cpp)
    void showWindow() override;
    void setStatus(const QString& text) override;
    void setSpeedLine(const QString& text) override;
    QString framingLine() const override;
    void setFramingLine(const QString& text) override;
    void setPortLines(const QString& state, const QString& port, const QString& settings) override;
    void setPortState(const QString& state) override;
    QString portSettingsLine() const override;
    void note(const QString& line) override;
    void hideProgress() override;
    void enableFeatureButtons(bool simPresent) override;
    void enablePortSettings() override;
    void markNewMessage() override;
    void setCandidatePorts(const QStringList& ports) override;
    void selectCandidatePort(int index) override;
    void setFreePorts(const QStringList& ports) override;
    SimCode awaitedCode() const override;
    void setAwaitedCode(SimCode code) override;
    QString wrongPinCount() const override;
    void setWrongPinCount(const QString& count) override;

    // ---- signal label and clock (Form1Signal.cpp)
    void connectSignalLabel();
    void Label8_Click();
    void Timer1_Timer();

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
};
