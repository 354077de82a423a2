#include "link/replies/Identity.h"

#include "link/replies/Reading.h"

namespace replies {

namespace {

constexpr int kSerialNumberLength = 15;
// The identification text begins past the line break that opens the reply.
constexpr qsizetype kOpeningBreak = 2;

// The reply's text up to `shortOfOk` characters before its final "OK".
std::optional<QString> identityText(const QString& reply, qsizetype shortOfOk) {
    const Outcome outcome = firstResult(reply);
    if (outcome.result != Result::Ok) return std::nullopt;
    const qsizetype length = outcome.at - shortOfOk - kOpeningBreak + 1;
    if (length < 0) return std::nullopt;
    return reply.mid(kOpeningBreak, length);
}

QString withoutLeadingBlanks(const QString& text) {
    qsizetype blanks = 0;
    while (blanks < text.size() && text.at(blanks) == QLatin1Char(' '))
        ++blanks;
    return text.mid(blanks);
}

} // namespace

QString serialNumber(const QString& reply) {
    const QStringList found = lines(reply);
    return found.isEmpty() || found.first().trimmed() == QLatin1String("OK")
               ? QString()
               : found.first().left(kSerialNumberLength);
}

std::optional<QString> manufacturer(const QString& reply) {
    const std::optional<QString> text = identityText(reply, 1);
    if (!text) return std::nullopt;
    return withoutLeadingBlanks(*text);
}

std::optional<QString> model(const QString& reply) {
    return identityText(reply, 2);
}

} // namespace replies
