#pragma once

#include "platform/FormBase.h"
#include "ui_Form5.h"

// The incoming-call window: the caller line (Label1), the auto-answer note in
// red (Label2), and the Answer and HangUp buttons. Other windows show, fill
// and hide it and switch its Answer button.
class Form5 : public FormBase {
    Q_OBJECT
  public:
    Form5();

    Ui::Form5 ui;
};
