#include "calls/Form3.h"

#include "calls/Log.h"

#include "ui_Form3.h"

#include "calls/Form4.h"
#include "link/MainLines.h"
#include "link/Modem.h"
#include "link/replies/Calls.h"
#include "platform/Exchange.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Pictures.h"
#include "platform/Services.h"
#include "platform/Text.h"
#include "platform/TypedText.h"

#include <functional>
#include <optional>

namespace {

// What a look at the log during a call shows, by the dial's outcome.
struct CallStatus {
    replies::DialOutcome outcome;
    QString status;
    bool withNumber; // the dial box text follows the status
};

const QString kCallError = QStringLiteral("Error Occurred.Plz Disconnect");

const CallStatus kCallStatuses[] = {
    {replies::DialOutcome::Connected, QStringLiteral("Connected SuccessFully-"), true},
    {replies::DialOutcome::NoAnswer, QStringLiteral("NO ANSWER.Plz Disconnect"), false},
    {replies::DialOutcome::NoCarrier, QStringLiteral("No Carrier.Plz Disconnect"), false},
    {replies::DialOutcome::Busy, QStringLiteral("Busy.Plz Disconnect"), false},
    // Redial only: the modem has no number to dial again.
    {replies::DialOutcome::Refused, kCallError, false},
};

constexpr int kCallPolls = 9;
constexpr double kCallPollSeconds = 2;

const QString kRedial = QStringLiteral("ATDL");

const QString kIndexField = QStringLiteral("Index");
const QString kNumberField = QStringLiteral("Number");
const QString kNameField = QStringLiteral("Name");
const QString kUsedField = QStringLiteral("UsedIndex");
const QString kCapacityField = QStringLiteral("TotalIndex");

// The entry is gone from the SIM, but the copy keeps it.
const QString kErasedFromSimOnly = QStringLiteral("Number Erased From SIM.") + db::kUnwritableText;

// The number a count box holds; none when it holds no 16-bit number.
std::optional<int> count16(const QString& text) {
    try {
        return typed::integer16(text);
    } catch (const text::CutError&) {
        return std::nullopt;
    }
}

bool isIndex(const QString& text) {
    return !text.isEmpty() && typed::isNumber(text, typed::Blanks::Refused) && text.toInt() > 0;
}

} // namespace

Form3::Form3() : ui(std::make_unique<Ui::Form3>()) {
    setLayer(lcCalls);
    ui->setupUi(this);
    keys_ = {ui->Image0, ui->Image1, ui->Image2, ui->Image3, ui->Image4,
             ui->Image5, ui->Image6, ui->Image7, ui->Image8, ui->Image9};
    ui->Command1->setIcon(handsetPicture(QColor(0x00, 0x90, 0x00), 24));
    ui->Command1->setIconSize(QSize(24, 24));
    ui->Command4->setIcon(handsetPicture(QColor(0xc0, 0x00, 0x00), 24));
    ui->Command4->setIconSize(QSize(24, 24));
    connectHandlers();
    setBorder(Border::FixedWithMinimize);
    setClientTwips(7575, 5055);
}

Form3::~Form3() = default;

void Form3::connectHandlers() {
    onClick(ui->Command1, this, &Form3::Command1_Click);
    onClick(ui->Command8, this, &Form3::Command8_Click);
    onClick(ui->Command4, this, &Form3::Command4_Click);
    onClick(ui->Command5, this, &Form3::Command5_Click);
    onClick(ui->Command3, this, &Form3::Command3_Click);
    onClick(ui->Command2, this, &Form3::Command2_Click);
    // Backspace and Clear cannot fail.
    connect(ui->Command6, &QPushButton::clicked, this, &Form3::Command6_Click);
    connect(ui->Command7, &QPushButton::clicked, this, &Form3::Command7_Click);
    for (int digit = 0; digit < static_cast<int>(keys_.size()); ++digit)
        installClickHandler(Image(digit),
                            [this, digit] { runGuarded(lcCalls, [&] { Image_Click(digit); }); });
    onClick(ui->Label2, this, &Form3::Label2_Click);
    onClick(ui->Label4, this, &Form3::Label4_Click);
    onClick(ui->Label1, this, &Form3::Label1_Click);
    on(ui->List1, &QListWidget::itemClicked, this, &Form3::List1_Click);
}

QString Form3::listRow(const QString& index, const QString& number, const QString& name) {
    const int padding = std::max<int>(1, 20 - number.size());
    return index + QStringLiteral("  ") + number + QString(padding, QLatin1Char(' ')) + name;
}

void Form3::Form_Load() {
    // A phonebook that cannot be read leaves the list empty.
    runGuarded(lcCalls, [&] {
        Services::instance().enterProgramFolder();
        if (!ListPhonebook()) return;
        // The local copy is empty: the dispatcher downloads the SIM phonebook
        // when the modem answers.
        if (Data1.Recordset().RecordCount() == 0)
            exchange::startWhenFree(lcCalls, [] { modem::send(QStringLiteral("AT+CPBS?")); });
    });
}

