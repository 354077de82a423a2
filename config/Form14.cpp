#include "config/Form14.h"

#include "ui_Form14.h"

Form14::Form14() : ui(std::make_unique<Ui::Form14>()) {
    ui->setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(8400, 5400);
}

Form14::~Form14() = default;
