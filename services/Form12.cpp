#include "services/Form12.h"

#include "services/Log.h"

#include "ui_Form12.h"

#include "link/MainLines.h"
#include "link/Modem.h"
#include "link/replies/Services.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/TypedText.h"
#include "platform/Widgets.h"
#include "services/Passwords.h"

#include <QMap>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <map>
#include <optional>
#include <vector>

using OptionOf = QRadioButton* Ui::Form12::*;
using LabelOf = QLabel* Ui::Form12::*;

// A forwarding reason: its code, the option that chooses it, and the label
// (with its prefix) that shows its state.
struct ForwardReason {
    QString code;
    OptionOf option;
    LabelOf label;
    QString prefix;

    QString query() const { return QStringLiteral("AT+CCFC=") + code + QStringLiteral(",2"); }
};

// A barring facility: its code, the option that chooses it, and its texts.
struct BarringFacility {
    QString code;
    OptionOf option;
    QString notBarred;
    // What the barred member writes: the first replaces the caption, the
    // others are appended to it after a blank.
    QString barred;
    bool replacesCaption;
    // What follows the facility's part in the final caption.
    QString separator;
};

namespace {

// An option and the code it stands for in a command.
struct Choice {
    OptionOf option;
    QString code;
};

const std::vector<Choice> kForwardModes = {
    {&Ui::Form12::Option7, QStringLiteral("3")}, // register
    {&Ui::Form12::Option8, QStringLiteral("4")}, // erase
};
const std::vector<Choice> kForwardClasses = {
    {&Ui::Form12::Option12, QStringLiteral("1")}, {&Ui::Form12::Option13, QStringLiteral("2")},
    {&Ui::Form12::Option14, QStringLiteral("4")}, {&Ui::Form12::Option15, QStringLiteral("8")},
    {&Ui::Form12::Option16, QStringLiteral("7")},
};
const std::vector<Choice> kBarringModes = {
    {&Ui::Form12::Option22, QStringLiteral("0")}, // unlock
    {&Ui::Form12::Option23, QStringLiteral("1")}, // lock
};
const std::vector<Choice> kBarringClasses = {
    {&Ui::Form12::Option24, QStringLiteral("1")}, {&Ui::Form12::Option25, QStringLiteral("2")},
    {&Ui::Form12::Option26, QStringLiteral("4")}, {&Ui::Form12::Option27, QStringLiteral("8")},
    {&Ui::Form12::Option28, QStringLiteral("7")},
};

// The code of the selected option among a table's; empty when none is selected.
template <class Table> QString chosenCode(const Ui::Form12& ui, const Table& choices) {
    for (const auto& choice : choices)
        if ((ui.*choice.option)->isChecked()) return choice.code;
    return QString();
}

// --- call forwarding

const ForwardReason kReasons[] = {
    {QStringLiteral("0"), &Ui::Form12::Option1, &Ui::Form12::Label11,
     QStringLiteral("UNCONDITIONAL-")},
    {QStringLiteral("1"), &Ui::Form12::Option2, &Ui::Form12::Label12,
     QStringLiteral("MOBILE BUSY-")},
    {QStringLiteral("2"), &Ui::Form12::Option3, &Ui::Form12::Label13, QStringLiteral("NO REPLY-")},
    {QStringLiteral("3"), &Ui::Form12::Option4, &Ui::Form12::Label14,
     QStringLiteral("NOT REACHABLE-")},
    {QStringLiteral("4"), &Ui::Form12::Option5, &Ui::Form12::Label15,
     QStringLiteral("ALL CALL FORWARDING-")},
    {QStringLiteral("5"), &Ui::Form12::Option6, &Ui::Form12::Label16,
     QStringLiteral("ALL CONDITON CALL FORWARDING-")},
};

const QMap<QString, QString> kForwardStatusTexts = {
    {QStringLiteral("0"), QStringLiteral("Call Forward Not Active For")},
    {QStringLiteral("1"), QStringLiteral("Call Forward  Active For")},
    {QStringLiteral("2"), QStringLiteral("Call Forward  Interrogated For")},
    {QStringLiteral("3"), QStringLiteral("Call Forward  Registered For")},
    {QStringLiteral("4"), QStringLiteral("Call Forward  Deleted For")},
};
const QMap<QString, QString> kForwardClassTexts = {
    {QStringLiteral("1"), QStringLiteral("Voice")},
    {QStringLiteral("2"), QStringLiteral("Data")},
    {QStringLiteral("4"), QStringLiteral("Fax")},
    {QStringLiteral("8"), QStringLiteral("SMS")},
    {QStringLiteral("7"), QStringLiteral("All Classes")},
};

// What a forward-to number may hold. It goes between quotes in the command
// line, where a quote would end the string and ";" chain a further command.
const QRegularExpression& forwardNumberCharacters() {
    static const QRegularExpression allowed(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9+*# ]*")));
    return allowed;
}

bool isForwardNumber(const QString& number) {
    return !number.isEmpty() && forwardNumberCharacters().match(number).hasMatch();
}

// --- call barring

const BarringFacility kBarring[] = {
    {QStringLiteral("AO"), &Ui::Form12::Option17, QStringLiteral("OutGoing Calls Not Barred"),
     QStringLiteral("Current Status:All OutGoing Calls Barred "), true, QStringLiteral(",      ")},
    {QStringLiteral("OI"), &Ui::Form12::Option18,
     QStringLiteral("OutGoing International Calls Not Barred"),
     QStringLiteral("Current Status:OutGoing International Calls Barred "), false,
     QStringLiteral(",     ")},
    {QStringLiteral("OX"), &Ui::Form12::Option19,
     QStringLiteral("OutGoing Internet Calls Not Barred"),
     QStringLiteral("Current Status:OutGoing Internet Calls Barred "), false,
     QStringLiteral(",     ")},
    {QStringLiteral("AI"), &Ui::Form12::Option20, QStringLiteral("Incoming Calls Not Barred"),
     QStringLiteral("Current Status:All Incoming Calls Barred "), false, QStringLiteral(",     ")},
    {QStringLiteral("IR"), &Ui::Form12::Option21,
     QStringLiteral("Incoming Calls While Roaming Calls Not Barred"),
     QStringLiteral("Current Status:Barr Incoing when  "), false, QString()},
};

const QMap<QString, QString> kBarredClassTexts = {
    {QStringLiteral("1"), QStringLiteral("For Voice")},
    {QStringLiteral("2"), QStringLiteral("For Data")},
    {QStringLiteral("4"), QStringLiteral("For Fax")},
    {QStringLiteral("8"), QStringLiteral("For Short Message")},
    {QStringLiteral("7"), QStringLiteral("All Classes")},
};

// --- closed user groups

// The items of each list; an item's list position is its code.
const QStringList kCugModeItems = {QStringLiteral("Disable CUG Mode"),
                                   QStringLiteral("Enable CUG Mode")};
const QStringList kCugIndexItems = {
    QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),  QStringLiteral("3"),
    QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),  QStringLiteral("7"),
    QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"),
};
const QStringList kCugInfoItems = {QStringLiteral("Default"), QStringLiteral("Supress OA"),
                                   QStringLiteral("Supress Preferential CUG"),
                                   QStringLiteral("Supress OA and Prefer.CUG")};

