#include "config/Form17.h"

#include "config/Log.h"

#include "ui_Form17.h"

#include "config/Form16.h"
#include "link/Modem.h"
#include "link/replies/Calls.h"
#include "link/replies/Vendor.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/Widgets.h"

#include <array>
#include <vector>

namespace {

// An item of a list and the code it puts into the command.
struct Coded {
    QString item;
    QString code;
};
using CodeTable = std::vector<Coded>;

const CodeTable kCellDumpModes = {
    {QStringLiteral("1 Shot Request"), QStringLiteral("0")},
    {QStringLiteral("Automatic Shot Request"), QStringLiteral("1")},
    {QStringLiteral("Stop Automatic Shot"), QStringLiteral("2")},
};
const CodeTable kRequestedDumps = {
    {QStringLiteral("Main Cell"), QStringLiteral("1")},
    {QStringLiteral("Neighbour1-Neighbour2"), QStringLiteral("2")},
    {QStringLiteral("Timing Advance"), QStringLiteral("4")},
};
const CodeTable kVoiceMailModes = {
    {QStringLiteral("DeActivate"), QStringLiteral("0")},
    {QStringLiteral("Activate"), QStringLiteral("1")},
    {QStringLiteral("Interrogate"), QStringLiteral("2")},
};
const CodeTable kInputPins = {
    {QStringLiteral("0"), QStringLiteral("0")}, {QStringLiteral("1"), QStringLiteral("1")},
    {QStringLiteral("2"), QStringLiteral("2")}, {QStringLiteral("3"), QStringLiteral("3")},
    {QStringLiteral("4"), QStringLiteral("4")}, {QStringLiteral("5"), QStringLiteral("5")},
    {QStringLiteral("6"), QStringLiteral("6")}, {QStringLiteral("7"), QStringLiteral("7")},
};

// The indication levels are the bits of the indication mask; each is shown
// with what it announces. A sum of levels may be typed instead.
struct Level {
    QString item;
    QString description;
};
const std::vector<Level> kIndicationLevels = {
    {QStringLiteral("0"), QStringLiteral("WIND disable")},
    {QStringLiteral("1"), QStringLiteral("The SIM Presence Has Been Detected")},
    {QStringLiteral("2"), QStringLiteral("Calling Party Is Alerting")},
    {QStringLiteral("4"),
     QStringLiteral("Module is Ready to Treat AT Commands(Except phonebook,AOC,SMS)")},
    {QStringLiteral("8"),
     QStringLiteral("Module Is Ready To Treat ALL AT Commands At The End Of Init")},
    {QStringLiteral("16"),
     QStringLiteral("Indication that a New Call Identifier Has Been Created")},
    {QStringLiteral("32"), QStringLiteral("Indication that an Active,Held or Waiting Call Has Been "
                                          "Released by network or other Party")},
    {QStringLiteral("64"), QStringLiteral("Network Service Avialable Indication")},
    {QStringLiteral("128"), QStringLiteral("Network Lost Indication")},
    {QStringLiteral("256"), QStringLiteral("Audio On Indication")},
};

// What each value of the indicator reply means, by field: battery charge,
// signal, service, message, call, roaming, message memory full. The value is
// the position of its text.
const std::array<QStringList, 7> kIndicatorTexts = {{
    {QStringLiteral("BatteryChargeLevel->0"), QStringLiteral("BatteryChargeLevel->1"),
     QStringLiteral("BatteryChargeLevel->2"), QStringLiteral("BatteryChargeLevel->3"),
     QStringLiteral("BatteryChargeLevel->4"), QStringLiteral("BatteryChargeLevel->5")},
    {QStringLiteral("signal level-0"), QStringLiteral("signal level-1"),
     QStringLiteral("signal level-2"), QStringLiteral("signal level-3"),
     QStringLiteral("signal level-4"), QStringLiteral("signal level-5")},
    {QStringLiteral("service disabled"), QStringLiteral("service Enabled")},
    {QStringLiteral("No New Message"), QStringLiteral("Received New Message")},
    {QStringLiteral("No New Call"), QStringLiteral("Call Received")},
    {QStringLiteral("Roam Disabled"), QStringLiteral("Roam Enabled")},
    {QStringLiteral("SMS Not FULL"), QStringLiteral("SMS  FULL")},
}};

const QString kIndicatorQuery = QStringLiteral("AT+CIND?");
const QString kPowerOff = QStringLiteral("AT+CPOF");
constexpr double kPowerOffSeconds = 3;
// The voice-mail commands always address the CPHS function "voice mail indicator".
const QString kVoiceMailIndicator = QStringLiteral(",1");

// Empties a list, its text too, and fills it with the items of a table.
template <class Table> void fill(QComboBox* box, const Table& table) {
    QStringList items;
    for (const auto& entry : table)
        items << entry.item;
    box->clear();
    fillDropDown(box, items);
}

// The code of the item the box shows; empty when it shows none.
QString codeOf(const QComboBox* box, const CodeTable& table) {
    const int at = chosenItem(box);
    return at < 0 ? QString() : table.at(static_cast<size_t>(at)).code;
}

// An indicator value compared as text with the codes of its field; a value
// the table does not hold, or a missing one, means nothing.
QString indicatorText(const QStringList& texts, const QString& value) {
    for (int code = 0; code < texts.size(); ++code)
        if (value == QString::number(code)) return texts.at(code);
    return QString();
}

// The indicator values of the reply line as one status line.
QString indicatorStatus(const QStringList& values) {
    QStringList texts;
    for (size_t field = 0; field < kIndicatorTexts.size(); ++field)
        texts << indicatorText(kIndicatorTexts[field], values.value(static_cast<int>(field)));
    return texts.join(QStringLiteral(",   "));
}

// What the value of an input pin reads as; nothing for a value that is no level.
QString pinLevel(const QString& pin, const QString& value) {
    if (value == QLatin1String("0")) return QStringLiteral("PIN ") + pin + QStringLiteral(" RESET");
    if (value == QLatin1String("1")) return QStringLiteral("PIN ") + pin + QStringLiteral(" SET");
    return QString();
}

} // namespace

