#include "console/Composition.h"

#include "calls/CallsActions.h"
#include "config/ConfigActions.h"
#include "console/Form1.h"
#include "console/Form10.h"
#include "console/Form11.h"
#include "console/Form2.h"
#include "console/Form20.h"
#include "console/Form7.h"
#include "platform/Exchange.h"
#include "platform/FeatureWindow.h"
#include "platform/Forms.h"

void installConsole() {
    exchange::installGate();
    // Reaching the modem, or a line of the main window, loads the main window
    // (and so runs its start-up) when it is not loaded yet.
    ModemLink::setProvider([]() -> ModemLink& { return form<Form1>().modem(); });
    FeatureWindow::setDefaultOpener(&showForm<Form1>);
    FeatureWindow::setCompanion([]() -> FormBase& { return form<Form7>(); });
}

namespace {

class Console : public ConsoleWindows {
  public:
    void serialNumber(const QString& serial) override { form<Form2>().ShowSerialNumber(serial); }
    void manufacturer(const QString& text) override { form<Form2>().ShowManufacturer(text); }
    void model(const QString& text) override { form<Form2>().ShowModel(text); }
    void saveIdentityFile() override { form<Form2>().SaveIdentityFile(); }

    void showSignalWindow() override { form<Form7>().Show(); }
    void clearSignalReadings() override { form<Form7>().ClearReadings(); }
    void signalQuality(int rssi, const QString& rssiText, const QString& berText) override {
        form<Form7>().ShowSignalQuality(rssi, rssiText, berText);
    }
    void registration(int stat) override { form<Form7>().ShowRegistration(stat); }

    CodeEntry& codeEntry() override { return form<Form10>(); }
    void showNewMessagePopUp() override { form<Form11>().Show(); }
    void hideNewMessagePopUp() override { form<Form11>().hide(); }
    void initialised() override { form<Form20>().StartReminder(); }
};

} // namespace

LinkActions linkActions() {
    static Console console;
    return {console, callsWindows(), configWindows()};
}
