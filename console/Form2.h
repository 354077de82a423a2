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

    // The identity file: serial number, manufacturer and model texts.
    static inline const QString kIdentityFile = QStringLiteral("Model.txt");
    // The captions the labels carry whenever they are filled.
    static inline const QString kSerialCaption = QStringLiteral("IMEI: ");
    static inline const QString kDetailsCaption = QStringLiteral("ManuFacturer And Model Details ");

  private:
    void Command1_Click();
};
