#include "link/replies/Services.h"

#include "link/replies/Reading.h"

#include <algorithm>

namespace replies {

namespace {

const QString kForwardKey = QStringLiteral("+CCFC:");
// The record begins after the colon and the one blank that follows it.
constexpr int kBlankAfterColon = 1;

// The text between the record's first two double quotes; "" without a quote.
QString quotedNumber(const QString& record) {
    const qsizetype open = record.indexOf(QLatin1Char('"'));
    if (open < 0) return QString();
    const qsizetype close = record.indexOf(QLatin1Char('"'), open + 1);
    return record.mid(open + 1, close < 0 ? -1 : close - open - 1);
}

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
    if (!hasLine(reply, QStringLiteral("OK")) || !reply.contains(kForwardKey)) return std::nullopt;
    const QString record = lineAfter(reply, kForwardKey).mid(kBlankAfterColon);
    return Forwarding{record.left(1), record.mid(2, 1), quotedNumber(record)};
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
    const QString key = QStringLiteral("+CCUG:");
    if (!reply.contains(key)) return std::nullopt;
    const QStringList values = text::fields(lineAfter(reply, key));
    return ClosedUserGroup{values.value(0), values.value(1), values.value(2).left(1)};
}

} // namespace replies
