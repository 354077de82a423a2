#include "platform/Text.h"

#include <algorithm>

namespace text {

int find(const QString& haystack, const QString& key, int from) {
    if (from < 1) throw CutError("search start before the first character");
    const qsizetype at = haystack.indexOf(key, from - 1, Qt::CaseSensitive);
    return at < 0 ? 0 : static_cast<int>(at) + 1;
}

QString cut(const QString& source, int start, int length) {
    if (start < 1 || length < 0) throw CutError("invalid cut");
    if (start > source.size()) return QString();
    return source.mid(start - 1, length);
}

QString cutRest(const QString& source, int start) {
    if (start < 1) throw CutError("invalid cut");
    return start > source.size() ? QString() : source.mid(start - 1);
}

double number(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty()) throw CutError("not a number");
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) throw CutError("not a number");
        value = value * 10 + (c.unicode() - '0');
        if (value > kLargestNumber) throw CutError("number out of range");
    }
    return static_cast<double>(value);
}

QStringList fields(const QString& line) {
    QStringList values;
    QString value;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == QLatin1Char('"')) quoted = !quoted;
        if (c == QLatin1Char(',') && !quoted) {
            values << value.trimmed();
            value.clear();
        } else {
            value += c;
        }
    }
    values << value.trimmed();
    return values;
}

QString unquoted(const QString& field) {
    if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
        return field.mid(1, field.size() - 2);
    return field;
}

} // namespace text
