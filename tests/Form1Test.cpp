#include "console/Form1.h"
#include "console/Form7.h"
#include "tests/Fixture.h"
#include "tests/Helpers.h"

#include <QFontInfo>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

using Form1Test = ConsoleTest;

TEST_F(Form1Test, OnlyPortSettingsExitRefreshAndFactorySettingsCanBePressedAtLoad) {
    Form1& main = form<Form1>();
    struct Button {
        const char* button;
        const char* caption;
        bool enabled;
    };
    const Button buttons[] = {
        {"Command1", "&Model ", false},
        {"Command2", "&Voice Call", false},
        {"Command3", "&SMS", false},
        {"Command4", "&Supplementary Service ", false},
        {"Command5", "&Security", false},
        {"Command6", "&Call Control", false},
        {"Command10", "Data-Fax Setup", false},
        {"Command12", "Other Features", false},
        {"Command11", "Modem Setting->", false},
        {"Command8", "&Exit", true},
        {"Command7", "Port Settings->", true},
        {"Command9", "REFRESH", true},
        {"Command13", "Factory Settings", true},
    };
    for (const Button& b : buttons) {
        QPushButton* button = control<QPushButton>(main, b.button);
        EXPECT_EQ(button->text(), b.caption);
        EXPECT_EQ(button->isEnabled(), b.enabled) << b.caption;
    }
}

TEST_F(Form1Test, CaptionPlacesAndFontsFollowTheDesignInTwips) {
    Form1& main = form<Form1>();
    EXPECT_EQ(main.windowTitle(), "GSM-APPLICATION");
    EXPECT_EQ(main.size(), QSize(576, 407)); // 8640 x 6105 twips
    EXPECT_EQ(control<QPushButton>(main, "Command4")->geometry(), QRect(152, 8, 97, 33));
    EXPECT_EQ(control<QPushButton>(main, "Command9")->parentWidget(), &main);
    EXPECT_EQ(control<QLabel>(main, "Label8")->text(), "<<Signal>>");
    EXPECT_EQ(control<QPushButton>(main, "Command1")->font().family(), "Georgia");
    EXPECT_EQ(control<QPushButton>(main, "Command9")->font().family(), "Times New Roman");
    EXPECT_EQ(control<QLabel>(main, "Label5")->font().family(), "Garamond");
    EXPECT_TRUE(control<QFrame>(main, "Frame5")->isVisibleTo(&main));
    EXPECT_FALSE(main.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(Form1Test, LogPortListsAndSimCodeBoxesLieOutsideTheVisibleArea) {
    Form1& main = form<Form1>();
    const QRect client = main.rect();
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             control<QPlainTextEdit>(main, "Text1"), control<QComboBox>(main, "Combo1"),
             control<QComboBox>(main, "Combo2"), control<QLineEdit>(main, "Text2"),
             control<QLineEdit>(main, "Text3")})
        EXPECT_FALSE(client.intersects(hidden->geometry())) << hidden->objectName().toStdString();
    EXPECT_EQ(control<QLineEdit>(main, "Text2")->text(), "0");
    EXPECT_EQ(control<QLineEdit>(main, "Text3")->text(), "0");
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
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "Closed");
    main.MSComm1().setPortOpen(true);
    main.ShowPortStatus();
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "Open");
    EXPECT_EQ(control<QLabel>(main, "Label2")->text(), "Port 3");
    EXPECT_EQ(control<QLabel>(main, "Label3")->text(), "9600,N,8,1");
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
