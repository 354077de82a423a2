#include "console/Form1.h"
#include "platform/Forms.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("GsmConsole"));
    QCoreApplication::setApplicationName(QStringLiteral("GSM-APPLICATION"));
    form<Form1>().Show();
    return app.exec();
}