Form17::Form17() : FeatureWindow(&showForm<Form16>), ui(std::make_unique<Ui::Form17>()) {
    setLayer(lcConfig);
    ui->setupUi(this);
    onClick(ui->Command1, this, &Form17::Command1_Click);
    onClick(ui->Command2, this, &Form17::Command2_Click);
    onClick(ui->Command3, this, &Form17::Command3_Click);
    onClick(ui->Command5, this, &Form17::Command5_Click);
    onClick(ui->Command6, this, &Form17::Command6_Click);
    onClick(ui->Command7, this, &Form17::Command7_Click);
    onClick(ui->Command8, this, &Form17::Command8_Click);
    onClick(ui->Command9, this, &Form17::Command9_Click);
    onClick(ui->Command10, this, &Form17::Command10_Click);
    onClick(ui->Command4, this, &Form17::Command4_Click);
    on(ui->Combo3, &QComboBox::activated, this, &Form17::Combo3_Click);
    onClick(ui->Label10, this, &Form17::Label10_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9000, 6000);
}

Form17::~Form17() = default;

void Form17::Form_Load() {
    runGuarded(lcConfig, [this] { Command1_Click(); });
}

void Form17::showPanel(const QWidget* panel) {
    const std::array<QWidget*, 4> panels = {ui->Frame1, ui->Frame5, ui->Frame6, ui->Frame9};
    for (QWidget* each : panels)
        each->setVisible(each == panel);
}

void Form17::Command1_Click() {
    showPanel(ui->Frame1);
    fill(ui->Combo1, kCellDumpModes);
    fill(ui->Combo2, kRequestedDumps);
    fill(ui->Combo3, kIndicationLevels);
    Command6_Click();
}

void Form17::Command2_Click() {
    showPanel(ui->Frame5);
    fill(ui->Combo4, kVoiceMailModes);
}

void Form17::Command3_Click() {
    showPanel(ui->Frame6);
    fill(ui->Combo5, kInputPins);
}

void Form17::Command5_Click() {
    showPanel(ui->Frame9);
}

