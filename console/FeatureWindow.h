#pragma once

#include "platform/FormBase.h"

// A window another window opens while hiding itself. Closing it with its
// close box shows that window again (the main window unless it says
// otherwise), and minimising or restoring it takes the signal window along.
class FeatureWindow : public FormBase {
    Q_OBJECT
  public:
    using ShowOpener = void (*)();
    // `showOpener` shows the window this one returns to, e.g. &showForm<Form3>.
    explicit FeatureWindow(ShowOpener showOpener = nullptr);

    void Form_Resize() override;
    void Form_Unload() override;

  private:
    ShowOpener showOpener_;
};

// Minimises or restores the signal window as `window` was.
void followWithSignalWindow(const FormBase& window);
