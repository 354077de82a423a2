// The signal window, the main window's clock and the call watch.

#include "calls/Form5.h"
#include "console/Form1.h"
#include "console/Form7.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Text.h"
#include "ui_Form1.h"

namespace {
// The call indicator is the fifth of the values after "+CIND:" (battery,
// signal, service, message, call, ...).
constexpr int kCallIndicator = 4;
} // namespace

void Form1::connectSignalLabel() {
    onClick(ui->Label8, this, &Form1::Label8_Click);
}

void Form1::Label8_Click() {
    networkset();
}

void Form1::networkset() {
    runGuarded([&] {
        Form7& signal = form<Form7>();
        signal.Show();
        signal.ClearReadings();
        link().sendCommand(QStringLiteral("AT"), 1, SerialLink::LogFirst::Keep);
        if (!Text1().contains(QStringLiteral("OK"))) return;
        link().sendCommand(QStringLiteral("AT+CSQ"), 1);
        link().sendCommand(QStringLiteral("AT+CREG?"), 1, SerialLink::LogFirst::Keep);
    });
}

void Form1::Timer1_Timer() {
    ui->Label4->setText(Clock::instance().now().toString(QStringLiteral("HH:mm:ss")));
}

void Form1::Timer2_Timer() {
    // A tick lasts longer than the interval, and emptying the log at its end
    // would throw away a reply another exchange is waiting for: wait for the
    // next tick instead. The watch's own reply of the tick before does not count.
    if (link().isBusyApartFrom(watchCommand_)) return;
    runGuarded([&] {
        watchCommand_ = link().lastCommand() + 1;
        link().sendCommand(QStringLiteral("AT+CIND?"), 1, SerialLink::LogFirst::Keep);
        if (Text1().contains(QStringLiteral("ERROR"))) Timer2.setEnabled(false);
        if (Text1().contains(QStringLiteral("+CIND:"))) {
            const QStringList values = Text1().fieldsAfter(QStringLiteral("+CIND:"));
            if (values.size() <= kCallIndicator) throw text::CutError("no call indicator");
            if (text::number(values[kCallIndicator]) == 0) {
                form<Form5>().hide();
                Timer2.setEnabled(false);
            }
        }
        Text1().clear();
    });
}
