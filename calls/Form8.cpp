#include "calls/Form8.h"

#include "calls/Log.h"

#include "ui_Form8.h"

#include "link/Modem.h"
#include "link/replies/Messages.h"
#include "platform/Clock.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/TypedText.h"
#include "platform/Widgets.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace {

struct StatusReportPreset {
    QString text;
    QRadioButton* Ui::Form8::*option;
};

const StatusReportPreset kReportsEnabled{QStringLiteral("Status Report Enabled"),
                                         &Ui::Form8::Option3};
const StatusReportPreset kReportsDisabled{QStringLiteral("Status Report Disabled"),
                                          &Ui::Form8::Option4};

const QStringList kMessageIndexes = {
    QStringLiteral("1"), QStringLiteral("2"),  QStringLiteral("3"),  QStringLiteral("4"),
    QStringLiteral("5"), QStringLiteral("6"),  QStringLiteral("7"),  QStringLiteral("8"),
    QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12")};

constexpr int kMessageLength = 160;
const QChar kEndOfText(26);
const QChar kCancelEntry(27);
const QString kRead = QStringLiteral("AT+CMGR= ");
const QString kNoMessage = QStringLiteral("No Message");

// ---- reading a stored message

// What the read-out shows after the number, by the message's status.
const std::map<QString, QString> kStatusTags = {
    {QStringLiteral("STO SENT"), QStringLiteral("  ,SENTMSG: ")},
    {QStringLiteral("STO UNSENT"), QStringLiteral("  ,UNSENTMSG: ")},
    {QStringLiteral("REC READ"), QStringLiteral("  ,READMSG: ")},
    {QStringLiteral("REC UNREAD"), QStringLiteral("  ,UNREADMSG: ")},
};

// Reads the message stored at `index` into a box through `show`: "No
// Message" when the modem refuses, else nothing, then what `shown` makes of
// the message the reply holds. The log is emptied before and after.
template <typename Show, typename Shown>
void readStored(const QString& index, Show show, Shown shown) {
    TerminalLog& log = modem::log();
    log.clear();
    const QString read = kRead + index;
    modem::send(read);
    show(log.succeeded(read, TerminalLog::Judged::Final) == false ? kNoMessage : QString());
    if (const auto message = replies::storedMessage(modem::reply(read))) {
        const auto tag = kStatusTags.find(message->status);
        if (tag != kStatusTags.end()) show(shown(*message, tag->second));
    }
    log.clear();
}

// ---- writing a message

// A command the modem has not answered may still be prompted for after the
// wait, and the modem would then take the next command as the text: escape
// ends the entry, nothing sent or stored. The modem's answer to it comes into
// this exchange's log, not the next one's.
void cancelLateEntry(modem::TextEntry& entry, const TerminalLog& log, const QString& command) {
    if (log.succeeded(command, TerminalLog::Judged::Final).has_value()) return;
    entry.write(QString(kCancelEntry), 1);
}

// Makes the record at `position` (counted from 0) current; false when there is none.
bool moveTo(db::Recordset& records, int position) {
    if (records.isBOF() || position < 0) return false;
    records.MoveFirst();
    for (int i = 0; i < position && !records.isEOF(); ++i)
        records.MoveNext();
    return !records.isEOF();
}

} // namespace

Form8::Form8() : ui(std::make_unique<Ui::Form8>()) {
    setLayer(lcCalls);
    ui->setupUi(this);
    connectHandlers();
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9015, 6735);
}

Form8::~Form8() = default;

void Form8::connectHandlers() {
    onClicks(this, {{ui->Command1, &Form8::Command1_Click},
                    {ui->Command2, &Form8::Command2_Click},
                    {ui->Command3, &Form8::Command3_Click},
                    {ui->Command4, &Form8::Command4_Click},
                    {ui->Command5, &Form8::Command5_Click},
                    {ui->Command6, &Form8::Command6_Click},
                    {ui->Command7, &Form8::Command7_Click},
                    {ui->Command8, &Form8::Command8_Click},
                    {ui->Command9, &Form8::Command9_Click}});
    on(ui->Combo2, &QComboBox::activated, this, &Form8::Combo2_Click);
    on(ui->List1, &QListWidget::itemClicked, this, &Form8::List1_Click);
    on(ui->Text5, &QLineEdit::textChanged, this, &Form8::Text5_Change);
    onClick(ui->Label7, this, &Form8::Label7_Click);
    connect(ui->Text2->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) {
                changedAt_ = position;
                added_ = added;
            });
    connect(ui->Text2, &QPlainTextEdit::textChanged, this, &Form8::keepWithinLimit);
}

void Form8::Form_Load() {
    Services::instance().enterProgramFolder();
    fillDropDown(ui->Combo1, kMessageIndexes);
    fillDropDown(ui->Combo2, kMessageIndexes);
}

