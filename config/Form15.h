#pragma once

#include "link/TerminalLog.h"
#include "platform/FormBase.h"

#include <memory>

namespace Ui {
class Form15;
}

// The modem settings window: the fixed rate (an editable list), and one
// option group per frame for framing, parity, both flow-control directions,
// DCD, DTR, DSR and echo. No option is set at design.
class Form15 : public FormBase {
    Q_OBJECT
  public:
    Form15();
    ~Form15() override;

    std::unique_ptr<Ui::Form15> ui;

    // Presets from the device's replies, as a click on each option would.
    void PresetRate(const QString& rate);
    // The framing format and parity codes of a "+ICF" reply; an unknown code
    // selects nothing in its group.
    void PresetFraming(const QString& formatCode, const QString& parityCode);
    void PresetEchoEnabled();
    // The flow-control and control-line groups from the profile dump in the log.
    void PresetFlowControl(const TerminalLog& profile);
    void PresetControlLines(const TerminalLog& profile);
};
