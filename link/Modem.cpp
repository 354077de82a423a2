#include "link/Modem.h"

#include "link/Log.h"
#include "link/ModemLink.h"

namespace modem {

void send(const QString& command, double seconds, LogFirst logFirst) {
    ModemLink::reach().link().sendCommand(command, seconds,
                                          logFirst == LogFirst::Empty ? SerialLink::LogFirst::Empty
                                                                      : SerialLink::LogFirst::Keep);
}

void sendForResult(const QString& command, double seconds) {
    ModemLink::reach().link().sendForResult(command, seconds, kLateResultSeconds);
}

TextEntry::TextEntry() : entry_(ModemLink::reach().link()) {}

void TextEntry::send(const QString& command, double seconds) {
    entry_.sendCommand(command, seconds);
}

void TextEntry::write(const QString& text, double seconds) {
    entry_.sendText(text, seconds);
}

TerminalLog& log() {
    return ModemLink::reach().Text1();
}

QString reply(const QString& command) {
    return log().replyTo(command).value_or(QString());
}

bool isPortOpen() {
    return ModemLink::reach().MSComm1().PortOpen();
}

void networkset() {
    ModemLink::reach().networkset();
}

bool followDeviceLine(const LineChange& change) {
    ModemLink& modem = ModemLink::reach();
    MSComm& port = modem.MSComm1();
    // "9600,n,8,1": rate, parity, data bits, stop bits
    QStringList parts = port.Settings().split(QLatin1Char(','));
    const QString* given[] = {&change.rate, &change.parity, &change.dataBits, &change.stopBits};
    for (int i = 0; i < parts.size() && i < 4; ++i)
        if (!given[i]->isEmpty()) parts[i] = *given[i];
    try {
        port.setSettings(parts.join(QLatin1Char(',')));
    } catch (const CommError& refused) {
        failures::logFailure(lcLink, refused);
        return false;
    }
    modem.ShowPortStatus();
    return true;
}

} // namespace modem
