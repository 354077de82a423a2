#include "link/TerminalLog.h"

#include "platform/Text.h"

#include <QPlainTextEdit>
#include <QTextCursor>

void TerminalLog::setText(const QString& text) {
    text_ = text;
    bound();
    refreshMirror();
}

void TerminalLog::append(const QString& more) {
    if (more.isEmpty()) return;
    text_ += more;
    bound();
    refreshMirror();
}

int TerminalLog::find(const QString& key, int from) const {
    return text::find(text_, key, from);
}

QString TerminalLog::cut(int start, int length) const {
    return text::cut(text_, start, length);
}

void TerminalLog::moveCaretToEnd() {
    if (!mirror_) return;
    QTextCursor cursor = mirror_->textCursor();
    cursor.movePosition(QTextCursor::End);
    mirror_->setTextCursor(cursor);
}

void TerminalLog::bound() {
    if (text_.size() > kMaxChars) text_.remove(0, text_.size() - kMaxChars);
}

void TerminalLog::refreshMirror() {
    // The box lies outside the window; it is only kept current while someone can see it.
    if (mirror_ && mirror_->isVisible()) mirror_->setPlainText(text_);
}
