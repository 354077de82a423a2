#include "services/Form9.h"

#include "ui_Form9.h"

Form9::Form9() : ui(std::make_unique<Ui::Form9>()) {
    ui->setupUi(this);
    ui->TabStrip1->addTab(QStringLiteral("PHONE"));
    ui->TabStrip1->addTab(QStringLiteral("SIM PIN"));
    ui->TabStrip1->addTab(QStringLiteral("NETWORK"));
    setBorder(Border::FixedWithMinimize);
    setClientTwips(6600, 5400);
}

Form9::~Form9() = default;
