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
#include "link/frmSettings.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/Services.h"
#include "platform/Widgets.h"
#include "services/Form12.h"
#include "services/Form9.h"

#include <map>
#include <optional>
#include <vector>

namespace {

const QString kOK = QStringLiteral("OK");

// How often "Port Settings->" looks whether its dialog has been closed.
constexpr double kDialogPollSeconds = 0.05;

// ---- status reports of the short-message window, from "AT+CNMI?"

// An option of a window's designer-made controls.
template <class Design> using OptionOf = QRadioButton* Design::*;

struct StatusReportPreset {
    QString text;
    OptionOf<Ui::Form8> option;
};

const StatusReportPreset kReportsEnabled{QStringLiteral("Status Report Enabled"),
                                         &Ui::Form8::Option3};
const StatusReportPreset kReportsDisabled{QStringLiteral("Status Report Disabled"),
                                          &Ui::Form8::Option4};

// By the fourth value of "+CNMI:" (status reports).
const std::map<QString, StatusReportPreset>& statusReportPresets() {
    static const std::map<QString, StatusReportPreset> presets = {
        {QStringLiteral("1"), kReportsEnabled},
        {QStringLiteral("0"), kReportsDisabled},
    };
    return presets;
}

// The fourth value is read where a reply with a blank after the colon and
// one-digit values holds it, 13 characters after the start of "+CNMI:".
std::optional<StatusReportPreset> statusReportPreset(const TerminalLog& log) {
    if (log.contains(QStringLiteral("ERROR"))) return kReportsDisabled;
    const int at = log.find(QStringLiteral("+CNMI:"));
    if (at == 0) return std::nullopt;
    const auto found = statusReportPresets().find(log.cut(at + 13, 1));
    if (found == statusReportPresets().end()) return std::nullopt;
    return found->second;
}

// ---- the modem settings window, from the "AT&V" profile dump

// An option group of the modem settings window, chosen by the one character
// `offset` places after the start of `key` in the dump (name, colon, value,
// no blanks). A value the table does not hold chooses nothing.
struct ProfileChoice {
    QString key;
    int offset;
    std::map<QString, OptionOf<Ui::Form15>> options;
};

const std::vector<ProfileChoice>& flowControlChoices() {
    static const std::vector<ProfileChoice> choices = {
        {QStringLiteral("IFC:"),
         4,
         {{QStringLiteral("0"), &Ui::Form15::Option13},
          {QStringLiteral("1"), &Ui::Form15::Option14},
          {QStringLiteral("2"), &Ui::Form15::Option15},
          {QStringLiteral("3"), &Ui::Form15::Option16}}},
        {QStringLiteral("IFC:"),
         6,
         {{QStringLiteral("0"), &Ui::Form15::Option17},
          {QStringLiteral("1"), &Ui::Form15::Option18},
          {QStringLiteral("2"), &Ui::Form15::Option19}}},
    };
    return choices;
}

const std::vector<ProfileChoice>& controlLineChoices() {
    static const std::vector<ProfileChoice> choices = {
        {QStringLiteral("&C"),
         3,
         {{QStringLiteral("0"), &Ui::Form15::Option22},
          {QStringLiteral("1"), &Ui::Form15::Option23}}},
        {QStringLiteral("&D"),
         3,
         {{QStringLiteral("0"), &Ui::Form15::Option24},
          {QStringLiteral("1"), &Ui::Form15::Option25},
          {QStringLiteral("2"), &Ui::Form15::Option26}}},
    };
    return choices;
}

void selectFromProfile(const TerminalLog& log, const std::vector<ProfileChoice>& choices) {
    for (const ProfileChoice& choice : choices) {
        const int at = log.find(choice.key);
        if (at == 0) continue;
        const auto found = choice.options.find(log.cut(at + choice.offset, 1));
        if (found != choice.options.end()) selectOption(form<Form15>().ui.*found->second);
    }
}

void waitForSettingsDialog() {
    while (Forms::instance().isLoaded<frmSettings>())
        Pause(kDialogPollSeconds);
}

} // namespace

