#include "link/replies/Services.h"

#include "link/replies/Reading.h"

#include <algorithm>

namespace replies {

namespace {

// Whether a "+CCWA:" line of the reply gives `status` for the class `classCode`
// itself: "1,16" is data alone, not voice.
bool waitingFor(const QString& reply, const char* status, const char* classCode) {
    const std::vector<QStringList> records = fieldsOfEach(reply, QStringLiteral("+CCWA:"));
    return std::any_of(records.begin(), records.end(), [&](const QStringList& values) {
        return values.value(0) == QLatin1String(status) &&
               values.value(1) == QLatin1String(classCode);
    });
}

} // namespace

std::optional<Forwarding> forwarding(const QString& reply) {
    if (!hasLine(reply, QStringLiteral("OK"))) return std::nullopt;
    const std::optional<QStringList> values = fieldsAfter(reply, QStringLiteral("+CCFC:"));
    if (!values) return std::nullopt;
    return Forwarding{values->value(0), values->value(1).left(1), text::unquoted(values->value(2))};
}

std::optional<Barring> barring(const QString& reply) {
    const std::optional<QStringList> values = fieldsAfter(reply, QStringLiteral("+CLCK:"));
    if (!values) return std::nullopt;
    return Barring{values->value(0), values->value(1)};
}

std::optional<CallWaiting> callWaiting(const QString& reply) {
    if (waitingFor(reply, "1", "1")) return CallWaiting::Enabled;
    if (waitingFor(reply, "0", "7")) return CallWaiting::Disabled;
    if (hasRefusal(reply)) return CallWaiting::Refused;
    return std::nullopt;
}

std::optional<ClosedUserGroup> closedUserGroup(const QString& reply) {
    const std::optional<QStringList> values = fieldsAfter(reply, QStringLiteral("+CCUG:"));
    if (!values) return std::nullopt;
    return ClosedUserGroup{values->value(0), values->value(1), values->value(2).left(1)};
}

} // namespace replies
