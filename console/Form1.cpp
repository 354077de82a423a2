#include "console/Form1.h"

#include "console/Log.h"

#include "ui_Form1.h"

#include "console/Composition.h"
#include "console/Form7.h"
#include "platform/Clock.h"
#include "platform/Exchange.h"
#include "platform/FeatureWindow.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"

#include <QCloseEvent>
#include <QScopeGuard>

Form1::Form1()
    : ui(std::make_unique<Ui::Form1>()), modem_(*this, linkActions()), Timer1(this, 1000, true),
      Timer2(modem_.Timer2) {
    setLayer(lcConsole);
    ui->setupUi(this);
    Text1().setMirror(ui->Text1);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(8640, 6105);
    connect(&Timer1, &Timer::tick, this, &Form1::Timer1_Timer);
    connectSignalLabel();
    connectButtons();
}

Form1::~Form1() = default;

void Form1::closeEvent(QCloseEvent* event) {
    // The main window is never unloaded before the program ends.
    event->ignore();
    Form_Unload();
}

void Form1::Form_Load() {
    Services::instance().enterProgramFolder();
    ui->Label9->setText(QStringLiteral("System Started  ") +
                        Clock::instance().now().toString(QStringLiteral("dd/MM/yyyy,HH:mm:ss")));
    ui->List1->addItem(QString(22, QLatin1Char(' ')) +
                       QStringLiteral("Welcome To Kovalt Telecom Application"));
    modem_.StartUp();
}

void Form1::Form_Resize() {
    followWithCompanion(*this);
}

// As soon as the wait under way is over, so that no command is cut short;
// what its handler would still do is not done. The port is closed on the way
// out, so nothing more goes to the device. An end already under way (a
// second click on Exit while the profile is stored) is not begun again.
void Form1::Form_Unload() {
    if (ending_) return;
    ending_ = true;
    exchange::whenWaitIsOver([this] {
        const auto ended = qScopeGuard([this] { ending_ = false; });
        runGuarded(lcConsole, [this] {
            modem_.SaveProfile();
            if (MSComm1().PortOpen()) MSComm1().setPortOpen(false);
        });
        if (Forms::instance().isLoaded<Form7>()) form<Form7>().hide();
        Services::instance().endProgram();
    });
}
