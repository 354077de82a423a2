#pragma once

// Data calls and fax: the bearer service, compression, error correction and
// the fax class.

#include <QString>

#include <optional>

namespace replies {

// "AT+CBST?": "+CBST: <speed>,<name>,<connection element>", the speed and the
// connection element as the reply writes them (the name is not read); both
// "" when the reply has no such line. None when the line is there but the
// reply has no "OK" or fewer than three values.
struct Bearer {
    QString speed;
    QString connectionElement;
};
std::optional<Bearer> bearer(const QString& reply);

// The first value after "%C:" ("AT%C?"), "\N:" ("AT\N?") and "+FCLASS:"
// ("AT+FCLASS?"); none without the line.
std::optional<QString> compression(const QString& reply);
std::optional<QString> errorCorrection(const QString& reply);
std::optional<QString> faxClass(const QString& reply);

} // namespace replies
