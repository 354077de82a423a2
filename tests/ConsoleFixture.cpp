#include "tests/ConsoleFixture.h"

ConnectedConsole::ConnectedConsole() : modem_(&ports().attachModem(3, 9600)) {
    MSComm& port = main().MSComm1();
    port.setCommPort(3);
    port.setSettings("9600,n,8,1");
    port.setRThreshold(1);
    port.setSThreshold(1);
    port.setInputMode(1);
    port.setPortOpen(true);
}

QByteArray ConnectedConsole::sent() {
    const QByteArray all = modem().received();
    const QByteArray fresh = all.mid(consumed_);
    consumed_ = all.size();
    return fresh;
}
