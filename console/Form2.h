#pragma once

#include "console/FeatureWindow.h"
#include "ui_Form2.h"

// The model details window: the device's serial number and its manufacturer
// and model texts. The main window fills the labels as the modem answers;
// "View" reloads them from the identity file.
class Form2 : public FeatureWindow {
    Q_OBJECT
  public:
    Form2();

    Ui::Form2 ui;

  private:
    void Command1_Click();
};
