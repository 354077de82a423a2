#include "calls/Form3.h"

#include "ui_Form3.h"

#include "link/Modem.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"

#include "platform/Pictures.h"

Form3::Form3() : ui(std::make_unique<Ui::Form3>()) {
    ui->setupUi(this);
    keys_ = {ui->Image0, ui->Image1, ui->Image2, ui->Image3, ui->Image4,
             ui->Image5, ui->Image6, ui->Image7, ui->Image8, ui->Image9};
    ui->Command1->setIcon(handsetPicture(QColor(0x00, 0x90, 0x00), 24));
    ui->Command1->setIconSize(QSize(24, 24));
    ui->Command4->setIcon(handsetPicture(QColor(0xc0, 0x00, 0x00), 24));
    ui->Command4->setIconSize(QSize(24, 24));
    setBorder(Border::FixedWithMinimize);
    setClientTwips(7575, 5055);
}

Form3::~Form3() = default;

QString Form3::listRow(const QString& index, const QString& number, const QString& name) {
    const int padding = std::max<int>(1, 20 - number.size());
    return index + QStringLiteral("  ") + number + QString(padding, QLatin1Char(' ')) + name;
}

void Form3::Form_Load() {
    runGuarded([&] {
        Services::instance().enterProgramFolder();
        if (!db::isReadable(Data1) || !db::isReadable(Data2)) {
            ShowPhonebookUnreadable();
            return;
        }
        Data1.Refresh();
        db::Recordset& entries = Data1.Recordset();
        if (entries.isEOF() || entries.isBOF()) {
            // The local copy is empty: the dispatcher downloads the SIM phonebook
            // when the modem answers.
            modem::send(QStringLiteral("AT+CPBS?"));
        } else {
            for (entries.MoveFirst(); !entries.isEOF(); entries.MoveNext())
                ui->List1->addItem(listRow(entries.Fields(QStringLiteral("Index")).Value(),
                                           entries.Fields(QStringLiteral("Number")).Value(),
                                           entries.Fields(QStringLiteral("Name")).Value()));
        }
        Data2.Refresh();
        db::Recordset& details = Data2.Recordset();
        if (!details.isEOF()) {
            details.MoveFirst();
            ui->Text4->setText(details.Fields(QStringLiteral("TotalIndex")).Value());
            ui->Text2->setText(details.Fields(QStringLiteral("UsedIndex")).Value());
        }
    });
    // A phonebook that cannot be read leaves the list empty.
}

void Form3::ShowPhonebookUnreadable() {
    ui->Label3->setText(QStringLiteral("Phone Book File Cannot Be Read"));
}

void Form3::ShowCallStatus(const QString& text) {
    ui->Label3->setText(text);
}

void Form3::AddPhonebookEntry(const QString& index, const QString& number, const QString& name) {
    ui->List1->addItem(listRow(index, number, name));
    db::Recordset& records = Data1.Recordset();
    records.AddNew();
    records.Fields(QStringLiteral("Index")).setValue(index);
    records.Fields(QStringLiteral("Number")).setValue(number);
    records.Fields(QStringLiteral("Name")).setValue(name);
    records.Update();
}

void Form3::SetPhonebookCounts(const QString& used, const QString& capacity) {
    ui->Text2->setText(used);
    ui->Text4->setText(capacity);
    Data2.Refresh();
    db::Recordset& details = Data2.Recordset();
    details.AddNew();
    details.Fields(QStringLiteral("TotalIndex")).setValue(capacity);
    details.Fields(QStringLiteral("UsedIndex")).setValue(used);
    details.Update();
}

std::optional<QString> Form3::CallerName(const QString& number) {
    Data1.Refresh();
    db::Recordset& records = Data1.Recordset();
    records.FindFirst(
        db::Criterion::lastCharsEqual(QStringLiteral("number"), 10, number.right(10)));
    if (records.NoMatch()) return std::nullopt;
    return records.Fields(QStringLiteral("name")).Value();
}
