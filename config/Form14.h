#pragma once

#include "console/FeatureWindow.h"
#include "ui_Form14.h"

// The data and fax window: three buttons choose one of the bearer (Frame1),
// compression and error-correction (Frame2) and fax (Frame3) panels.
class Form14 : public FeatureWindow {
    Q_OBJECT
  public:
    Form14();

    Ui::Form14 ui;
};
