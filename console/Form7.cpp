#include "console/Form7.h"

Form7::Form7() {
    ui.setupUi(this);
    // Falls back to any fixed-pitch face where the named one is missing.
    QFont pitch = ui.Label4->font();
    pitch.setStyleHint(QFont::TypeWriter);
    pitch.setFixedPitch(true);
    ui.Label4->setFont(pitch);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setClientTwips(4215, 2175);
}
