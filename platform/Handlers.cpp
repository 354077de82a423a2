#include "platform/Handlers.h"

#include <QEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTabBar>

namespace {

class ClickFilter : public QObject {
  public:
    ClickFilter(QObject* parent, std::function<void()> handler)
        : QObject(parent), handler_(std::move(handler)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) handler_();
        return false;
    }

  private:
    std::function<void()> handler_;
};

} // namespace

void installClickHandler(QWidget* widget, std::function<void()> handler) {
    widget->installEventFilter(new ClickFilter(widget, std::move(handler)));
}

// A click on an unselected tab changes the current tab, which runs the
// handler; a click on the selected one changes nothing, so it runs it itself.
// Either runs once the tab bar has handled the press, so that no press
// completes (and changes the tab) inside the handler's waits.
void onTabClick(QTabBar* strip, std::function<void()> handler) {
    QObject::connect(
        strip, &QTabBar::currentChanged, strip, [handler](int) { handler(); },
        Qt::QueuedConnection);
    QObject::connect(strip, &QTabBar::tabBarClicked, strip, [strip, handler](int index) {
        if (index >= 0 && index == strip->currentIndex())
            QMetaObject::invokeMethod(strip, handler, Qt::QueuedConnection);
    });
}

QString LimitTextInput(int& KeyAscii) {
    constexpr int kBackspace = 8;
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    return QString::number(digit || KeyAscii == kBackspace ? KeyAscii : 0);
}

void limitToDigits(QLineEdit* box) {
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    box->setValidator(new QRegularExpressionValidator(digits, box));
}
