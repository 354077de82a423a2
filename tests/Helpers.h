#pragma once

// Small readings of windows and bytes that many tests share.

#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/PhoneBookDb.h"
#include "testsupport/TestServices.h"

#include <QApplication>
#include <QByteArray>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

// A control of a window by its object name (the name its form gives it); a
// test that asks for a control the window does not have, or not of that
// kind, ends there with the name in its failure.
template <class T = QWidget> T* control(const QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found)
        throw std::logic_error(window.objectName().toStdString() + " has no control " +
                               name.toStdString() + " of type " + T::staticMetaObject.className());
    return found;
}

// A fixture's reach into the controls of one window, by kind and name; the
// window is reached as form<Window>() reaches it (loaded when it is not).
template <class Window> struct ControlsOf {
    static QAbstractButton* button(const char* name) {
        return control<QAbstractButton>(form<Window>(), name);
    }
    static QRadioButton* option(const char* name) {
        return control<QRadioButton>(form<Window>(), name);
    }
    static QLabel* label(const char* name) { return control<QLabel>(form<Window>(), name); }
    static QLineEdit* box(const char* name) { return control<QLineEdit>(form<Window>(), name); }
    static QComboBox* list(const char* name) { return control<QComboBox>(form<Window>(), name); }
    static QWidget* widget(const char* name) { return control<QWidget>(form<Window>(), name); }
};

// The rows of a list box, the items of a combo box.
inline QStringList items(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}
inline QStringList items(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}
// The texts of the tabs of a tab strip.
inline QStringList items(const QTabBar* strip) {
    QStringList texts;
    for (int i = 0; i < strip->count(); ++i)
        texts << strip->tabText(i);
    return texts;
}

// The caption a control shows: a button's or label's text, a frame's title.
inline QString shownCaption(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(control)) return frame->title();
    return QString();
}

// Picks an item of a combo box as a user does: the box shows it and its
// Click handler runs.
inline void pick(QComboBox* box, const QString& item) {
    const int at = box->findText(item);
    box->setCurrentIndex(at);
    if (at >= 0) emit box->activated(at);
}

// The options of a window that are selected, by name, among those named.
inline QStringList checkedAmong(QWidget& window, const QStringList& names) {
    QStringList checked;
    for (const QString& name : names)
        if (window.findChild<QRadioButton*>(name)->isChecked()) checked << name;
    return checked;
}

// The command lines in the bytes a console wrote, each without its carriage return.
inline QStringList commands(const QByteArray& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split('\r');
    lines.removeLast(); // after the last carriage return
    return lines;
}

// An information reply as a module with echo and verbose results frames it.
inline QByteArray reply(const QByteArray& text) {
    return "\r\n" + text + "\r\n\r\nOK\r\n";
}

// A refusal as a module with verbose results sends it.
inline const QByteArray kError = "\r\nERROR\r\n";

// Closes a window with its close box when it is loaded.
template <class T> void unloadIfLoaded() {
    if (Forms::instance().isLoaded<T>()) form<T>().close();
}

// Shows a window freshly loaded: its load handler runs again.
template <class T> T& reopen() {
    unloadIfLoaded<T>();
    T& window = form<T>();
    window.Show();
    return window;
}

// Every message box so far, as its text and its title.
inline QStringList shownMessages(const TestServices& services) {
    QStringList texts;
    for (const auto& m : services.messages)
        texts << m.text + " | " + m.title;
    return texts;
}

