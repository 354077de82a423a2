#pragma once

#include <QString>

// What a user types that goes into an AT command is checked against what its
// field allows before anything is written: ";" would chain a further command,
// a comma would shift the fields that follow, a double quote would end a
// quoted string, and characters 26 and 27 end or abort a message text, after
// which the rest would run as commands.
namespace typed {

// Nothing but the digits 0 to 9 (a PIN, a password, a count): no sign, no
// blank, nothing that could join the command after it. The empty text
// passes; a caller that needs a digit says so.
bool isDigits(const QString& text);
// One digit or more and nothing else.
bool isWholeNumber(const QString& text);

// A dial string for "ATD": digits, "+", "*", "#", A to D, the dial modifiers
// other than ";" ("," "T" "P" "W" "!" "@") and blanks.
bool isDialString(const QString& text);

enum class Blanks { Refused, Allowed };
// A number written as a command's parameter ("AT+CPBW=", "AT+CMGS="):
// digits, "+", "*", "#" and A to D, and blanks where `blanks` allows them.
bool isNumber(const QString& text, Blanks blanks);

// A text written between double quotes: no quote and no control character.
bool isQuotable(const QString& text);

// A message text or header: neither character 26 nor 27.
bool isMessageText(const QString& text);

// Text the serial line carries unchanged: it goes out one byte a character,
// so every character lies within Latin-1 (U+0000 to U+00FF). Control
// characters are the other checks' concern.
bool isLineText(const QString& text);

// The whole number a count box or a reply holds (plain decimal digits, blanks
// around them aside), as a 16-bit number. Throws text::CutError when the text
// is no such number or the number does not fit.
int integer16(const QString& text);

} // namespace typed
