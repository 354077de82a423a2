#pragma once

// The module vendor's own commands: the input pins and the SIM toolkit.

#include <QString>

#include <optional>

namespace replies {

// "AT+WIOR=<pin>": the pin's level, the value of "+WIOR: <value>" as the reply
// writes it; none without the line.
std::optional<QString> inputLevel(const QString& reply);

// "AT+STSF?": "+STSF: <mode>,<config>,<timeout>,<autoresponse>", each value
// as the reply writes it, "" where the reply lacks it; none without the line.
struct ToolkitStatus {
    QString mode;
    QString config;
    QString timeout;
    QString autoResponse;
};
std::optional<ToolkitStatus> toolkitStatus(const QString& reply);

} // namespace replies
