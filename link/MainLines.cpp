#include "link/MainLines.h"

#include "link/ModemLink.h"

namespace mainwindow {

void show() {
    ModemLink::reach().view().showWindow();
}

void setStatus(const QString& text) {
    ModemLink::reach().view().setStatus(text);
}

void setSpeedLine(const QString& text) {
    ModemLink::reach().view().setSpeedLine(text);
}

QString framingLine() {
    return ModemLink::reach().view().framingLine();
}

void setFramingLine(const QString& text) {
    ModemLink::reach().view().setFramingLine(text);
}

} // namespace mainwindow
