#include "platform/FormBase.h"

#include "platform/Failure.h"
#include "platform/Forms.h"

#include <QCloseEvent>
#include <QGuiApplication>

FormBase::FormBase(QWidget* parent) : QWidget(parent), layer_(&lcPlatform) {}

// The window's own part is gone by now, but its controls still live until
// QWidget's destructor, which hides the window first: a box losing the focus
// then still signals (an editable list box reports its text as picked), and no
// handler of the window may run for it.
FormBase::~FormBase() {
    for (QObject* control : findChildren<QObject*>())
        QObject::disconnect(control, nullptr, this, nullptr);
}

void FormBase::Show() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    // Bring it to the front where there is a window system to ask.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
}

void FormBase::closeEvent(QCloseEvent* event) {
    event->accept();
    Form_Unload();
    Forms::instance().unload(this);
}

void FormBase::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void FormBase::setBorder(Border border) {
    const Qt::WindowFlags fixed = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    switch (border) {
    case Border::Fixed:
        setWindowFlags(fixed);
        break;
    case Border::FixedWithMinimize:
        setWindowFlags(fixed | Qt::WindowMinimizeButtonHint);
        break;
    case Border::None:
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        break;
    }
}

void FormBase::setClientTwips(int width, int height) {
    setFixedSize(width / 15, height / 15);
}
