#include "calls/Form4.h"

#include "calls/Log.h"

#include "ui_Form4.h"

#include "calls/Form3.h"
#include "link/Modem.h"
#include "link/SimPhonebook.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/TypedText.h"

namespace {

const QString kCannotAdd = QStringLiteral("Error Occurred.Cannot Add");

// An index is free when the SIM shows no entry there: the read answers "OK"
// alone or "not found".
bool isFree(int index) {
    return simphonebook::readPosition(index).slot == replies::Slot::Empty;
}

// Where the new entry goes: after the used ones when the SIM fills its
// indexes from 1 up, as after a download; after a deletion in the middle,
// the lowest index the local copy does not hold. Every index is read first,
// so that no entry on the SIM is overwritten. 0 when none is free.
int freeIndex(const Form3::PhonebookCounts& counts, const std::set<int>& stored) {
    const int next = counts.used + 1;
    if (isFree(next)) return next;
    for (int index = 1; index <= counts.capacity; ++index)
        if (index != next && !stored.count(index) && isFree(index)) return index;
    return 0;
}

// The number goes unquoted with an empty type field; the name in quotes
// after a blank.
QString writeCommand(int index, const QString& number, const QString& name) {
    return QStringLiteral("AT+CPBW=") + QString::number(index) + QLatin1Char(',') + number +
           QStringLiteral(",,\" ") + name + QLatin1Char('"');
}

} // namespace

Form4::Form4() : FeatureWindow(&showForm<Form3>), ui(std::make_unique<Ui::Form4>()) {
    setLayer(lcCalls);
    ui->setupUi(this);
    onClick(ui->Command1, this, &Form4::Command1_Click);
    onClick(ui->Command2, this, &Form4::Command2_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(4455, 2295);
}

Form4::~Form4() = default;

void Form4::Form_Load() {
    Services::instance().enterProgramFolder();
    for (QLineEdit* box : {ui->Text1, ui->Text2, ui->Text3, ui->Text4})
        box->clear();
}

void Form4::Command1_Click() {
    const QString number = ui->Text1->text() + ui->Text2->text() + ui->Text3->text();
    const QString name = ui->Text4->text();
    if (ui->Text3->text().isEmpty() || name.isEmpty() ||
        !typed::isNumber(number, typed::Blanks::Refused) || !typed::isQuotable(name)) {
        giveUp(QStringLiteral("Please Enter Valid Number/Name"));
        return;
    }
    Form3& calls = form<Form3>();
    const Form3::PhonebookCounts counts = calls.Counts();
    if (counts.used >= counts.capacity) {
        giveUp(QStringLiteral("Address Book full"));
        return;
    }
    const int index = freeIndex(counts, calls.StoredIndexes());
    if (!index) {
        giveUp(kCannotAdd);
        return;
    }
    const QString write = writeCommand(index, number, name);
    modem::sendForResult(write);
    if (modem::log().result(write) != TerminalLog::Result::Ok) {
        giveUp(kCannotAdd);
        return;
    }
    calls.EntryAdded(index, number, name, counts.used);
    returnToCalls();
}

void Form4::Command2_Click() {
    returnToCalls();
}

void Form4::giveUp(const QString& message) {
    Services::instance().message(message, kMessageTitle);
    returnToCalls();
}

void Form4::returnToCalls() {
    form<Form3>().Show();
    hide();
}