void Form3::Form_Unload() {
    FeatureWindow::Form_Unload();
    mainwindow::setStatus(QString());
}

// ---- what other windows show here

void Form3::ShowPhonebookUnreadable() {
    ui->Label3->setText(db::kUnreadableText);
}

void Form3::ShowCallStatus(const QString& text) {
    ui->Label3->setText(text);
}

bool Form3::ListPhonebook() {
    ui->List1->clear();
    if (!db::isReadable(Data1) || !db::isReadable(Data2)) {
        ShowPhonebookUnreadable();
        return false;
    }
    db::Recordset& entries = Data1.Recordset();
    if (!entries.isEOF())
        for (entries.MoveFirst(); !entries.isEOF(); entries.MoveNext())
            ui->List1->addItem(listRow(entries.Fields(kIndexField).Value(),
                                       entries.Fields(kNumberField).Value(),
                                       entries.Fields(kNameField).Value()));
    db::Recordset& details = Data2.Recordset();
    if (!details.isEOF()) {
        details.MoveFirst();
        ui->Text4->setText(details.Fields(kCapacityField).Value());
        ui->Text2->setText(details.Fields(kUsedField).Value());
    }
    return true;
}

void Form3::addRecord(const QString& index, const QString& number, const QString& name) {
    db::Recordset& records = Data1.Recordset();
    records.AddNew();
    records.Fields(kIndexField).setValue(index);
    records.Fields(kNumberField).setValue(number);
    records.Fields(kNameField).setValue(name);
    records.Update();
}

std::optional<QString> Form3::CallerName(const QString& number) {
    Data1.Refresh();
    db::Recordset& records = Data1.Recordset();
    records.FindFirst(db::Criterion::lastCharsEqual(kNumberField, 10, number.right(10)));
    if (records.NoMatch()) return std::nullopt;
    return records.Fields(kNameField).Value();
}

Form3::PhonebookCounts Form3::Counts() const {
    return {typed::integer16(ui->Text2->text()), typed::integer16(ui->Text4->text())};
}

std::set<int> Form3::StoredIndexes() {
    std::set<int> indexes;
    Data1.Refresh();
    db::Recordset& records = Data1.Recordset();
    if (records.isEOF()) return indexes;
    for (records.MoveFirst(); !records.isEOF(); records.MoveNext())
        indexes.insert(records.Fields(kIndexField).Value().trimmed().toInt());
    return indexes;
}

bool Form3::EntryAdded(int index, const QString& number, const QString& name, int usedBefore) {
    const QString stored = name.toUpper();
    const bool written = writeToCopy([&] {
        addRecord(QString::number(index), number, stored);
        rewriteUsedCount(usedBefore, usedBefore + 1);
    });
    if (!written) return false;
    ui->List1->addItem(listRow(QString::number(index), number, stored));
    ui->Text2->setText(QString::number(usedBefore + 1));
    ShowCallStatus(QStringLiteral("New Entry  ") + number);
    Data1.Refresh();
    return true;
}

void Form3::rewriteUsedCount(int before, int after) {
    Data2.Refresh();
    db::Recordset& details = Data2.Recordset();
    details.FindFirst(db::Criterion::equals(kUsedField, QString::number(before)));
    if (details.NoMatch()) return;
    details.Edit();
    details.Fields(kCapacityField).setValue(ui->Text4->text());
    details.Fields(kUsedField).setValue(QString::number(after));
    details.Update();
}

bool Form3::writeToCopy(const std::function<void()>& writes) {
    try {
        db::Transaction copy;
        writes();
        copy.Commit();
        return true;
    } catch (const db::DbError& failure) {
        failures::logFailure(lcCalls, failure);
        // The record sets still hold what was taken back.
        db::isReadable(Data1);
        db::isReadable(Data2);
        return false;
    }
}

// ---- dialling

void Form3::Command1_Click() {
    const QString number = ui->Text1->text();
    if (number.isEmpty() || !typed::isDialString(number)) {
        Services::instance().message(QStringLiteral("Please Enter Correct Number To Dial"),
                                     kMessageTitle);
        return;
    }
    const QString dial = QStringLiteral("ATD") + number + QLatin1Char(';');
    modem::send(dial);
    ShowCallStatus(QStringLiteral("Dialing....") + number.trimmed());
    watchCall(dial, false);
}

void Form3::Command8_Click() {
    modem::send(kRedial);
    TerminalLog& log = modem::log();
    const std::optional<QString> number = replies::redialNumber(modem::reply(kRedial));
    if (!number) {
        // No number to dial again: the modem refused.
        if (log.succeeded(kRedial, TerminalLog::Judged::Final) != false) return;
        ShowCallStatus(kCallError);
        log.clear();
        return;
    }
    ShowCallStatus(QStringLiteral("Redialing ") + *number);
    ui->Text1->setText(*number);
    watchCall(kRedial, true);
    log.clear();
}

