#pragma once

#include "platform/FormBase.h"
#include "ui_Form10.h"

// The PIN entry window, without a caption. Its design state is the PUK
// display: both labels and both boxes visible; the PIN display hides the PUK
// label and box. The PIN box shows each character as "*".
class Form10 : public FormBase {
    Q_OBJECT
  public:
    Form10();

    Ui::Form10 ui;
};
