#pragma once

#include <QString>
#include <QStringList>

#include "platform/Failure.h"

#include <stdexcept>

// Text operations with the console's conventions: positions are 1-based,
// searches are plain and case-sensitive, 0 means "not found".
namespace text {

// A cut the handler cannot make (a negative length, a start before 1).
class CutError : public Failure {
  public:
    using Failure::Failure;
};

// Position of the first occurrence of `key` at or after `from`, 0 when absent.
int find(const QString& haystack, const QString& key, int from = 1);
// `length` characters from `start` (fewer at the end; "" past the end).
QString cut(const QString& source, int start, int length);
// Everything from `start`.
QString cutRest(const QString& source, int start);
// The number a text holds: plain decimal digits, white space around them not
// counting, at most `kLargestNumber`. Throws CutError for anything else (a
// sign, a point, an exponent, "nan", a value out of range): not a number.
// The value is whole; it is given as a double for the callers that compute with it.
inline constexpr int kLargestNumber = 2147483647;
double number(const QString& text);

// The comma-separated fields of a line, blanks around each field dropped;
// commas inside double quotes do not separate.
QStringList fields(const QString& line);
// The text between a field's surrounding double quotes; the field itself when it has none.
QString unquoted(const QString& field);

} // namespace text
