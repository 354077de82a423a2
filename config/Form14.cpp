#include "config/Form14.h"

Form14::Form14() {
    ui.setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(8400, 5400);
}
