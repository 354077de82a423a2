#include "console/Form1.h"
#include "console/Form7.h"
#include "tests/Fixture.h"
#include "ui_Form1.h"
#include "ui_Form7.h"

#include <QFontInfo>

using Form1Test = ConsoleTest;

TEST_F(Form1Test, OnlyPortSettingsExitRefreshAndFactorySettingsCanBePressedAtLoad) {
    Form1& main = form<Form1>();
    struct Button {
        QPushButton* button;
        const char* caption;
        bool enabled;
    };
    const Button buttons[] = {
        {main.ui->Command1, "&Model ", false},
        {main.ui->Command2, "&Voice Call", false},
        {main.ui->Command3, "&SMS", false},
        {main.ui->Command4, "&Supplementary Service ", false},
        {main.ui->Command5, "&Security", false},
        {main.ui->Command6, "&Call Control", false},
        {main.ui->Command10, "Data-Fax Setup", false},
        {main.ui->Command12, "Other Features", false},
        {main.ui->Command11, "Modem Setting->", false},
        {main.ui->Command8, "&Exit", true},
        {main.ui->Command7, "Port Settings->", true},
        {main.ui->Command9, "REFRESH", true},
        {main.ui->Command13, "Factory Settings", true},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.button->text(), b.caption);
        EXPECT_EQ(b.button->isEnabled(), b.enabled) << b.caption;
    }
}

TEST_F(Form1Test, CaptionPlacesAndFontsFollowTheDesignInTwips) {
    Form1& main = form<Form1>();
    EXPECT_EQ(main.windowTitle(), "GSM-APPLICATION");
    EXPECT_EQ(main.size(), QSize(576, 407)); // 8640 x 6105 twips
    EXPECT_EQ(main.ui->Command4->geometry(), QRect(152, 8, 97, 33));
    EXPECT_EQ(main.ui->Command9->parentWidget(), &main);
    EXPECT_EQ(main.ui->Label8->text(), "<<Signal>>");
    EXPECT_EQ(main.ui->Command1->font().family(), "Georgia");
    EXPECT_EQ(main.ui->Command9->font().family(), "Times New Roman");
    EXPECT_EQ(main.ui->Label5->font().family(), "Garamond");
    EXPECT_TRUE(main.ui->Frame5->isVisibleTo(&main));
    EXPECT_FALSE(main.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(Form1Test, LogPortListsAndSimCodeBoxesLieOutsideTheVisibleArea) {
    Form1& main = form<Form1>();
    const QRect client = main.rect();
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             main.ui->Text1, main.ui->Combo1, main.ui->Combo2, main.ui->Text2, main.ui->Text3})
        EXPECT_FALSE(client.intersects(hidden->geometry())) << hidden->objectName().toStdString();
    EXPECT_EQ(main.ui->Text2->text(), "0");
    EXPECT_EQ(main.ui->Text3->text(), "0");
    EXPECT_TRUE(main.Timer1.Enabled());
    EXPECT_EQ(main.Timer1.Interval(), 1000);
    EXPECT_FALSE(main.Timer2.Enabled());
    EXPECT_EQ(main.Timer2.Interval(), 2000);
}

TEST(Form1TextTest, CountOfCountsOverlappingWordsAndStrDelRemovesTheFirst) {
    EXPECT_EQ(Form1::getCountOf("aaa", "aa"), 2);
    EXPECT_EQ(Form1::getCountOf("abc", "x"), 0);
    QString text = "abcabc";
    EXPECT_EQ(Form1::StrDel(text, "bc"), "aabc");
    EXPECT_EQ(text, "aabc");
    EXPECT_EQ(Form1::StrDel(text, "zz"), "");
    EXPECT_EQ(text, "aabc");
}

TEST_F(Form1Test, LogKeepsCarriageReturnsAndCountsThemInPositions) {
    Form1& main = form<Form1>();
    main.Text1().append("AT\r\r\nOK\r\n");
    EXPECT_EQ(main.Text1().find("OK"), 6);
    EXPECT_EQ(main.Text1().cut(3, 3), "\r\r\n");
    EXPECT_EQ(main.Text1().cut(40, 3), "");
    EXPECT_THROW(main.Text1().cut(2, -1), std::exception);
    main.LogResponse("x");
    EXPECT_TRUE(main.Text1().text().endsWith("Response Received\r\nx\r\nEnd of Reponse\r\n"));
}

TEST_F(Form1Test, PortLabelsShowTheSerialControl) {
    ports().attachModem(3);
    Form1& main = form<Form1>();
    main.MSComm1().setCommPort(3);
    main.MSComm1().setSettings("9600,n,8,1");
    main.ShowPortStatus();
    EXPECT_EQ(main.ui->Label1->text(), "Closed");
    main.MSComm1().setPortOpen(true);
    main.ShowPortStatus();
    EXPECT_EQ(main.ui->Label1->text(), "Open");
    EXPECT_EQ(main.ui->Label2->text(), "Port 3");
    EXPECT_EQ(main.ui->Label3->text(), "9600,N,8,1");
}

TEST_F(Form1Test, MinimisingAndRestoringTheMainWindowTakesTheSignalWindowAlong) {
    Form1& main = form<Form1>();
    main.Show();
    main.setWindowState(Qt::WindowMinimized);
    main.setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(form<Form7>().isVisible()); // a hidden signal window stays hidden

    form<Form7>().Show();
    main.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(form<Form7>().isMinimized());
    main.setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(form<Form7>().isMinimized());
    EXPECT_TRUE(form<Form7>().isVisible());
}
