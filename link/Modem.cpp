#include "link/Modem.h"

#include "console/Form1.h"
#include "platform/Forms.h"
#include "ui_Form1.h"

namespace modem {

namespace {
Form1& main() {
    return form<Form1>();
}
} // namespace

void send(const QString& command, double seconds, LogFirst logFirst) {
    main().link().sendCommand(command, seconds,
                              logFirst == LogFirst::Empty ? SerialLink::LogFirst::Empty
                                                          : SerialLink::LogFirst::Keep);
}

void write(const QString& text) {
    main().link().write(text);
}

TerminalLog& log() {
    return main().Text1();
}

bool isPortOpen() {
    return main().MSComm1().PortOpen();
}

void networkset() {
    main().networkset();
}

void showMain() {
    main().Show();
}

void setStatus(const QString& text) {
    main().ui->Label5->setText(text);
}

void setSpeedLine(const QString& text) {
    main().ui->Label6->setText(text);
}

QString framingLine() {
    return main().ui->Label7->text();
}

void setFramingLine(const QString& text) {
    main().ui->Label7->setText(text);
}

void followDeviceLine(const LineChange& change) {
    MSComm& port = main().MSComm1();
    // "9600,n,8,1": rate, parity, data bits, stop bits
    QStringList parts = port.Settings().split(QLatin1Char(','));
    const QString* given[] = {&change.rate, &change.parity, &change.dataBits, &change.stopBits};
    for (int i = 0; i < parts.size() && i < 4; ++i)
        if (!given[i]->isEmpty()) parts[i] = *given[i];
    port.setSettings(parts.join(QLatin1Char(',')));
    main().ShowPortStatus();
}

} // namespace modem
