#pragma once

#include "platform/FormBase.h"

// A window another window opens while hiding itself. Closing it with its
// close box shows that window again (the main window unless it says
// otherwise), and minimising or restoring it takes the companion window (the
// signal window) along.
class FeatureWindow : public FormBase {
    Q_OBJECT
  public:
    using ShowOpener = void (*)();
    // Reaching the companion may load it.
    using Companion = FormBase& (*)();

    // Set once by the program's composition: where a window returns when it
    // names no opener, and the window that follows minimise and restore.
    // Unset, a window only hides and nothing follows.
    static void setDefaultOpener(ShowOpener showOpener);
    static void setCompanion(Companion companion);

    // `showOpener` shows the window this one returns to, e.g. &showForm<Form3>.
    explicit FeatureWindow(ShowOpener showOpener = nullptr);

    void Form_Resize() override;
    void Form_Unload() override;

  private:
    ShowOpener showOpener_;
};

// Minimises or restores the companion window as `window` was.
void followWithCompanion(const FormBase& window);
