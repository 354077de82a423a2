#pragma once

#include "platform/FormBase.h"
#include "ui_Form7.h"

// The signal window: five equal bars in a row from "L" (Image1) to "H"
// (Image5), the signal quality and bit error rate in a fixed-pitch label
// (Label4) and the registration text (Label5). Other windows write it; it
// has no handlers of its own.
class Form7 : public FormBase {
    Q_OBJECT
  public:
    Form7();

    Ui::Form7 ui;
};
