#include "config/Form18.h"

#include "config/Log.h"

#include "ui_Form18.h"

#include "config/Form16.h"
#include "link/Modem.h"
#include "link/replies/Vendor.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/Text.h"
#include "platform/TypedText.h"
#include "platform/Widgets.h"

#include <vector>

namespace {

// The modes of the list: the code each sends, and the status text of a
// query that reports it.
struct Mode {
    QString item;
    QString code;
    QString status;
};
const std::vector<Mode> kModes = {
    {QStringLiteral("DeActivate"), QStringLiteral("0"),
     QStringLiteral("Mode:  DeActivate SIM ToolKit Functionalities")},
    {QStringLiteral("Activate"), QStringLiteral("1"),
     QStringLiteral("Mode:  Activate SIM ToolKit Functionalities")},
    {QStringLiteral("Configure"), QStringLiteral("2"),
     QStringLiteral("Mode:  Configure SIM ToolKit Functionalities")},
};
// The mode that takes a configuration.
constexpr int kConfigure = 2;

// The automatic-response setting of a query, by its code.
const QStringList kAutomaticResponses = {QStringLiteral("Automatic Response Not Activated"),
                                         QStringLiteral("Automatic Response  Activated")};

const QString kStatusQuery = QStringLiteral("AT+STSF?");

// The code a reported value stands for, compared as a number with the codes
// 0 to count - 1; -1 for another number. Throws when it is no number.
int codeAmong(const QString& value, int count) {
    const double number = text::number(value);
    for (int code = 0; code < count; ++code)
        if (number == code) return code;
    return -1;
}

} // namespace

Form18::Form18() : FeatureWindow(&showForm<Form16>), ui(std::make_unique<Ui::Form18>()) {
    setLayer(lcConfig);
    ui->setupUi(this);
    on(ui->Combo1, &QComboBox::activated, this, &Form18::Combo1_Click);
    onClick(ui->Command1, this, &Form18::Command1_Click);
    onClick(ui->Command2, this, &Form18::Command2_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(6300, 3690);
}

Form18::~Form18() = default;

void Form18::Form_Load() {
    runGuarded(lcConfig, [this] { statusQuery(); });
}

// A reply holding "ERROR" says so on the status line, shown.
void Form18::statusQuery() {
    ui->Label2->clear();
    ui->Label6->hide();
    QStringList items;
    for (const Mode& mode : kModes)
        items << mode.item;
    ui->Combo1->clear();
    fillDropDown(ui->Combo1, items);
    ui->Label2->setText(QStringLiteral("Plz Wait.Checking Current Values"));
    modem::send(kStatusQuery);
    TerminalLog& log = modem::log();
    if (const auto status = replies::toolkitStatus(modem::reply(kStatusQuery))) showStatus(*status);
    if (log.succeeded(kStatusQuery, TerminalLog::Judged::Final) == false) {
        ui->Label2->setText(QStringLiteral("Cannot Get The Current Status"));
        ui->Label2->show();
    }
    log.clear();
}

// The reported mode is picked in the list, so that OK sends it as it stands.
// A mode or response that is no number ends the query.
void Form18::showStatus(const replies::ToolkitStatus& status) {
    const int mode = codeAmong(status.mode, static_cast<int>(kModes.size()));
    const int response =
        codeAmong(status.autoResponse, static_cast<int>(kAutomaticResponses.size()));
    if (mode >= 0) ui->Combo1->setCurrentIndex(mode);
    for (QLabel* label : {ui->Label2, ui->Label3, ui->Label4})
        label->show();
    ui->Label2->setText(QStringLiteral("Current Status: ") +
                        (mode >= 0 ? kModes.at(static_cast<size_t>(mode)).status : QString()));
    ui->Label3->setText(QStringLiteral("TIMEOUT: ") + status.timeout);
    ui->Label4->setText(response >= 0 ? kAutomaticResponses.at(response) : QString());
}

void Form18::Combo1_Click() {
    ui->Label6->hide();
    const int mode = chosenItem(ui->Combo1);
    if (mode >= 0) showConfigEntry(mode == kConfigure);
}

void Form18::showConfigEntry(bool shown) {
    ui->Text1->setVisible(shown);
    ui->Label5->setVisible(shown);
    ui->Text1->clear();
}

// A mode typed to name no item sends nothing. The configuration goes between
// quotes as typed, blanks included, so it may hold no quote, no control
// character and nothing the line cannot carry.
void Form18::Command1_Click() {
    ui->Label2->clear();
    ui->Label2->show();
    for (QLabel* label : {ui->Label3, ui->Label4, ui->Label6})
        label->hide();
    if (ui->Combo1->currentText().isEmpty()) return;
    modem::log().clear();
    const int mode = chosenItem(ui->Combo1);
    const QString config = ui->Text1->text();
    if (mode == kConfigure &&
        (config.isEmpty() || !typed::isQuotable(config) || !typed::isLineText(config))) {
        Services::instance().message(QStringLiteral("Enter Valid Config Number"));
        showConfigEntry(false);
        return;
    }
    if (mode >= 0) setMode(mode, config);
    modem::log().clear();
    showConfigEntry(false);
}

void Form18::setMode(int mode, const QString& config) {
    QString command = QStringLiteral("AT+STSF=") + kModes.at(static_cast<size_t>(mode)).code;
    if (mode == kConfigure) command += QStringLiteral(",\"") + config + QLatin1Char('"');
    modem::send(command);
    const auto taken = modem::log().succeeded(command, TerminalLog::Judged::Final);
    showOutcome(ui->Label2, taken, QStringLiteral("Changes SuccessFul-SIM ToolKit"),
                QStringLiteral("Changes UnSuccessFul"));
    if (taken) ui->Label6->setVisible(*taken);
}

void Form18::Command2_Click() {
    showConfigEntry(false);
    ui->Label6->hide();
    statusQuery();
}
