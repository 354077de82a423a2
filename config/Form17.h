#pragma once

#include "platform/FeatureWindow.h"

#include <memory>

class QLabel;
class QWidget;

namespace Ui {
class Form17;
}

// The vendor-features window: four panels over the same place, one shown at
// a time and chosen by the buttons above them: indications (Frame1: the cell
// dump, the indication level and the indicator status), the voice-mail
// indicator (Frame5), the input pins (Frame6) and the power-off (Frame9).
// Each panel has a result line of its own. Closing it shows the others menu.
class Form17 : public FeatureWindow {
    Q_OBJECT
  public:
    Form17();
    ~Form17() override;

    // Opens on the indications panel with a fresh indicator query.
    void Form_Load() override;

  private:
    // The panel buttons.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void showPanel(const QWidget* panel);

    // The indicator query.
    void Command6_Click();
    // The cell dump, the indication level and the voice-mail indicator.
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    // Sends a change and shows the device's verdict on `resultLine`: "Changes
    // SuccessFul-" or "Changes UnSuccessFul-" and the feature's name.
    void exchangeChange(const QString& command, const QString& feature, QLabel* resultLine);
    void Combo3_Click();
    // The pin read and the power-off.
    void Command10_Click();
    void Command4_Click();
    void Label10_Click();

    std::unique_ptr<Ui::Form17> ui;
};
