// The signal window, the main window's clock and the call watch.

#include "calls/Form5.h"
#include "console/Form1.h"
#include "console/Form7.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/Text.h"

#include <QEvent>
#include <QMouseEvent>

namespace {
// Runs a handler when the label it watches is clicked.
class ClickFilter : public QObject {
  public:
    ClickFilter(QObject* parent, std::function<void()> onClick)
        : QObject(parent), onClick_(std::move(onClick)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) onClick_();
        return false;
    }

  private:
    std::function<void()> onClick_;
};

// The fifth of the indicator values that follow "+CIND:", cut as the modem
// lists them (battery, signal, service, message, call, ...).
QString callIndicator(const QString& values) {
    QString rest = values;
    for (int step = 0; step < 4; ++step) {
        const int comma = text::find(rest, QStringLiteral(","));
        if (comma == 0) throw text::CutError("fewer than five indicators");
        rest = text::cut(rest, comma + 1, text::find(rest, QStringLiteral("OK")));
    }
    return text::cut(rest, 1, text::find(rest, QStringLiteral(",")) - 1);
}
} // namespace

void Form1::connectSignalLabel() {
    ui.Label8->installEventFilter(new ClickFilter(ui.Label8, [this] { Label8_Click(); }));
}

void Form1::Label8_Click() {
    networkset();
}

void Form1::networkset() {
    try {
        Form7& signal = form<Form7>();
        signal.Show();
        signal.ui.Label4->setText(QString());
        signal.ui.Label5->setText(QString());
        link().sendCommand(QStringLiteral("AT"), 1, SerialLink::LogFirst::Keep);
        if (!Text1().contains(QStringLiteral("OK"))) return;
        link().sendCommand(QStringLiteral("AT+CSQ"), 1);
        link().sendCommand(QStringLiteral("AT+CREG?"), 1, SerialLink::LogFirst::Keep);
    } catch (const std::exception&) {
    }
}

void Form1::Timer1_Timer() {
    ui.Label4->setText(Clock::instance().now().toString(QStringLiteral("HH:mm:ss")));
}

void Form1::Timer2_Timer() {
    // A tick lasts longer than the interval, and emptying the log at its end
    // would throw away a reply another exchange is waiting for: wait for the
    // next tick instead.
    if (link().isWaiting()) return;
    try {
        link().sendCommand(QStringLiteral("AT+CIND?"), 1, SerialLink::LogFirst::Keep);
        if (Text1().contains(QStringLiteral("ERROR"))) Timer2.setEnabled(false);
        if (const int p = Text1().find(QStringLiteral("+CIND:"))) {
            const QString values = Text1().cut(p + 7, Text1().find(QStringLiteral("OK")));
            if (text::number(callIndicator(values)) == 0) {
                form<Form5>().hide();
                Timer2.setEnabled(false);
            }
        }
        Text1().clear();
    } catch (const std::exception&) {
    }
}
