// The call-control window: its pages, the queries on entry, each apply
// button with its command and outcome, the key filter and the close box.

#include "calls/Form5.h"
#include "calls/Form6.h"
#include "platform/Handlers.h"
#include "platform/Widgets.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <QPushButton>
#include <QSlider>

class CallControlTest : public ConnectedConsole {
  protected:
    CallControlTest() {
        modem().state().settings.params["+VGR"] = "128";
        modem().state().settings.params["+VGT"] = "100";
    }

    Form6& open() {
        Form6& window = form<Form6>();
        window.Show();
        sent();
        return window;
    }
    Form6& callControl() { return form<Form6>(); }
    QString status() { return control<QLabel>(callControl(), "Label7")->text(); }
    QColor statusColour() {
        QLabel* label = control<QLabel>(callControl(), "Label7");
        label->ensurePolished();
        return label->palette().color(QPalette::WindowText);
    }
    // The page frames shown, by name.
    QStringList shownPages() {
        QStringList shown;
        for (QWidget* page : {control(callControl(), "Frame1"), control(callControl(), "Frame2"),
                              control(callControl(), "Frame10"), control(callControl(), "Frame12")})
            if (page->isVisibleTo(&callControl())) shown << page->objectName();
        return shown;
    }
    // A click on a tab, selected or not.
    void showTab(int index) { clickTab(control<QTabBar>(callControl(), "TabStrip1"), index); }
    QStringList messages() { return shownMessages(services()); }
    // Types into a box that may hold text already, as after selecting it all.
    void retype(QLineEdit* box, const QString& text) {
        box->clear();
        type(box, text);
    }
};

// The tests that read the modem's verdicts, in every shape a module answers in.
using CallControlShapesTest = InEveryShape<CallControlTest>;

INSTANTIATE_TEST_SUITE_P(Shapes, CallControlShapesTest, ::testing::ValuesIn(moduleShapes()),
                         shapeName);

