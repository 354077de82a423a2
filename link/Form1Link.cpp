#include "console/Form1.h"
#include "ui_Form1.h"

int Form1::getCountOf(const QString& text, const QString& find) {
    if (find.isEmpty()) return 0;
    int count = 0;
    for (qsizetype at = text.indexOf(find); at >= 0; at = text.indexOf(find, at + 1))
        ++count;
    return count;
}

QString Form1::StrDel(QString& text, const QString& find) {
    const qsizetype at = find.isEmpty() ? -1 : text.indexOf(find);
    if (at < 0) return QString();
    text.remove(at, find.size());
    return text;
}

void Form1::LogResponse(const QString& reply) {
    Text1().append(QStringLiteral("Response Received\r\n") + reply +
                   QStringLiteral("\r\nEnd of Reponse\r\n"));
    Text1().moveCaretToEnd();
}

void Form1::ShowPortStatus() {
    ui->Label3->setText(MSComm1().Settings().toUpper());
    ui->Label2->setText(QStringLiteral("Port ") + QString::number(MSComm1().CommPort()));
    ui->Label1->setText(MSComm1().PortOpen() ? QStringLiteral("Open") : QStringLiteral("Closed"));
}

void Form1::ShowModemDisconnected() {
    ui->Label1->setText(QStringLiteral("Closed"));
    ui->Label5->setText(QStringLiteral("Modem Disconnected.Connect It And Press REFRESH"));
}
