#include "services/Form9.h"

#include "services/Log.h"

#include "ui_Form9.h"

#include "link/Modem.h"
#include "link/replies/Sim.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/TypedText.h"
#include "platform/Widgets.h"
#include "services/Passwords.h"

// How many digits a facility's password has: a SIM PIN 4 to 8, the phone
// and network lock codes 8. An empty password is never sent.
struct PasswordLength {
    int least;
    int most;
    bool admits(const QString& password) const {
        return password.size() >= least && password.size() <= most;
    }
};

struct LockFacility {
    QString code;          // "PS", "SC", "PN"
    QString unlockedState; // the status line for status digit 0
    QString lockedState;   // ... and for status digit 1
    QString lockDone, lockRefused;
    QString unlockDone, unlockRefused;
    QString passwordRefused;
    PasswordLength lockLength;   // refused with "Pasword Length Should Be 8"
    PasswordLength changeLength; // refused with "Password Lenght Should be 8"
    // "Change Status" empties the page's password box (the phone page's lock
    // option empties it instead when the preselection picks it).
    bool changeStatusEmptiesPassword;
};

namespace {

constexpr int kPasswordLength = 8; // what a password box holds at most
constexpr PasswordLength kEightDigits{kPasswordLength, kPasswordLength};
constexpr PasswordLength kPinDigits{4, kPasswordLength};
constexpr PasswordLength kAnyDigits{1, kPasswordLength};

const LockFacility kPhone = {
    QStringLiteral("PS"),
    QStringLiteral("Current Status:SIM Not Locked"),
    QStringLiteral("Current Status:SIM Locked"),
    QStringLiteral("Changes SuccessFul-LOCKED"),
    QStringLiteral("Changes Unsuccessful,Phone is Already Lock Or Invalid Password Entered"),
    QStringLiteral("Changes SuccessFul-UNLOCKED"),
    QStringLiteral("Changes Unsuccessful,Phone is Already UNLocked Or Invalid Password Entered"),
    QStringLiteral("Changes Unsuccessful,Phone is UNLocked Or Invalid Password Entered"),
    kEightDigits,
    kEightDigits,
    false,
};

const LockFacility kSimPin = {
    QStringLiteral("SC"),
    QStringLiteral("Current Status:PIN Deactivated"),
    QStringLiteral("Current Status:PIN Activated"),
    QStringLiteral("Changes SuccessFul-ACTIVATED"),
    QStringLiteral("Changes Unsuccessful,SIM PIN is Already Active Or Invalid Password Entered"),
    QStringLiteral("Changes SuccessFul-DEACTIVATED"),
    QStringLiteral(
        "Changes Unsuccessful,SIM PIN is Already DeActivated Or Invalid Password Entered"),
    QStringLiteral("Changes Unsuccessful,SIM PIN is DeActivated Or Invalid Password Entered"),
    kPinDigits,
    kPinDigits,
    true,
};

const LockFacility kNetwork = {
    QStringLiteral("PN"),
    QStringLiteral("Current Status:NetWork UNlocked"),
    QStringLiteral("Current Status:NetWork Locked"),
    QStringLiteral("Changes SuccessFul-N/W LOCKED"),
    QStringLiteral("Changes Unsuccessful,N/W is Already Lock Or Invalid Password Entered"),
    QStringLiteral("Changes SuccessFul-N/WUNLOCKED"),
    QStringLiteral("Changes Unsuccessful,N/w is Already UNLocked Or Invalid Password Entered"),
    QStringLiteral("Changes Unsuccessful,N/W is UNLocked Or Invalid Password Entered"),
    kEightDigits,
    kAnyDigits,
    true,
};

const QString kPasswordChanged = QStringLiteral("Changes SuccessFul-PASSWORD CHANGED");
const QString kPleaseWait = QStringLiteral("Please Wait....");

const QString kSuccessColour = QStringLiteral("color: #000040;");
const QString kFailureColour = QStringLiteral("color: #c00000;");

// "AT+CLCK=" (mode, password) or "AT+CPWD=" (old, new password): the quoted
// facility code and two unquoted fields.
QString facilityCommand(const QString& command, const LockFacility& facility, const QString& first,
                        const QString& second) {
    return command + QLatin1Char('"') + facility.code + QStringLiteral("\",") + first +
           QLatin1Char(',') + second;
}

} // namespace

