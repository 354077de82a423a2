#pragma once

// The SIM phonebook: its status, what the read of one place finds, the range
// of places, and an entry taken apart.

#include <QString>

#include <optional>

namespace replies {

// "+CPBS: "SM",<used>,<capacity>": the used count as given, the capacity as
// its first three digits ("" when the reply gives none). None when the reply
// has no status line, names another storage or gives no count.
struct PhonebookStatus {
    QString used;
    QString capacity;
};
std::optional<PhonebookStatus> phonebookStatus(const QString& reply);

// What the read of one place ("AT+CPBR=<index>") found. An empty place
// answers "OK" alone, or "not found" ("+CME ERROR: 22", a plain "ERROR" after
// "AT+CMEE=0"); a place past the SIM's range is refused as an invalid index.
enum class Slot { Entry, Empty, PastRange, NoAnswer };
struct PlaceRead {
    Slot slot;
    QString entry; // the "+CPBR:" entry when there is one
};
PlaceRead placeRead(const QString& reply);
// The same for the read of place `place`: only an entry line that names that
// place is its entry. Another place's entry (with the result after it) is
// the answer to an earlier read, come late, and no answer to this one.
PlaceRead placeRead(const QString& reply, int place);

// The top of the range of places the module reads, as "AT+CPBR=?" gives it
// ("+CPBR: (1-250),20,14"); none when it gives none.
std::optional<int> lastPlace(const QString& reply);

// +CPBR: <index>,"<number>",<type>,"<name>"[,<hidden>[,<more fields>]]: the
// number between its quotes, the name between its opening quote and the one
// that closes it, or as the module wrote it where it writes no quotes (hex
// names, as in +CPBR: 4,"030450566735",129,5669726368), up to the next field.
// None when the entry has no number or no name.
struct Entry {
    QString number;
    QString name;
};
std::optional<Entry> phonebookEntry(const QString& entry);

} // namespace replies
