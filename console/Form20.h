#pragma once

#include "platform/FormBase.h"
#include "platform/Timer.h"
#include "ui_Form20.h"

// The reminder pop-up: a white, borderless window whose picture asks the user
// to refresh the signal strength. Timer1 shows it every 50 seconds once the
// modem initialisation has switched it on.
class Form20 : public FormBase {
    Q_OBJECT
  public:
    Form20();

    Ui::Form20 ui;
    Timer Timer1; // reminder

  private:
    void Timer1_Timer();
};
