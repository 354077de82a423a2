#pragma once

#include "platform/FormBase.h"

#include <memory>

namespace Ui {
class Form11;
}

// The new-message pop-up: a white, borderless window holding one picture of
// 154 x 154 pixels. It has no code; the dispatcher shows it for three seconds.
class Form11 : public FormBase {
    Q_OBJECT
  public:
    Form11();
    ~Form11() override;

  private:
    std::unique_ptr<Ui::Form11> ui;
};
