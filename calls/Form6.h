#pragma once

#include "platform/FormBase.h"
#include "ui_Form6.h"

// The call-control window. The tab strip holds three tabs; each tab's page is
// a frame over the same place: Frame1 (volume), Frame2 (tone and echo),
// Frame10 (auto-answer and DTMF). The ring-melody page Frame12 has no tab and
// is hidden at design. Label7 is the status line of every page.
class Form6 : public FormBase {
    Q_OBJECT
  public:
    Form6();

    Ui::Form6 ui;
};
