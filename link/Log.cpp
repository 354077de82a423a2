#include "link/Log.h"

Q_LOGGING_CATEGORY(lcLink, "gsm.link", QtWarningMsg)