TEST_F(CallControlTest, LoadShowsTheVolumePageWithTheModemsGains) {
    Form6& window = form<Form6>();
    EXPECT_EQ(sent(), "AT+VGR?\rAT+VGT?\r");
    EXPECT_EQ(shownPages(), QStringList{"Frame1"});
    EXPECT_EQ(control<QSlider>(window, "Slider1")->value(), 128);
    EXPECT_EQ(control<QSlider>(window, "Slider2")->value(), 100);
    EXPECT_EQ(control<QLabel>(window, "Label5")->text(), "128");
    EXPECT_EQ(control<QLabel>(window, "Label6")->text(), "100");
    EXPECT_EQ(status(), "Default Values-MicroPhone 100");
    EXPECT_EQ(items(control<QComboBox>(window, "Combo3")),
              (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
}

TEST_P(CallControlShapesTest, SlidersCopyTheirValuesAndOkAppliesBothGains) {
    Form6& window = open();
    control<QSlider>(window, "Slider1")->setValue(200);
    control<QSlider>(window, "Slider2")->setValue(35);
    EXPECT_EQ(control<QLabel>(window, "Label5")->text(), "200");
    EXPECT_EQ(control<QLabel>(window, "Label6")->text(), "35");
    control<QPushButton>(window, "Command1")->click();
    EXPECT_EQ(sent(), "AT+VGR=200\rAT+VGT=35\r");
    EXPECT_EQ(status(), "Changes SuccessFul-Microphone");
    EXPECT_EQ(modem().state().settings.params["+VGR"], "200");

    refuse(modem(), "+VGT", "+CME ERROR: 3");
    control<QPushButton>(window, "Command1")->click();
    EXPECT_EQ(sent(), "AT+VGR=200\rAT+VGT=35\r");
    EXPECT_EQ(status(), "UnSuccessFul.Try Again");
}

// A click on a tab, the selected one included, shows its page and asks afresh.
TEST_F(CallControlTest, EachClickOnATabShowsItsPageAndAsksForItsValues) {
    struct Case {
        int tab;
        QString page;
        QByteArray sent;
        bool newStatus; // the line no longer holds what it held
    };
    const Case cases[] = {
        {1, "Frame2", "AT+ECHO?\rAT+SIDET?\r", true},
        {2, "Frame10", "ATS0?\rAT+VTD?\r", true},
        {3, "Frame12", "", true},
        {0, "Frame1", "", false},
    };
    Form6& window = open();
    EXPECT_EQ(items(control<QTabBar>(window, "TabStrip1")),
              (QStringList{"Volume Control", "Tone/Echo Control", "AutoAnswer Mode/DTMF",
                           "Ring Melody"}));
    for (const Case& c : cases) {
        for (const bool again : {false, true}) {
            SCOPED_TRACE(c.page.toStdString() + (again ? " clicked again" : ""));
            window.ShowResult("before");
            showTab(c.tab);
            EXPECT_EQ(shownPages(), QStringList{c.page});
            EXPECT_EQ(sent(), c.sent);
            EXPECT_EQ(status() != "before", c.newStatus);
        }
    }
}

TEST_P(CallControlShapesTest, EchoCancellationSendsTheParametersOfItsAlgorithm) {
    struct Case {
        QString mode, algorithm;
        std::vector<std::pair<QSlider*, int>> sliders;
        QString frameShown;
        QByteArray sent;
    };
    Form6& window = open();
    const Case cases[] = {
        {"1",
         "3",
         {{control<QSlider>(window, "Slider7"), 10},
          {control<QSlider>(window, "Slider8"), 2000},
          {control<QSlider>(window, "Slider9"), 128}},
         "Frame7",
         "AT+ECHO=1,3,10,2000,128\r"},
        {"0",
         "1",
         {{control<QSlider>(window, "Slider3"), 5},
          {control<QSlider>(window, "Slider4"), 2},
          {control<QSlider>(window, "Slider5"), 20},
          {control<QSlider>(window, "Slider6"), 30}},
         "Frame6",
         "AT+ECHO=0,1,5,2,20,30\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent.toStdString());
        pick(control<QComboBox>(window, "Combo1"), c.mode);
        pick(control<QComboBox>(window, "Combo2"), c.algorithm);
        EXPECT_FALSE(control(window, c.frameShown)->isHidden());
        EXPECT_TRUE(control(window, c.frameShown == "Frame6" ? "Frame7" : "Frame6")->isHidden());
        for (const auto& [slider, value] : c.sliders)
            slider->setValue(value);
        control<QPushButton>(window, "Command3")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(status(), "Changes SuccessFul");
    }
    refuse(modem(), "+ECHO", "+CME ERROR: 3");
    control<QPushButton>(window, "Command3")->click();
    EXPECT_EQ(sent(), "AT+ECHO=0,1,5,2,20,30\r");
    EXPECT_EQ(status(), "UnSuccessFul.Try Again");
}

TEST_F(CallControlTest, EchoWithNoChoiceSendsNothing) {
    Form6& window = open();
    control<QPushButton>(window, "Command3")->click();
    EXPECT_EQ(sent(), "");
}

TEST_P(CallControlShapesTest, SideToneNeedsAnOption) {
    Form6& window = open();
    control<QSlider>(window, "Slider10")->setValue(2);
    control<QPushButton>(window, "Command4")->click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(messages(), QStringList{"Please Select The Options  | GSM"});
    selectOption(control<QRadioButton>(window, "Option2"));
    control<QPushButton>(window, "Command4")->click();
    EXPECT_EQ(sent(), "AT+SIDET=1,2\r");
    selectOption(control<QRadioButton>(window, "Option1"));
    control<QPushButton>(window, "Command4")->click();
    EXPECT_EQ(sent(), "AT+SIDET=0,2\r");
    EXPECT_EQ(status(), "Changes SuccessFul");
    refuse(modem(), "+SIDET", "+CME ERROR: 3");
    control<QPushButton>(window, "Command4")->click();
    EXPECT_EQ(sent(), "AT+SIDET=0,2\r");
    EXPECT_EQ(status(), "UnSuccessFul.Try Again");
}

TEST_P(CallControlShapesTest, AutoAnswerPageReadsTheRingsAndTheToneLength) {
    struct Case {
        const char* name;
        int rings;
        QByteArray toneLength; // "+VTD" the modem holds
        bool toneLengthRefused;
        const char* option;
        QString ringBox;
        bool ringsShown;
        QString status;
        QString box;
    };
    const Case cases[] = {
        {"three rings", 3, "3", false, "Option4", "3", true, "Tone Lenght Currently Is300", "300"},
        {"no rings", 0, "15", false, "Option3", "", false, "Tone Lenght Currently Is1500", "1500"},
        {"three rings, tone length refused", 3, "3", true, "Option4", "3", true,
         "Auto Answer Enabled,Total Rings3", ""},
        {"no rings, tone length refused", 0, "3", true, "Option3", "", false,
         "Auto Answer Disabled", ""},
        // Three digits leave no line end within the characters taken.
        {"tone length of three digits", 0, "100", false, "Option3", "", false,
         "Auto Answer Disabled", ""},
    };
    Form6& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().state().settings.sRegisters[0] = c.rings;
        modem().state().settings.params["+VTD"] = c.toneLength;
        modem().state().shapes.refusals.clear();
        if (c.toneLengthRefused) refuse(modem(), "+VTD", "+CME ERROR: 3");
        control<QComboBox>(window, "Combo3")->setCurrentIndex(-1);
        showTab(2);
        EXPECT_EQ(sent(), "ATS0?\rAT+VTD?\r");
        EXPECT_EQ(checkedAmong(window, {"Option3", "Option4"}), QStringList{c.option});
        EXPECT_EQ(control<QComboBox>(window, "Combo3")->currentText(), c.ringBox);
        EXPECT_EQ(control<QComboBox>(window, "Combo3")->isVisibleTo(&window), c.ringsShown);
        EXPECT_EQ(control<QLabel>(window, "Label33")->isVisibleTo(&window), c.ringsShown);
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), c.box);
    }
}

