#include "console/Form20.h"

#include "console/Log.h"

#include "ui_Form20.h"

#include "platform/Clock.h"

Form20::Form20() : Timer1(this, 50000, false), ui(std::make_unique<Ui::Form20>()) {
    setLayer(lcConsole);
    ui->setupUi(this);
    setBorder(Border::None);
    setClientTwips(4335, 1095);
    connect(&Timer1, &Timer::tick, this, &Form20::Timer1_Timer);
}

Form20::~Form20() = default;

void Form20::StartReminder() {
    Timer1.setEnabled(true);
}

void Form20::Timer1_Timer() {
    Show();
    Pause(3);
    hide();
}
