#include "platform/Services.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

// The desktop's message box carries the title it is given. A window system
// shows the program's name where a title is empty, so an empty title is
// shown as a blank.
TEST(DesktopMessageTest, TitleIsShownAsGivenAndAnEmptyOneShowsNothing) {
    const std::pair<QString, QString> cases[] = {
        {"GSM", "GSM"},
        {kProgramTitle, "GSM-APPLICATION"},
        {QString(), " "},
    };
    for (const auto& [given, shown] : cases) {
        QString seen;
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen = box->windowTitle();
            box->accept();
        });
        DesktopServices().message("Please Select The Facility", given, Services::Icon::None);
        EXPECT_EQ(seen, shown);
    }
}
