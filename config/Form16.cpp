#include "config/Form16.h"

Form16::Form16() {
    ui.setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(4200, 3000);
}
