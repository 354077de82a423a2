#include "services/Form12.h"

#include "ui_Form12.h"

Form12::Form12() : ui(std::make_unique<Ui::Form12>()) {
    ui->setupUi(this);
    ui->TabStrip1->addTab(QStringLiteral("Call Forward"));
    ui->TabStrip1->addTab(QStringLiteral("Call Baring"));
    ui->TabStrip1->addTab(QStringLiteral("Call Waiting"));
    ui->TabStrip1->addTab(QStringLiteral("Closed User Group"));
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9000, 6600);
}

Form12::~Form12() = default;
