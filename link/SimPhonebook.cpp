#include "link/SimPhonebook.h"

#include "link/Modem.h"

#include <QRegularExpression>

namespace simphonebook {

namespace {

const QString kEntryPrefix = QStringLiteral("+CPBR:");

// "+CME ERROR: 21", as a number or, after "AT+CMEE=2", as its text.
bool refusedAsInvalidIndex(const TerminalLog& log, const QString& command) {
    return log.hasLine(QStringLiteral("+CME ERROR: 21"), command) ||
           log.hasLine(QStringLiteral("+CME ERROR: invalid index"), command);
}

// What may follow the name of an entry: the hidden flag (0 or 1), then numbers
// or quoted texts (group, second number and its type, second text, e-mail...).
bool isTrailingFields(QStringView rest) {
    static const QRegularExpression fields(QStringLiteral("^,[01]?(,(\\d*|\"[^\"\\r\\n]*\"))*$"));
    return fields.match(rest).hasMatch();
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

Read readPosition(int index) {
    const QString command = QStringLiteral("AT+CPBR=") + QString::number(index);
    modem::send(command);
    const TerminalLog& log = modem::log();
    if (refusedAsInvalidIndex(log, command)) return {Slot::PastRange, QString()};
    const QString entry = log.userData(kEntryPrefix);
    if (!entry.isEmpty()) return {Slot::Entry, entry};
    const bool answered = log.result(command) != TerminalLog::Result::None;
    return {answered ? Slot::Empty : Slot::NoAnswer, QString()};
}

int lastIndex() {
    modem::send(QStringLiteral("AT+CPBR=?"));
    static const QRegularExpression range(QStringLiteral("^\\+CPBR: *\\(\\d+-(\\d+)\\)"));
    const QRegularExpressionMatch found = range.match(modem::log().userData(kEntryPrefix));
    return found.hasMatch() ? found.captured(1).toInt() : 0;
}

std::optional<Entry> parseEntry(const QString& entry) {
    const QChar quote = QLatin1Char('"');
    const QChar comma = QLatin1Char(',');
    const qsizetype numberOpen = entry.indexOf(quote);
    const qsizetype numberClose = numberOpen < 0 ? -1 : entry.indexOf(quote, numberOpen + 1);
    const qsizetype typeComma = numberClose < 0 ? -1 : entry.indexOf(comma, numberClose);
    const qsizetype nameComma = typeComma < 0 ? -1 : entry.indexOf(comma, typeComma + 1);
    const qsizetype nameOpen = nameComma < 0 ? -1 : entry.indexOf(quote, nameComma);
    const qsizetype nameEnd = nameOpen < 0 ? -1 : nameClose(entry, nameOpen);
    if (nameEnd <= nameOpen || numberClose == numberOpen + 1) return std::nullopt;
    return Entry{entry.mid(numberOpen + 1, numberClose - numberOpen - 1),
                 entry.mid(nameOpen + 1, nameEnd - nameOpen - 1)};
}

} // namespace simphonebook
