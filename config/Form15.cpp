#include "config/Form15.h"

Form15::Form15() {
    ui.setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9855, 6135);
}
