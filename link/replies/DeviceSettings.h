#pragma once

// The device's own serial line: its rate and its character framing.

#include <QString>

#include <optional>

namespace replies {

// The first of the standard rates that the text holds, tested in the order
// "9600", "115200", "19200", "300", "57600", "600", "1200", "2400", "4800",
// "38400"; none when it holds none (as for "+IPR: 0", the automatic rate).
std::optional<QString> deviceRate(const QString& text);

// The framing and parity codes of "+ICF: <format>,<parity>", one character
// each, or of a profile dump, which writes "+ICF:<format>,<parity>".
struct Framing {
    QString format;
    QString parity;
};
std::optional<Framing> framing(const QString& text);
std::optional<Framing> profileFraming(const QString& text);

} // namespace replies
