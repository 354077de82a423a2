#pragma once

#include "platform/FeatureWindow.h"

#include <memory>

namespace Ui {
class Form4;
}

// The phonebook entry window: country code, area code and phone number
// (joined without separators into the number) and the name of a new SIM
// phonebook entry. OK writes it to the SIM and then to the local copy and
// the call window's list. Every outcome, Cancel and the close box return to
// the call window; OK and Cancel only hide this window, so its boxes keep
// what was typed.
class Form4 : public FeatureWindow {
    Q_OBJECT
  public:
    Form4();
    ~Form4() override;

    void Form_Load() override;

  private:
    void Command1_Click(); // "&Ok"
    void Command2_Click(); // "&Cancel"
    // Shows the message, then the call window instead of this one.
    void giveUp(const QString& message);
    void returnToCalls();

    std::unique_ptr<Ui::Form4> ui;
};
