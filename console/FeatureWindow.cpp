#include "console/FeatureWindow.h"

#include "console/Form7.h"
#include "link/Modem.h"
#include "platform/Forms.h"

FeatureWindow::FeatureWindow(ShowOpener showOpener)
    : showOpener_(showOpener ? showOpener : &modem::showMain) {}

// Only the state changes: a hidden signal window stays hidden.
void followWithSignalWindow(const FormBase& window) {
    if (window.isMinimized())
        form<Form7>().setWindowState(Qt::WindowMinimized);
    else if (window.windowState() == Qt::WindowNoState)
        form<Form7>().setWindowState(Qt::WindowNoState);
}

void FeatureWindow::Form_Resize() {
    followWithSignalWindow(*this);
}

void FeatureWindow::Form_Unload() {
    showOpener_();
    hide();
}
