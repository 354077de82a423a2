// The data and fax window against the simulated modem: the panels and their
// lists, the queries and how their replies read, and the six set buttons.

#include "config/Form14.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <optional>

namespace {

const QString kChecking = "Checking Current Value";

const QStringList kSpeedItems = {
    "0 DeFault",  "1 300bps",   "2 1200bps",  "3 1200/75bps", "4 2400bps",  "5 2400bps",
    "6 4800bps",  "7 9600bps",  "8 Specific", "12 9600bps",   "14 1400bps", "65 300bps",
    "66 1200bps", "68 2400bps", "70 4800bps", "71 9600bps",   "75 1400bps"};
const QStringList kModulations = {"24", "48", "72",  "73",  "74",  "96",
                                  "97", "98", "121", "122", "145", "146"};

} // namespace

class DataFaxWindowTest : public ConnectedConsole, protected ControlsOf<Form14> {
  protected:
    Form14& window() { return form<Form14>(); }

    // Opens the window as the main window's button does; what that sent is dropped.
    void open() {
        control<QPushButton>(main(), "Command10")->setEnabled(true);
        control<QPushButton>(main(), "Command10")->click();
        sent();
    }
    // Picks an item of a list by its position, as the user would.
    void pick(QComboBox* box, int position) { box->setCurrentIndex(position); }
    QStringList visiblePanels() {
        QStringList shown;
        for (const char* frame : {"Frame1", "Frame2", "Frame3"})
            if (control<QGroupBox>(window(), frame)->isVisibleTo(&window())) shown << frame;
        return shown;
    }
};

// The tests that read the module's verdicts, in every shape modules answer in.
using DataFaxInShapes = InEveryShape<DataFaxWindowTest>;
INSTANTIATE_TEST_SUITE_P(Shapes, DataFaxInShapes, ::testing::ValuesIn(moduleShapes()), shapeName);

