#pragma once

#include "console/FeatureWindow.h"
#include "ui_Form12.h"

// The supplementary-services window: a tab strip over the panels for call
// forwarding (Frame1), call barring (Frame9, with its settings Frame5 hidden),
// call waiting (Frame10) and closed user groups (Frame12, hidden).
class Form12 : public FeatureWindow {
    Q_OBJECT
  public:
    Form12();

    Ui::Form12 ui;
};
