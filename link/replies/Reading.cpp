#include "link/replies/Reading.h"

#include "platform/Text.h"

#include <QRegularExpression>

#include <algorithm>

namespace replies {

bool isErrorLine(QStringView line) {
    const QStringView trimmed = line.trimmed();
    return trimmed == QLatin1String("ERROR") || trimmed.startsWith(QLatin1String("+CME ERROR")) ||
           trimmed.startsWith(QLatin1String("+CMS ERROR"));
}

Result resultOf(QStringView line) {
    if (line.trimmed() == QLatin1String("OK")) return Result::Ok;
    return isErrorLine(line) ? Result::Error : Result::None;
}

QStringList lines(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("[\r\n]"));
    return text.split(breaks, Qt::SkipEmptyParts);
}

std::optional<QString> lineStarting(const QString& text, const QString& prefix) {
    for (const QString& line : lines(text))
        if (line.startsWith(prefix)) return line;
    return std::nullopt;
}

std::optional<QStringList> fieldsAfter(const QString& text, const QString& prefix) {
    const std::optional<QString> line = lineStarting(text, prefix);
    if (!line) return std::nullopt;
    return text::fields(line->mid(prefix.size()));
}

std::optional<QString> firstFieldAfter(const QString& text, const QString& prefix) {
    const std::optional<QStringList> values = fieldsAfter(text, prefix);
    if (!values) return std::nullopt;
    return values->value(0);
}

std::vector<QStringList> fieldsOfEach(const QString& text, const QString& prefix) {
    std::vector<QStringList> found;
    for (const QString& line : lines(text))
        if (line.startsWith(prefix)) found.push_back(text::fields(line.mid(prefix.size())));
    return found;
}

qsizetype lastLineAt(const QString& text, const QString& line) {
    const auto isLineEnd = [&text](qsizetype at) {
        return text.at(at) == QLatin1Char('\r') || text.at(at) == QLatin1Char('\n');
    };
    for (qsizetype at = text.lastIndexOf(line); at >= 0;
         at = at > 0 ? text.lastIndexOf(line, at - 1) : -1) {
        const qsizetype end = at + line.size();
        if ((at == 0 || isLineEnd(at - 1)) && (end == text.size() || isLineEnd(end))) return at;
    }
    return -1;
}

Outcome firstResult(const QString& reply) {
    for (qsizetype begin = 0; begin < reply.size();) {
        qsizetype end = begin;
        while (end < reply.size() && reply.at(end) != QLatin1Char('\r') &&
               reply.at(end) != QLatin1Char('\n'))
            ++end;
        if (const Result found = resultOf(QStringView(reply).mid(begin, end - begin));
            found != Result::None)
            return {found, begin};
        begin = end + 1;
    }
    return {};
}

Result finalResult(const QStringList& lines) {
    for (qsizetype i = lines.size(); i-- > 0;)
        if (const Result found = resultOf(lines[i]); found != Result::None) return found;
    return Result::None;
}

std::optional<bool> accepted(const QString& reply) {
    const Outcome outcome = firstResult(reply);
    if (outcome.result == Result::None) return std::nullopt;
    return outcome.result == Result::Ok;
}

std::optional<int> number(const QString& text) {
    try {
        return static_cast<int>(text::number(text));
    } catch (const text::CutError&) {
        return std::nullopt;
    }
}

QStringList resultLines(const QString& reply) {
    QString masked = reply;
    for (const Span& span : userDataSpans(reply))
        masked.replace(span.begin, span.end - span.begin, QString(span.end - span.begin, QChar()));
    return lines(masked);
}

bool hasLine(const QString& reply, const QString& line) {
    const QStringList found = resultLines(reply);
    return std::any_of(found.begin(), found.end(),
                       [&line](const QString& l) { return l.trimmed() == line; });
}

bool hasRefusal(const QString& reply) {
    const QStringList found = resultLines(reply);
    return std::any_of(found.begin(), found.end(), [](const QString& l) { return isErrorLine(l); });
}

} // namespace replies

