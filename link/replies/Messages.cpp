#include "link/replies/Messages.h"

#include "link/replies/Calls.h"
#include "link/replies/Reading.h"

#include <map>

namespace replies {

namespace {
// Past "+CMTI: " and the quoted two-letter storage name with its comma.
constexpr qsizetype kIndexAt = 12;
constexpr qsizetype kIndexLength = 2;
} // namespace

std::optional<QString> newMessageIndex(const QString& line) {
    static const std::map<QString, QString> letters = {
        {QStringLiteral("A"), QStringLiteral("10")},
        {QStringLiteral("B"), QStringLiteral("11")},
        {QStringLiteral("C"), QStringLiteral("12")},
    };
    const QString index = line.mid(kIndexAt, kIndexLength);
    const auto found = letters.find(index);
    return found == letters.end() ? index : found->second;
}

std::optional<QString> serviceCentre(const QString& reply) {
    const std::optional<QString> line = lineStarting(reply, QStringLiteral("+CSCA:"));
    if (!line) return std::nullopt;
    return quotedNumber(*line);
}

} // namespace replies
