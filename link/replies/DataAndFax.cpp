#include "link/replies/DataAndFax.h"

#include "link/replies/Reading.h"

namespace replies {

std::optional<Bearer> bearer(const QString& reply) {
    const std::optional<QStringList> values = fieldsAfter(reply, QStringLiteral("+CBST:"));
    if (!values) return Bearer{};
    if (!hasLine(reply, QStringLiteral("OK")) || values->size() < 3) return std::nullopt;
    return Bearer{values->at(0), values->at(2)};
}

std::optional<QString> compression(const QString& reply) {
    return firstFieldAfter(reply, QStringLiteral("%C:"));
}

std::optional<QString> errorCorrection(const QString& reply) {
    return firstFieldAfter(reply, QStringLiteral("\\N:"));
}

std::optional<QString> faxClass(const QString& reply) {
    return firstFieldAfter(reply, QStringLiteral("+FCLASS:"));
}

} // namespace replies
