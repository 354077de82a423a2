#pragma once

#include "link/LinkActions.h"
#include "platform/FormBase.h"

#include <memory>

namespace Ui {
class Form10;
}

// The PIN entry window, without a caption. Its design state is the PUK
// display: both labels and both boxes visible, the PIN box then taking the new
// PIN; the PIN display hides the PUK label and box. The PIN box shows each
// character as "*".
class Form10 : public FormBase, public CodeEntry {
    Q_OBJECT
  public:
    Form10();
    ~Form10() override;

    void setPinDisplay() override { showEntries(true, false); }
    void setPukDisplay() override { showEntries(true, true); }
    void showEntry() override { Show(); }
    void hideEntry() override { hide(); }
    bool isPinDisplay() const { return entriesShown(true, false); }
    bool isPukDisplay() const { return entriesShown(true, true); }

  private:
    // "&Ok": submits the PIN, or the PUK with a new PIN, as the display asks.
    void Command1_Click();
    void showEntries(bool pin, bool puk);
    bool entriesShown(bool pin, bool puk) const;
    void submitPin();
    void submitPuk();

    std::unique_ptr<Ui::Form10> ui;
};
