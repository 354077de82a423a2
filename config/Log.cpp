#include "config/Log.h"

Q_LOGGING_CATEGORY(lcConfig, "gsm.config", QtWarningMsg)
