#include "console/Log.h"

Q_LOGGING_CATEGORY(lcConsole, "gsm.console", QtWarningMsg)
