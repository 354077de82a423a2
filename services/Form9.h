#pragma once

#include "console/FeatureWindow.h"
#include "ui_Form9.h"

// The security window: the phone, SIM PIN and network lock pages under one
// tab strip, each with its status line and its "Change Status" button, and
// the general status line Label1.
class Form9 : public FeatureWindow {
    Q_OBJECT
  public:
    Form9();

    Ui::Form9 ui;
};