// The status texts of the values, by code.
const QStringList kCugModeTexts = {QStringLiteral("CUG Mode Disabled"),
                                   QStringLiteral("CUG Mode Enabled")};
const QStringList kCugIndexTexts = {
    QStringLiteral("CUG Index 0"), QStringLiteral("CUG Index 1"),  QStringLiteral("CUG Index 2"),
    QStringLiteral("CUG Index 3"), QStringLiteral("CUG Index 4"),  QStringLiteral("CUG Index 5"),
    QStringLiteral("CUG Index 6"), QStringLiteral("CUG Index 7"),  QStringLiteral("CUG Index 8"),
    QStringLiteral("CUG Index 9"), QStringLiteral("CUG Index 10"),
};
const QStringList kCugInfoTexts = {QStringLiteral("Default"),
                                   QStringLiteral("Suppress Outgoing Access"),
                                   QStringLiteral("Suppress Preferential CUG"),
                                   QStringLiteral("Suppress Outgoing Access And Preferential CUG")};

// The code of the item a list shows; empty for a typed text that is no item.
QString cugCode(const QComboBox* box) {
    const int position = chosenItem(box);
    return position < 0 ? QString() : QString::number(position);
}

// Presets a list to the item whose code is `value` and gives that value's
// status text; a value without an item leaves the list and gives "".
QString presetCug(QComboBox* box, const QString& value, const QStringList& statusTexts) {
    for (int position = 0; position < box->count(); ++position) {
        if (QString::number(position) != value) continue;
        box->setCurrentIndex(position);
        return statusTexts.value(position);
    }
    return QString();
}

