#pragma once

#include "platform/FormBase.h"
#include "ui_Form15.h"

// The modem settings window: the fixed rate (an editable list), and one
// option group per frame for framing, parity, both flow-control directions,
// DCD, DTR, DSR and echo. No option is set at design.
class Form15 : public FormBase {
    Q_OBJECT
  public:
    Form15();

    Ui::Form15 ui;
};
