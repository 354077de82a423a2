#include "console/Form7.h"

Form7::Form7() {
    ui.setupUi(this);
    setBorder(Border::Fixed);
    setClientTwips(4215, 2175);
}
