#include "console/Form1.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "tests/Fixture.h"
#include "ui_Form1.h"
#include "ui_Form2.h"
#include "ui_Form7.h"

#include <QFile>

#include <optional>

class ModelWindowTest : public ConsoleTest {
  protected:
    Form2& details() { return form<Form2>(); }
    void view() { details().ui->Command1->click(); }
    QStringList labels() {
        const auto& ui = details().ui;
        return {ui->Label2->text(), ui->Label3->text(), ui->Label4->text(), ui->Label5->text(),
                ui->Label6->text()};
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
        for (QLabel* label : {details().ui->Label2, details().ui->Label3, details().ui->Label4,
                              details().ui->Label5, details().ui->Label6})
            label->setText("old");
        const QStringList expected = {imei, c.shown[0], heading, c.shown[1], c.shown[2]};
        view();
        EXPECT_EQ(labels(), expected);
        view();
        EXPECT_EQ(labels(), expected);
    }
}

TEST_F(ModelWindowTest, CloseBoxShowsTheMainWindowAndTheNextOpeningStartsEmpty) {
    form<Form1>().hide();
    details().ui->Label3->setText("356938035643809");
    details().Show();
    details().close();
    EXPECT_TRUE(form<Form1>().isVisible());
    EXPECT_FALSE(Forms::instance().isLoaded<Form2>());
    EXPECT_EQ(details().ui->Label3->text(), "");
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
