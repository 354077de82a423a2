#include "tests/ConsoleFixture.h"
#include "tests/OpenPort.h"

ConnectedConsole::ConnectedConsole() : modem_(&ports().attachModem(3, 9600)) {
    openPort(main().MSComm1(), 3);
}

QByteArray ConnectedConsole::sent() {
    const QByteArray all = modem().received();
    const QByteArray fresh = all.mid(consumed_);
    consumed_ = all.size();
    return fresh;
}
