#pragma once

#include "link/replies/Reading.h"
#include "platform/Timer.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QPlainTextEdit;

// The terminal log: every character the modem sent since a window last
// emptied it, carriage returns and line feeds included, in order of arrival.
// It is the receive buffer every window searches; the text box of the main
// window only mirrors it (a text box would turn line breaks into paragraphs).
//
// Positions are 1-based, as replies are counted; searches are plain and
// case-sensitive and give 0 when the key is absent. The log finds a command's
// reply and judges its outcome; the readers of link/replies/ take the values
// out of the reply's text.
//
// Some replies carry what people wrote: a phonebook entry ("+CPBR:",
// "+CPBF:") and a stored message ("+CMGR:", "+CMGL:"), each from its line to
// the reply's final result (the last result line that follows it: a line of a
// message may itself read "OK"), and the echo of a message body, from the
// "> " prompt to "+CMGS:", "+CMGW:" or an error. That text is user data: nothing inside it is
// a reply, a result code or an echo for `findLine`, `outcomeAfter`,
// `replyTo` and `succeeded`, whatever it holds.
class TerminalLog : public QObject {
    Q_OBJECT
  public:
    TerminalLog();

    // Past this size the oldest text is dropped, never the newest.
    static constexpr int kMaxChars = 4 * 1024 * 1024;
    // The mirror shows at most about this much of the log's end, brought up
    // to date at most this often.
    static constexpr int kMirrorChars = 4 * 1024;
    static constexpr int kMirrorRefreshMs = 200;

    // The outcome of an exchange.
    using Result = replies::Result;

    // The text box that shows the log.
    void setMirror(QPlainTextEdit* mirror);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    void clear() { setText(QString()); }
    void append(const QString& more);
    bool isEmpty() const { return text_.isEmpty(); }
    // Counts every change of the text.
    quint64 changes() const { return changes_; }

    // ---- searching and cutting

    // Position of the first occurrence of key at or after `from`, 0 when absent.
    int find(const QString& key, int from = 1) const;
    bool contains(const QString& key) const { return find(key) > 0; }
    // `length` characters from `start` (fewer at the end, "" past it); throws
    // text::CutError for a negative length or a start before 1.
    QString cut(int start, int length) const;

    // The reply to `command`: what follows its last echo (a line that reads
    // the command as it was written) and the line end that closes it, up to
    // the next command's echo. None when the command's echo is not in the
    // log but others' are: an exchange whose echo is gone has no reply. A log
    // without any echo is the reply of a modem that does not echo.
    std::optional<QString> replyTo(const QString& command) const;
    // The same, the whole log when the command is not echoed.
    QString afterEcho(const QString& command) const;
    // What follows the line at `at` (1-based) and the line end that closes
    // it: the reply to the echo standing there.
    QString replyAfterLine(int at) const;
    // How a reply that holds both "OK" and "ERROR" is judged: "OK" tested
    // first, "ERROR" winning over "OK" (two independent tests, the failure
    // shown last), or the final result line (the last that is "OK" or a
    // refusal).
    enum class Judged { OkFirst, ErrorWins, Final };
    // Whether the exchange of `command` succeeded, judged so on the lines
    // after its echo (the whole log when no command is given or none is
    // echoed; none at all when its echo is gone): true for "OK", false for a
    // refusal ("ERROR", "+CME ERROR: n", "+CMS ERROR: n"), none when the
    // reply holds neither. Text inside the echo never counts.
    std::optional<bool> succeeded(const QString& command, Judged judged) const;
    // Position of the last line of the whole log, user data included, that
    // reads exactly `line` (blanks around it count), 0 when there is none:
    // where a reply that may itself hold the word ends at its final result
    // ("OK" alone on its line), while nothing after the reply reads the same.
    int lastLine(const QString& line) const;

    // ---- replies and codes, user data left out

    // Position of `key` where it begins a line or the log, outside user data,
    // at or after `from`: a reply prefix ("+CSQ:"), a result code ("RING") or
    // a command echo ("ATI0"). 0 when there is none.
    int findLine(const QString& key, int from = 1) const;
    // The text from `at` to the end of its line (short of its carriage return
    // or line feed).
    QString lineAt(int at) const;
    // The final result of the exchange whose echo or reply stands at `at`: the
    // first line after it that is "OK" (Ok), "ERROR" or an extended error
    // (Error), and its position; None and 0 while none has come.
    struct Outcome {
        Result result = Result::None;
        int at = 0;
    };
    Outcome outcomeAfter(int at) const;

    // ---- what the dispatcher empties

    // A stretch of the log, as 0-based indexes [begin, end).
    using Span = replies::Span;
    // The line at `at` (1-based), with the line ends that follow it.
    Span lineSpan(int at) const;
    // The exchange that the echo or reply line at `at` belongs to: from the
    // echo (the line itself, or the echo before it when the line follows that
    // echo before its final result) to the first final result after the line,
    // short of the next echo, with its line ends; the line alone when it
    // follows no echo.
    Span exchangeSpan(int at) const;

    // A stretch held while what it says is acted on: it moves with its text
    // when text before it is removed, and is gone once its own text is
    // (emptied, replaced or cut into).
    class Held {
      public:
        bool isHeld() const { return range_ && range_->held; }

      private:
        friend class TerminalLog;
        struct Range {
            Span span;
            bool held = true;
        };
        std::shared_ptr<Range> range_;
    };
    Held hold(Span span);
    // Removes the held stretch's text, when it is still there.
    void remove(const Held& held);

    // Puts the caret after the last character (the box scrolls to its end).
    void moveCaretToEnd();

  private:
    // The log with every character of user data replaced by a character that
    // no key holds; the same length, so positions agree. Made when first asked
    // for after a change.
    const QString& withoutUserData() const;
    // Where the reply to `command` stands (see replyTo).
    std::optional<Span> replySpan(const QString& command) const;
    // The lines of the reply to `command` (of the whole log when no command
    // is given), user data left out; none when the command is not echoed.
    QStringList replyLines(const QString& command) const;
    // From index `start` (0-based) to the end of its line.
    QString restOfLine(qsizetype start) const;
    void bound();
    // Every held stretch follows the removal of [begin, end).
    void followRemoval(qsizetype begin, qsizetype end);
    bool isEchoLine(qsizetype begin) const;
    void mirrorAppended(const QString& more);
    void mirrorReset();
    void flushMirror();

    QString text_;
    quint64 changes_ = 0;
    mutable QString withoutUserData_;
    mutable quint64 withoutUserDataOf_ = ~quint64(0); // the change it was made for
    std::vector<std::weak_ptr<Held::Range>> held_;
    QPlainTextEdit* mirror_ = nullptr;
    // What the mirror has not shown yet, shown together once events are handled.
    QString mirrorPending_;
    bool mirrorStale_ = false; // the mirror must be refilled from the log's end
    int mirrorChars_ = 0;
    Timer mirrorRefresh_{this, kMirrorRefreshMs, false};
};
