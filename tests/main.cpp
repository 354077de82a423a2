#include "console/Composition.h"
#include "platform/Failure.h"
#include "platform/Look.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // The windows are measured in the faces and style the program draws them in.
    installLook();
    installConsole();
    // An exception no error exit is made for is a fault of the program.
    failures::setFaultHandler([](const QString& description) {
        ADD_FAILURE() << "a handler ended on a fault: " << description.toStdString();
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
