#pragma once

#include "console/FeatureWindow.h"

#include <memory>

namespace Ui {
class Form9;
}

// The security window: the phone, SIM PIN and network lock pages under one
// tab strip, each with its status line and its "Change Status" button, and
// the general status line Label1.
class Form9 : public FeatureWindow {
    Q_OBJECT
  public:
    Form9();
    ~Form9() override;

    std::unique_ptr<Ui::Form9> ui;
};
