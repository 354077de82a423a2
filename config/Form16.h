#pragma once

#include "console/FeatureWindow.h"

#include <memory>

namespace Ui {
class Form16;
}

// The others menu: one button for each of the vendor-features, SIM toolkit
// and GPRS windows, and the line Label1 shown while one of them loads.
class Form16 : public FeatureWindow {
    Q_OBJECT
  public:
    Form16();
    ~Form16() override;

    std::unique_ptr<Ui::Form16> ui;
};
