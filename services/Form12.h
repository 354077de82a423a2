#pragma once

#include "console/FeatureWindow.h"

#include <memory>

namespace Ui {
class Form12;
}

// The supplementary-services window: a tab strip over the panels for call
// forwarding (Frame1), call barring (Frame9, with its settings Frame5 hidden),
// call waiting (Frame10) and closed user groups (Frame12, hidden).
class Form12 : public FeatureWindow {
    Q_OBJECT
  public:
    Form12();
    ~Form12() override;

    std::unique_ptr<Ui::Form12> ui;
};
