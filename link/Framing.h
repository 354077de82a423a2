#pragma once

#include <QString>

#include <optional>

// The two codes of a character framing reply ("+ICF: <format>,<parity>"),
// their texts, and how a serial line runs with them. Codes are compared as
// one-character texts.
namespace framing {

// The texts of the codes, "" for a code outside the tables.
QString formatText(const QString& code);
QString parityText(const QString& code);
// The framing line's summary of the codes: "Character Framing:", the format
// text, a blank and the parity text.
QString summary(const QString& formatCode, const QString& parityCode);

// A serial line's parity letter, data bits and stop bits, as its settings
// string writes them ("n", "8", "1").
struct Line {
    QString parity;
    QString dataBits;
    QString stopBits;
};

// The line a device runs with this framing: without a parity bit the parity
// code does not count. None for a framing the device detects (format 0), a
// parity bit with the parity "None", and codes outside the tables.
std::optional<Line> lineOf(const QString& formatCode, const QString& parityCode);

} // namespace framing
