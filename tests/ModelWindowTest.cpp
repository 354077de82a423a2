#include "console/Form1.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "tests/Fixture.h"
#include "tests/Helpers.h"

#include <QFile>
#include <QPushButton>

#include <optional>

class ModelWindowTest : public ConsoleTest, protected ControlsOf<Form2> {
  protected:
    Form2& details() { return form<Form2>(); }
    void view() { control<QPushButton>(details(), "Command1")->click(); }
    QStringList labels() {
        return {label("Label2")->text(), label("Label3")->text(), label("Label4")->text(),
                label("Label5")->text(), label("Label6")->text()};
    }
};

TEST_F(ModelWindowTest, ViewReadsTheIdentityFileSkippingEmptyLines) {
    const QString imei = "IMEI: ";
    const QString heading = "ManuFacturer And Model Details ";
    struct Case {
        const char* name;
        std::optional<QByteArray> file; // none: there is no file
        QStringList shown;              // serial number, manufacturer, model
    };
    const Case cases[] = {
        {"four lines with empty lines between",
         "356938035643809\r\n\r\n\r\nGSM SIMULATOR\r\n\r\n MODEM\r\n\r\nMULTIBAND  900E\r\n",
         {"356938035643809", "GSM SIMULATOR MODEM", "MULTIBAND  900E"}},
        {"a one-line manufacturer",
         "356938035643809\r\nGSM SIMULATOR MODEM\r\nMULTIBAND  900E\r\n",
         {"356938035643809", "GSM SIMULATOR MODEMMULTIBAND  900E", ""}},
        {"lines past the fourth", "1\r\n2\r\n3\r\n4\r\n5\r\n", {"1", "23", "4"}},
        {"every kind of line end", "1\r2\n\n3\r\n4", {"1", "23", "4"}},
        {"an empty file", "", {"old", "old", "old"}},
        {"no file", std::nullopt, {"old", "old", "old"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(services().path("Model.txt"));
        if (c.file) writeFile("Model.txt", *c.file);
        for (QLabel* shown :
             {label("Label2"), label("Label3"), label("Label4"), label("Label5"), label("Label6")})
            shown->setText("old");
        const QStringList expected = {imei, c.shown[0], heading, c.shown[1], c.shown[2]};
        view();
        EXPECT_EQ(labels(), expected);
        view();
        EXPECT_EQ(labels(), expected);
    }
}

TEST_F(ModelWindowTest, CloseBoxShowsTheMainWindowAndTheNextOpeningStartsEmpty) {
    form<Form1>().hide();
    label("Label3")->setText("356938035643809");
    details().Show();
    details().close();
    EXPECT_TRUE(form<Form1>().isVisible());
    EXPECT_FALSE(Forms::instance().isLoaded<Form2>());
    EXPECT_EQ(label("Label3")->text(), "");
}

TEST_F(ModelWindowTest, SignalWindowFollowsMinimiseAndRestore) {
    form<Form7>().Show();
    details().Show();
    details().showMinimized();
    EXPECT_TRUE(form<Form7>().isMinimized());
    details().showNormal();
    EXPECT_FALSE(form<Form7>().isMinimized());
    EXPECT_TRUE(form<Form7>().isVisible());
}
