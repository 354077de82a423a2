#include "calls/Form4.h"

#include "calls/Log.h"

#include "ui_Form4.h"

#include "calls/Form3.h"
#include "link/Modem.h"
#include "link/SimPhonebook.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/PhoneBookDb.h"
#include "platform/Services.h"
#include "platform/TypedText.h"

#include <vector>

namespace {

const QString kCannotAdd = QStringLiteral("Error Occurred.Cannot Add");
// The SIM has taken the entry, the copy could not.
const QString kAddedToSimOnly = QStringLiteral("Number Added To SIM.") + db::kUnwritableText;

// What the read of an index finds: free when the SIM shows no entry there
// (the read answers "OK" alone or "not found"), unknown when nothing can be
// known any more (the read got no answer at all, or the device has gone).
enum class Place { Free, Taken, Unknown };

Place placeAt(int index) {
    if (!modem::isPortOpen()) return Place::Unknown;
    switch (simphonebook::readPosition(index).slot) {
    case replies::Slot::Empty:
        return Place::Free;
    case replies::Slot::NoAnswer:
        return Place::Unknown;
    default:
        return Place::Taken;
    }
}

// Where the new entry goes: after the used ones when the SIM fills its
// indexes from 1 up, as after a download; after a deletion in the middle,
// the lowest index the local copy does not hold. Every index is read first,
// so that no entry on the SIM is overwritten. 0 when none is free, or when a
// read goes unanswered (no further index is asked for then).
int freeIndex(const Form3::PhonebookCounts& counts, const std::set<int>& stored) {
    std::vector<int> candidates{counts.used + 1};
    for (int index = 1; index <= counts.capacity; ++index)
        if (index != candidates.front() && !stored.count(index)) candidates.push_back(index);
    for (int index : candidates) {
        const Place place = placeAt(index);
        if (place == Place::Free) return index;
        if (place == Place::Unknown) return 0;
    }
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
        !typed::isNumber(number, typed::Blanks::Refused) || !typed::isQuotable(name) ||
        !typed::isLineText(name)) {
        giveUp(QStringLiteral("Please Enter Valid Number/Name"));
        return;
    }
    Form3& calls = form<Form3>();
    const Form3::PhonebookCounts counts = calls.Counts();
    if (counts.used >= counts.capacity) {
        giveUp(QStringLiteral("Address Book full"));
        return;
    }
    // The SIM is not changed while the copy could not follow it.
    if (!db::isWritable()) {
        giveUp(db::kUnwritableText);
        return;
    }
    const int index = freeIndex(counts, calls.StoredIndexes());
    // A device gone after the free index was read takes no entry either.
    if (!index || !modem::isPortOpen()) {
        giveUp(kCannotAdd);
        return;
    }
    const QString write = writeCommand(index, number, name);
    modem::sendForResult(write);
    if (modem::log().succeeded(write, TerminalLog::Judged::Final) != true) {
        giveUp(kCannotAdd);
        return;
    }
    if (!calls.EntryAdded(index, number, name, counts.used)) {
        giveUp(kAddedToSimOnly);
        return;
    }
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
