#include "config/Form16.h"

#include "ui_Form16.h"

Form16::Form16() : ui(std::make_unique<Ui::Form16>()) {
    ui->setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(4200, 3000);
}

Form16::~Form16() = default;
