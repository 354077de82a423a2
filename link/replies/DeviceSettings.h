#pragma once

// The device's own serial line: its rate, its character framing, its flow
// control and its control lines.

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

// The codes of a profile dump ("AT&V"), which writes each setting as its name,
// a colon and its value without blanks: the two flow-control codes of
// "+IFC:<dce-dte>,<dte-dce>" and the codes of "&C:<dcd>" and "&D:<dtr>", one
// character each, "" for a setting the dump does not hold.
struct ProfileCodes {
    QString dceDte;
    QString dteDce;
    QString dcd;
    QString dtr;
};
ProfileCodes profileCodes(const QString& profile);

} // namespace replies
