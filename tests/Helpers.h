#pragma once

// Small readings of windows and bytes that many tests share.

#include "platform/Forms.h"
#include "tests/TestServices.h"

#include <QByteArray>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStringList>

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

// Types text into a box key by key, as a user would: the box's filter sees
// every key.
inline void typeInto(QLineEdit* box, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
    }
}

// A click on a label that has a click handler.
inline void clickLabel(QLabel* label) {
    const QPointF inside(1, 1);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, label->mapToGlobal(inside),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(label, &release);
}
