#pragma once

#include "platform/FormBase.h"
#include "platform/Timer.h"

#include <memory>

namespace Ui {
class Form20;
}

// The reminder pop-up: a white, borderless window whose picture asks the user
// to refresh the signal strength. Timer1 shows it every 50 seconds once the
// modem initialisation has switched it on.
class Form20 : public FormBase {
    Q_OBJECT
  public:
    Form20();
    ~Form20() override;

    Timer Timer1; // reminder

    // Shows the reminder every 50 seconds from now on.
    void StartReminder();

  private:
    void Timer1_Timer();

    std::unique_ptr<Ui::Form20> ui;
};
