#include "link/replies/CallSettings.h"

#include "link/replies/Reading.h"
#include "platform/Text.h"

#include <algorithm>
#include <map>

namespace replies {

namespace {

constexpr qsizetype kGainAt = 6; // past "+VGR: "
constexpr qsizetype kGainLength = 3;
constexpr qsizetype kEchoAt = 7; // past "+ECHO: "
constexpr qsizetype kEchoLength = 20;
constexpr qsizetype kSideToneAt = 7; // past "+SIDET:"
constexpr qsizetype kSideToneLength = 10;
constexpr int kToneLengthAt = 6; // past "+VTD: "
constexpr int kToneLengthLength = 3;

// The first `count` values of a reply: each ends at a comma, the last at the
// first carriage return after its comma. None when one is missing.
std::optional<QStringList> replyValues(const QString& reply, int count) {
    QStringList values;
    qsizetype from = 0;
    for (int i = 1; i <= count; ++i) {
        const qsizetype end = reply.indexOf(i < count ? QLatin1Char(',') : QLatin1Char('\r'), from);
        if (end < 0) return std::nullopt;
        values << reply.mid(from, end - from);
        from = end + 1;
    }
    return values;
}

} // namespace

std::optional<QString> gain(const QString& line) {
    return line.mid(kGainAt, kGainLength);
}

std::optional<EchoValues> echoCancellation(const QString& line) {
    static const std::map<int, int> kParameters = {{1, 4}, {3, 3}};
    const QString shown = line.mid(kEchoAt, kEchoLength);
    const QStringList head = shown.split(QLatin1Char(','));
    if (head.size() < 3 || head[0].isEmpty()) return std::nullopt;
    const std::optional<int> algorithm = number(head[1]);
    if (!algorithm || !kParameters.count(*algorithm)) return std::nullopt;
    const std::optional<QStringList> values = replyValues(shown, 2 + kParameters.at(*algorithm));
    if (!values) return std::nullopt;
    return EchoValues{shown, values->at(0), values->at(1), values->mid(2)};
}

std::optional<SideTone> sideTone(const QString& line) {
    const auto values = splitAtComma(line.mid(kSideToneAt, kSideToneLength));
    if (!values) return std::nullopt;
    return SideTone{values->first, values->second};
}

std::optional<int> rings(const QString& reply) {
    const QStringList found = lines(reply);
    if (std::none_of(found.begin(), found.end(),
                     [](const QString& line) { return resultOf(line) == Result::Ok; }))
        return std::nullopt;
    return number(found.first());
}

std::optional<int> toneLength(const QString& reply) {
    if (!hasLine(reply, QStringLiteral("OK"))) return std::nullopt;
    const QString value = window(reply, QStringLiteral("+VTD:"), kToneLengthAt, kToneLengthLength);
    const qsizetype lineEnd = value.indexOf(QLatin1Char('\r'));
    if (lineEnd < 0) return std::nullopt;
    return number(value.left(lineEnd));
}

} // namespace replies