// A device that rejects the query gets the model notice, unless it still
// sent the indicators. Values the reply lacks are shown as nothing.
void Form17::Command6_Click() {
    TerminalLog& log = modem::log();
    ui->Label14->setText(QStringLiteral("Wait..Checking Status"));
    modem::send(kIndicatorQuery);
    if (log.succeeded(kIndicatorQuery, TerminalLog::Judged::Final) == false)
        ui->Label14->setText(QStringLiteral("Works Only For Veltran 100"));
    if (const auto values = replies::indicatorValues(modem::reply(kIndicatorQuery)))
        ui->Label14->setText(indicatorStatus(*values));
    log.clear();
}

// A dump typed to name no item is no choice.
void Form17::Command7_Click() {
    const QString mode = codeOf(ui->Combo1, kCellDumpModes);
    const QString dump = codeOf(ui->Combo2, kRequestedDumps);
    if (mode.isEmpty() || dump.isEmpty()) {
        Services::instance().message(QStringLiteral("Select Valid Mode And Request Dump"));
        return;
    }
    ui->Label1->clear();
    exchangeChange(QStringLiteral("AT+CCED=") + mode + QLatin1Char(',') + dump,
                   QStringLiteral("CCED"), ui->Label1);
}

// The level goes into the command as typed, so it must be a number.
void Form17::Command8_Click() {
    const QString level = typedDigits(ui->Combo3);
    if (level.isEmpty()) {
        Services::instance().message(QStringLiteral("Select Indication Level"));
        return;
    }
    ui->Label1->clear();
    exchangeChange(QStringLiteral("AT+WIND=") + level, QStringLiteral("WIND"), ui->Label1);
}

// For "Interrogate" only the verdict is shown, not the reported state.
void Form17::Command9_Click() {
    const QString mode = codeOf(ui->Combo4, kVoiceMailModes);
    if (mode.isEmpty()) return;
    exchangeChange(QStringLiteral("AT+CPHS=") + mode + kVoiceMailIndicator, QStringLiteral("CPHS"),
                   ui->Label6);
}

// The verdict is looked for after the command's echo only; with neither
// verdict the line keeps what it showed.
void Form17::exchangeChange(const QString& command, const QString& feature, QLabel* resultLine) {
    modem::send(command);
    TerminalLog& log = modem::log();
    showOutcome(resultLine, log.succeeded(command, TerminalLog::Judged::Final),
                QStringLiteral("Changes SuccessFul-") + feature,
                QStringLiteral("Changes UnSuccessFul-") + feature);
    log.clear();
}

void Form17::Combo3_Click() {
    ui->Label5->clear();
    const int at = chosenItem(ui->Combo3);
    if (at >= 0) ui->Label5->setText(kIndicationLevels.at(static_cast<size_t>(at)).description);
}

void Form17::Command10_Click() {
    TerminalLog& log = modem::log();
    const QString pin = codeOf(ui->Combo5, kInputPins);
    if (pin.isEmpty()) {
        log.clear();
        return;
    }
    ui->Label9->clear();
    const QString command = QStringLiteral("AT+WIOR=") + pin;
    modem::send(command);
    showOutcome(ui->Label9, log.succeeded(command, TerminalLog::Judged::Final),
                pinLevel(pin, replies::inputLevel(modem::reply(command)).value_or(QString())),
                QStringLiteral("Not Supported"));
    log.clear();
}

// The settings are stored first: the device comes back with them.
void Form17::Command4_Click() {
    modem::send(QStringLiteral("AT&W"));
    modem::send(kPowerOff, kPowerOffSeconds);
    TerminalLog& log = modem::log();
    const auto switchedOff = log.succeeded(kPowerOff, TerminalLog::Judged::Final);
    showOutcome(ui->Label13, switchedOff, QStringLiteral("POWER OFF SuccessFul"),
                QStringLiteral("Changes Unsuccessful"));
    if (switchedOff.value_or(false)) {
        Services::instance().message(QStringLiteral("Power OFF SuccessFul.....Restart..."));
        Services::instance().endProgram();
        return;
    }
    log.clear();
}

void Form17::Label10_Click() {
    modem::networkset();
}
