#include "platform/Exchange.h"

#include "platform/FormBase.h"
#include "platform/Handlers.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>

#include <algorithm>
#include <deque>
#include <iterator>
#include <utility>

namespace exchange {

namespace {

const char kNeverRefused[] = "neverRefused";

int& blockingWaits() {
    static int waits = 0;
    return waits;
}

using Actions = std::deque<std::function<void()>>;

// What waits for the end of the wait under way, and what waits for the end
// of the action whose wait it is.
Actions& atWaitsEnd() {
    static Actions actions;
    return actions;
}
Actions& afterAction() {
    static Actions actions;
    return actions;
}

void runWhileNoneWaiting(Actions& actions) {
    while (!isWaiting() && !actions.empty()) {
        std::function<void()> action = std::move(actions.front());
        actions.pop_front();
        action();
    }
}

// The handler whose wait has just ended reads its reply next: what comes
// after its action runs from the event loop, once that handler has returned
// (or in a later pause in which no exchange waits). A wait that begins
// meanwhile puts it off to its own end.
void postAfterAction() {
    static bool posted = false;
    if (posted || afterAction().empty()) return;
    posted = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            posted = false;
            runWhileNoneWaiting(afterAction());
        },
        Qt::QueuedConnection);
}

// A control of one of the console's windows, found up its parents (a list's
// pop-up belongs to its list box), outside a dialog such as a message box.
bool isConsoleControl(QWidget* widget) {
    if (qobject_cast<QDialog*>(widget->window())) return false;
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->property(kNeverRefused).toBool()) return false;
        if (qobject_cast<FormBase*>(w)) return true;
    }
    return false;
}

// The box a person types into that holds `widget` (a list box's text box
// included); null when there is none.
QWidget* typingBox(QWidget* widget) {
    for (QWidget* w = widget; w && !qobject_cast<FormBase*>(w); w = w->parentWidget())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            qobject_cast<QTextEdit*>(w))
            return w;
    return nullptr;
}

bool isInScrollBar(QWidget* widget) {
    for (QWidget* w = widget; w && !qobject_cast<FormBase*>(w); w = w->parentWidget())
        if (qobject_cast<QScrollBar*>(w)) return true;
    return false;
}

bool isMouseButton(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick;
}

// A key that presses a button or picks another item of a list.
bool isActingKey(int key) {
    static const int kActing[] = {Qt::Key_Return, Qt::Key_Enter,    Qt::Key_Space, Qt::Key_Select,
                                  Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Left,  Qt::Key_Right,
                                  Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End};
    return std::find(std::begin(kActing), std::end(kActing), key) != std::end(kActing);
}

// Of the keys typed into a box: Enter in a box of one line may press a
// button (in a box of several it begins a new line), and the keys that pick
// another item of an editable list box's list do.
bool isActingTypedKey(QWidget* box, int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return qobject_cast<QLineEdit*>(box);
    const bool inList = qobject_cast<QComboBox*>(box->parentWidget()) != nullptr;
    return inList && (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
                      key == Qt::Key_PageDown);
}

bool refused(QWidget* widget, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool isKey = type == QEvent::KeyPress || type == QEvent::KeyRelease;
    // A shortcut (Alt and a caption's underlined letter) presses its button.
    const bool acts =
        isMouseButton(type) || isKey || type == QEvent::Wheel || type == QEvent::Shortcut;
    if (!acts || isInScrollBar(widget)) return false;
    const int key = isKey ? static_cast<QKeyEvent*>(event)->key() : 0;
    if (QWidget* box = typingBox(widget)) return isKey && isActingTypedKey(box, key);
    return !isKey || isActingKey(key);
}

class Gate : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!isWaiting()) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && isConsoleControl(widget) && refused(widget, event);
    }
};

} // namespace

Waiting::Waiting(Yields yields) : yields_(yields) {
    if (yields_ == Yields::No) ++blockingWaits();
}

Waiting::~Waiting() {
    if (yields_ == Yields::No) --blockingWaits();
    if (isWaiting()) return;
    runWhileNoneWaiting(atWaitsEnd());
    postAfterAction();
}

bool isWaiting() {
    return blockingWaits() > 0;
}

void whenNoneWaiting(std::function<void()> action) {
    afterAction().push_back(std::move(action));
    runWhileNoneWaiting(afterAction());
}

void whenWaitIsOver(std::function<void()> action) {
    atWaitsEnd().push_back(std::move(action));
    runWhileNoneWaiting(atWaitsEnd());
}

void startWhenFree(Layer layer, std::function<void()> exchange) {
    if (!isWaiting()) {
        exchange();
        return;
    }
    whenNoneWaiting([layer, exchange = std::move(exchange)] { runGuarded(layer, exchange); });
}

void neverRefuse(QWidget* control) {
    control->setProperty(kNeverRefused, true);
}

void installGate() {
    static Gate* gate = new Gate(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(gate);
}

} // namespace exchange
