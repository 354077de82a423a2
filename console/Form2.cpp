#include "console/Form2.h"

#include "console/Log.h"

#include "ui_Form2.h"

#include "platform/Files.h"
#include "platform/Handlers.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// The lines of the identity file that are not empty, in order; none when the
// file cannot be read. A line ends at a carriage return, a line feed or the pair.
QStringList identityLines() {
    QFile file(Form2::kIdentityFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    return QString::fromLatin1(file.readAll()).split(lineEnd, Qt::SkipEmptyParts);
}

} // namespace

Form2::Form2() : ui(std::make_unique<Ui::Form2>()) {
    setLayer(lcConsole);
    ui->setupUi(this);
    onClick(ui->Command1, this, &Form2::Command1_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(5655, 5910);
}

Form2::~Form2() = default;

// "View": the serial number is the first line, the manufacturer text the
// second and third joined, the model text the fourth; further lines are not
// used. A missing or empty file leaves the labels as they are.
void Form2::Command1_Click() {
    ui->Label2->setText(kSerialCaption);
    ui->Label4->setText(kDetailsCaption);
    const QStringList lines = identityLines();
    if (lines.isEmpty()) return;
    ui->Label3->setText(lines.value(0));
    ui->Label5->setText(lines.value(1) + lines.value(2));
    ui->Label6->setText(lines.value(3));
}

void Form2::ShowSerialNumber(const QString& serial) {
    ui->Label2->setText(kSerialCaption);
    ui->Label3->setText(serial);
}

void Form2::ShowManufacturer(const QString& text) {
    for (QLabel* label : {ui->Label4, ui->Label5, ui->Label6})
        label->setVisible(true);
    ui->Label4->setText(kDetailsCaption);
    ui->Label5->setText(text);
}

void Form2::ShowModel(const QString& text) {
    ui->Label6->setVisible(true);
    ui->Label6->setText(text);
}

void Form2::SaveIdentityFile() const {
    constexpr int kFileNumber = 2;
    Files& files = Files::instance();
    files.openForOutput(kFileNumber, kIdentityFile);
    for (const QLabel* label : {ui->Label3, ui->Label5, ui->Label6})
        files.write(kFileNumber, label->text() + QStringLiteral("\r\n"));
    files.closeAll();
}
