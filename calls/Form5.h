#pragma once

#include "platform/FormBase.h"

#include <memory>

namespace Ui {
class Form5;
}

// The incoming-call window: the caller line (Label1), the auto-answer note in
// red (Label2), and the Answer and HangUp buttons. Other windows show, fill
// and hide it; neither button looks at the modem's reply.
class Form5 : public FormBase {
    Q_OBJECT
  public:
    Form5();
    ~Form5() override;

    // Shows the window with the caller line (a call received or waiting).
    void AnnounceCaller(const QString& text);
    // Sets the Answer button from the modem's auto-answer setting: enabled
    // when calls are answered by hand, else disabled with the auto-answer note.
    void PresetAnswerButton(bool answeredByHand);

  private:
    void Command1_Click(); // "&Answer"
    void Command2_Click(); // "&HangUp"

    std::unique_ptr<Ui::Form5> ui;
};
