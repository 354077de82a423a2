#include "console/Composition.h"

#include "calls/CallsActions.h"
#include "config/ConfigActions.h"
#include "console/Form1.h"
#include "console/Form10.h"
#include "console/Form11.h"
#include "console/Form2.h"
#include "console/Form20.h"
#include "console/Form7.h"
#include "platform/FeatureWindow.h"
#include "platform/Forms.h"

void installConsole() {
    // Reaching the modem, or a line of the main window, loads the main window
    // (and so runs its start-up) when it is not loaded yet.
    ModemLink::setProvider([]() -> ModemLink& { return form<Form1>().modem(); });
    FeatureWindow::setDefaultOpener(&showForm<Form1>);
    FeatureWindow::setCompanion([]() -> FormBase& { return form<Form7>(); });
}

namespace {

void connectConsole(LinkActions& actions) {
    actions.serialNumber = [](const QString& serial) { form<Form2>().ShowSerialNumber(serial); };
    actions.manufacturer = [](const QString& text) { form<Form2>().ShowManufacturer(text); };
    actions.model = [](const QString& text) { form<Form2>().ShowModel(text); };
    actions.saveIdentityFile = [] { form<Form2>().SaveIdentityFile(); };

    actions.showSignalWindow = [] { form<Form7>().Show(); };
    actions.clearSignalReadings = [] { form<Form7>().ClearReadings(); };
    actions.signalQuality = [](int rssi, const QString& rssiText, const QString& berText) {
        form<Form7>().ShowSignalQuality(rssi, rssiText, berText);
    };
    actions.registration = [](int stat) { form<Form7>().ShowRegistration(stat); };

    actions.codeEntry = []() -> CodeEntry& { return form<Form10>(); };
    actions.showNewMessagePopUp = [] { form<Form11>().Show(); };
    actions.hideNewMessagePopUp = [] { form<Form11>().hide(); };
    actions.initialised = [] { form<Form20>().StartReminder(); };
}

} // namespace

void connectWindows(LinkActions& actions) {
    connectConsole(actions);
    connectCalls(actions);
    connectConfig(actions);
}
