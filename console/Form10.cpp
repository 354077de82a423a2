#include "console/Form10.h"

Form10::Form10() {
    ui.setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setClientTwips(2970, 2265);
}
