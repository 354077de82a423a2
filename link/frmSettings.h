#pragma once

#include "platform/FormBase.h"
#include "ui_frmSettings.h"

#include <array>

// The serial settings dialog: port and rate lists, and option groups for
// parity, data bits, stop bits and handshaking. Its caption is set when it is
// opened.
//
// optParity, optDataBits, optStopBits, optHandshake and cmdAction are control
// arrays: each element is named after its array with its index appended
// (optParity0 "Even", optParity1 "Odd", optParity2 "None"; cmdAction0 "OK",
// cmdAction1 "Cancel"; ...) and is reached by index through the accessor of
// the array's name.
class frmSettings : public FormBase {
    Q_OBJECT
  public:
    frmSettings();

    Ui::frmSettings ui;

    QRadioButton* optParity(int index) const { return parity_.at(static_cast<size_t>(index)); }
    QRadioButton* optDataBits(int index) const { return dataBits_.at(static_cast<size_t>(index)); }
    QRadioButton* optStopBits(int index) const { return stopBits_.at(static_cast<size_t>(index)); }
    QRadioButton* optHandshake(int index) const {
        return handshake_.at(static_cast<size_t>(index));
    }
    QPushButton* cmdAction(int index) const { return action_.at(static_cast<size_t>(index)); }

  private:
    std::array<QRadioButton*, 3> parity_{};
    std::array<QRadioButton*, 2> dataBits_{};
    std::array<QRadioButton*, 2> stopBits_{};
    std::array<QRadioButton*, 4> handshake_{};
    std::array<QPushButton*, 2> action_{};
};