Form9::Form9() : ui(std::make_unique<Ui::Form9>()) {
    setLayer(lcServices);
    ui->setupUi(this);
    ui->TabStrip1->addTab(QStringLiteral("PHONE"));
    ui->TabStrip1->addTab(QStringLiteral("SIM PIN"));
    ui->TabStrip1->addTab(QStringLiteral("NETWORK"));
    pages_ = {{
        {&kPhone, ui->Frame2, ui->Label2, ui->Option1, ui->Option2, ui->Label3, ui->Text1,
         ui->Command1, ui->Option3, ui->Label4, ui->Text2, ui->Label5, ui->Text3, ui->Command3},
        {&kSimPin, ui->Frame3, ui->Label6, ui->Option4, ui->Option5, ui->Label7, ui->Text4,
         ui->Command5, ui->Option6, ui->Label8, ui->Text5, ui->Label9, ui->Text6, ui->Command6},
        {&kNetwork, ui->Frame4, ui->Label10, ui->Option7, ui->Option8, ui->Label11, ui->Text7,
         ui->Command8, ui->Option9, ui->Label12, ui->Text8, ui->Label13, ui->Text9, ui->Command9},
    }};
    for (const Page& page : pages_)
        for (QLineEdit* box : page.passwordBoxes())
            limitToDigits(box);
    connectHandlers();
    setBorder(Border::FixedWithMinimize);
    setClientTwips(6600, 5400);
}

Form9::~Form9() = default;

std::array<QWidget*, 6> Form9::Page::lockControls() const {
    return {lock, unlock, passwordLabel, password, lockOk, changePassword};
}

std::array<QWidget*, 5> Form9::Page::changeControls() const {
    return {oldLabel, newLabel, oldPassword, newPassword, changeOk};
}

std::array<QLineEdit*, 3> Form9::Page::passwordBoxes() const {
    return {password, oldPassword, newPassword};
}

void Form9::connectHandlers() {
    onClicks(this, {{ui->Command1, &Form9::Command1_Click},
                    {ui->Command2, &Form9::Command2_Click},
                    {ui->Command3, &Form9::Command3_Click},
                    {ui->Command4, &Form9::Command4_Click},
                    {ui->Command5, &Form9::Command5_Click},
                    {ui->Command6, &Form9::Command6_Click},
                    {ui->Command7, &Form9::Command7_Click},
                    {ui->Command8, &Form9::Command8_Click},
                    {ui->Command9, &Form9::Command9_Click},
                    {ui->Command10, &Form9::Command10_Click},
                    {ui->Command11, &Form9::Command11_Click},
                    {ui->Option1, &Form9::Option1_Click},
                    {ui->Option3, &Form9::Option3_Click},
                    {ui->Option6, &Form9::Option6_Click},
                    {ui->Option9, &Form9::Option9_Click}});
    onTabClick(ui->TabStrip1, this, &Form9::TabStrip1_Click);
}

// The phone page shows at design; the status query runs at every load.
void Form9::Form_Load() {
    runGuarded(lcServices, [this] { QueryStatus(); });
}

// "AT+CLCK?" lists the facilities with their status digits. A facility whose
// digit is neither 0 nor 1 keeps its line, and the others are still read.
void Form9::QueryStatus() {
    const QString query = QStringLiteral("AT+CLCK?");
    ui->Label1->setText(kPleaseWait);
    modem::send(query);
    const QString reply = modem::reply(query);
    for (const Page& page : pages_) {
        const LockFacility& facility = *page.facility;
        const std::optional<QString> digit = replies::lockStatus(reply, facility.code);
        if (!digit) continue;
        ui->Label1->clear();
        if (*digit == QLatin1String("0"))
            page.status->setText(facility.unlockedState);
        else if (*digit == QLatin1String("1"))
            page.status->setText(facility.lockedState);
    }
    modem::log().clear();
}

