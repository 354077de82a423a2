#pragma once

#include <QString>

class QPlainTextEdit;

// The terminal log: every character the modem sent since a window last
// emptied it, carriage returns and line feeds included, in order of arrival.
// It is the receive buffer every window searches; the text box of the main
// window only mirrors it (a text box would turn line breaks into paragraphs).
class TerminalLog {
  public:
    // Past this size the oldest text is dropped, never the newest.
    static constexpr int kMaxChars = 4 * 1024 * 1024;

    // The text box that shows the log.
    void setMirror(QPlainTextEdit* mirror) { mirror_ = mirror; }

    const QString& text() const { return text_; }
    void setText(const QString& text);
    void clear() { setText(QString()); }
    void append(const QString& more);
    bool isEmpty() const { return text_.isEmpty(); }

    // 1-based position of the first occurrence of key, 0 when absent.
    int find(const QString& key, int from = 1) const;
    bool contains(const QString& key) const { return find(key) > 0; }
    // `length` characters from `start`; throws text::CutError for a negative length.
    QString cut(int start, int length) const;

    // Puts the caret after the last character (the box scrolls to its end).
    void moveCaretToEnd();

  private:
    void bound();
    void refreshMirror();

    QString text_;
    QPlainTextEdit* mirror_ = nullptr;
};
