#include "services/Log.h"

Q_LOGGING_CATEGORY(lcServices, "gsm.services", QtWarningMsg)
