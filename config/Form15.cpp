#include "config/Form15.h"

#include "config/Log.h"

#include "ui_Form15.h"

#include "link/Framing.h"
#include "link/MainLines.h"
#include "link/Modem.h"
#include "link/replies/DeviceSettings.h"
#include "platform/Handlers.h"
#include "platform/SerialBackend.h"
#include "platform/Services.h"
#include "platform/Widgets.h"

#include <vector>

namespace {

using OptionOf = QRadioButton* Ui::Form15::*;
// The options of a group; each stands for its position in the group as a code.
using Group = std::vector<OptionOf>;

const Group kFormat = {&Ui::Form15::Option1, &Ui::Form15::Option2, &Ui::Form15::Option3,
                       &Ui::Form15::Option4, &Ui::Form15::Option5, &Ui::Form15::Option6,
                       &Ui::Form15::Option7};
const Group kParity = {&Ui::Form15::Option8, &Ui::Form15::Option9, &Ui::Form15::Option10,
                       &Ui::Form15::Option11, &Ui::Form15::Option12};
const Group kDceDte = {&Ui::Form15::Option13, &Ui::Form15::Option14, &Ui::Form15::Option15,
                       &Ui::Form15::Option16};
const Group kDteDce = {&Ui::Form15::Option17, &Ui::Form15::Option18, &Ui::Form15::Option19};
const Group kDsr = {&Ui::Form15::Option20, &Ui::Form15::Option21};
const Group kDcd = {&Ui::Form15::Option22, &Ui::Form15::Option23};
const Group kDtr = {&Ui::Form15::Option24, &Ui::Form15::Option25, &Ui::Form15::Option26};
const Group kEcho = {&Ui::Form15::Option27, &Ui::Form15::Option28};

const QString kEchoKey = QStringLiteral("ECHO:");

// Selects the option that stands for a one-digit code; another code selects nothing.
void selectCode(Ui::Form15& ui, const Group& group, const QString& code) {
    const int index = code.size() == 1 ? code[0].unicode() - '0' : -1;
    if (index >= 0 && index < static_cast<int>(group.size())) selectOption(ui.*group[index]);
}

// The code of the group's set option; "" when none is set.
QString chosenCode(const Ui::Form15& ui, const Group& group) {
    for (size_t code = 0; code < group.size(); ++code)
        if ((ui.*group[code])->isChecked()) return QString::number(code);
    return QString();
}

// The profile dump the main window asked the device for.
replies::ProfileCodes profileCodes() {
    return replies::profileCodes(modem::reply(QStringLiteral("AT&V")));
}

} // namespace

Form15::Form15() : ui(std::make_unique<Ui::Form15>()) {
    setLayer(lcConfig);
    ui->setupUi(this);
    onClick(ui->Command1, this, &Form15::Command1_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9855, 6135);
}

Form15::~Form15() = default;

void Form15::Form_Load() {
    ui->Combo1->clear();
    fillDropDown(ui->Combo1, LineSettings::standardRates());
}

void Form15::PresetRate(const QString& rate) {
    ui->Combo1->setCurrentText(rate);
}

void Form15::PresetFraming(const QString& formatCode, const QString& parityCode) {
    selectCode(*ui, kFormat, formatCode);
    selectCode(*ui, kParity, parityCode);
}

void Form15::PresetEchoEnabled() {
    selectOption(ui->Option28);
}

void Form15::PresetFlowControl() {
    const replies::ProfileCodes codes = profileCodes();
    selectCode(*ui, kDceDte, codes.dceDte);
    selectCode(*ui, kDteDce, codes.dteDce);
}

void Form15::PresetControlLines() {
    const replies::ProfileCodes codes = profileCodes();
    selectCode(*ui, kDcd, codes.dcd);
    selectCode(*ui, kDtr, codes.dtr);
}

