#pragma once

// Reading the SIM phonebook one position at a time ("AT+CPBR=<index>"), as the
// phonebook download and the phonebook entry window do, and taking an entry
// apart.

#include <QString>

#include <optional>

namespace simphonebook {

// What the read of one position found. An empty position answers "OK" alone,
// or "not found" ("+CME ERROR: 22", a plain "ERROR" after "AT+CMEE=0"); a
// position past the SIM's range is refused as an invalid index.
enum class Slot { Entry, Empty, PastRange, NoAnswer };

struct Read {
    Slot slot;
    QString entry; // the "+CPBR:" entry when there is one
};

// Reads position `index` with the command exchange; the log keeps the exchange.
Read readPosition(int index);

// The top of the range of positions the module reads, as "AT+CPBR=?" gives it
// ("+CPBR: (1-250),20,14"); 0 when it gives none. The log keeps the exchange.
int lastIndex();

struct Entry {
    QString number;
    QString name;
};

// +CPBR: <index>,"<number>",<type>,"<name>"[,<hidden>[,<more fields>]]: the
// number between its quotes, the name between its opening quote and the one
// that closes it. None when the entry has no number or no quoted name.
std::optional<Entry> parseEntry(const QString& entry);

} // namespace simphonebook
