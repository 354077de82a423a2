#pragma once

#include "platform/FormBase.h"

#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <memory>

class MSComm;

namespace Ui {
class frmSettings;
}

// The serial settings dialog: port and rate lists, and option groups for
// parity, data bits, stop bits and handshaking. Its caption is set when it is
// opened.
//
// optParity, optDataBits, optStopBits, optHandshake and cmdAction are control
// arrays: each element is named after its array with its index appended
// (optParity0 "Even", optParity1 "Odd", optParity2 "None"; cmdAction0 "OK",
// cmdAction1 "Cancel"; ...) and is reached by index through the accessor of
// the array's name.
//
// The dialog is modeless and stays on top. While it is open the serial
// control's port is closed; OK applies the choices to the control, opens the
// port and hands them to the settings store, and leaving the dialog opens the
// port again unless the user chose no port or the port was closed when it
// opened. A line the port cannot run is refused with the control's own
// description ("Invalid property value"): the dialog stays open and the
// control keeps its port, settings and handshaking.
class frmSettings : public FormBase {
    Q_OBJECT
  public:
    frmSettings();
    ~frmSettings() override;

    // Opens the dialog on a serial control; returns once the dialog is filled,
    // with the dialog left open.
    static void CommSettings(MSComm* ctl, const QString& title);

    void Form_Unload() override;

    QRadioButton* optParity(int index) const { return parity_.at(static_cast<size_t>(index)); }
    QRadioButton* optDataBits(int index) const { return dataBits_.at(static_cast<size_t>(index)); }
    QRadioButton* optStopBits(int index) const { return stopBits_.at(static_cast<size_t>(index)); }
    QRadioButton* optHandshake(int index) const {
        return handshake_.at(static_cast<size_t>(index));
    }
    QPushButton* cmdAction(int index) const { return action_.at(static_cast<size_t>(index)); }

  private:
    std::unique_ptr<Ui::frmSettings> ui;
    void showWhileScanning();
    void SetTopMost(bool topMost);
    void fill(const QString& title);
    void buildPortList();
    void takeControlState();
    void presetChoices();
    void presetPort();
    void presetRate();

    struct ControlState {
        int port;
        QString settings;
        int handshaking;
    };

    void cmdAction_Click(int index);
    // OK's work; false when the dialog is to stay open.
    bool applyChoices();
    void readChoices();
    // Both throw CommError for a line the port cannot run.
    void applyToControl();
    void openWithChoices();
    void restore(const ControlState& state);
    void saveToStore();
    void optDataBits_Click();
    void optHandshake_Click(int index);

    std::array<QRadioButton*, 3> parity_{};
    std::array<QRadioButton*, 2> dataBits_{};
    std::array<QRadioButton*, 2> stopBits_{};
    std::array<QRadioButton*, 4> handshake_{};
    std::array<QPushButton*, 2> action_{};

    MSComm* m_CommCtl = nullptr;
    QString m_Port;
    QString m_Baud;
    QString m_Parity;
    int m_DataBits = 8;
    int m_StopBits = 1;
    int m_Handshake = 0;
    // The port was closed when the dialog opened, or the user chose no port.
    bool m_PortWasClosed = false;
};
