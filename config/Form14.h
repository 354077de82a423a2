#pragma once

#include "console/FeatureWindow.h"

#include <memory>

namespace Ui {
class Form14;
}

// The data and fax window: three buttons choose one of the bearer (Frame1),
// compression and error-correction (Frame2) and fax (Frame3) panels.
class Form14 : public FeatureWindow {
    Q_OBJECT
  public:
    Form14();
    ~Form14() override;

    std::unique_ptr<Ui::Form14> ui;
};
