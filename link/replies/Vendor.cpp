#include "link/replies/Vendor.h"

#include "link/replies/Reading.h"

namespace replies {

std::optional<QString> inputLevel(const QString& reply) {
    return firstFieldAfter(reply, QStringLiteral("+WIOR:"));
}

std::optional<ToolkitStatus> toolkitStatus(const QString& reply) {
    const std::optional<QStringList> values = fieldsAfter(reply, QStringLiteral("+STSF:"));
    if (!values) return std::nullopt;
    return ToolkitStatus{values->value(0), values->value(1), values->value(2), values->value(3)};
}

} // namespace replies
