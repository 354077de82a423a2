#include "calls/Form5.h"

#include "platform/Pictures.h"

Form5::Form5() {
    ui.setupUi(this);
    ui.Image1->setPixmap(handsetPicture(QColor(0x1c, 0x3d, 0x6e), 44));
    ui.Command1->setIcon(handsetPicture(QColor(0x00, 0x90, 0x00), 24));
    ui.Command2->setIcon(handsetPicture(QColor(0xc0, 0x00, 0x00), 24));
    setBorder(Border::Fixed);
    setClientTwips(4695, 2535);
}