namespace replies {

namespace {

// From index `start` to the end of its line.
QString restOfLine(const QString& text, qsizetype start) {
    qsizetype end = start;
    while (end < text.size() && text.at(end) != QLatin1Char('\r') &&
           text.at(end) != QLatin1Char('\n'))
        ++end;
    return text.mid(start, end - start);
}

} // namespace

QString window(const QString& text, const QString& key, int offset, int length) {
    const qsizetype at = text.indexOf(key);
    return at < 0 ? QString() : text.mid(at + offset, length);
}

std::optional<QString> upToComma(const QString& text, const QString& key, int offset, int keepOff) {
    const qsizetype at = text.indexOf(key);
    if (at < 0) return QString();
    const qsizetype comma = text.indexOf(QLatin1Char(','), at);
    const qsizetype length = comma - at - offset - keepOff;
    if (comma < 0 || length < 0) return std::nullopt;
    return text.mid(at + offset, length);
}

QString lineAfter(const QString& text, const QString& key) {
    const qsizetype at = text.indexOf(key);
    return at < 0 ? QString() : restOfLine(text, at + key.size());
}

QStringList linesAfter(const QString& text, const QString& key) {
    QStringList found;
    for (qsizetype at = text.indexOf(key); at >= 0;) {
        const QString line = restOfLine(text, at + key.size());
        found << line;
        at = text.indexOf(key, at + key.size() + line.size());
    }
    return found;
}

std::optional<std::pair<QString, QString>> splitAtComma(const QString& window) {
    const qsizetype comma = window.indexOf(QLatin1Char(','));
    if (comma < 0) return std::nullopt;
    const qsizetype cr = window.indexOf(QLatin1Char('\r'), comma);
    if (cr < 0) return std::nullopt;
    return std::make_pair(window.left(comma), window.mid(comma + 1, cr - comma - 1));
}

namespace {

bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool endsMessageEntry(QStringView line) {
    return line.startsWith(QLatin1String("+CMGS:")) || line.startsWith(QLatin1String("+CMGW:")) ||
           isErrorLine(line);
}

// The replies that carry user data: the line that opens one, and how it ends.
// A reply that ends at its final result runs to the last result line after it,
// since its data may hold a line that reads like one; the echo of a message
// body ends at the first line `endsEntry` takes (which is not part of it).
struct UserDataReply {
    const char* opening;
    bool (*endsEntry)(QStringView line); // null: up to the final result
};

const UserDataReply kUserDataReplies[] = {
    {"+CPBR:", nullptr}, {"+CPBF:", nullptr},      {"+CMGR:", nullptr},
    {"+CMGL:", nullptr}, {"> ", endsMessageEntry},
};

const UserDataReply* opening(QStringView line) {
    for (const UserDataReply& reply : kUserDataReplies)
        if (line.startsWith(QLatin1String(reply.opening))) return &reply;
    return nullptr;
}

// A line of the text, as 0-based indexes [begin, end) without its line end.
struct Line {
    qsizetype begin;
    qsizetype end;
    QStringView text;
};

std::vector<Line> linesOf(const QString& text) {
    std::vector<Line> found;
    for (qsizetype begin = 0; begin < text.size();) {
        qsizetype end = begin;
        while (end < text.size() && !isLineEnd(text.at(end)))
            ++end;
        if (end > begin) found.push_back({begin, end, QStringView(text).mid(begin, end - begin)});
        begin = end + 1;
    }
    return found;
}

// Index of the last result line, the number of lines when there is none.
size_t lastResultLine(const std::vector<Line>& found) {
    for (size_t i = found.size(); i-- > 0;)
        if (resultOf(found[i].text) != Result::None) return i;
    return found.size();
}

// Index of the line that ends the user data opened at line `open`: for a reply
// the last result line when it follows, for a message body the first line that
// ends it; the number of lines when none has come.
size_t endOfUserData(const std::vector<Line>& found, size_t open, const UserDataReply& reply,
                     size_t lastResult) {
    if (!reply.endsEntry) return lastResult > open ? lastResult : found.size();
    for (size_t i = open + 1; i < found.size(); ++i)
        if (reply.endsEntry(found[i].text)) return i;
    return found.size();
}

} // namespace

// Each reply from its opening line to the end of its last line before the
// line that ends it (to the end of the text while that has not come). Blank
// lines do not end it; line breaks inside it belong to it.
std::vector<Span> userDataSpans(const QString& text) {
    std::vector<Span> spans;
    const std::vector<Line> found = linesOf(text);
    const size_t lastResult = lastResultLine(found);
    for (size_t i = 0; i < found.size(); ++i) {
        const UserDataReply* open = opening(found[i].text);
        if (!open) continue;
        const size_t end = endOfUserData(found, i, *open, lastResult);
        spans.push_back({found[i].begin, found[end - 1].end});
        i = end; // the line that ended it opens nothing
    }
    return spans;
}

QString userData(const QString& text, const QString& prefix) {
    for (const Span& span : userDataSpans(text))
        if (QStringView(text).mid(span.begin).startsWith(prefix))
            return text.mid(span.begin, span.end - span.begin);
    return QString();
}

} // namespace replies
