// The main window's buttons.

#include "console/Form1.h"

void Form1::connectButtons() {}

void Form1::ResetStatusList() {}
