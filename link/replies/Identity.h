#pragma once

// Who the modem is: its serial number and the identification texts.

#include <QString>

#include <optional>

namespace replies {

// "AT+CGSN": the first line of the reply, short of the final result, at most
// fifteen characters; "" when the reply gives none.
QString serialNumber(const QString& reply);

// "ATI0" and "ATI3": the text from the reply's first character past the line
// break that opens it, up to its final "OK", the reply's own line breaks
// kept. The manufacturer text runs up to the character before "OK", without
// the blanks that padded modules put before it; the model text stops two
// characters before "OK". None when "OK" comes within the opening line break.
std::optional<QString> manufacturer(const QString& reply);
std::optional<QString> model(const QString& reply);

} // namespace replies
