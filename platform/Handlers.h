#pragma once

#include "platform/Failure.h"
#include "platform/FormBase.h"

#include <QAbstractButton>
#include <QLabel>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <initializer_list>

class QLineEdit;
class QTabBar;

// How a window's controls reach its handlers.
//
// A handler that fails (a cut it cannot make, a port that is closed, a table
// that cannot be read) ends where it failed, without a word: its error exit,
// which logs the failure under its layer's category. Connect controls through
// `on` and `onClick` and every handler has it, under its window's layer.

// Runs `body`; a failure inside it ends it silently, any other exception is
// reported as a fault of the program. True when it ran to its end.
template <class Body> bool runGuarded(Layer layer, Body&& body) {
    try {
        body();
        return true;
    } catch (const Failure& failure) {
        failures::logFailure(layer, failure);
    } catch (const std::exception& fault) {
        failures::reportFault(layer, fault.what());
    }
    return false;
}

// Runs `handler` of `window` whenever `sender` emits `signal` (its arguments
// are not passed on: a handler reads its controls).
template <class Sender, class Signal, class Window>
void on(Sender* sender, Signal signal, Window* window, void (Window::*handler)()) {
    QObject::connect(sender, signal, window, [window, handler] {
        runGuarded(window->layer(), [&] { (window->*handler)(); });
    });
}

// A click of a command button, option button or check box; selecting an
// option from code runs the handler too (see selectOption).
template <class Window>
void onClick(QAbstractButton* button, Window* window, void (Window::*handler)()) {
    on(button, &QAbstractButton::clicked, window, handler);
}

// A click on a tab of a tab strip, the selected one included, and a change of
// tab by keyboard: the handler runs once for each, after the strip shows the
// tab (it reads the strip's current index).
void onTabClick(QTabBar* strip, std::function<void()> handler);
template <class Window> void onTabClick(QTabBar* strip, Window* window, void (Window::*handler)()) {
    onTabClick(strip,
               [window, handler] { runGuarded(window->layer(), [&] { (window->*handler)(); }); });
}

// The clicks of a window's buttons, each with its handler.
template <class Window> struct ClickHandler {
    QAbstractButton* button;
    void (Window::*handler)();
};
template <class Window>
void onClicks(Window* window, std::initializer_list<ClickHandler<Window>> handlers) {
    for (const ClickHandler<Window>& h : handlers)
        onClick(h.button, window, h.handler);
}

// Gives a label (or a picture) the click it lacks.
void installClickHandler(QWidget* widget, std::function<void()> handler);
template <class Window> void onClick(QLabel* label, Window* window, void (Window::*handler)()) {
    installClickHandler(
        label, [window, handler] { runGuarded(window->layer(), [&] { (window->*handler)(); }); });
}

// The key filter of the boxes that take digits only: Backspace (8) and the
// codes of "0" to "9" come back as their code in decimal text, every other
// key as "0", which cancels it.
QString LimitTextInput(int& KeyAscii);
// Puts that filter on a box, for pasted text too.
void limitToDigits(QLineEdit* box);