// "Save Configurations": every group must hold a choice; then the eight
// commands, each judged on its own reply, and the device's profile stored.
void Form15::Command1_Click() {
    const std::optional<Choices> choices = checkedChoices();
    if (!choices) return;
    const Choices& c = *choices;
    const Step steps[] = {
        {QStringLiteral("AT+IPR=") + c.rate, " Changes UnsuccessFul-IPR ", &Form15::showSpeed,
         &Form15::followRate, " Console Port Not Changed-IPR "},
        {QStringLiteral("AT+ICF=") + c.format + QLatin1Char(',') + c.parity,
         " Changes UnsuccessFul-Character Framing ", &Form15::showFraming, &Form15::followFraming,
         " Console Port Not Changed-Character Framing "},
        {QStringLiteral("AT+IFC=") + c.dceDte + QLatin1Char(',') + c.dteDce,
         "Changes UnsuccessFul-DCE-DTE Flow Control"},
        {QStringLiteral("AT&C") + c.dcd, "Changes UnsuccessFul-DCD signal"},
        {QStringLiteral("AT&D") + c.dtr, "Changes UnsuccessFul-DTR signal"},
        {QStringLiteral("AT&S") + c.dsr, "Changes UnsuccessFul-DSR signal"},
        {QStringLiteral("ATE") + c.echo, "Changes UnsuccessFul-ECHO", &Form15::showEcho},
    };
    modem::log().clear();
    ui->Label1->setText(QStringLiteral("Please Wait...Saving The Setting"));
    QString failures;
    bool followed = true;
    for (const Step& step : steps) {
        // Nothing more reaches a device that has gone away during the save,
        // or that now runs a line the port cannot: the rest goes unanswered.
        const bool unreachable = !followed || (&step != steps && !modem::isPortOpen());
        failures += unreachable ? QLatin1String(step.failure) : sendStep(step, c, followed);
    }
    // Its reply is not examined.
    if (followed && modem::isPortOpen()) modem::send(QStringLiteral("AT&W"));
    modem::log().clear();
    ui->Label1->setText(failures.isEmpty() ? QStringLiteral("Changes SuccessFul") : failures);
}

std::optional<Form15::Choices> Form15::checkedChoices() const {
    // In the order they are checked; no group: the rate box, which takes digits only.
    struct Check {
        const Group* group;
        QString Choices::*code;
        const char* message;
    };
    static const Check checks[] = {
        {&kFormat, &Choices::format, "Framing Format Cannot Be Blank"},
        {&kParity, &Choices::parity, "Parity Cannot Be Blank"},
        {&kDceDte, &Choices::dceDte, "DCE-DTE Control Cannot Be Blank"},
        {&kDteDce, &Choices::dteDce, "DTE-DCE Control Cannot Be Blank"},
        {nullptr, &Choices::rate, "Select IPR Correctly"},
        {&kDsr, &Choices::dsr, "Error:Set DSR Signal"},
        {&kDcd, &Choices::dcd, "Error:Set DCD Signal"},
        {&kDtr, &Choices::dtr, "Error:Set DTR Signal"},
        {&kEcho, &Choices::echo, "Error:Enable/Disable Echo"},
    };
    Choices choices;
    for (const Check& check : checks) {
        const QString code = check.group ? chosenCode(*ui, *check.group) : typedDigits(ui->Combo1);
        if (code.isEmpty()) {
            Services::instance().message(QLatin1String(check.message), kMessageTitle);
            return std::nullopt;
        }
        choices.*check.code = code;
    }
    return choices;
}

// "OK" and "ERROR" are judged independently, on the lines after the echo: a
// reply holding both does both. A reply holding neither is no success.
QString Form15::sendStep(const Step& step, const Choices& choices, bool& followed) {
    modem::send(step.command);
    const TerminalLog& log = modem::log();
    const bool ok = log.succeeded(step.command, TerminalLog::Judged::OkFirst).value_or(false);
    const bool refused = log.succeeded(step.command, TerminalLog::Judged::ErrorWins) == false;
    if (ok && step.onOk) (this->*step.onOk)(choices);
    if (ok && !refused && step.follow && !(this->*step.follow)(choices)) {
        followed = false;
        return QLatin1String(step.notFollowed);
    }
    return ok && !refused ? QString() : QLatin1String(step.failure);
}

void Form15::showSpeed(const Choices& choices) {
    mainwindow::setSpeedLine(QStringLiteral("Speed:") + choices.rate);
}

// The device now runs at the new rate: so must the port, or every later
// command is lost. A rate the port does not know, and 0 (the device detects
// the rate), keep the port's.
bool Form15::followRate(const Choices& choices) {
    return !LineSettings::standardRates().contains(choices.rate) ||
           modem::followDeviceLine({choices.rate, {}, {}, {}});
}

void Form15::showFraming(const Choices& choices) {
    ShowFramingSummary(choices.format, choices.parity);
}

bool Form15::followFraming(const Choices& choices) {
    const auto line = framing::lineOf(choices.format, choices.parity);
    return !line || modem::followDeviceLine({{}, line->parity, line->dataBits, line->stopBits});
}

// The echo text replaces the one the line already ends in.
void Form15::showEcho(const Choices& choices) {
    const QString line = mainwindow::framingLine();
    const qsizetype echoAt = line.lastIndexOf(kEchoKey);
    mainwindow::setFramingLine((echoAt < 0 ? line : line.left(echoAt)) +
                               (choices.echo == QLatin1String("0")
                                    ? QStringLiteral("ECHO:Disable")
                                    : QStringLiteral("ECHO:Enable")));
}

void Form15::ShowFramingSummary(const QString& formatCode, const QString& parityCode) {
    mainwindow::setFramingLine(framing::summary(formatCode, parityCode));
}
