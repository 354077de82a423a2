// The signal label and the main window's clock.

#include "console/Form1.h"
#include "platform/Clock.h"
#include "platform/Handlers.h"

#include "ui_Form1.h"

void Form1::connectSignalLabel() {
    onClick(ui->Label8, this, &Form1::Label8_Click);
}

void Form1::Label8_Click() {
    modem_.networkset();
}

void Form1::Timer1_Timer() {
    ui->Label4->setText(Clock::instance().now().toString(QStringLiteral("HH:mm:ss")));
}
