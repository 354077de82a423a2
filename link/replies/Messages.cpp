#include "link/replies/Messages.h"

#include "link/replies/Calls.h"
#include "link/replies/Reading.h"

#include "platform/Text.h"

#include <map>

namespace replies {

namespace {
// Past "+CMTI: " and the quoted two-letter storage name with its comma.
constexpr qsizetype kIndexAt = 12;
constexpr qsizetype kIndexLength = 2;
// The field of "+CNMI:" that routes status reports.
constexpr int kStatusReportField = 3;
const QString kPrompt = QStringLiteral("> ");

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

std::optional<bool> statusReports(const QString& reply) {
    if (hasRefusal(reply)) return false;
    const std::optional<QStringList> values = fieldsAfter(reply, QStringLiteral("+CNMI:"));
    const QString routed = values ? values->value(kStatusReportField) : QString();
    if (routed == QLatin1String("1")) return true;
    if (routed == QLatin1String("0")) return false;
    return std::nullopt;
}

std::optional<StoredMessage> storedMessage(const QString& reply) {
    const QString header = QStringLiteral("+CMGR:");
    const std::optional<QStringList> fields = fieldsAfter(reply, header);
    if (!fields || fields->size() < 2) return std::nullopt;
    const qsizetype lineBreak = reply.indexOf(QLatin1String("\r\n"), reply.indexOf(header));
    if (lineBreak < 0) return std::nullopt;
    const qsizetype bodyAt = lineBreak + 2;
    const qsizetype finalOk = lastLineAt(reply, QStringLiteral("OK"));
    if (finalOk < bodyAt) return std::nullopt;
    return StoredMessage{text::unquoted(fields->at(0)), text::unquoted(fields->at(1)),
                         reply.mid(bodyAt, finalOk - bodyAt)};
}

bool prompted(const QString& reply) {
    // Refused when the result that ends the reply, outside user data, is an error.
    return finalResult(resultLines(reply)) != Result::Error && reply.contains(kPrompt);
}

QString replyToText(const QString& reply, const QString& typedText) {
    const qsizetype prompt = reply.indexOf(kPrompt);
    if (prompt < 0) return reply;
    const qsizetype start = prompt + kPrompt.size();
    const QString continuation = QStringLiteral("\n") + kPrompt;
    qsizetype at = start;
    for (const QChar c : typedText) {
        if (at >= reply.size() || reply.at(at) != c) return reply.mid(start);
        ++at;
        if (c == QLatin1Char('\r') && reply.mid(at, continuation.size()) == continuation)
            at += continuation.size();
    }
    return reply.mid(at);
}

bool hasLineStarting(const QString& text, const QString& prefix) {
    return lineStarting(text, prefix).has_value();
}

} // namespace replies
