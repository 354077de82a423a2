#include "console/Form10.h"

#include "console/Log.h"

#include "ui_Form10.h"

#include "link/Modem.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/TypedText.h"

namespace {

// A PIN or PUK goes into the command line as it is typed: whole numbers only,
// so that nothing else can join the command or pass for the modem's answer.
void submit(const QString& codes) {
    modem::send(QStringLiteral("AT+CPIN=") + codes);
}

} // namespace

Form10::Form10() : ui(std::make_unique<Ui::Form10>()) {
    setLayer(lcConsole);
    ui->setupUi(this);
    setBorder(Border::Fixed);
    setClientTwips(2970, 2265);
    // A code that could not be sent leaves the boxes as typed.
    onClick(ui->Command1, this, &Form10::Command1_Click);
}

Form10::~Form10() = default;

void Form10::showEntries(bool pin, bool puk) {
    ui->Label1->setVisible(pin);
    ui->Text1->setVisible(pin);
    ui->Label2->setVisible(puk);
    ui->Text2->setVisible(puk);
}

bool Form10::entriesShown(bool pin, bool puk) const {
    return !ui->Label1->isHidden() == pin && !ui->Text1->isHidden() == pin &&
           !ui->Label2->isHidden() == puk && !ui->Text2->isHidden() == puk;
}

void Form10::Command1_Click() {
    if (isPinDisplay())
        submitPin();
    else if (isPukDisplay())
        submitPuk();
}

// The modem's answer is judged by the main window while this waits.
void Form10::submitPin() {
    const QString pin = ui->Text1->text().trimmed();
    if (typed::isWholeNumber(pin)) {
        submit(pin);
        ui->Text1->clear();
    } else {
        Services::instance().message(QStringLiteral("Enter Valid PIN Number"), kMessageTitle);
    }
    setPinDisplay();
}

void Form10::submitPuk() {
    const QString newPin = ui->Text1->text().trimmed();
    const QString puk = ui->Text2->text().trimmed();
    if (!typed::isWholeNumber(puk) || !typed::isWholeNumber(newPin)) {
        Services::instance().message(QStringLiteral("Enter Valid PUK/PIN Number"), kMessageTitle);
        return;
    }
    submit(puk + QLatin1Char(',') + newPin);
    ui->Text1->clear();
    ui->Text2->clear();
    setPukDisplay();
}
