#include "calls/Form5.h"

#include "calls/Log.h"

#include "ui_Form5.h"

#include "link/Modem.h"
#include "platform/Handlers.h"
#include "platform/Pictures.h"

Form5::Form5() : ui(std::make_unique<Ui::Form5>()) {
    setLayer(lcCalls);
    ui->setupUi(this);
    ui->Image1->setPixmap(handsetPicture(QColor(0x1c, 0x3d, 0x6e), 44));
    ui->Command1->setIcon(handsetPicture(QColor(0x00, 0x90, 0x00), 24));
    ui->Command2->setIcon(handsetPicture(QColor(0xc0, 0x00, 0x00), 24));
    onClick(ui->Command1, this, &Form5::Command1_Click);
    onClick(ui->Command2, this, &Form5::Command2_Click);
    setBorder(Border::Fixed);
    setClientTwips(4695, 2535);
}

Form5::~Form5() = default;

void Form5::AnnounceCaller(const QString& text) {
    Show();
    ui->Label1->setText(text);
}

void Form5::PresetAnswerButton(bool answeredByHand) {
    ui->Command1->setEnabled(answeredByHand);
    ui->Label2->setText(answeredByHand ? QString() : QStringLiteral("AutoAnswer Enabled"));
}

// The log is kept: what the ring left there stays until the wait is over.
void Form5::Command1_Click() {
    modem::send(QStringLiteral("ATA"), 1, modem::LogFirst::Keep);
    modem::log().clear();
}

void Form5::Command2_Click() {
    modem::send(QStringLiteral("ATH"));
    modem::log().clear();
    hide();
}
