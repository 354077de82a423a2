#include "console/Form20.h"

Form20::Form20() : Timer1(this, 50000, false) {
    ui.setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setClientTwips(4335, 1095);
}
