#pragma once

#include "platform/FeatureWindow.h"

#include <memory>

namespace Ui {
class Form2;
}

// The model details window: the device's serial number and its manufacturer
// and model texts. The main window fills the labels as the modem answers;
// "View" reloads them from the identity file.
class Form2 : public FeatureWindow {
    Q_OBJECT
  public:
    Form2();
    ~Form2() override;

    // The identity file: serial number, manufacturer and model texts.
    static inline const QString kIdentityFile = QStringLiteral("Model.txt");
    // The captions the labels carry whenever they are filled.
    static inline const QString kSerialCaption = QStringLiteral("IMEI: ");
    static inline const QString kDetailsCaption = QStringLiteral("ManuFacturer And Model Details ");

    // The serial number, under its caption.
    void ShowSerialNumber(const QString& serial);
    // The manufacturer text, under the details caption, with the model's
    // place shown beneath it.
    void ShowManufacturer(const QString& text);
    void ShowModel(const QString& text);
    // Writes the identity file: serial number, manufacturer and model texts,
    // each ended by a line break; then every open file is closed.
    void SaveIdentityFile() const;

  private:
    void Command1_Click();

    std::unique_ptr<Ui::Form2> ui;
};
