#include "console/Composition.h"
#include "console/Form1.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "platform/Services.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("GsmConsole"));
    QCoreApplication::setApplicationName(kProgramTitle);
    installLook();
    installConsole();
    // Loading the main window runs the whole start-up, which shows it as soon
    // as it has a port to work on; a window it opened (the PIN entry) stays in front.
    Form1& main = form<Form1>();
    if (!main.isVisible()) main.Show();
    return app.exec();
}
