#include "link/replies/Phonebook.h"

#include "link/replies/Reading.h"
#include "platform/Text.h"

#include <QRegularExpression>

namespace replies {

namespace {

const QString kEntryPrefix = QStringLiteral("+CPBR:");
// Places beyond three digits do not exist: the capacity has three at most.
constexpr int kCapacityDigits = 3;

QString leadingDigits(const QString& text, int most) {
    qsizetype count = 0;
    while (count < text.size() && count < most && text.at(count) >= QLatin1Char('0') &&
           text.at(count) <= QLatin1Char('9'))
        ++count;
    return text.left(count);
}

// "+CME ERROR: 21", as a number or, after "AT+CMEE=2", as its text.
bool refusedAsInvalidIndex(const QStringList& outside) {
    for (const QString& line : outside) {
        const QString trimmed = line.trimmed();
        if (trimmed == QLatin1String("+CME ERROR: 21") ||
            trimmed == QLatin1String("+CME ERROR: invalid index"))
            return true;
    }
    return false;
}

// What may follow the name of an entry: 27.007's hidden flag (0, 1 or empty)
// or a phone's quoted text (a date, a time), then numbers, quoted texts or
// empty fields (group, second number and its type, second text, e-mail...).
bool isTrailingFields(QStringView rest) {
    static const QRegularExpression trailing(
        QStringLiteral("^(,([01]?|\"[^\"\\r\\n]*\")(,(\\d*|\"[^\"\\r\\n]*\"))*)?$"));
    return trailing.match(rest).hasMatch();
}

// The quote that closes the name opened at `open`: the first one that only
// trailing fields follow, else the entry's last, so that a name that ends the
// entry keeps every quote it holds.
qsizetype nameClose(const QString& entry, qsizetype open) {
    const QChar quote = QLatin1Char('"');
    for (qsizetype at = entry.indexOf(quote, open + 1); at >= 0; at = entry.indexOf(quote, at + 1))
        if (isTrailingFields(QStringView(entry).mid(at + 1))) return at;
    return entry.lastIndexOf(quote);
}

} // namespace

std::optional<PhonebookStatus> phonebookStatus(const QString& reply) {
    const std::optional<QStringList> fields = fieldsAfter(reply, QStringLiteral("+CPBS:"));
    if (!fields || fields->at(0) != QLatin1String("\"SM\"") || fields->size() < 2)
        return std::nullopt;
    return PhonebookStatus{fields->at(1), leadingDigits(fields->value(2), kCapacityDigits)};
}

PlaceRead placeRead(const QString& reply) {
    const QStringList outside = resultLines(reply);
    if (refusedAsInvalidIndex(outside)) return {Slot::PastRange, QString()};
    const QString entry = userData(reply, kEntryPrefix);
    if (!entry.isEmpty()) return {Slot::Entry, entry};
    return {finalResult(outside) != Result::None ? Slot::Empty : Slot::NoAnswer, QString()};
}

PlaceRead placeRead(const QString& reply, int place) {
    static const QRegularExpression entryLine(QStringLiteral("(?:^|[\r\n])(\\+CPBR: *(\\d+) *,)"));
    for (auto lines = entryLine.globalMatch(reply); lines.hasNext();) {
        const QRegularExpressionMatch line = lines.next();
        if (line.captured(2).toInt() == place) return placeRead(reply.mid(line.capturedStart(1)));
    }
    const PlaceRead read = placeRead(reply);
    if (read.slot == Slot::Entry) return {Slot::NoAnswer, QString()};
    return read;
}

std::optional<int> lastPlace(const QString& reply) {
    static const QRegularExpression range(QStringLiteral("^\\+CPBR: *\\(\\d+-(\\d+)\\)"));
    const QRegularExpressionMatch found = range.match(userData(reply, kEntryPrefix));
    if (!found.hasMatch()) return std::nullopt;
    return found.captured(1).toInt();
}

std::optional<Entry> phonebookEntry(const QString& entry) {
    const QChar quote = QLatin1Char('"');
    const QChar comma = QLatin1Char(',');
    const qsizetype numberOpen = entry.indexOf(quote);
    const qsizetype numberClose = numberOpen < 0 ? -1 : entry.indexOf(quote, numberOpen + 1);
    const qsizetype typeComma = numberClose < 0 ? -1 : entry.indexOf(comma, numberClose);
    const qsizetype nameComma = typeComma < 0 ? -1 : entry.indexOf(comma, typeComma + 1);
    if (nameComma < 0 || numberClose == numberOpen + 1) return std::nullopt;
    const QString number = entry.mid(numberOpen + 1, numberClose - numberOpen - 1);
    qsizetype nameAt = nameComma + 1;
    while (nameAt < entry.size() && entry.at(nameAt) == QLatin1Char(' '))
        ++nameAt;
    if (nameAt < entry.size() && entry.at(nameAt) != quote) {
        // Written without quotes, as modules write hex names: up to the next field.
        const qsizetype end = entry.indexOf(comma, nameAt);
        return Entry{number, entry.mid(nameAt, end < 0 ? -1 : end - nameAt)};
    }
    const qsizetype nameOpen = entry.indexOf(quote, nameComma);
    const qsizetype nameEnd = nameOpen < 0 ? -1 : nameClose(entry, nameOpen);
    if (nameEnd <= nameOpen) return std::nullopt;
    return Entry{number, entry.mid(nameOpen + 1, nameEnd - nameOpen - 1)};
}

} // namespace replies
