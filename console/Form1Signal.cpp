// The signal window, the main window's clock and the call watch.

#include "calls/Form5.h"
#include "console/Form1.h"
#include "console/Form7.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Text.h"

#include <QPointer>
#include <QScopeGuard>

#include "ui_Form1.h"
#include <utility>

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
    // A tick outlasts the interval: the dispatcher collects its reply for two
    // seconds. The next tick then asks as soon as this one is over, so that
    // ticks never pile up inside each other.
    if (watchQuery_) {
        watchDue_ = true;
        return;
    }
    // Emptying the log at the end of the tick would throw away a reply that
    // another exchange is waiting for: wait for the next tick instead. What
    // still arrives for the watch's own last query does not count.
    if (link().isBusyApartFrom(lastWatchQuery_)) return;
    lastWatchQuery_ = watchQuery_ = link().lastCommand() + 1;
    const auto done = qScopeGuard([this] {
        watchQuery_ = 0;
        if (!std::exchange(watchDue_, false)) return;
        Clock& clock = Clock::instance();
        clock.schedule(clock.seconds(), [main = QPointer<Form1>(this)] {
            if (main && main->Timer2.Enabled()) main->Timer2_Timer();
        });
    });
    runGuarded([&] {
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