TEST_P(CallControlShapesTest, AutoAnswerTakesOneToEightRings) {
    struct Case {
        const char* name;
        const char* option; // nullptr: none
        QString rings;      // typed in the ring box
        bool refused;       // the modem refuses "ATS0="
        QByteArray sent;
        QString status;
        QStringList messages;
        bool answerEnabled;
        QString note;
    };
    const QString checkRings = "UnsuccessFul Changes.Check Rings  | GSM";
    const Case cases[] = {
        {"enable with 3",
         "Option4",
         "3",
         false,
         "ATS0=3\r",
         "Changes SuccessFul.AutoAnswer Enabled",
         {},
         false,
         "AutoAnswer Enabled"},
        {"enable with 8 and Enter",
         "Option4",
         "8\n",
         false,
         "ATS0=8\r",
         "Changes SuccessFul.AutoAnswer Enabled",
         {},
         false,
         "AutoAnswer Enabled"},
        // 0 rings would switch auto-answer off and leave Answer disabled.
        {"enable with 0", "Option4", "0", false, "", "", {checkRings}, true, ""},
        {"enable with 9 and Enter", "Option4", "9\n", false, "", "", {checkRings}, true, ""},
        {"enable with a command", "Option4", "3;+CPBW=1", false, "", "", {checkRings}, true, ""},
        {"enable with nothing", "Option4", "", false, "", "", {checkRings}, true, ""},
        {"enable with another script's digit",
         "Option4",
         "３",
         false,
         "",
         "",
         {checkRings},
         true,
         ""},
        // Disable does not need the ring box.
        {"disable with an empty ring box",
         "Option3",
         "",
         false,
         "ATS0=0\r",
         "Changes SuccessFul.AutoAnswer Disabled",
         {},
         true,
         ""},
        {"no option", nullptr, "3", false, "", "", {checkRings}, true, ""},
        {"enable refused",
         "Option4",
         "3",
         true,
         "ATS0=3\r",
         "Changes UNSuccessFul.Try Again",
         {},
         true,
         ""},
    };
    Form6& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().state().shapes.refusals.clear();
        if (c.refused) refuse(modem(), "S", "+CME ERROR: 3");
        services().messages.clear();
        window.ShowResult("");
        form<Form5>().PresetAnswerButton(true);
        if (c.option)
            selectOption(control<QRadioButton>(window, c.option));
        else
            clearOptionGroup(control<QRadioButton>(window, "Option3"));
        control<QComboBox>(window, "Combo3")->clearEditText();
        type(control<QComboBox>(window, "Combo3"), c.rings);
        control<QPushButton>(window, "Command5")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(control<QPushButton>(form<Form5>(), "Command1")->isEnabled(), c.answerEnabled);
        EXPECT_EQ(control<QLabel>(form<Form5>(), "Label2")->text(), c.note);
        EXPECT_TRUE(main().Text1().isEmpty());
        EXPECT_EQ(items(control<QComboBox>(window, "Combo3")),
                  (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
    }
}

TEST_P(CallControlShapesTest, ToneLengthGoesOutInTenthsOfASecond) {
    struct Case {
        QString typed;
        QByteArray sent;
    };
    const Case cases[] = {
        {"300", "AT+VTD=3\r"},   {"350", "AT+VTD=4\r"}, {"250", "AT+VTD=2\r"},
        {"1500", "AT+VTD=15\r"}, {"40", "AT+VTD=0\r"},
    };
    Form6& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        retype(control<QLineEdit>(window, "Text1"), c.typed);
        control<QPushButton>(window, "Command6")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(status(), "Changes SuccessFul-TONE LENGTH");
        EXPECT_EQ(statusColour(), QColor(0, 0, 64));
    }
}

