#include "calls/Form5.h"

#include <QPainter>
#include <QPixmap>

namespace {
// A handset on a round badge: green to answer, red to hang up.
QPixmap handset(const QColor& badge, int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(badge);
    painter.drawEllipse(QRectF(0, 0, size, size));
    QPen receiver(Qt::white, size / 7.0, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(receiver);
    painter.setBrush(Qt::NoBrush);
    const QRectF arc(size * 0.25, size * 0.3, size * 0.5, size * 0.55);
    painter.drawArc(arc, 20 * 16, 140 * 16);
    return picture;
}
} // namespace

Form5::Form5() {
    ui.setupUi(this);
    ui.Image1->setPixmap(handset(QColor(0x1c, 0x3d, 0x6e), 44));
    ui.Command1->setIcon(handset(QColor(0x00, 0x90, 0x00), 24));
    ui.Command2->setIcon(handset(QColor(0xc0, 0x00, 0x00), 24));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setClientTwips(4695, 2535);
}