void Form9::ChangeStatus(const Page& page) {
    for (QWidget* control : page.lockControls())
        control->show();
    if (page.facility->changeStatusEmptiesPassword) page.password->clear();
    // The options show the current state; picking one runs its click handler.
    const QString state = page.status->text();
    if (state == page.facility->unlockedState)
        selectOption(page.unlock);
    else if (state == page.facility->lockedState)
        selectOption(page.lock);
}

void Form9::Option1_Click() {
    ui->Label3->show();
    ui->Text1->show();
    ui->Text1->clear();
}

void Form9::ShowChangePasswordFields(const Page& page) {
    for (QWidget* control : page.changeControls())
        control->show();
    page.oldPassword->clear();
    page.newPassword->clear();
}

// The lock option locks, the unlock option unlocks; with neither nothing is sent.
void Form9::LockOrUnlock(const Page& page) {
    const LockFacility& facility = *page.facility;
    const ForgetPasswords forget{page.password};
    const QString password = page.password->text().trimmed();
    if (!facility.lockLength.admits(password)) {
        Services::instance().message(QStringLiteral("Pasword Length Should Be 8"), kMessageTitle);
    } else if (typed::isDigits(password) && (page.lock->isChecked() || page.unlock->isChecked())) {
        const bool lock = page.lock->isChecked();
        const QString command =
            facilityCommand(QStringLiteral("AT+CLCK="), facility,
                            lock ? QStringLiteral("1") : QStringLiteral("0"), password);
        modem::send(command);
        ShowResult(page, command, lock ? facility.lockDone : facility.unlockDone,
                   lock ? facility.lockRefused : facility.unlockRefused);
    }
    modem::log().clear();
}

void Form9::ChangePassword(const Page& page) {
    const LockFacility& facility = *page.facility;
    const ForgetPasswords forget{page.oldPassword, page.newPassword};
    const QString old = page.oldPassword->text().trimmed();
    const QString fresh = page.newPassword->text().trimmed();
    if (!facility.changeLength.admits(old) || !facility.changeLength.admits(fresh)) {
        Services::instance().message(QStringLiteral("Password Lenght Should be 8"), kMessageTitle);
    } else if (typed::isDigits(old) && typed::isDigits(fresh)) {
        const QString command = facilityCommand(QStringLiteral("AT+CPWD="), facility, old, fresh);
        modem::send(command);
        ShowResult(page, command, kPasswordChanged, facility.passwordRefused);
    }
    modem::log().clear();
}

// "OK" and "ERROR" are two independent tests: a reply holding both ends with
// the failure. The result's colour stays until the page's next result.
void Form9::ShowResult(const Page& page, const QString& command, const QString& done,
                       const QString& refused) {
    if (const auto ok = modem::log().succeeded(command, TerminalLog::Judged::ErrorWins)) {
        page.status->setStyleSheet(*ok ? kSuccessColour : kFailureColour);
        page.status->setText(*ok ? done : refused);
    }
}

void Form9::Command11_Click() {
    modem::networkset();
}

// A page shows only its status line and "Change Status" again, with its boxes
// empty; the status lines keep the last known state.
void Form9::TabStrip1_Click() {
    const int shown = ui->TabStrip1->currentIndex();
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
        pages_[static_cast<size_t>(i)].frame->setVisible(i == shown);
    const Page& page = pages_.at(static_cast<size_t>(shown));
    for (QWidget* control : page.lockControls())
        control->hide();
    for (QWidget* control : page.changeControls())
        control->hide();
    for (QLineEdit* box : page.passwordBoxes())
        box->clear();
    modem::log().clear();
}
