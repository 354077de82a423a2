#include "link/SimPhonebook.h"

#include "link/Modem.h"

namespace simphonebook {

// A slow module's answer comes after the one second a read waits: each read
// waits for its own, or the next read would take it for its own.
replies::PlaceRead readPosition(int index) {
    const QString command = QStringLiteral("AT+CPBR=") + QString::number(index);
    modem::sendForResult(command);
    return replies::placeRead(modem::log().afterEcho(command), index);
}

int lastIndex() {
    const QString command = QStringLiteral("AT+CPBR=?");
    modem::sendForResult(command);
    return replies::lastPlace(modem::log().afterEcho(command)).value_or(0);
}

} // namespace simphonebook
