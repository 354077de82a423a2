#pragma once

// Short messages: the new-message indication and the service centre.

#include <QString>

#include <optional>

namespace replies {

// "+CMTI: "<storage>",<index>": the two characters where the index begins
// past the quoted two-letter storage name and its comma (a one-digit index
// keeps the carriage return that ends its line), the index "A", "B" or "C"
// given as 10, 11 or 12.
std::optional<QString> newMessageIndex(const QString& line);

// "+CSCA: "<number>",<type>": the number between its quotes; none when the
// reply has no such line.
std::optional<QString> serviceCentre(const QString& reply);

} // namespace replies
