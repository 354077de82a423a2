#include "config/Form16.h"

#include "config/Log.h"

#include "ui_Form16.h"

#include "config/Form17.h"
#include "config/Form18.h"
#include "config/Form19.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"

Form16::Form16() : ui(std::make_unique<Ui::Form16>()) {
    setLayer(lcConfig);
    ui->setupUi(this);
    onClick(ui->Command1, this, &Form16::Command1_Click);
    onClick(ui->Command2, this, &Form16::Command2_Click);
    onClick(ui->Command3, this, &Form16::Command3_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(4200, 3000);
}

Form16::~Form16() = default;

template <class Window> void Form16::openFeature(const QString& caption) {
    ui->Label1->setText(QStringLiteral("Please Wait"));
    Window& window = form<Window>();
    window.Show();
    if (!caption.isEmpty()) window.setWindowTitle(caption);
    hide();
    ui->Label1->clear();
}

void Form16::Command1_Click() {
    openFeature<Form17>();
}

void Form16::Command2_Click() {
    openFeature<Form18>(QStringLiteral("GSM-SIM TOOLKIT Facility"));
}

void Form16::Command3_Click() {
    openFeature<Form19>(QStringLiteral("GSM-GPRS Configuration"));
}