void Form8::ShowNotice(const QString& text) {
    ui->Label4->setText(text);
}

void Form8::ShowServiceCentre(const QString& number) {
    ui->Text4->setText(number);
    ui->Label4->setText(QString());
}

void Form8::PresetStatusReports() {
    if (const auto routed = replies::statusReports(modem::reply(QStringLiteral("AT+CNMI?")))) {
        const StatusReportPreset& preset = *routed ? kReportsEnabled : kReportsDisabled;
        ui->Label6->setText(preset.text);
        selectOption((*ui).*preset.option);
    }
}

// ---- the editor

void Form8::Text5_Change() {
    ui->Text2->setProperty("maxLength",
                           kMessageLength - static_cast<int>(ui->Text5->text().size()));
}

// Only what was just put in is cut back, from its end: a limit lowered by a
// longer header leaves the text already typed whole.
void Form8::keepWithinLimit() {
    const int added = std::exchange(added_, 0);
    if (settingText_) return;
    const int length = static_cast<int>(ui->Text2->toPlainText().size());
    const int excess = length - ui->Text2->property("maxLength").toInt();
    const int cut = std::min(excess, added);
    if (cut <= 0) return;
    const int end = std::min(changedAt_ + added, length);
    QTextCursor cursor(ui->Text2->document());
    cursor.setPosition(end - cut);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void Form8::setMessageText(const QString& text) {
    settingText_ = true;
    ui->Text2->setPlainText(text);
    settingText_ = false;
}

void Form8::Command7_Click() {
    ui->Text1->clear();
    ui->Text2->clear();
}

void Form8::Command5_Click() {
    ui->Combo2->show();
}

// ---- sending and saving

void Form8::Command1_Click() {
    static const Submission send{QStringLiteral("AT+CMGS="),
                                 6,
                                 QStringLiteral("+CMGS:"),
                                 QStringLiteral("Message Sent SuccessFully At "),
                                 true,
                                 QStringLiteral("Message Not Sent.Error Occurred")};
    ui->Combo2->hide();
    submit(send, ui->Text1->text(),
           ui->Text5->text().trimmed() + ui->Text2->toPlainText().trimmed());
}

// The header is not stored.
void Form8::Command2_Click() {
    static const Submission save{
        QStringLiteral("AT+CMGW="),      3,     QStringLiteral("+CMGW:"),
        QStringLiteral("Message Saved"), false, QStringLiteral("Message Not Saved.Error Occurred")};
    submit(save, ui->Text1->text(), ui->Text2->toPlainText().trimmed());
}

// The number and the text are checked before anything is written, so that a
// refusal never leaves the modem waiting for a text (one the line cannot
// carry among them); without the prompt the text is not written, or it would
// run as commands.
void Form8::submit(const Submission& submission, const QString& number, const QString& text) {
    if (number.isEmpty() || !typed::isNumber(number, typed::Blanks::Allowed)) {
        Services::instance().message(QStringLiteral("Please Enter Destination Number"),
                                     kMessageTitle);
        return;
    }
    ui->Label4->clear();
    if (!typed::isMessageText(text) || !typed::isLineText(text)) {
        ui->Label4->setText(submission.failed);
        return;
    }
    const QString command = submission.command + number;
    modem::TextEntry entry;
    entry.send(command);
    TerminalLog& log = modem::log();
    // A device that went away meanwhile takes no text, prompted or not.
    const bool gone = !modem::isPortOpen();
    if (gone || !replies::prompted(modem::reply(command))) {
        ui->Label4->setText(submission.failed);
        if (!gone) cancelLateEntry(entry, log, command);
        log.clear();
        return;
    }
    entry.write(text + kEndOfText, submission.seconds);
    const bool taken = replies::hasLineStarting(replies::replyToText(modem::reply(command), text),
                                                submission.reply);
    const QString time = Clock::instance().now().toString(QStringLiteral("hh:mm:ss"));
    ui->Label4->setText(taken ? submission.done + (submission.doneWithTime ? time : QString())
                              : submission.failed);
    log.clear();
}

// ---- reading and deleting

void Form8::Command3_Click() {
    ui->Text3->clear();
    ui->Label4->clear();
    readStored(
        ui->Combo1->currentText(), [this](const QString& text) { ui->Text3->setPlainText(text); },
        [](const replies::StoredMessage& message, const QString& tag) {
            return QStringLiteral("From:") + message.number + tag + message.body;
        });
}

// A stored message back into the editor: its text only.
void Form8::Combo2_Click() {
    setMessageText(QString());
    readStored(
        ui->Combo2->currentText(), [this](const QString& text) { setMessageText(text); },
        [](const replies::StoredMessage& message, const QString&) { return message.body; });
}

void Form8::Command4_Click() {
    const QString index = ui->Combo1->currentText();
    if (index.isEmpty()) return;
    ui->Text3->clear();
    const QString erase = QStringLiteral("AT+CMGD=") + index;
    modem::send(erase);
    ui->Text3->setPlainText(modem::log().succeeded(erase, TerminalLog::Judged::Final) == true
                                ? QStringLiteral("Message Deleted")
                                : QStringLiteral("Message Not Deleted"));
    modem::log().clear();
}

// ---- the phonebook and the service centre

void Form8::Command6_Click() {
    // A file this program cannot read lists nothing, whatever names it holds.
    db::DataControl entries(db::kPhoneBookFile, QStringLiteral("DATA"));
    if (!db::isReadable(entries)) {
        ui->List1->clear();
        ui->List1->setEnabled(false);
        ui->Label4->setText(db::kUnreadableText);
        return;
    }
    Data1.setRecordSource(QStringLiteral("select name from data"));
    Data1.Refresh();
    db::Recordset& names = Data1.Recordset();
    if (names.isEOF() || names.isBOF()) {
        Services::instance().message(QStringLiteral("Empty !No Numbers Stored"), kMessageTitle);
        ui->List1->setEnabled(false);
        return;
    }
    ui->List1->setEnabled(true);
    ui->List1->clear();
    for (names.MoveFirst(); !names.isEOF(); names.MoveNext())
        ui->List1->addItem(names.Fields(QStringLiteral("name")).Value());
    // The dispatcher reads the reply into the number box.
    modem::send(QStringLiteral("AT+CSCA?"));
    ui->Label3->show();
    ui->Text4->show();
}

// The entry is the one at the row's position in the table, so that two
// entries with one name each give their own number; when the table has
// changed since it was listed, the first entry of that name.
void Form8::List1_Click() {
    const QString name = ui->List1->currentItem()->text();
    Data1.setRecordSource(QStringLiteral("select * from data"));
    Data1.Refresh();
    db::Recordset& records = Data1.Recordset();
    const db::Criterion listed = db::Criterion::equals(QStringLiteral("name"), name);
    if (!moveTo(records, ui->List1->currentRow()) ||
        !listed.matches(records.Fields(QStringLiteral("name")).Value())) {
        records.FindFirst(listed);
        if (records.NoMatch()) return;
    }
    ui->Text1->setText(records.Fields(QStringLiteral("number")).Value());
}

void Form8::Label7_Click() {
    modem::networkset();
}

// ---- cell broadcast and status reports

void Form8::Command8_Click() {
    static const std::vector<Choice> choices = {
        {&Ui::Form8::Option1,
         {QStringLiteral("AT+CSCB=1")},
         QStringLiteral("Cell BroadCast Enabled"),
         QStringLiteral("Error,Cudnt Enable"),
         false},
        {&Ui::Form8::Option2,
         {QStringLiteral("AT+CSCB=0")},
         QStringLiteral("Cell BroadCast Disabled"),
         QStringLiteral("Error,Cudnt Disable"),
         false},
    };
    ui->Label4->clear();
    apply(choices);
}

void Form8::Command9_Click() {
    static const std::vector<Choice> choices = {
        {&Ui::Form8::Option3,
         {QStringLiteral("AT+CSMP=33,167,0,0"), QStringLiteral("AT+CNMI=0,1,0,1,0")},
         QStringLiteral("Status Report Enabled"),
         QStringLiteral("Error,Cudnt Enable Status report"),
         true},
        {&Ui::Form8::Option4,
         {QStringLiteral("AT+CNMI=0,1,0,0,0")},
         QStringLiteral("Status Report Disabled"),
         QStringLiteral("Error,Cudnt Disable"),
         true},
    };
    ui->Label4->setText(QStringLiteral("Please Wait"));
    apply(choices);
}

// Every command of the option goes out; one refusal among them makes the
// outcome a failure. With no option chosen nothing is sent.
void Form8::apply(const std::vector<Choice>& choices) {
    const auto chosen = std::find_if(choices.begin(), choices.end(), [this](const Choice& c) {
        return ((*ui).*c.option)->isChecked();
    });
    if (chosen == choices.end()) return;
    TerminalLog& log = modem::log();
    log.clear();
    for (const QString& command : chosen->commands)
        modem::send(command, 1, modem::LogFirst::Keep);
    if (const auto ok = log.succeeded(QString(), TerminalLog::Judged::ErrorWins)) {
        ui->Label4->setText(*ok ? chosen->done : chosen->failed);
        if (*ok && chosen->stateLine) ui->Label6->setText(chosen->done);
    }
    log.clear();
}
