#pragma once

#include "platform/FormBase.h"

#include <memory>

namespace Ui {
class Form7;
}

// The signal window: five equal bars in a row from "L" (Image1) to "H"
// (Image5), the signal quality and bit error rate in a fixed-pitch label
// (Label4) and the registration text (Label5). It has no handlers of its
// own: the main window shows the modem's readings in it.
class Form7 : public FormBase {
    Q_OBJECT
  public:
    Form7();
    ~Form7() override;

    // A signal quality and bit error rate, as the modem gives them: the bars
    // for the quality and both values in the reading; "Unknown/Undetectable"
    // for 99. A quality the table does not hold changes nothing.
    void ShowSignalQuality(int rssi, const QString& rssiText, const QString& berText);
    // A registration status code, as its text; an unknown code changes nothing.
    void ShowRegistration(int stat);
    // Empties the reading and the registration text before a new query.
    void ClearReadings();

  private:
    std::unique_ptr<Ui::Form7> ui;
};
