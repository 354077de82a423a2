#include "console/Form11.h"

#include "console/Log.h"

#include "ui_Form11.h"

#include <QPainter>
#include <QPixmap>

namespace {
// A closed envelope, the picture of a new message.
QPixmap envelope(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(size * 0.12, size * 0.27, size * 0.76, size * 0.46);
    painter.setPen(QPen(QColor(0x1c, 0x3d, 0x6e), size / 30.0));
    painter.setBrush(QColor(0xff, 0xf4, 0xd6));
    painter.drawRect(body);
    painter.drawLine(body.topLeft(), body.center() + QPointF(0, size * 0.05));
    painter.drawLine(body.topRight(), body.center() + QPointF(0, size * 0.05));
    return picture;
}
} // namespace

Form11::Form11() : ui(std::make_unique<Ui::Form11>()) {
    setLayer(lcConsole);
    ui->setupUi(this);
    ui->Image1->setPixmap(envelope(154));
    setBorder(Border::None);
    setClientTwips(2310, 2310);
}

Form11::~Form11() = default;
