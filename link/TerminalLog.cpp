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

QStringList linesOf(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("[\r\n]"));
    return text.split(breaks, Qt::SkipEmptyParts);
}

bool isErrorLine(const QString& line) {
    return line == QLatin1String("ERROR") || line.startsWith(QLatin1String("+CME ERROR")) ||
           line.startsWith(QLatin1String("+CMS ERROR"));
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

QString TerminalLog::lineAfter(const QString& key) const {
    const int at = find(key);
    if (!at) return QString();
    const qsizetype start = at - 1 + key.size();
    return text_.mid(start, lineEnd(text_, start) - start);
}

QStringList TerminalLog::linesAfter(const QString& key) const {
    QStringList lines;
    for (int at = find(key); at > 0;) {
        const qsizetype start = at - 1 + key.size();
        const qsizetype end = lineEnd(text_, start);
        lines << text_.mid(start, end - start);
        at = find(key, static_cast<int>(end) + 1);
    }
    return lines;
}

QStringList TerminalLog::fieldsAfter(const QString& key) const {
    return contains(key) ? text::fields(lineAfter(key)) : QStringList();
}

QString TerminalLog::afterEcho(const QString& command) const {
    const int at = command.isEmpty() ? 0 : find(command);
    if (!at) return text_;
    const qsizetype end = lineEnd(text_, at - 1 + command.size());
    return text_.mid(end + 1);
}

TerminalLog::Result TerminalLog::result(const QString& command) const {
    Result result = Result::None;
    for (const QString& line : linesOf(afterEcho(command))) {
        const QString trimmed = line.trimmed();
        if (trimmed == QLatin1String("OK"))
            result = Result::Ok;
        else if (isErrorLine(trimmed))
            result = Result::Error;
    }
    return result;
}

bool TerminalLog::hasLine(const QString& line, const QString& command) const {
    const QStringList lines = linesOf(afterEcho(command));
    return std::any_of(lines.begin(), lines.end(),
                       [&line](const QString& l) { return l.trimmed() == line; });
}

int TerminalLog::lastLine(const QString& line) const {
    for (qsizetype at = text_.lastIndexOf(line); at >= 0;
         at = at > 0 ? text_.lastIndexOf(line, at - 1) : -1) {
        const qsizetype end = at + line.size();
        const bool startsLine = at == 0 || isLineEnd(text_.at(at - 1));
        const bool endsLine = end == text_.size() || isLineEnd(text_.at(end));
        if (startsLine && endsLine) return static_cast<int>(at) + 1;
    }
    return 0;
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
