#include "platform/Pictures.h"

#include <QPainter>

QPixmap handsetPicture(const QColor& badge, int size) {
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