// A click of the left button at `at` (the control's centre when not given),
// as on a label or picture that the window gives a click.
inline void click(QWidget* control, QPoint at = QPoint(-1, -1)) {
    if (at == QPoint(-1, -1)) at = control->rect().center();
    const QPointF local(at);
    const QPointF global(control->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(control, &release);
}

// A click of the left button at `at` (the control's centre when not given)
// `afterSeconds` from now on the console's clock, as a second click comes
// while the first one's handler waits; its press is of the kind given (a
// double click's second press is reported as a double click). A control gone
// by then gets nothing. Tells when it has come.
inline std::shared_ptr<bool> clickLater(QWidget* control, double afterSeconds,
                                        QPoint at = QPoint(-1, -1),
                                        QEvent::Type press = QEvent::MouseButtonPress) {
    Clock& clock = Clock::instance();
    auto done = std::make_shared<bool>(false);
    clock.schedule(
        clock.seconds() + afterSeconds, [target = QPointer<QWidget>(control), at, press, done] {
            *done = true;
            if (!target) return;
            const QPoint where = at == QPoint(-1, -1) ? target->rect().center() : at;
            const QPointF local(where);
            const QPointF global(target->mapToGlobal(where));
            QMouseEvent down(press, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &down);
            if (!target) return;
            QMouseEvent up(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                           Qt::NoModifier);
            QApplication::sendEvent(target, &up);
        });
    return done;
}

// Lets the clock run until what was scheduled has come.
inline void runUntil(const std::shared_ptr<bool>& done) {
    while (!*done)
        Clock::instance().wait(0.05);
}

// A double click as the window system reports it: a press and a release,
// then within the double-click interval a press reported as a double click
// and its release. The second comes half the interval after the first on the
// console's clock, so inside whatever the first click started.
inline void doubleClick(QWidget* control, QPoint at = QPoint(-1, -1)) {
    const double gap = QApplication::doubleClickInterval() / 2000.0;
    const std::shared_ptr<bool> second = clickLater(control, gap, at, QEvent::MouseButtonDblClick);
    click(control, at);
    runUntil(second);
}

// A click on a row of a list box.
inline void clickRow(QListWidget* list, int row) {
    list->doItemsLayout();
    click(list->viewport(), list->visualItemRect(list->item(row)).center());
}

// Keys typed into a box, one character at a time.
inline void type(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        const int key = c == QLatin1Char('\n') ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                        c == QLatin1Char('\n') ? QString() : QString(c));
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &release);
    }
}

// Gives a control the keyboard focus in its window, made active, as a click
// or Tab does: the control that had it loses it, and a box's typing ends.
inline void moveFocusTo(QWidget* control) {
    control->activateWindow();
    QCoreApplication::processEvents();
    control->setFocus(Qt::MouseFocusReason);
}

// A key pressed and released on a box, with modifiers.
inline void pressKey(QWidget* box, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(box, &release);
}

// Alt and a letter, as the window system delivers them to a window that is
// active: the button whose caption underlines the letter is pressed (its
// click comes a tenth of a second later, on the machine's own clock).
inline void pressAlt(QWidget* window, Qt::Key letter) {
    window->activateWindow();
    QCoreApplication::processEvents();
    QTest::keyClick(window, letter, Qt::AltModifier);
}

// Pastes a text into a box (Ctrl+V): how characters that no key types get in.
inline void paste(QWidget* box, const QString& text) {
    QApplication::clipboard()->setText(text);
    pressKey(box, Qt::Key_V, Qt::ControlModifier);
}

// Puts a text into a box as a person does: typed, or pasted when it holds a
// character that no key types (a control character).
inline void typeOrPaste(QWidget* box, const QString& text) {
    const bool typable =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint() || c == '\n'; });
    if (typable)
        type(box, text);
    else
        paste(box, text);
}

// Replaces what a box holds as a person does: the box given the focus, all of
// it selected (Ctrl+A) and deleted, then the text typed (or pasted, see typeOrPaste).
inline void typeOver(QWidget* box, const QString& text) {
    moveFocusTo(box);
    pressKey(box, Qt::Key_A, Qt::ControlModifier);
    pressKey(box, Qt::Key_Delete);
    typeOrPaste(box, text);
}

// The rows of a table of the phonebook file, each as the values of `fields`
// joined by "|".
inline QStringList tableRows(const QString& table, const QStringList& fields) {
    db::DataControl data(db::kPhoneBookFile, table);
    data.Refresh();
    db::Recordset& records = data.Recordset();
    QStringList rows;
    if (records.isEOF()) return rows;
    for (records.MoveFirst(); !records.isEOF(); records.MoveNext()) {
        QStringList values;
        for (const QString& field : fields)
            values << records.Fields(field).Value();
        rows << values.join('|');
    }
    return rows;
}

// Adds a row to a table of the phonebook file.
inline void addTableRow(const QString& table,
                        const std::vector<std::pair<QString, QString>>& values) {
    db::DataControl data(db::kPhoneBookFile, table);
    db::Recordset& records = data.Recordset();
    records.AddNew();
    for (const auto& [field, value] : values)
        records.Fields(field).setValue(value);
    records.Update();
}

// A click on a tab of a tab strip, selected or not, and what the event loop
// does next: the tab's handler runs once the strip has handled the click.
inline void clickTab(QTabBar* strip, int tab) {
    click(strip, strip->tabRect(tab).center());
    QCoreApplication::processEvents();
}
