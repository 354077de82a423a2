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

bool isLineStart(const QString& text, qsizetype index) {
    return index == 0 || isLineEnd(text.at(index - 1));
}

// Stands in for user data when the log is searched: no key holds it.
constexpr QChar kMasked = QChar(0);

// Past the line ends that follow `end`.
qsizetype pastLineEnds(const QString& text, qsizetype end) {
    while (end < text.size() && isLineEnd(text.at(end)))
        ++end;
    return end;
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
    // Whatever was held is gone with the text it stood for.
    for (const std::weak_ptr<Held::Range>& weak : held_)
        if (const std::shared_ptr<Held::Range> range = weak.lock()) range->held = false;
    held_.clear();
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

QString TerminalLog::restOfLine(qsizetype start) const {
    return text_.mid(start, lineEnd(text_, start) - start);
}

std::optional<TerminalLog::Span> TerminalLog::replySpan(const QString& command) const {
    const QString& searched = withoutUserData();
    // The last line that reads the command as it was written.
    qsizetype echo = -1;
    for (qsizetype at = searched.lastIndexOf(command); at >= 0;
         at = at > 0 ? searched.lastIndexOf(command, at - 1) : -1) {
        const qsizetype end = at + command.size();
        if (isLineStart(searched, at) && lineEnd(searched, end) == end) {
            echo = at;
            break;
        }
    }
    if (echo < 0) {
        // A modem that does not echo (told "ATE0") answers on an emptied log:
        // the log is the reply. Where other commands' echoes stand, this one's is gone.
        for (qsizetype at = 0; at < searched.size();
             at = pastLineEnds(searched, lineEnd(searched, at)))
            if (isEchoLine(at)) return std::nullopt;
        return Span{0, searched.size()};
    }
    const qsizetype begin = std::min(lineEnd(searched, echo + command.size()) + 1, searched.size());
    // Up to the next command's echo.
    qsizetype end = begin;
    while (end < searched.size() && !(isLineStart(searched, end) && isEchoLine(end)))
        end = pastLineEnds(searched, lineEnd(searched, end));
    return Span{begin, end};
}

std::optional<QString> TerminalLog::replyTo(const QString& command) const {
    const std::optional<Span> span = replySpan(command);
    if (!span) return std::nullopt;
    return text_.mid(span->begin, span->end - span->begin);
}

QString TerminalLog::afterEcho(const QString& command) const {
    return replyTo(command).value_or(text_);
}

QString TerminalLog::replyAfterLine(int at) const {
    return text_.mid(std::min(lineEnd(text_, at - 1) + 1, text_.size()));
}

QStringList TerminalLog::replyLines(const QString& command) const {
    static const QRegularExpression breaks(QStringLiteral("[\r\n]"));
    if (command.isEmpty()) return withoutUserData().split(breaks, Qt::SkipEmptyParts);
    const std::optional<Span> span = replySpan(command);
    if (!span) return QStringList();
    return withoutUserData()
        .mid(span->begin, span->end - span->begin)
        .split(breaks, Qt::SkipEmptyParts);
}

std::optional<bool> TerminalLog::succeeded(const QString& command, Judged judged) const {
    const QStringList lines = replyLines(command);
    const Result final = replies::finalResult(lines);
    if (final == Result::None) return std::nullopt;
    const auto holds = [&lines](Result result) {
        return std::any_of(lines.begin(), lines.end(), [result](const QString& line) {
            return replies::resultOf(line) == result;
        });
    };
    switch (judged) {
    case Judged::OkFirst:
        return holds(Result::Ok);
    case Judged::ErrorWins:
        return !holds(Result::Error);
    case Judged::Final:
        break;
    }
    return final == Result::Ok;
}

int TerminalLog::lastLine(const QString& line) const {
    return static_cast<int>(replies::lastLineAt(text_, line)) + 1;
}

const QString& TerminalLog::withoutUserData() const {
    if (withoutUserDataOf_ != changes_) {
        withoutUserData_ = text_;
        for (const Span& span : replies::userDataSpans(text_))
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

TerminalLog::Outcome TerminalLog::outcomeAfter(int at) const {
    const QString& searched = withoutUserData();
    if (at < 1) return {};
    for (qsizetype begin = lineEnd(searched, at - 1) + 1; begin < searched.size();) {
        const qsizetype end = lineEnd(searched, begin);
        const Result found = replies::resultOf(QStringView(searched).mid(begin, end - begin));
        if (found != Result::None) return {found, static_cast<int>(begin) + 1};
        begin = end + 1;
    }
    return {};
}

TerminalLog::Span TerminalLog::lineSpan(int at) const {
    const qsizetype begin = at - 1;
    return {begin, pastLineEnds(text_, lineEnd(text_, begin))};
}

bool TerminalLog::isEchoLine(qsizetype begin) const {
    return QStringView(withoutUserData()).mid(begin).startsWith(QLatin1String("AT"));
}

TerminalLog::Span TerminalLog::exchangeSpan(int at) const {
    const QString& searched = withoutUserData();
    const qsizetype line = at - 1;
    qsizetype begin = line;
    if (!isEchoLine(line)) {
        // Back to the echo the line answers, unless a final result stands between.
        for (qsizetype end = line - 1; end > 0;) {
            while (end >= 0 && isLineEnd(searched.at(end)))
                --end;
            if (end < 0) break;
            qsizetype start = end;
            while (start > 0 && !isLineEnd(searched.at(start - 1)))
                --start;
            if (replies::resultOf(QStringView(searched).mid(start, end + 1 - start)) !=
                Result::None)
                break;
            if (isEchoLine(start)) {
                begin = start;
                break;
            }
            end = start - 1;
        }
    }
    // On to the first final result, short of the next echo.
    qsizetype end = lineEnd(searched, line);
    for (qsizetype next = pastLineEnds(searched, end); next < searched.size();) {
        if (isEchoLine(next)) break;
        const qsizetype nextEnd = lineEnd(searched, next);
        if (replies::resultOf(QStringView(searched).mid(next, nextEnd - next)) != Result::None) {
            end = nextEnd;
            break;
        }
        next = pastLineEnds(searched, nextEnd);
    }
    return {begin, pastLineEnds(searched, end)};
}

TerminalLog::Held TerminalLog::hold(Span span) {
    Held held;
    held.range_ = std::make_shared<Held::Range>(Held::Range{span});
    held_.push_back(held.range_);
    return held;
}

void TerminalLog::remove(const Held& held) {
    if (!held.isHeld()) return;
    const Span span = held.range_->span;
    text_.remove(span.begin, span.end - span.begin);
    ++changes_;
    followRemoval(span.begin, span.end);
    mirrorReset();
}

void TerminalLog::followRemoval(qsizetype begin, qsizetype end) {
    std::vector<std::weak_ptr<Held::Range>> kept;
    for (const std::weak_ptr<Held::Range>& weak : held_) {
        const std::shared_ptr<Held::Range> range = weak.lock();
        if (!range || !range->held) continue;
        Span& span = range->span;
        if (span.begin >= end) {
            span.begin -= end - begin;
            span.end -= end - begin;
        } else if (span.end > begin) {
            range->held = false;
            continue;
        }
        kept.push_back(range);
    }
    held_ = std::move(kept);
}

void TerminalLog::moveCaretToEnd() {
    if (!mirror_) return;
    flushMirror();
    QTextCursor cursor = mirror_->textCursor();
    cursor.movePosition(QTextCursor::End);
    mirror_->setTextCursor(cursor);
}

void TerminalLog::bound() {
    if (text_.size() <= kMaxChars) return;
    const qsizetype dropped = text_.size() - kMaxChars;
    text_.remove(0, dropped);
    followRemoval(0, dropped);
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