void Form3::watchCall(const QString& dialCommand, bool watchErrors) {
    for (int poll = 1; poll <= kCallPolls; ++poll) {
        if (const auto outcome = replies::dialOutcome(modem::reply(dialCommand), watchErrors))
            ShowCallStatus(statusOf(*outcome));
        Pause(kCallPollSeconds);
    }
}

QString Form3::statusOf(replies::DialOutcome outcome) const {
    for (const CallStatus& shown : kCallStatuses)
        if (shown.outcome == outcome)
            return shown.status + (shown.withNumber ? ui->Text1->text() : QString());
    return QString();
}

void Form3::Command4_Click() {
    modem::send(QStringLiteral("ATH"));
    ShowCallStatus(QStringLiteral("DisConnected "));
    modem::log().clear();
    ui->Text1->clear();
}

// ---- the keypad and the dial box

void Form3::Image_Click(int Index) {
    sendKey(QString::number(Index).right(1));
}

void Form3::Label2_Click() {
    sendKey(QStringLiteral("#"));
}

void Form3::Label4_Click() {
    sendKey(QStringLiteral("*"));
}

// The key joins the dial box and goes out as a tone, whether a call is up or not.
void Form3::sendKey(const QString& key) {
    ui->Text1->setText(ui->Text1->text() + key);
    modem::send(QStringLiteral("AT+VTS=") + key);
    modem::log().clear();
}

void Form3::Command6_Click() {
    QString number = ui->Text1->text();
    number.chop(1);
    ui->Text1->setText(number);
}

void Form3::Command7_Click() {
    ui->Text1->clear();
}

void Form3::Label1_Click() {
    modem::networkset();
}

// ---- the phonebook

// The row begins with the index and a blank; the rest, trimmed, with the
// number, which ends at the next blank (a row without a name has none).
void Form3::List1_Click() {
    const QString row = ui->List1->currentItem()->text();
    const QString rest = row.mid(row.indexOf(QLatin1Char(' ')) + 1).trimmed();
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    ui->Text1->setText(blank < 0 ? rest : rest.left(blank));
}

void Form3::Command5_Click() {
    ui->List1->clear();
    ShowCallStatus(QStringLiteral("Please Wait......."));
    // The download runs inside this wait, when the dispatcher meets the reply.
    modem::send(QStringLiteral("AT+CPBS?"));
    ShowCallStatus(QString());
    // The new copy, or the old one when the download did not replace it.
    ListPhonebook();
}

QString Form3::selectedIndex() const {
    const QListWidgetItem* row = ui->List1->currentItem();
    if (!row || !row->isSelected()) return QString();
    const QString index = row->text().section(QLatin1Char(' '), 0, 0).trimmed();
    return isIndex(index) ? index : QString();
}

void Form3::Command3_Click() {
    const QString index = selectedIndex();
    if (index.isEmpty()) {
        Services::instance().message(QStringLiteral("Select the Number To Delete In PhoneBook"),
                                     kMessageTitle);
        return;
    }
    // The SIM entry is not erased while the copy would keep it.
    if (!db::isWritable()) {
        Services::instance().message(db::kUnwritableText, kMessageTitle);
        return;
    }
    const QString row = ui->List1->currentItem()->text();
    const QString erase = QStringLiteral("AT+CPBW=") + index;
    modem::sendForResult(erase);
    if (modem::log().succeeded(erase, TerminalLog::Judged::Final) != true) {
        Services::instance().message(QStringLiteral("Error Occurred.Try Again"), kMessageTitle);
        return;
    }
    // A count box that holds no number must not keep the record of an entry
    // the SIM no longer has: the record goes all the same.
    const std::optional<int> used = count16(ui->Text2->text());
    const bool written = writeToCopy([&] {
        Data1.Refresh();
        db::Recordset& records = Data1.Recordset();
        records.FindFirst(db::Criterion::equals(kIndexField, index));
        if (!records.NoMatch()) records.Delete();
        if (used) rewriteUsedCount(*used, *used - 1);
    });
    if (!written) {
        // The row stays, as the copy keeps it: a second Delete can take it.
        Services::instance().message(kErasedFromSimOnly, kMessageTitle);
        return;
    }
    ShowCallStatus(QStringLiteral("Number Deleted"));
    removeRow(row);
    if (used) ui->Text2->setText(QString::number(*used - 1));
    Data1.Refresh();
    Data2.Refresh();
    ui->Text1->clear();
}

// The row is found again by its text: the list may have been filled anew
// while the modem answered.
void Form3::removeRow(const QString& row) {
    const QList<QListWidgetItem*> found = ui->List1->findItems(row, Qt::MatchExactly);
    if (!found.isEmpty()) delete ui->List1->takeItem(ui->List1->row(found.first()));
}

void Form3::Command2_Click() {
    form<Form4>().Show();
    hide();
}
