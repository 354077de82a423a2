// The others menu: each button shows its feature window in the menu's place
// once the window's load and queries have run, and the window's close box
// takes the user back to the menu.

#include "config/Form16.h"
#include "config/Form17.h"
#include "config/Form18.h"
#include "config/Form19.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"

#include <functional>

TEST_F(ConnectedConsole, TheMenuShowsEachFeatureWindowOnceItHasLoadedAndTakesItBack) {
    struct Case {
        const char* name;
        const char* button;
        std::function<FormBase&()> window;
        std::function<bool()> loaded;
        const char* caption;
        QByteArray query; // what the window's load asks
    };
    const Case cases[] = {
        {"vendor features", "Command1", []() -> FormBase& { return form<Form17>(); },
         [] { return Forms::instance().isLoaded<Form17>(); }, "GSM-Wavecom Features", "AT+CIND?\r"},
        {"SIM toolkit", "Command2", []() -> FormBase& { return form<Form18>(); },
         [] { return Forms::instance().isLoaded<Form18>(); }, "GSM-SIM TOOLKIT Facility",
         "AT+STSF?\r"},
        {"GPRS", "Command3", []() -> FormBase& { return form<Form19>(); },
         [] { return Forms::instance().isLoaded<Form19>(); }, "GSM-GPRS Configuration",
         "AT+CGDCONT?\r"},
    };
    main().Show();
    control<QPushButton>(main(), "Command12")->setEnabled(true);
    control<QPushButton>(main(), "Command12")->click();
    Form16& menu = form<Form16>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(menu.isVisible());
        bool checkedWhileLoading = false;
        clock().schedule(clock().seconds() + 0.5, [&] {
            checkedWhileLoading = true;
            EXPECT_TRUE(c.loaded());
            EXPECT_FALSE(c.window().isVisible());
            EXPECT_TRUE(menu.isVisible());
            EXPECT_EQ(control<QLabel>(menu, "Label1")->text(), "Please Wait");
            EXPECT_EQ(sent(), c.query);
        });
        control<QPushButton>(menu, c.button)->click();
        EXPECT_TRUE(checkedWhileLoading);
        EXPECT_TRUE(c.window().isVisible());
        EXPECT_EQ(c.window().windowTitle(), c.caption);
        EXPECT_FALSE(menu.isVisible());
        EXPECT_EQ(control<QLabel>(menu, "Label1")->text(), "");
        EXPECT_FALSE(main().isVisible());

        c.window().close();
        EXPECT_FALSE(c.loaded());
        EXPECT_TRUE(menu.isVisible());
        EXPECT_FALSE(main().isVisible());
    }
    menu.close();
    EXPECT_TRUE(main().isVisible());
}
