#include "console/FeatureWindow.h"

#include "console/Form1.h"
#include "console/Form7.h"
#include "platform/Forms.h"

void followWithSignalWindow(const FormBase& window) {
    if (window.isMinimized())
        form<Form7>().showMinimized();
    else if (window.windowState() == Qt::WindowNoState)
        form<Form7>().showNormal();
}

void FeatureWindow::Form_Resize() { followWithSignalWindow(*this); }

void FeatureWindow::Form_Unload() {
    form<Form1>().Show();
    hide();
}
