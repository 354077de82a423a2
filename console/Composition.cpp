#include "console/Composition.h"

#include "console/Form1.h"
#include "console/Form7.h"
#include "platform/FeatureWindow.h"
#include "platform/Forms.h"

void installConsole() {
    FeatureWindow::setDefaultOpener(&showForm<Form1>);
    FeatureWindow::setCompanion([]() -> FormBase& { return form<Form7>(); });
}