// A set command's outcome: "OK" after the echo is success, else "ERROR" failure.
std::optional<bool> setOutcome(const QString& command) {
    return modem::log().succeeded(command, TerminalLog::Judged::OkFirst);
}

} // namespace

Form12::Form12() : ui(std::make_unique<Ui::Form12>()) {
    setLayer(lcServices);
    ui->setupUi(this);
    ui->TabStrip1->addTab(QStringLiteral("Call Forward"));
    ui->TabStrip1->addTab(QStringLiteral("Call Baring"));
    ui->TabStrip1->addTab(QStringLiteral("Call Waiting"));
    ui->TabStrip1->addTab(QStringLiteral("Closed User Group"));
    ui->Text1->setValidator(new QRegularExpressionValidator(forwardNumberCharacters(), ui->Text1));
    // The barring password: digits only, typed or pasted (LimitTextInput's rule).
    limitToDigits(ui->Text2);
    connectHandlers();
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9000, 6600);
}

Form12::~Form12() = default;

void Form12::connectHandlers() {
    onClicks(this, {{ui->Command1, &Form12::Command1_Click},
                    {ui->Command2, &Form12::Command2_Click},
                    {ui->Command3, &Form12::Command3_Click},
                    {ui->Command4, &Form12::Command4_Click},
                    {ui->Command5, &Form12::Command5_Click},
                    {ui->Command6, &Form12::Command6_Click},
                    {ui->Command7, &Form12::Command7_Click},
                    {ui->Command8, &Form12::Command8_Click}});
    onTabClick(ui->TabStrip1, this, &Form12::TabStrip1_Click);
}

void Form12::Form_Load() {
    runGuarded(lcServices, [this] { QueryForwarding(); });
}

// The close box also clears the main window's progress line.
void Form12::Form_Unload() {
    mainwindow::setStatus(QString());
    FeatureWindow::Form_Unload();
}

void Form12::TabStrip1_Click() {
    struct Tab {
        std::vector<QWidget*> shown;
        std::vector<QWidget*> hidden;
        void (Form12::*query)();
    };
    const Tab tabs[] = {
        {{ui->Frame1, ui->Frame13}, {ui->Frame12, ui->Frame9, ui->Frame5}, &Form12::Form_Load},
        {{ui->Frame9}, {ui->Frame12, ui->Frame1, ui->Frame5, ui->Frame10}, &Form12::QueryBarring},
        {{ui->Frame10},
         {ui->Frame12, ui->Frame1, ui->Frame5, ui->Frame9, ui->Frame11, ui->Command6},
         &Form12::QueryCallWaiting},
        {{ui->Frame12},
         {ui->Frame1, ui->Frame5, ui->Frame9, ui->Frame10, ui->Frame11},
         &Form12::QueryClosedUserGroup},
    };
    const Tab& tab = tabs[ui->TabStrip1->currentIndex()];
    for (QWidget* panel : tab.shown)
        panel->show();
    for (QWidget* panel : tab.hidden)
        panel->hide();
    (this->*tab.query)();
}

void Form12::Command8_Click() {
    modem::networkset();
}

// --- call forwarding

// Takes about eighteen seconds, with the window shown and usable meanwhile.
void Form12::QueryForwarding() {
    ui->Frame9->hide();
    ui->Frame5->hide();
    ui->Frame10->hide();
    ui->Frame13->show();
    for (const ForwardReason& reason : kReasons)
        ((*ui).*reason.label)->clear();
    Show();
    ui->Label2->setText(QStringLiteral("Checking Current Status..."));
    for (const ForwardReason& reason : kReasons) {
        // A device gone during the queries answers none of the rest.
        if (&reason != kReasons && !modem::isPortOpen()) break;
        modem::send(reason.query(), 3);
        CheckForward(reason);
    }
    modem::log().clear();
    ui->Label2->clear();
    ResetForwardInputs();
}

void Form12::CheckForward(const ForwardReason& reason) {
    if (const auto forwarding = replies::forwarding(modem::reply(reason.query())))
        ShowForward(reason, forwarding->status, forwarding->classCode, forwarding->number);
}

