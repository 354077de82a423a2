#pragma once

#include "platform/FeatureWindow.h"

#include <memory>
#include <optional>

namespace Ui {
class Form15;
}

// The modem settings window: the fixed rate (an editable list), and one
// option group per frame for framing, parity, both flow-control directions,
// DCD, DTR, DSR and echo. No option is set at design; the main window
// presets most groups from the device's replies. "Save Configurations" sends
// them all and stores them in the device's profile.
class Form15 : public FeatureWindow {
    Q_OBJECT
  public:
    Form15();
    ~Form15() override;

    void Form_Load() override;

    // Presets from the device's replies, as a click on each option would.
    void PresetRate(const QString& rate);
    // The framing format and parity codes of a "+ICF" reply; an unknown code
    // selects nothing in its group.
    void PresetFraming(const QString& formatCode, const QString& parityCode);
    void PresetEchoEnabled();
    // The flow-control and control-line groups from the profile dump ("AT&V")
    // the main window asked for.
    void PresetFlowControl();
    void PresetControlLines();

  private:
    std::unique_ptr<Ui::Form15> ui;
    // The codes of the choices, as the commands send them.
    struct Choices {
        QString rate, format, parity, dceDte, dteDce, dsr, dcd, dtr, echo;
    };
    // One command of the save and what its reply does.
    struct Step {
        QString command;
        const char* failure; // collected when the device refuses or does not answer
        void (Form15::*onOk)(const Choices&) = nullptr; // whenever "OK" came
        // "OK" and no "ERROR": the port follows the device onto the new line;
        // false when it cannot, which `notFollowed` then tells.
        bool (Form15::*follow)(const Choices&) = nullptr;
        const char* notFollowed = nullptr;
    };

    void Command1_Click();
    // Every group's code; none after the message of the first without a choice.
    std::optional<Choices> checkedChoices() const;
    // Sends one step; its failure text, "" when the device took it.
    // `followed` turns false when the device took a line the port cannot run.
    QString sendStep(const Step& step, const Choices& choices, bool& followed);

    void showSpeed(const Choices& choices);
    bool followRate(const Choices& choices);
    void showFraming(const Choices& choices);
    bool followFraming(const Choices& choices);
    void showEcho(const Choices& choices);
    void ShowFramingSummary(const QString& formatCode, const QString& parityCode);
};