void Form1::connectButtons() {
    const std::pair<QPushButton*, void (Form1::*)()> handlers[] = {
        {ui.Command1, &Form1::Command1_Click},   {ui.Command2, &Form1::Command2_Click},
        {ui.Command3, &Form1::Command3_Click},   {ui.Command4, &Form1::Command4_Click},
        {ui.Command5, &Form1::Command5_Click},   {ui.Command6, &Form1::Command6_Click},
        {ui.Command7, &Form1::Command7_Click},   {ui.Command8, &Form1::Command8_Click},
        {ui.Command9, &Form1::Command9_Click},   {ui.Command10, &Form1::Command10_Click},
        {ui.Command11, &Form1::Command11_Click}, {ui.Command12, &Form1::Command12_Click},
        {ui.Command13, &Form1::Command13_Click},
    };
    for (const auto& entry : handlers) {
        const auto handler = entry.second;
        connect(entry.first, &QPushButton::clicked, this, [this, handler] {
            // A failure, such as writing to a port the settings dialog left
            // closed, ends the handler where it happened, without a message.
            try {
                (this->*handler)();
            } catch (const std::exception&) {
            }
        });
    }
}

void Form1::ResetStatusList() {
    ui.Frame5->show();
    ui.List1->show();
    ui.List1->clear();
}

void Form1::Command1_Click() {
    ui.Label1->setText(MSComm1().PortOpen() ? QStringLiteral("Open") : QStringLiteral("Closed"));
    if (ui.Label1->text() != QLatin1String("Open")) return;
    link().sendCommand(QStringLiteral("AT"), 1);
    if (!Text1().contains(kOK)) {
        Services::instance().message(
            QStringLiteral("Check If Modem Is Connected Properly.Set The CommPorts"),
            QStringLiteral("GSM"));
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
    ui.Label5->setText(QStringLiteral("Please Wait......."));
    form<Form3>().Show();
}

void Form1::Command3_Click() {
    ui.Command3->setStyleSheet(QStringLiteral("background-color: #e0e0e0;"));
    ui.Label5->setText(QStringLiteral("Please Wait..."));
    link().sendCommand(QStringLiteral("AT+CNMI?"), 1);
    if (const auto preset = statusReportPreset(Text1())) {
        Form8& sms = form<Form8>();
        sms.ui.Label6->setText(preset->text);
        selectOption(sms.ui.*preset->option);
    }
    Text1().clear();
    form<Form8>().Show();
    hide();
    ui.Label5->clear();
}

void Form1::Command4_Click() {
    ui.Label5->setText(QStringLiteral("Please Wait...."));
    hide();
    form<Form12>().Show();
}

void Form1::Command5_Click() {
    form<Form9>().Show();
    hide();
}

void Form1::Command6_Click() {
    ui.Label5->setText(QStringLiteral("Please Wait..."));
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
            probePortAfterSettings();
        else
            ui.Label1->setText(QStringLiteral("Closed"));
    } catch (const std::exception& e) {
        const QString description = QString::fromUtf8(e.what());
        if (description != QLatin1String("File already open")) {
            Services::instance().message(description);
            return;
        }
        Files::instance().closeAll();
        Services::instance().message(
            QStringLiteral("Please Close The COMMPORT Running In Other Application"),
            QStringLiteral("GSM"));
    }
}

void Form1::probePortAfterSettings() {
    ShowPortStatus();
    Show();
    link().sendCommand(QStringLiteral("AT+CGSN"), 1);
    if (!Text1().contains(kOK)) {
        ui.Label5->setText(QStringLiteral("Check If Modem Is Connected Properly"));
        ui.List1->addItem(QStringLiteral("Check If Modem Is Connected Properly."));
        return;
    }
    takePortIntoUse(ui.Label3->text());
}

// The exit button ends the program as closing the main window does.
void Form1::Command8_Click() {
    Form_Unload();
}

void Form1::Command9_Click() {
    ResetStatusList();
    if (MSComm1().PortOpen()) {
        MSComm1().setPortOpen(false);
        ui.Label1->clear();
        ui.Label2->clear();
        ui.Label3->clear();
    }
    Form_Load();
}

void Form1::Command10_Click() {
    form<Form14>().Show();
    hide();
}

void Form1::Command11_Click() {
    link().sendCommand(QStringLiteral("AT&V"), 1);
    selectFromProfile(Text1(), flowControlChoices());
    ShowBaudRate();
    SetFramingOptions();
    selectFromProfile(Text1(), controlLineChoices());
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
        ui.Label5->setText(QStringLiteral("Port Not Open "));
        return;
    }
    ui.Label5->setText(QStringLiteral("IniTializing To Factory Settings"));
    for (const char* command : {"AT&F", "AT+SPEAKER=1", "AT&W"})
        link().sendCommand(QString::fromLatin1(command), 1);
    Text1().clear();
    ui.Label5->setText(QStringLiteral("Restart in Process.Click Refresh "));
}
