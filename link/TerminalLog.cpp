#include "link/TerminalLog.h"

#include "platform/Text.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextCursor>

#include <algorithm>

namespace {

bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Index of the first line end at or after `from` (0-based), the text's size when there is none.
qsizetype lineEnd(const QString& text, qsizetype from) {
    while (from < text.size() && !isLineEnd(text.at(from)))
        ++from;
    return from;
}

bool isErrorLine(QStringView line) {
    return line == QLatin1String("ERROR") || line.startsWith(QLatin1String("+CME ERROR")) ||
           line.startsWith(QLatin1String("+CMS ERROR"));
}

TerminalLog::Result finalResult(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (trimmed == QLatin1String("OK")) return TerminalLog::Result::Ok;
    return isErrorLine(trimmed) ? TerminalLog::Result::Error : TerminalLog::Result::None;
}

bool isLineStart(const QString& text, qsizetype index) {
    return index == 0 || isLineEnd(text.at(index - 1));
}

// --- user data

// Stands in for user data when the log is searched: no key holds it.
constexpr QChar kMasked = QChar(0);

bool endsMessageEntry(QStringView line) {
    return line.startsWith(QLatin1String("+CMGS:")) || line.startsWith(QLatin1String("+CMGW:")) ||
           isErrorLine(line.trimmed());
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

// A stretch of the log, as 0-based indexes [begin, end).
struct Span {
    qsizetype begin;
    qsizetype end;
};

// A line of the log, as 0-based indexes [begin, end) without its line end.
struct Line {
    qsizetype begin;
    qsizetype end;
    QStringView text;
};

std::vector<Line> linesOf(const QString& text) {
    std::vector<Line> lines;
    for (qsizetype begin = 0; begin < text.size();) {
        const qsizetype end = lineEnd(text, begin);
        if (end > begin) lines.push_back({begin, end, QStringView(text).mid(begin, end - begin)});
        begin = end + 1;
    }
    return lines;
}

// Index of the last result line of the log, the number of lines when there is none.
size_t lastResultLine(const std::vector<Line>& lines) {
    for (size_t i = lines.size(); i-- > 0;)
        if (finalResult(lines[i].text) != TerminalLog::Result::None) return i;
    return lines.size();
}

// Index of the line that ends the user data opened at line `open`: for a reply
// the last result line of the log when it follows, for a message body the
// first line that ends it; the number of lines when none has come.
size_t endOfUserData(const std::vector<Line>& lines, size_t open, const UserDataReply& reply,
                     size_t lastResult) {
    if (!reply.endsEntry) return lastResult > open ? lastResult : lines.size();
    for (size_t i = open + 1; i < lines.size(); ++i)
        if (reply.endsEntry(lines[i].text)) return i;
    return lines.size();
}

// The user data of the log: each reply from its opening line to the end of
// its last line before the line that ends it (to the end of the log while
// that has not come). Blank lines do not end it; line breaks inside it belong to it.
std::vector<Span> userDataSpans(const QString& text) {
    std::vector<Span> spans;
    const std::vector<Line> lines = linesOf(text);
    const size_t lastResult = lastResultLine(lines);
    for (size_t i = 0; i < lines.size(); ++i) {
        const UserDataReply* open = opening(lines[i].text);
        if (!open) continue;
        const size_t end = endOfUserData(lines, i, *open, lastResult);
        spans.push_back({lines[i].begin, lines[end - 1].end});
        i = end; // the line that ended it opens nothing
    }
    return spans;
}

} // namespace

TerminalLog::TerminalLog() {
    connect(&mirrorRefresh_, &Timer::tick, this, &TerminalLog::flushMirror);
}

void TerminalLog::setMirror(QPlainTextEdit* mirror) {
    mirror_ = mirror;
    mirrorReset();
}

void TerminalLog::setText(const QString& text) {
    text_ = text;
    ++changes_;
    bound();
    mirrorReset();
}

void TerminalLog::append(const QString& more) {
    if (more.isEmpty()) return;
    text_ += more;
    ++changes_;
    if (text_.size() > kMaxChars) {
        bound();
        mirrorReset();
    } else {
        mirrorAppended(more);
    }
}

int TerminalLog::find(const QString& key, int from) const {
    return text::find(text_, key, from);
}

QString TerminalLog::cut(int start, int length) const {
    return text::cut(text_, start, length);
}

QString TerminalLog::window(const QString& key, int offset, int length) const {
    const int at = find(key);
    return at ? window(at, offset, length) : QString();
}

QString TerminalLog::upToComma(const QString& key, int offset, int keepOff) const {
    const int at = find(key);
    return at ? upToComma(at, offset, keepOff) : QString();
}

QString TerminalLog::upToComma(int at, int offset, int keepOff) const {
    const int comma = find(QStringLiteral(","), at);
    if (!comma) throw text::CutError("no comma after the key");
    return cut(at + offset, comma - at - offset - keepOff);
}

QString TerminalLog::restOfLine(qsizetype start) const {
    return text_.mid(start, lineEnd(text_, start) - start);
}

QString TerminalLog::lineAfter(const QString& key) const {
    const int at = find(key);
    return at ? restOfLine(at - 1 + key.size()) : QString();
}

QStringList TerminalLog::linesAfter(const QString& key) const {
    QStringList lines;
    for (int at = find(key); at > 0;) {
        const qsizetype start = at - 1 + key.size();
        lines << restOfLine(start);
        at = find(key, static_cast<int>(lineEnd(text_, start)) + 1);
    }
    return lines;
}

QStringList TerminalLog::fieldsAfter(const QString& key) const {
    return contains(key) ? text::fields(lineAfter(key)) : QStringList();
}

qsizetype TerminalLog::replyStart(const QString& command) const {
    const int at = command.isEmpty() ? 0 : findLine(command);
    if (!at) return 0;
    return std::min(lineEnd(text_, at - 1 + command.size()) + 1, text_.size());
}

QString TerminalLog::afterEcho(const QString& command) const {
    return text_.mid(replyStart(command));
}

QStringList TerminalLog::replyLines(const QString& command) const {
    static const QRegularExpression breaks(QStringLiteral("[\r\n]"));
    return withoutUserData().mid(replyStart(command)).split(breaks, Qt::SkipEmptyParts);
}

TerminalLog::Result TerminalLog::result(const QString& command) const {
    Result result = Result::None;
    for (const QString& line : replyLines(command)) {
        if (const Result found = finalResult(line); found != Result::None) result = found;
    }
    return result;
}

std::optional<bool> TerminalLog::succeeded(const QString& command, Judged judged) const {
    if (judged == Judged::Final) {
        const Result final = result(command);
        if (final == Result::None) return std::nullopt;
        return final == Result::Ok;
    }
    const bool ok = hasLine(QStringLiteral("OK"), command);
    const bool error = hasError(command);
    if (!ok && !error) return std::nullopt;
    return judged == Judged::OkFirst ? ok : !error;
}

bool TerminalLog::hasLine(const QString& line, const QString& command) const {
    const QStringList lines = replyLines(command);
    return std::any_of(lines.begin(), lines.end(),
                       [&line](const QString& l) { return l.trimmed() == line; });
}

bool TerminalLog::hasError(const QString& command) const {
    const QStringList lines = replyLines(command);
    return std::any_of(lines.begin(), lines.end(),
                       [](const QString& l) { return isErrorLine(l.trimmed()); });
}

int TerminalLog::lastLine(const QString& line) const {
    for (qsizetype at = text_.lastIndexOf(line); at >= 0;
         at = at > 0 ? text_.lastIndexOf(line, at - 1) : -1) {
        const qsizetype end = at + line.size();
        if (isLineStart(text_, at) && lineEnd(text_, end) == end) return static_cast<int>(at) + 1;
    }
    return 0;
}

const QString& TerminalLog::withoutUserData() const {
    if (withoutUserDataOf_ != changes_) {
        withoutUserData_ = text_;
        for (const Span& span : userDataSpans(text_))
            std::fill(withoutUserData_.begin() + span.begin, withoutUserData_.begin() + span.end,
                      kMasked);
        withoutUserDataOf_ = changes_;
    }
    return withoutUserData_;
}

int TerminalLog::findLine(const QString& key, int from) const {
    const QString& searched = withoutUserData();
    for (int at = text::find(searched, key, from); at > 0; at = text::find(searched, key, at + 1))
        if (isLineStart(searched, at - 1)) return at;
    return 0;
}

QString TerminalLog::lineAt(int at) const {
    if (at < 1) throw text::CutError("invalid cut");
    return restOfLine(at - 1);
}

QString TerminalLog::quotedNumberAt(int at) const {
    const QString line = lineAt(at);
    const QStringList values = text::fields(line.mid(line.indexOf(QLatin1Char(':')) + 1));
    const QString& first = values.first();
    const bool quoted =
        first.size() >= 2 && first.startsWith(QLatin1Char('"')) && first.endsWith(QLatin1Char('"'));
    if (!quoted || values.size() < 2) throw text::CutError("no quoted number and type");
    return text::unquoted(first);
}

TerminalLog::Outcome TerminalLog::outcomeAfter(int at) const {
    const QString& searched = withoutUserData();
    if (at < 1) return {};
    for (qsizetype begin = lineEnd(searched, at - 1) + 1; begin < searched.size();) {
        const qsizetype end = lineEnd(searched, begin);
        const Result found = finalResult(QStringView(searched).mid(begin, end - begin));
        if (found != Result::None) return {found, static_cast<int>(begin) + 1};
        begin = end + 1;
    }
    return {};
}

QString TerminalLog::userData(const QString& prefix) const {
    for (const Span& span : userDataSpans(text_))
        if (QStringView(text_).mid(span.begin).startsWith(prefix))
            return text_.mid(span.begin, span.end - span.begin);
    return QString();
}

void TerminalLog::moveCaretToEnd() {
    if (!mirror_) return;
    flushMirror();
    QTextCursor cursor = mirror_->textCursor();
    cursor.movePosition(QTextCursor::End);
    mirror_->setTextCursor(cursor);
}

void TerminalLog::bound() {
    if (text_.size() > kMaxChars) text_.remove(0, text_.size() - kMaxChars);
}

// The mirror follows the log at a cost that does not grow with the log: what
// arrived is appended, the arrivals of a fifth of a second at once, and the
// mirror is refilled from the log's end only after the log was emptied or
// replaced, or when it has grown past twice its share.
void TerminalLog::mirrorAppended(const QString& more) {
    if (!mirror_) return;
    if (mirrorStale_ || mirrorPending_.size() + more.size() > kMirrorChars) {
        mirrorReset();
        return;
    }
    mirrorPending_ += more;
    mirrorRefresh_.setEnabled(true);
}

void TerminalLog::mirrorReset() {
    if (!mirror_) return;
    mirrorStale_ = true;
    mirrorPending_.clear();
    mirrorRefresh_.setEnabled(true);
}

void TerminalLog::flushMirror() {
    mirrorRefresh_.setEnabled(false);
    if (!mirror_) return;
    if (mirrorStale_ || mirrorChars_ + mirrorPending_.size() > 2 * kMirrorChars) {
        const QString shown = text_.right(kMirrorChars);
        mirror_->setPlainText(shown);
        mirrorChars_ = static_cast<int>(shown.size());
    } else if (!mirrorPending_.isEmpty()) {
        QTextCursor end(mirror_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(mirrorPending_);
        mirrorChars_ += static_cast<int>(mirrorPending_.size());
    }
    mirrorPending_.clear();
    mirrorStale_ = false;
}
