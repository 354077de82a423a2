#include "calls/Log.h"

Q_LOGGING_CATEGORY(lcCalls, "gsm.calls", QtWarningMsg)
