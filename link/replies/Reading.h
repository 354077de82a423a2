#pragma once

// The vocabulary every reader of a reply shares. A reader is a pure function
// from the text of a reply (what follows its command's echo) or of an
// unsolicited code (from the code's line to the end of the log) to a value,
// none when the text does not hold it. Each family of commands has its file
// here, as the simulated modem has in simulator/commands/.
//
// A reader takes a reply apart by the fields 27.007 and 27.005 define, which on
// the shape the console was made for gives what its cuts at fixed places
// always gave. The readers that still make such a cut (see `window` below)
// say so where they are declared.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

namespace replies {

// The final result of an exchange, as a line of the reply says it.
enum class Result { None, Ok, Error };

// "OK", or "ERROR", "+CME ERROR: n" and "+CMS ERROR: n" alike; blanks around aside.
Result resultOf(QStringView line);
bool isErrorLine(QStringView line);

// The lines of a text, without their line ends; blank lines left out.
QStringList lines(const QString& text);

// The first line that begins with `prefix`; none when there is none.
std::optional<QString> lineStarting(const QString& text, const QString& prefix);
// The comma-separated fields after `prefix` on its first line (blanks around
// each dropped, commas inside quotes kept); none when no line begins with it.
std::optional<QStringList> fieldsAfter(const QString& text, const QString& prefix);
// The first of those fields ("" when the line holds none after the prefix);
// none when no line begins with it.
std::optional<QString> firstFieldAfter(const QString& text, const QString& prefix);
// The fields after `prefix` for every line that begins with it, in order: a reply that
// gives one line per class or per facility.
std::vector<QStringList> fieldsOfEach(const QString& text, const QString& prefix);

// Index of the last line of the text that reads exactly `line` (nothing else
// between its line ends), -1 when there is none: where a reply that may
// itself hold the word ends at its final result ("OK" alone on its line).
qsizetype lastLineAt(const QString& text, const QString& line);

// Index of the first line of the reply that is a final result, and which;
// -1 and None while none has come.
struct Outcome {
    Result result = Result::None;
    qsizetype at = -1;
};
Outcome firstResult(const QString& reply);

// The last of the lines that is a final result, which it is; None when none is.
Result finalResult(const QStringList& lines);

// Whether the reply's first final result is "OK"; none while none has come.
std::optional<bool> accepted(const QString& reply);

// The text's whole number (plain digits, blanks around them aside); none for
// anything else.
std::optional<int> number(const QString& text);

// The lines of a reply outside the user data it carries (see userDataSpans):
// those that may hold a result code or a reply prefix.
QStringList resultLines(const QString& reply);
// Whether a line of the reply, outside user data, reads `line` (blanks around it aside).
bool hasLine(const QString& reply, const QString& line);
// Whether the reply, outside user data, holds a refusal: "ERROR", "+CME
// ERROR: n" or "+CMS ERROR: n".
bool hasRefusal(const QString& reply);

// A reader's value where a handler cannot go on without it: throws
// text::CutError (the handler ends, as on any reply it cannot take apart).
template <class T> T required(std::optional<T> value, const char* what);

} // namespace replies

namespace replies {

// Cuts at fixed places past a key, as the console has long made them; each
// takes the key's first occurrence anywhere in the text. `length` characters
// from `offset` characters past the start of `key` (fewer at the end, "" past
// it); "" when the key is absent.
QString window(const QString& text, const QString& key, int offset, int length);
// From `offset` characters past the start of `key` up to the first comma after
// the key, short of the `keepOff` characters before that comma; "" when the
// key is absent, none when no comma follows it.
std::optional<QString> upToComma(const QString& text, const QString& key, int offset,
                                 int keepOff = 0);
// What follows `key` up to the end of its line; "" when the key is absent.
QString lineAfter(const QString& text, const QString& key);
// The same for every occurrence of `key`, in order.
QStringList linesAfter(const QString& text, const QString& key);

// A reply's values cut as the console has long cut a short reply: the text of
// `window` before its first comma, and after it up to the first carriage
// return that follows; none when either is missing.
std::optional<std::pair<QString, QString>> splitAtComma(const QString& window);

// The replies that carry what people wrote: a phonebook entry ("+CPBR:",
// "+CPBF:") and a stored message ("+CMGR:", "+CMGL:"), each from its line to
// the reply's final result (the last result line that follows it: a line of a
// message may itself read "OK"), and the echo of a message body, from the
// "> " prompt to "+CMGS:", "+CMGW:" or an error. Nothing inside them is a
// reply, a result code or an echo, whatever it holds. As 0-based [begin, end)
// indexes of `text`, in order.
struct Span {
    qsizetype begin;
    qsizetype end;
};
std::vector<Span> userDataSpans(const QString& text);
// The first reply carrying user data that begins with `prefix` ("+CPBR:"):
// from the prefix to the end of its data, line breaks inside it kept, those
// before the final result left out. "" when there is none.
QString userData(const QString& text, const QString& prefix);

} // namespace replies

#include "platform/Text.h"

template <class T> T replies::required(std::optional<T> value, const char* what) {
    if (!value) throw text::CutError(what);
    return *std::move(value);
}
