#pragma once

// The character sets a module exchanges texts in ("AT+CSCS") and the GSM
// default alphabet (3GPP TS 23.038) the SIM keeps them in. The module's own
// texts are Latin-1.

#include <QByteArray>

#include <optional>

namespace sim::commands {

// The GSM default alphabet of a Latin-1 text, one septet a byte, the
// characters of its extension table after an escape; what it lacks becomes "?".
QByteArray toGsmAlphabet(const QByteArray& latin1);
// The Latin-1 text of septets; what Latin-1 lacks becomes "?".
QByteArray fromGsmAlphabet(const QByteArray& septets);

// The character sets of "AT+CSCS=?", in its order.
const QByteArray& characterSetList();
bool knownCharacterSet(const QByteArray& set);
// Whether the set writes a text as hex digits ("HEX", "UCS2").
bool writesHex(const QByteArray& set);
// A text as the terminal's character set writes it.
QByteArray toCharacterSet(const QByteArray& set, const QByteArray& latin1);
// A text the terminal wrote in its character set; none when it is not one.
std::optional<QByteArray> fromCharacterSet(const QByteArray& set, const QByteArray& text);

} // namespace sim::commands