TEST_P(CallControlShapesTest, ToneLengthRefusedOrMissing) {
    Form6& window = open();
    refuse(modem(), "+VTD", "+CME ERROR: 3");
    type(control<QLineEdit>(window, "Text1"), "300");
    control<QPushButton>(window, "Command6")->click();
    EXPECT_EQ(sent(), "AT+VTD=3\r");
    EXPECT_EQ(status(), "Changes Unsuccessful,CHECK TONE LENGTH");
    EXPECT_EQ(statusColour(), QColor(192, 0, 0));

    control<QLineEdit>(window, "Text1")->clear();
    control<QPushButton>(window, "Command6")->click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(messages(), QStringList{"Tone Length Cannot Be Blank,Enter Proper Data | GSM"});
}

TEST_F(CallControlTest, ToneLengthBoxTakesDigitsAndBackspaceOnly) {
    struct Key {
        int code;
        QString passed;
    };
    const Key keys[] = {{'0', "48"}, {'9', "57"}, {8, "8"},  {'a', "0"},
                        {'-', "0"},  {' ', "0"},  {13, "0"}, {';', "0"}};
    for (const Key& k : keys) {
        int code = k.code;
        EXPECT_EQ(LimitTextInput(code), k.passed) << k.code;
    }
    Form6& window = open();
    type(control<QLineEdit>(window, "Text1"), "1a2;3");
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "123");
    control<QLineEdit>(window, "Text1")->insert("4x");
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "123");
}

TEST_P(CallControlShapesTest, RingMelodyGoesOutWithTheCodeOfItsCallType) {
    struct Case {
        QString callType;
        int volume;
        QString index;
        QByteArray sent;
    };
    const Case cases[] = {
        {"Incoming Voice Call", 0, "0", "AT+CRMP= 0,0,0,0\r"},
        {"Incoming Data Call", 15, "5", "AT+CRMP= 1,15,0,5\r"},
        {"Incoming Fax Call", 3, "9", "AT+CRMP= 2,3,0,9\r"},
        {"Incoming SMS", 7, "10", "AT+CRMP= 3,7,0,10\r"},
    };
    Form6& window = open();
    showTab(3);
    EXPECT_EQ(status(), "");
    EXPECT_EQ(items(control<QComboBox>(window, "Combo4")),
              (QStringList{"Incoming Voice Call", "Incoming Data Call", "Incoming Fax Call",
                           "Incoming SMS"}));
    EXPECT_EQ(control<QComboBox>(window, "Combo5")->count(), 11);
    control<QPushButton>(window, "Command7")->click(); // nothing chosen yet
    EXPECT_EQ(sent(), "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.callType.toStdString());
        pick(control<QComboBox>(window, "Combo4"), c.callType);
        control<QSlider>(window, "Slider11")->setValue(c.volume);
        pick(control<QComboBox>(window, "Combo5"), c.index);
        control<QPushButton>(window, "Command7")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(status(), "Changes SuccessFul-Ring Melody");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    refuse(modem(), "+CRMP", "+CME ERROR: 3");
    control<QPushButton>(window, "Command7")->click();
    EXPECT_EQ(sent(), "AT+CRMP= 3,7,0,10\r");
    EXPECT_EQ(status(), "Changes UnSuccessFul-Ring Melody");
}

TEST_F(CallControlTest, BackHidesTheCloseBoxStoresTheProfile) {
    Form6& window = open();
    control<QLabel>(main(), "Label5")->setText("Please Wait...");
    main().hide();
    control<QPushButton>(window, "Command2")->click();
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(Forms::instance().isLoaded<Form6>());
    EXPECT_EQ(sent(), "");

    window.Show();
    main().hide();
    main().Text1().setText("kept\r\n");
    window.close();
    EXPECT_EQ(sent(), "AT&W\r");
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "");
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_FALSE(Forms::instance().isLoaded<Form6>());
}

TEST_F(CallControlTest, CloseBoxWithThePortClosedDoesNotEndTheProgram) {
    Form6& window = open();
    main().hide();
    main().MSComm1().setPortOpen(false);
    window.close();
    EXPECT_EQ(services().ended, 0);
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(Forms::instance().isLoaded<Form6>());
}
