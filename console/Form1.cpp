#include "console/Form1.h"

#include "ui_Form1.h"

#include <QCloseEvent>

Form1::Form1()
    : ui(std::make_unique<Ui::Form1>()), Timer1(this, 1000, true), Timer2(this, 2000, false) {
    ui->setupUi(this);
    link_.log().setMirror(ui->Text1);
    // A search that starts before any saved port was opened needs every
    // received character too.
    MSComm1().setRThreshold(1);
    MSComm1().setSThreshold(1);
    MSComm1().setInputMode(1);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(8640, 6105);
    link_.setDispatcher([this](const QString& received) { ProcessModemData(received); });
    link_.setDeviceLostHandler([this] { ShowModemDisconnected(); });
    connect(&Timer1, &Timer::tick, this, &Form1::Timer1_Timer);
    connect(&Timer2, &Timer::tick, this, &Form1::Timer2_Timer);
    connectSignalLabel();
    connectButtons();
}

Form1::~Form1() = default;

void Form1::closeEvent(QCloseEvent* event) {
    // The main window is never unloaded before the program ends.
    event->ignore();
    Form_Unload();
}