void Form12::ShowForward(const ForwardReason& reason, const QString& status,
                         const QString& classCode, const QString& number) {
    ((*ui).*reason.label)
        ->setText(reason.prefix + kForwardStatusTexts.value(status) + QLatin1Char(' ') +
                  kForwardClassTexts.value(classCode) + QLatin1Char(' ') + number);
}

void Form12::ResetForwardInputs() {
    ui->Text1->clear();
    for (QRadioButton* group : {ui->Option1, ui->Option7, ui->Option12})
        clearOptionGroup(group);
}

// Registers (reason, number and class) or erases (reason only) a forwarding.
void Form12::Command1_Click() {
    const bool registering = ui->Option7->isChecked();
    Services& services = Services::instance();
    if (registering && !isForwardNumber(ui->Text1->text())) {
        services.message(QStringLiteral("Enter Valid Number "), kMessageTitle);
        return;
    }
    const QString reason = chosenCode(*ui, kReasons);
    if (reason.isEmpty()) {
        services.message(QStringLiteral("Select Status Property"), kMessageTitle);
        return;
    }
    const QString mode = chosenCode(*ui, kForwardModes);
    if (mode.isEmpty()) {
        services.message(QStringLiteral("Select Mode Correctly"), kMessageTitle);
        return;
    }
    const QString classCode = chosenCode(*ui, kForwardClasses);
    ui->Label2->clear();
    if (registering && classCode.isEmpty()) {
        services.message(QStringLiteral("Select Class Correctly"), kMessageTitle);
        return;
    }
    QString command = QStringLiteral("AT+CCFC=") + reason + QLatin1Char(',') + mode;
    if (registering)
        command += QStringLiteral(",\"") + ui->Text1->text() + QStringLiteral("\",,") + classCode;
    modem::send(command, 3);
    showOutcome(ui->Label2, setOutcome(command), QStringLiteral("Changes SuccessFul"),
                QStringLiteral("Changes UnSuccessFul"));
    ui->Text1->clear();
    modem::log().clear();
}

void Form12::Command2_Click() {
    Form_Load();
}

// --- call barring

void Form12::QueryBarring() {
    ui->Label3->setText(QStringLiteral("Please Wait...."));
    ui->Command4->setEnabled(false);
    QString caption;
    for (const BarringFacility& facility : kBarring)
        caption += QueryBarred(facility) + facility.separator;
    ui->Label3->setText(caption);
    modem::log().clear();
    ui->Command4->setEnabled(true);
}

// A status other than 1 or 0 (none read, or no digit) shows nothing.
QString Form12::QueryBarred(const BarringFacility& facility) {
    const QString query = QStringLiteral("AT+CLCK=\"") + facility.code + QStringLiteral("\",2");
    modem::send(query, 3);
    const std::optional<replies::Barring> barring = replies::barring(modem::reply(query));
    if (!barring) return QString();
    if (barring->status == QLatin1String("1")) return ShowBarred(facility, barring->classCode);
    return barring->status == QLatin1String("0") ? facility.notBarred : QString();
}

// Shows the barred facility while the query goes on, and gives its part of
// the final caption. A class outside the table has an empty text.
QString Form12::ShowBarred(const BarringFacility& facility, const QString& classCode) {
    const QString text = facility.barred + kBarredClassTexts.value(classCode);
    ui->Label3->setText(facility.replacesCaption ? text
                                                 : ui->Label3->text() + QLatin1Char(' ') + text);
    return text;
}

void Form12::Command4_Click() {
    ui->Frame5->show();
    ui->Frame9->hide();
    ui->Frame1->hide();
}

void Form12::Command3_Click() {
    Services& services = Services::instance();
    const QString facility = chosenCode(*ui, kBarring);
    const QString classCode = chosenCode(*ui, kBarringClasses);
    const QString mode = chosenCode(*ui, kBarringModes);
    // These three boxes carry no title of their own.
    const std::pair<bool, QString> unchosen[] = {
        {facility.isEmpty(), QStringLiteral("Please Select The Facility")},
        {classCode.isEmpty(), QStringLiteral("Please Select The Class")},
        {mode.isEmpty(), QStringLiteral("Please Select The Mode")},
    };
    for (const auto& [missing, text] : unchosen) {
        if (missing) {
            services.message(text, QString());
            return;
        }
    }
    const ForgetPasswords forget{ui->Text2};
    const QString password = ui->Text2->text();
    if (!typed::isWholeNumber(password)) {
        services.message(QStringLiteral("Please Enter A Valid Password"), kMessageTitle);
    } else {
        ui->Label5->setText(QStringLiteral("Please Wait"));
        const QString command = QStringLiteral("AT+CLCK=\"") + facility + QStringLiteral("\",") +
                                mode + QLatin1Char(',') + password + QLatin1Char(',') + classCode;
        modem::send(command, 4);
        showOutcome(ui->Label5, setOutcome(command), QStringLiteral("Changes SuccessFully"),
                    QStringLiteral("Error! Changes UnsuccessFul"));
    }
    modem::log().clear();
}

