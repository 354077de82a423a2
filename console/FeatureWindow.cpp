#include "console/FeatureWindow.h"

#include "console/Form1.h"
#include "console/Form7.h"
#include "platform/Forms.h"

void FeatureWindow::Form_Resize() {
    if (isMinimized())
        form<Form7>().showMinimized();
    else if (windowState() == Qt::WindowNoState)
        form<Form7>().showNormal();
}

void FeatureWindow::Form_Unload() {
    form<Form1>().Show();
    hide();
}