TEST_F(DataFaxWindowTest, OpensOnTheBearerPanelWithItsListsAndAFreshQuery) {
    control<QPushButton>(main(), "Command10")->setEnabled(true);
    control<QPushButton>(main(), "Command10")->click();
    EXPECT_EQ(sent(), "AT+CBST?\r");
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(visiblePanels(), QStringList{"Frame1"});
    EXPECT_EQ(items(list("Combo1")), kSpeedItems);
    EXPECT_EQ(items(list("Combo2")),
              (QStringList{"0 Transparent Only", "1 Default", "2 Transparent Preferred",
                           "3 Non Transparent Preferred"}));
    EXPECT_EQ(list("Combo1")->currentIndex(), -1);
    EXPECT_EQ(list("Combo2")->currentIndex(), -1);
    // The module's own bearer: speed 0, connection element 1.
    EXPECT_EQ(label("Label1")->text(), "Speed:0-DeFault  CE:1 Default");
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_F(DataFaxWindowTest, PanelButtonsShowOnePanelRefillItsListsAndQueryIt) {
    open();
    struct Case {
        QAbstractButton* button;
        const char* frame;
        QByteArray queries;
        std::vector<QComboBox*> lists;
    };
    const Case cases[] = {
        {button("Command3"),
         "Frame3",
         "AT+FCLASS?\r",
         {list("Combo5"), list("Combo6"), list("Combo7")}},
        {button("Command2"), "Frame2", "AT%C?\rAT\\N?\r", {list("Combo3"), list("Combo4")}},
        {button("Command1"), "Frame1", "AT+CBST?\r", {list("Combo1"), list("Combo2")}},
        {button("Command3"),
         "Frame3",
         "AT+FCLASS?\r",
         {list("Combo5"), list("Combo6"), list("Combo7")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        // A choice made earlier is lost, typed modulations too.
        for (QComboBox* list : c.lists) {
            pick(list, 1);
            if (list->isEditable()) typeOver(list, "98");
        }
        c.button->click();
        EXPECT_EQ(sent(), c.queries);
        EXPECT_EQ(visiblePanels(), QStringList{c.frame});
        for (QComboBox* list : c.lists) {
            EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
            EXPECT_EQ(list->currentText(), "") << list->objectName().toStdString();
        }
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    EXPECT_EQ(items(list("Combo3")), (QStringList{"0 No Compression", "2 V42bis Compression"}));
    EXPECT_EQ(items(list("Combo4")),
              (QStringList{"0 Default", "2 Auto Reliable Mode", "4 LAMP Mode", "5 MNP Mode"}));
    EXPECT_EQ(items(list("Combo5")),
              (QStringList{"0-Data Mode", "1-Fax Class 1 Mode", "2-Fax Class 2 Mode"}));
    EXPECT_EQ(items(list("Combo6")), kModulations);
    EXPECT_EQ(items(list("Combo7")), kModulations);
}

// Each value is read from its own reply line: an unsolicited line in the
// log, or a digit elsewhere in it, changes nothing.
TEST_F(DataFaxWindowTest, QueriesReadEachValueFromItsOwnReplyLine) {
    open();
    struct Case {
        const char* name;
        const char* button;
        std::vector<std::pair<QByteArray, QByteArray>> replies;
        const char* status;
        QString shown;
    };
    const Case cases[] = {
        {"bearer 71,0,1",
         "Command1",
         {{"AT+CBST?", reply("+CBST: 71,0,1")}},
         "Label1",
         "Speed:71 9600bps  CE:1 Default"},
        {"bearer refused", "Command1", {{"AT+CBST?", kError}}, "Label1", "  "},
        {"bearer speed 15, outside the table",
         "Command1",
         {{"AT+CBST?", reply("+CBST: 15,0,1")}},
         "Label1",
         "  CE:1 Default"},
        {"bearer after an unsolicited line, another one after its OK",
         "Command1",
         {{"AT+CBST?", "\r\n+WIND: 4\r\n" + reply("+CBST: 7,0,3") + "\r\n+WIND: 10\r\n"}},
         "Label1",
         "Speed:7 9600bps  CE:3 NonTransparent Preferred"},
        {"compression and correction by default",
         "Command2",
         {{"AT%C?", reply("%C: 0")}, {"AT\\N?", reply("\\N: 0")}},
         "Label4",
         "Compression Default , Error Correction 0 Default"},
        {"V42bis and MNP, with a 0 in an unsolicited line",
         "Command2",
         {{"AT%C?", "\r\n+WIND: 0\r\n" + reply("%C: 2")}, {"AT\\N?", reply("\\N: 5")}},
         "Label4",
         "Compression V42bis Compression , Error Correction 5 MNP Mode"},
        {"LAMP after an unsolicited 0",
         "Command2",
         {{"AT%C?", reply("%C: 2")}, {"AT\\N?", "\r\n+WIND: 0\r\n" + reply("\\N: 4")}},
         "Label4",
         "Compression V42bis Compression , Error Correction 4 LAMP Mode"},
        {"both refused",
         "Command2",
         {{"AT%C?", kError}, {"AT\\N?", kError}},
         "Label4",
         "Compression  , Error Correction "},
        {"data mode",
         "Command3",
         {{"AT+FCLASS?", reply("+FCLASS: 0")}},
         "Label5",
         "Currently In Data Mode"},
        {"fax class 1",
         "Command3",
         {{"AT+FCLASS?", reply("+FCLASS: 1")}},
         "Label5",
         "Currently In Fax Class 1 Mode"},
        {"fax class 2 after an unsolicited 0",
         "Command3",
         {{"AT+FCLASS?", "\r\n+WIND: 0\r\n" + reply("+FCLASS: 2")}},
         "Label5",
         "Currently in Fax Class 2 Mode"},
        {"fax class 2.0, outside the table",
         "Command3",
         {{"AT+FCLASS?", reply("+FCLASS: 2.0")}},
         "Label5",
         kChecking},
        {"fax class refused", "Command3", {{"AT+FCLASS?", kError}}, "Label5", kChecking},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        for (const auto& [command, response] : c.replies)
            modem().overrideReply(command, response);
        button(c.button)->click();
        EXPECT_EQ(label(c.status)->text(), c.shown);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

// The handler's error exit: it stops, the status line keeps its text
// and the log is not emptied.
TEST_F(DataFaxWindowTest, AnIncompleteBearerReplyEndsTheQuery) {
    open();
    for (const QByteArray& response :
         {QByteArray("\r\n+CBST: 71,0,1\r\n"), reply("+CBST: 71"), reply("+CBST: 71,0")}) {
        SCOPED_TRACE(response.toStdString());
        modem().overrideReply("AT+CBST?", response);
        button("Command1")->click();
        EXPECT_EQ(label("Label1")->text(), kChecking);
        EXPECT_TRUE(main().Text1().contains("+CBST:"));
    }
}

TEST_F(DataFaxWindowTest, EachPositionOfTheListsSendsItsCode) {
    const QStringList speedCodes = {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7", "8",
                                    "12", "14", "65", "66", "68", "70", "71", "75"};
    struct Case {
        const char* panel;
        const char* list;
        const char* set;
        QStringList commands; // by position
        const char* status;
        QString success;
    };
    QStringList bearers;
    for (const QString& code : speedCodes)
        bearers << "AT+CBST=" + code + ",0,1";
    // The modulations are sent as their items read.
    QStringList transmits;
    QStringList receives;
    for (const QString& modulation : kModulations) {
        transmits << "AT+FTM=" + modulation;
        receives << "AT+FRM=" + modulation;
    }
    const Case cases[] = {
        {"Command1", "Combo1", "Command6", bearers, "Label1", "Changes SuccessFul"},
        {"Command1",
         "Combo2",
         "Command6",
         {"AT+CBST=71,0,0", "AT+CBST=71,0,1", "AT+CBST=71,0,2", "AT+CBST=71,0,3"},
         "Label1",
         "Changes SuccessFul"},
        {"Command2",
         "Combo3",
         "Command7",
         {"AT%C0", "AT%C2"},
         "Label4",
         "Changes SuccessFul-Compression"},
        {"Command2",
         "Combo4",
         "Command8",
         {"AT\\N0", "AT\\N2", "AT\\N4", "AT\\N5"},
         "Label4",
         "Changes SuccessFul-Error Correction"},
        {"Command3",
         "Combo5",
         "Command4",
         {"AT+FCLASS=0", "AT+FCLASS=1", "AT+FCLASS=2"},
         "Label5",
         "Changes SuccessFul-FCLASS"},
        {"Command3", "Combo6", "Command5", transmits, "Label5", "Changes SuccessFul-Transmit "},
        {"Command3", "Combo7", "Command9", receives, "Label5", "Changes SuccessFul-Receive"},
    };
    open();
    for (const Case& c : cases) {
        button(c.panel)->click();
        // The other list of the bearer panel holds speed 71 or connection element 1.
        pick(list("Combo1"), 15);
        pick(list("Combo2"), 1);
        sent();
        for (int position = 0; position < c.commands.size(); ++position) {
            SCOPED_TRACE(c.commands[position].toStdString());
            pick(list(c.list), position);
            label(c.status)->setText("before");
            button(c.set)->click();
            EXPECT_EQ(sent(), c.commands[position].toLatin1() + "\r");
            EXPECT_EQ(label(c.status)->text(), c.success);
            EXPECT_TRUE(main().Text1().isEmpty());
        }
    }
    EXPECT_EQ(modem().state().settings.params["+FCLASS"], "2");
    EXPECT_EQ(modem().state().settings.params["\\N"], "5");
}

TEST_F(DataFaxWindowTest, SetButtonsWithoutAChoiceSendNothingAndShowNothing) {
    open();
    struct Case {
        const char* panel;
        const char* set;
        const char* chosen; // picked before, so that only the other list is empty
        const char* status;
    };
    const Case cases[] = {
        {"Command1", "Command6", nullptr, "Label1"},  {"Command1", "Command6", "Combo1", "Label1"},
        {"Command1", "Command6", "Combo2", "Label1"}, {"Command2", "Command7", "Combo4", "Label4"},
        {"Command2", "Command8", "Combo3", "Label4"}, {"Command3", "Command4", nullptr, "Label5"},
        {"Command3", "Command5", nullptr, "Label5"},  {"Command3", "Command9", nullptr, "Label5"},
    };
    for (const Case& c : cases) {
        button(c.panel)->click();
        if (c.chosen) pick(list(c.chosen), 1);
        sent();
        label(c.status)->setText("before");
        button(c.set)->click();
        EXPECT_EQ(sent(), "") << button(c.set)->objectName().toStdString();
        EXPECT_EQ(label(c.status)->text(), "before");
    }
}

// A modulation is sent as typed, trimmed, never completed to an item it
// begins; text that is not a number never reaches the modem.
TEST_P(DataFaxInShapes, ModulationBoxesSendTheirNumberAndNothingElse) {
    open();
    button("Command3")->click();
    struct Case {
        const char* box;
        const char* set;
        QString typed;
        QByteArray sent; // "": nothing
        QString status;
        Refused refused = {};
    };
    const Case cases[] = {
        {"Combo6", "Command5", "96", "AT+FTM=96\r", "Changes SuccessFul-Transmit "},
        {"Combo7", "Command9", " 146 ", "AT+FRM=146\r", "Changes SuccessFul-Receive"},
        {"Combo6", "Command5", "145\n", "AT+FTM=145\r", "Changes SuccessFul-Transmit "},
        // Not in the list: sent unchanged; the module refuses it.
        {"Combo6", "Command5", "99", "AT+FTM=99\r", "Changes UnsuccessFul"},
        {"Combo6", "Command5", "14", "AT+FTM=14\r", "Changes UnsuccessFul"},
        {"Combo7", "Command9", "12\n", "AT+FRM=12\r", "Changes UnsuccessFul"},
        // In the list, refused all the same.
        {"Combo6",
         "Command5",
         "146",
         "AT+FTM=146\r",
         "Changes UnsuccessFul",
         {{"+FTM", "+CME ERROR: 3"}}},
        {"Combo6", "Command5", "96;+CFUN=0", "", "before"},
        {"Combo7", "Command9", "OK", "", "before"},
        {"Combo7", "Command9", "9 6", "", "before"},
        {"Combo7", "Command9", "  ", "", "before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        sent();
        refuseOnly(c.refused);
        label("Label5")->setText("before");
        typeOver(list(c.box), c.typed);
        moveFocusTo(button(c.set));
        button(c.set)->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(label("Label5")->text(), c.status);
        EXPECT_EQ(items(list(c.box)), kModulations);
    }
    // Picked from the list, as typed.
    pick(list("Combo7"), 11);
    button("Command9")->click();
    EXPECT_EQ(sent(), "AT+FRM=146\r");
}

TEST_P(DataFaxInShapes, RefusedOrUnansweredSettings) {
    open();
    struct Case {
        const char* name;
        std::optional<QByteArray> response; // what follows the echo; none: the modem's own
        Refused refused;
        QString bearer; // Label1 after the bearer button, "before" first
        QString fax;    // Label5 after the fax-class button, "before" first
    };
    const Case cases[] = {
        {"refused",
         std::nullopt,
         {{"+CBST", "+CME ERROR: 3"}, {"+FCLASS", "+CME ERROR: 3"}},
         "Changes UnsuccessFul",
         "Changes UnsuccessFul"},
        {"refused with a message error",
         std::nullopt,
         {{"+CBST", "+CMS ERROR: 303"}, {"+FCLASS", "+CMS ERROR: 303"}},
         "Changes UnsuccessFul",
         "Changes UnsuccessFul"},
        // The fax panel's line was emptied before the command.
        {"unanswered", "", {}, "before", ""},
        {"both words: OK first",
         "\r\nOK\r\n\r\nERROR\r\n",
         {},
         "Changes SuccessFul",
         "Changes SuccessFul-FCLASS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        refuseOnly(c.refused);
        if (c.response) {
            modem().overrideReply("AT+CBST=71,0,1", *c.response);
            modem().overrideReply("AT+FCLASS=1", *c.response);
        }
        button("Command1")->click();
        pick(list("Combo1"), 15);
        pick(list("Combo2"), 1);
        label("Label1")->setText("before");
        button("Command6")->click();
        EXPECT_EQ(label("Label1")->text(), c.bearer);
        button("Command3")->click();
        pick(list("Combo5"), 1);
        label("Label5")->setText("before");
        button("Command4")->click();
        EXPECT_EQ(label("Label5")->text(), c.fax);
    }
}

TEST_F(DataFaxWindowTest, SignalLabelRefreshesTheSignalWindow) {
    open();
    form<Form7>().hide();
    click(label("Label9"));
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(commands(sent()), (QStringList{"AT", "AT+CSQ", "AT+CREG?"}));
}

TEST_F(DataFaxWindowTest, WithThePortClosedTheWindowOpensAndSendsNothing) {
    main().MSComm1().setPortOpen(false);
    window().Show();
    EXPECT_EQ(visiblePanels(), QStringList{"Frame1"});
    EXPECT_EQ(list("Combo1")->count(), 17);
    EXPECT_EQ(label("Label1")->text(), kChecking);
    button("Command3")->click();
    pick(list("Combo5"), 0);
    button("Command4")->click();
    EXPECT_EQ(label("Label5")->text(), ""); // emptied, then the write failed
    EXPECT_EQ(sent(), "");
}
