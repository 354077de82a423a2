#include "calls/Form5.h"

#include "ui_Form5.h"

#include "platform/Pictures.h"

Form5::Form5() : ui(std::make_unique<Ui::Form5>()) {
    ui->setupUi(this);
    ui->Image1->setPixmap(handsetPicture(QColor(0x1c, 0x3d, 0x6e), 44));
    ui->Command1->setIcon(handsetPicture(QColor(0x00, 0x90, 0x00), 24));
    ui->Command2->setIcon(handsetPicture(QColor(0xc0, 0x00, 0x00), 24));
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
