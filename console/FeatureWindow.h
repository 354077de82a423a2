#pragma once

#include "platform/FormBase.h"

// A window the main window opens while hiding itself. Closing it with its
// close box shows the main window again, and minimising or restoring it
// takes the signal window along.
class FeatureWindow : public FormBase {
    Q_OBJECT
  public:
    using FormBase::FormBase;

    void Form_Resize() override;
    void Form_Unload() override;
};

// Minimises or restores the signal window as `window` was.
void followWithSignalWindow(const FormBase& window);
