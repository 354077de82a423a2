#pragma once

#include <QLoggingCategory>

// The category this layer's error exits log under: "gsm.link".
Q_DECLARE_LOGGING_CATEGORY(lcLink)
