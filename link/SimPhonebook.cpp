#include "link/SimPhonebook.h"

#include "link/Modem.h"

namespace simphonebook {

replies::PlaceRead readPosition(int index) {
    const QString command = QStringLiteral("AT+CPBR=") + QString::number(index);
    modem::send(command);
    return replies::placeRead(modem::log().afterEcho(command));
}

int lastIndex() {
    const QString command = QStringLiteral("AT+CPBR=?");
    modem::send(command);
    return replies::lastPlace(modem::log().afterEcho(command)).value_or(0);
}

} // namespace simphonebook
