#pragma once

#include <QLoggingCategory>

// The category this layer's error exits log under: "gsm.console".
Q_DECLARE_LOGGING_CATEGORY(lcConsole)
