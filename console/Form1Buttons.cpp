// The main window's buttons: the feature buttons that open the other windows,
// the port and modem settings, the factory reset, the restart and the exit.

#include "calls/Form3.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "config/Form14.h"
#include "config/Form15.h"
#include "config/Form16.h"
#include "console/Form1.h"
#include "console/Form2.h"
#include "console/Log.h"
#include "link/frmSettings.h"
#include "platform/Exchange.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "services/Form12.h"
#include "services/Form9.h"
#include "ui_Form1.h"

namespace {

const QString kOK = QStringLiteral("OK");

// How often "Port Settings->" looks whether its dialog has been closed.
constexpr double kDialogPollSeconds = 0.05;

void waitForSettingsDialog() {
    while (Forms::instance().isLoaded<frmSettings>())
        Pause(kDialogPollSeconds);
}

} // namespace

void Form1::connectButtons() {
    // A failure, such as writing to a port the settings dialog left closed,
    // ends the handler where it happened, without a message.
    onClicks(this, {{ui->Command1, &Form1::Command1_Click},
                    {ui->Command2, &Form1::Command2_Click},
                    {ui->Command3, &Form1::Command3_Click},
                    {ui->Command4, &Form1::Command4_Click},
                    {ui->Command5, &Form1::Command5_Click},
                    {ui->Command6, &Form1::Command6_Click},
                    {ui->Command7, &Form1::Command7_Click},
                    {ui->Command8, &Form1::Command8_Click},
                    {ui->Command9, &Form1::Command9_Click},
                    {ui->Command10, &Form1::Command10_Click},
                    {ui->Command11, &Form1::Command11_Click},
                    {ui->Command12, &Form1::Command12_Click},
                    {ui->Command13, &Form1::Command13_Click}});
    // Ending the program is never refused; it waits for the exchange under way.
    exchange::neverRefuse(ui->Command8);
}

void Form1::ResetStatusList() {
    ui->Frame5->show();
    ui->List1->show();
    ui->List1->clear();
}

void Form1::Command1_Click() {
    ui->Label1->setText(MSComm1().PortOpen() ? QStringLiteral("Open") : QStringLiteral("Closed"));
    if (ui->Label1->text() != QLatin1String("Open")) return;
    link().sendCommand(QStringLiteral("AT"), 1);
    if (!Text1().contains(kOK)) {
        Services::instance().message(
            QStringLiteral("Check If Modem Is Connected Properly.Set The CommPorts"),
            kMessageTitle);
        return;
    }
    Text1().clear();
    form<Form2>().Show();
    hide();
}

void Form1::Command2_Click() {
    link().sendCommand(QStringLiteral("AT"), 1);
    if (!Text1().contains(kOK)) return;
    Text1().clear();
    ui->Label5->setText(QStringLiteral("Please Wait......."));
    form<Form3>().Show();
}

void Form1::Command3_Click() {
    ui->Command3->setStyleSheet(QStringLiteral("background-color: #e0e0e0;"));
    ui->Label5->setText(QStringLiteral("Please Wait..."));
    link().sendCommand(QStringLiteral("AT+CNMI?"), 1);
    form<Form8>().PresetStatusReports();
    Text1().clear();
    form<Form8>().Show();
    hide();
    ui->Label5->clear();
}

void Form1::Command4_Click() {
    ui->Label5->setText(QStringLiteral("Please Wait...."));
    hide();
    form<Form12>().Show();
}

void Form1::Command5_Click() {
    form<Form9>().Show();
    hide();
}

void Form1::Command6_Click() {
    ui->Label5->setText(QStringLiteral("Please Wait..."));
    form<Form6>().Show();
    hide();
}

void Form1::Command7_Click() {
    // Pressed again while the dialog is open: the first press is still
    // waiting for it, so the dialog is only brought forward.
    if (Forms::instance().isLoaded<frmSettings>()) {
        form<frmSettings>().Show();
        return;
    }
    try {
        frmSettings::CommSettings(&MSComm1(), QStringLiteral("Communications Port Settings"));
        waitForSettingsDialog();
        if (MSComm1().PortOpen())
            modem_.ProbePortAfterSettings();
        else
            ui->Label1->setText(QStringLiteral("Closed"));
    } catch (const std::exception& e) {
        if (!dynamic_cast<const Failure*>(&e)) failures::reportFault(lcConsole, e.what());
        const QString description = QString::fromUtf8(e.what());
        if (description != QLatin1String("File already open")) {
            Services::instance().message(description);
            return;
        }
        Files::instance().closeAll();
        Services::instance().message(
            QStringLiteral("Please Close The COMMPORT Running In Other Application"),
            kMessageTitle);
    }
}

// The exit button ends the program as closing the main window does.
void Form1::Command8_Click() {
    Form_Unload();
}

void Form1::Command9_Click() {
    ResetStatusList();
    if (MSComm1().PortOpen()) {
        MSComm1().setPortOpen(false);
        ui->Label1->clear();
        ui->Label2->clear();
        ui->Label3->clear();
    }
    Form_Load();
}

void Form1::Command10_Click() {
    form<Form14>().Show();
    hide();
}

void Form1::Command11_Click() {
    link().sendCommand(QStringLiteral("AT&V"), 1);
    Form15& settings = form<Form15>();
    settings.PresetFlowControl();
    modem_.ShowBaudRate();
    modem_.SetFramingOptions();
    settings.PresetControlLines();
    form<Form15>().Show();
    hide();
    Text1().clear();
}

void Form1::Command12_Click() {
    form<Form16>().Show();
    hide();
}

void Form1::Command13_Click() {
    if (!MSComm1().PortOpen()) {
        ui->Label5->setText(QStringLiteral("Port Not Open "));
        return;
    }
    ui->Label5->setText(QStringLiteral("IniTializing To Factory Settings"));
    for (const char* command : {"AT&F", "AT+SPEAKER=1", "AT&W"})
        link().sendCommand(QString::fromLatin1(command), 1);
    Text1().clear();
    ui->Label5->setText(QStringLiteral("Restart in Process.Click Refresh "));
}