// --- call waiting

// A status for some other class only (data alone, say) leaves the line as it was.
void Form12::QueryCallWaiting() {
    const QString query = QStringLiteral("AT+CCWA=1,2");
    static const std::map<replies::CallWaiting, QString> shown = {
        {replies::CallWaiting::Enabled, QStringLiteral("Current Status:Call Waiting Enabled")},
        {replies::CallWaiting::Disabled, QStringLiteral("Current Status:Call Waiting Disabled")},
        {replies::CallWaiting::Refused, QStringLiteral("Error Occured.Please Try Later")},
    };
    modem::send(query, 3);
    if (const auto waiting = replies::callWaiting(modem::reply(query)))
        ui->Label6->setText(shown.at(*waiting));
    modem::log().clear();
}

void Form12::Command5_Click() {
    ui->Frame11->show();
    ui->Command6->show();
}

void Form12::Command6_Click() {
    if (!ui->Option29->isChecked() && !ui->Option30->isChecked()) {
        Services::instance().message(QStringLiteral("Please Select the Option Correctly"),
                                     kMessageTitle);
        modem::log().clear();
        return;
    }
    const QString command = ui->Option29->isChecked() ? QStringLiteral("AT+CCWA=1,1,1")
                                                      : QStringLiteral("AT+CCWA=1,0,7");
    ui->Label6->setText(QStringLiteral("Please Wait"));
    modem::send(command, 3);
    showOutcome(ui->Label6, setOutcome(command), QStringLiteral("Changes SuccessFul"),
                QStringLiteral("Changes UnsuccessFul"));
    modem::log().clear();
}

// --- closed user groups

// The lists are filled afresh, then preset from the reply's mode, index and
// info; a field the reply lacks is empty.
void Form12::QueryClosedUserGroup() {
    ui->Label7->setText(QStringLiteral("Plz wait..."));
    const std::pair<QComboBox*, const QStringList*> lists[] = {
        {ui->Combo1, &kCugModeItems}, {ui->Combo2, &kCugIndexItems}, {ui->Combo3, &kCugInfoItems}};
    for (const auto& [box, items] : lists) {
        box->clear();
        fillDropDown(box, *items);
    }
    const QString query = QStringLiteral("AT+CCUG?");
    modem::send(query);
    const std::optional<replies::ClosedUserGroup> group =
        replies::closedUserGroup(modem::reply(query));
    if (!group) return;
    ShowCugStatus(group->mode, group->index, group->info);
    modem::log().clear();
}

void Form12::ShowCugStatus(const QString& mode, const QString& index, const QString& info) {
    const QString modeText = presetCug(ui->Combo1, mode, kCugModeTexts);
    const QString indexText = presetCug(ui->Combo2, index, kCugIndexTexts);
    const QString infoText = presetCug(ui->Combo3, info, kCugInfoTexts);
    ui->Label7->setText(QStringLiteral("Current Status: ") + modeText + QStringLiteral("    ,") +
                        indexText + QStringLiteral("   ,") + infoText);
}

// A list left empty sends nothing; a typed text that is no item sends an empty field.
void Form12::Command7_Click() {
    ui->Label7->clear();
    const QComboBox* boxes[] = {ui->Combo1, ui->Combo2, ui->Combo3};
    QStringList codes;
    for (const QComboBox* box : boxes) {
        if (box->currentText().isEmpty()) return;
        codes << cugCode(box);
    }
    const QString command = QStringLiteral("AT+CCUG=") + codes.join(QLatin1Char(','));
    modem::send(command);
    showOutcome(ui->Label7, setOutcome(command), QStringLiteral("Changes SuccessFul"),
                QStringLiteral("Changes UNSuccessFul"));
    modem::log().clear();
}
