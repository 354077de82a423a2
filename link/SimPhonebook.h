#pragma once

// Reading the SIM phonebook one place at a time ("AT+CPBR=<index>"), as the
// phonebook download and the phonebook entry window do.

#include "link/replies/Phonebook.h"

namespace simphonebook {

// Reads place `index` with the command exchange, waiting on for a slow
// module's answer; an entry counts only for the place it names. The log
// keeps the exchange.
replies::PlaceRead readPosition(int index);

// The top of the range of places the module reads, as "AT+CPBR=?" gives it;
// 0 when it gives none. The log keeps the exchange.
int lastIndex();

} // namespace simphonebook
