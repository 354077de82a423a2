#include "calls/Form8.h"

Form8::Form8() {
    ui.setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9015, 6735);
}
