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

} // namespace modem
