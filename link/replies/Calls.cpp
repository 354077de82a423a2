#include "link/replies/Calls.h"

#include "link/replies/Reading.h"
#include "platform/Text.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace replies {

namespace {

// The values of a signal reply, cut as a window of ten characters past its
// key and blank.
constexpr qsizetype kValuesLength = 10;
constexpr qsizetype kSignalValuesAt = 6; // past "+CSQ: "

// The dial's result codes, by priority.
struct DialCode {
    const char* line;
    DialOutcome outcome;
};
const DialCode kDialCodes[] = {
    {"OK", DialOutcome::Connected},
    {"NO ANSWER", DialOutcome::NoAnswer},
    {"NO CARRIER", DialOutcome::NoCarrier},
    {"BUSY", DialOutcome::Busy},
};

// Whether a line is a result code: a final result or one that ends a dial.
bool isResultCode(const QString& line) {
    const QString trimmed = line.trimmed();
    return resultOf(trimmed) != Result::None ||
           std::any_of(
               std::begin(kDialCodes), std::end(kDialCodes),
               [&trimmed](const DialCode& code) { return trimmed == QLatin1String(code.line); });
}

} // namespace

std::optional<DialOutcome> dialOutcome(const QString& reply, bool refusalCounts) {
    const QStringList found = resultLines(reply);
    const auto stands = [&found](const DialCode& code, qsizetype from) {
        for (qsizetype i = from; i < found.size(); ++i)
            if (found[i].trimmed() == QLatin1String(code.line)) return true;
        return false;
    };
    // Most modules say OK at once: a call-end code after it tells how the call ended.
    qsizetype ok = 0;
    while (ok < found.size() && found[ok].trimmed() != QLatin1String("OK"))
        ++ok;
    if (ok < found.size())
        for (const DialCode& code : kDialCodes)
            if (code.outcome != DialOutcome::Connected && stands(code, ok + 1)) return code.outcome;
    for (const DialCode& code : kDialCodes)
        if (stands(code, 0)) return code.outcome;
    if (refusalCounts && hasRefusal(reply)) return DialOutcome::Refused;
    return std::nullopt;
}

std::optional<QString> redialNumber(const QString& reply) {
    const QStringList found = lines(reply);
    if (found.isEmpty() || isResultCode(found.first())) return std::nullopt;
    const qsizetype end = found.first().indexOf(QLatin1Char(';'));
    if (end < 0) return std::nullopt;
    return found.first().left(end);
}

std::optional<QString> quotedNumber(const QString& line) {
    const QStringList values = text::fields(line.mid(line.indexOf(QLatin1Char(':')) + 1));
    const QString& first = values.first();
    const bool quoted =
        first.size() >= 2 && first.startsWith(QLatin1Char('"')) && first.endsWith(QLatin1Char('"'));
    if (!quoted || values.size() < 2) return std::nullopt;
    return text::unquoted(first);
}

std::optional<SignalQuality> signalQuality(const QString& line) {
    const auto values = splitAtComma(line.mid(kSignalValuesAt, kValuesLength));
    if (!values) return std::nullopt;
    const std::optional<int> rssi = number(values->first);
    if (!rssi) return std::nullopt;
    return SignalQuality{*rssi, values->first, values->second};
}

std::optional<int> registrationStat(const QString& line) {
    const std::optional<QStringList> values = fieldsAfter(line, QStringLiteral("+CREG:"));
    if (!values || values->size() < 2) return std::nullopt;
    return number(values->at(1));
}

std::optional<QStringList> indicatorValues(const QString& reply) {
    return fieldsAfter(reply, QStringLiteral("+CIND:"));
}

std::optional<CallIndicators> callIndicators(const QString& reply) {
    const std::optional<QString> line = lineStarting(reply, QStringLiteral("+CIND:"));
    if (!line) return std::nullopt;
    // The names are the list's quoted texts, in order; the ranges hold no quotes.
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
    QStringList names;
    for (auto found = quoted.globalMatch(*line); found.hasNext();)
        names << found.next().captured(1).trimmed().toLower();
    const qsizetype call = names.indexOf(QStringLiteral("call"));
    if (call < 0) return std::nullopt;
    CallIndicators at{static_cast<int>(call), std::nullopt};
    for (const char* setup : {"callsetup", "sounder"}) {
        const qsizetype found = names.indexOf(QLatin1String(setup));
        if (found < 0) continue;
        at.setup = static_cast<int>(found);
        break;
    }
    return at;
}

std::optional<bool> callInProgress(const QString& reply, const CallIndicators& at) {
    const qsizetype line = reply.indexOf(QLatin1String("+CIND:"));
    if (line < 0) return std::nullopt;
    const std::optional<QStringList> values = indicatorValues(reply.mid(line));
    if (!values) return std::nullopt;
    bool inProgress = false;
    for (const std::optional<int> position : {std::optional<int>(at.call), at.setup}) {
        if (!position) continue;
        if (*position >= values->size()) return std::nullopt;
        const std::optional<int> value = number(values->at(*position));
        if (!value) return std::nullopt;
        inProgress = inProgress || *value != 0;
    }
    return inProgress;
}

} // namespace replies
