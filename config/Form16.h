#pragma once

#include "platform/FeatureWindow.h"

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

  private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Shows a feature window in place of the menu. The window's load, with
    // its queries, runs first, while the menu says it is busy; `caption`, when
    // there is one, replaces the window's own once it is shown.
    template <class Window> void openFeature(const QString& caption = QString());

    std::unique_ptr<Ui::Form16> ui;
};
