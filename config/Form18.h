#pragma once

#include "link/replies/Vendor.h"
#include "platform/FeatureWindow.h"

#include <QStringList>

#include <memory>

namespace Ui {
class Form18;
}

// The SIM toolkit window: the mode list (an editable list), the
// configuration entry shown for the configure mode, and the status lines of
// the last query (Label2, also the result of OK; Label3 the time-out, Label4
// the automatic response). Label6 asks for a reset after a change the device
// took. Closing it shows the others menu.
class Form18 : public FeatureWindow {
    Q_OBJECT
  public:
    Form18();
    ~Form18() override;

    // The status query.
    void Form_Load() override;

  private:
    void statusQuery();
    // The fields of the status reply: mode, configuration, time-out and
    // automatic response.
    void showStatus(const replies::ToolkitStatus& status);
    void Combo1_Click();
    void Command1_Click();
    // Sends a mode, with its configuration for the configure mode, and shows
    // the device's verdict.
    void setMode(int mode, const QString& config);
    void Command2_Click();
    // Shows or hides the configuration entry, emptied either way.
    void showConfigEntry(bool shown);

    std::unique_ptr<Ui::Form18> ui;
};
