// The data and fax window against the simulated modem: the panels and their
// lists, the queries and how their replies read, and the six set buttons.

#include "config/Form14.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"
#include "ui_Form14.h"

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

class DataFaxWindowTest : public ConnectedConsole {
  protected:
    Form14& window() { return form<Form14>(); }
    Ui::Form14& ui() { return *window().ui; }

    // Opens the window as the main window's button does; what that sent is dropped.
    void open() {
        main().ui->Command10->setEnabled(true);
        main().ui->Command10->click();
        sent();
    }
    // Picks an item of a list by its position, as the user would.
    void pick(QComboBox* box, int position) { box->setCurrentIndex(position); }
    QStringList visiblePanels() {
        QStringList shown;
        for (QGroupBox* frame : {ui().Frame1, ui().Frame2, ui().Frame3})
            if (frame->isVisibleTo(&window())) shown << frame->objectName();
        return shown;
    }
};

// The tests that read the module's verdicts, in every shape modules answer in.
using DataFaxInShapes = InEveryShape<DataFaxWindowTest>;
INSTANTIATE_TEST_SUITE_P(Shapes, DataFaxInShapes, ::testing::ValuesIn(moduleShapes()), shapeName);

TEST_F(DataFaxWindowTest, OpensOnTheBearerPanelWithItsListsAndAFreshQuery) {
    main().ui->Command10->setEnabled(true);
    main().ui->Command10->click();
    EXPECT_EQ(sent(), "AT+CBST?\r");
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(visiblePanels(), QStringList{"Frame1"});
    EXPECT_EQ(items(ui().Combo1), kSpeedItems);
    EXPECT_EQ(items(ui().Combo2),
              (QStringList{"0 Transparent Only", "1 Default", "2 Transparent Preferred",
                           "3 Non Transparent Preferred"}));
    EXPECT_EQ(ui().Combo1->currentIndex(), -1);
    EXPECT_EQ(ui().Combo2->currentIndex(), -1);
    // The module's own bearer: speed 0, connection element 1.
    EXPECT_EQ(ui().Label1->text(), "Speed:0-DeFault  CE:1 Default");
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_F(DataFaxWindowTest, PanelButtonsShowOnePanelRefillItsListsAndQueryIt) {
    open();
    struct Case {
        QPushButton* button;
        const char* frame;
        QByteArray queries;
        std::vector<QComboBox*> lists;
    };
    const Case cases[] = {
        {ui().Command3, "Frame3", "AT+FCLASS?\r", {ui().Combo5, ui().Combo6, ui().Combo7}},
        {ui().Command2, "Frame2", "AT%C?\rAT\\N?\r", {ui().Combo3, ui().Combo4}},
        {ui().Command1, "Frame1", "AT+CBST?\r", {ui().Combo1, ui().Combo2}},
        {ui().Command3, "Frame3", "AT+FCLASS?\r", {ui().Combo5, ui().Combo6, ui().Combo7}},
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
    EXPECT_EQ(items(ui().Combo3), (QStringList{"0 No Compression", "2 V42bis Compression"}));
    EXPECT_EQ(items(ui().Combo4),
              (QStringList{"0 Default", "2 Auto Reliable Mode", "4 LAMP Mode", "5 MNP Mode"}));
    EXPECT_EQ(items(ui().Combo5),
              (QStringList{"0-Data Mode", "1-Fax Class 1 Mode", "2-Fax Class 2 Mode"}));
    EXPECT_EQ(items(ui().Combo6), kModulations);
    EXPECT_EQ(items(ui().Combo7), kModulations);
}

// Each value is read from its own reply line: an unsolicited line in the
// log, or a digit elsewhere in it, changes nothing.
TEST_F(DataFaxWindowTest, QueriesReadEachValueFromItsOwnReplyLine) {
    open();
    struct Case {
        const char* name;
        QPushButton* Ui::Form14::*button;
        std::vector<std::pair<QByteArray, QByteArray>> replies;
        QLabel* Ui::Form14::*status;
        QString shown;
    };
    const Case cases[] = {
        {"bearer 71,0,1",
         &Ui::Form14::Command1,
         {{"AT+CBST?", reply("+CBST: 71,0,1")}},
         &Ui::Form14::Label1,
         "Speed:71 9600bps  CE:1 Default"},
        {"bearer refused",
         &Ui::Form14::Command1,
         {{"AT+CBST?", kError}},
         &Ui::Form14::Label1,
         "  "},
        {"bearer speed 15, outside the table",
         &Ui::Form14::Command1,
         {{"AT+CBST?", reply("+CBST: 15,0,1")}},
         &Ui::Form14::Label1,
         "  CE:1 Default"},
        {"bearer after an unsolicited line, another one after its OK",
         &Ui::Form14::Command1,
         {{"AT+CBST?", "\r\n+WIND: 4\r\n" + reply("+CBST: 7,0,3") + "\r\n+WIND: 10\r\n"}},
         &Ui::Form14::Label1,
         "Speed:7 9600bps  CE:3 NonTransparent Preferred"},
        {"compression and correction by default",
         &Ui::Form14::Command2,
         {{"AT%C?", reply("%C: 0")}, {"AT\\N?", reply("\\N: 0")}},
         &Ui::Form14::Label4,
         "Compression Default , Error Correction 0 Default"},
        {"V42bis and MNP, with a 0 in an unsolicited line",
         &Ui::Form14::Command2,
         {{"AT%C?", "\r\n+WIND: 0\r\n" + reply("%C: 2")}, {"AT\\N?", reply("\\N: 5")}},
         &Ui::Form14::Label4,
         "Compression V42bis Compression , Error Correction 5 MNP Mode"},
        {"LAMP after an unsolicited 0",
         &Ui::Form14::Command2,
         {{"AT%C?", reply("%C: 2")}, {"AT\\N?", "\r\n+WIND: 0\r\n" + reply("\\N: 4")}},
         &Ui::Form14::Label4,
         "Compression V42bis Compression , Error Correction 4 LAMP Mode"},
        {"both refused",
         &Ui::Form14::Command2,
         {{"AT%C?", kError}, {"AT\\N?", kError}},
         &Ui::Form14::Label4,
         "Compression  , Error Correction "},
        {"data mode",
         &Ui::Form14::Command3,
         {{"AT+FCLASS?", reply("+FCLASS: 0")}},
         &Ui::Form14::Label5,
         "Currently In Data Mode"},
        {"fax class 1",
         &Ui::Form14::Command3,
         {{"AT+FCLASS?", reply("+FCLASS: 1")}},
         &Ui::Form14::Label5,
         "Currently In Fax Class 1 Mode"},
        {"fax class 2 after an unsolicited 0",
         &Ui::Form14::Command3,
         {{"AT+FCLASS?", "\r\n+WIND: 0\r\n" + reply("+FCLASS: 2")}},
         &Ui::Form14::Label5,
         "Currently in Fax Class 2 Mode"},
        {"fax class 2.0, outside the table",
         &Ui::Form14::Command3,
         {{"AT+FCLASS?", reply("+FCLASS: 2.0")}},
         &Ui::Form14::Label5,
         kChecking},
        {"fax class refused",
         &Ui::Form14::Command3,
         {{"AT+FCLASS?", kError}},
         &Ui::Form14::Label5,
         kChecking},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        for (const auto& [command, response] : c.replies)
            modem().overrideReply(command, response);
        (ui().*c.button)->click();
        EXPECT_EQ((ui().*c.status)->text(), c.shown);
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
        ui().Command1->click();
        EXPECT_EQ(ui().Label1->text(), kChecking);
        EXPECT_TRUE(main().Text1().contains("+CBST:"));
    }
}

TEST_F(DataFaxWindowTest, EachPositionOfTheListsSendsItsCode) {
    const QStringList speedCodes = {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7", "8",
                                    "12", "14", "65", "66", "68", "70", "71", "75"};
    struct Case {
        QPushButton* Ui::Form14::*panel;
        QComboBox* Ui::Form14::*list;
        QPushButton* Ui::Form14::*set;
        QStringList commands; // by position
        QLabel* Ui::Form14::*status;
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
        {&Ui::Form14::Command1, &Ui::Form14::Combo1, &Ui::Form14::Command6, bearers,
         &Ui::Form14::Label1, "Changes SuccessFul"},
        {&Ui::Form14::Command1,
         &Ui::Form14::Combo2,
         &Ui::Form14::Command6,
         {"AT+CBST=71,0,0", "AT+CBST=71,0,1", "AT+CBST=71,0,2", "AT+CBST=71,0,3"},
         &Ui::Form14::Label1,
         "Changes SuccessFul"},
        {&Ui::Form14::Command2,
         &Ui::Form14::Combo3,
         &Ui::Form14::Command7,
         {"AT%C0", "AT%C2"},
         &Ui::Form14::Label4,
         "Changes SuccessFul-Compression"},
        {&Ui::Form14::Command2,
         &Ui::Form14::Combo4,
         &Ui::Form14::Command8,
         {"AT\\N0", "AT\\N2", "AT\\N4", "AT\\N5"},
         &Ui::Form14::Label4,
         "Changes SuccessFul-Error Correction"},
        {&Ui::Form14::Command3,
         &Ui::Form14::Combo5,
         &Ui::Form14::Command4,
         {"AT+FCLASS=0", "AT+FCLASS=1", "AT+FCLASS=2"},
         &Ui::Form14::Label5,
         "Changes SuccessFul-FCLASS"},
        {&Ui::Form14::Command3, &Ui::Form14::Combo6, &Ui::Form14::Command5, transmits,
         &Ui::Form14::Label5, "Changes SuccessFul-Transmit "},
        {&Ui::Form14::Command3, &Ui::Form14::Combo7, &Ui::Form14::Command9, receives,
         &Ui::Form14::Label5, "Changes SuccessFul-Receive"},
    };
    open();
    for (const Case& c : cases) {
        (ui().*c.panel)->click();
        // The other list of the bearer panel holds speed 71 or connection element 1.
        pick(ui().Combo1, 15);
        pick(ui().Combo2, 1);
        sent();
        for (int position = 0; position < c.commands.size(); ++position) {
            SCOPED_TRACE(c.commands[position].toStdString());
            pick(ui().*c.list, position);
            (ui().*c.status)->setText("before");
            (ui().*c.set)->click();
            EXPECT_EQ(sent(), c.commands[position].toLatin1() + "\r");
            EXPECT_EQ((ui().*c.status)->text(), c.success);
            EXPECT_TRUE(main().Text1().isEmpty());
        }
    }
    EXPECT_EQ(modem().state().settings.params["+FCLASS"], "2");
    EXPECT_EQ(modem().state().settings.params["\\N"], "5");
}

TEST_F(DataFaxWindowTest, SetButtonsWithoutAChoiceSendNothingAndShowNothing) {
    open();
    struct Case {
        QPushButton* Ui::Form14::*panel;
        QPushButton* Ui::Form14::*set;
        QComboBox* Ui::Form14::*chosen; // picked before, so that only the other list is empty
        QLabel* Ui::Form14::*status;
    };
    const Case cases[] = {
        {&Ui::Form14::Command1, &Ui::Form14::Command6, nullptr, &Ui::Form14::Label1},
        {&Ui::Form14::Command1, &Ui::Form14::Command6, &Ui::Form14::Combo1, &Ui::Form14::Label1},
        {&Ui::Form14::Command1, &Ui::Form14::Command6, &Ui::Form14::Combo2, &Ui::Form14::Label1},
        {&Ui::Form14::Command2, &Ui::Form14::Command7, &Ui::Form14::Combo4, &Ui::Form14::Label4},
        {&Ui::Form14::Command2, &Ui::Form14::Command8, &Ui::Form14::Combo3, &Ui::Form14::Label4},
        {&Ui::Form14::Command3, &Ui::Form14::Command4, nullptr, &Ui::Form14::Label5},
        {&Ui::Form14::Command3, &Ui::Form14::Command5, nullptr, &Ui::Form14::Label5},
        {&Ui::Form14::Command3, &Ui::Form14::Command9, nullptr, &Ui::Form14::Label5},
    };
    for (const Case& c : cases) {
        (ui().*c.panel)->click();
        if (c.chosen) pick(ui().*c.chosen, 1);
        sent();
        (ui().*c.status)->setText("before");
        (ui().*c.set)->click();
        EXPECT_EQ(sent(), "") << (ui().*c.set)->objectName().toStdString();
        EXPECT_EQ((ui().*c.status)->text(), "before");
    }
}

// A modulation is sent as typed, trimmed, never completed to an item it
// begins; text that is not a number never reaches the modem.
TEST_P(DataFaxInShapes, ModulationBoxesSendTheirNumberAndNothingElse) {
    open();
    ui().Command3->click();
    struct Case {
        QComboBox* Ui::Form14::*box;
        QPushButton* Ui::Form14::*set;
        QString typed;
        QByteArray sent; // "": nothing
        QString status;
        Refused refused = {};
    };
    const Case cases[] = {
        {&Ui::Form14::Combo6, &Ui::Form14::Command5, "96", "AT+FTM=96\r",
         "Changes SuccessFul-Transmit "},
        {&Ui::Form14::Combo7, &Ui::Form14::Command9, " 146 ", "AT+FRM=146\r",
         "Changes SuccessFul-Receive"},
        {&Ui::Form14::Combo6, &Ui::Form14::Command5, "145\n", "AT+FTM=145\r",
         "Changes SuccessFul-Transmit "},
        // Not in the list: sent unchanged; the module refuses it.
        {&Ui::Form14::Combo6, &Ui::Form14::Command5, "99", "AT+FTM=99\r", "Changes UnsuccessFul"},
        {&Ui::Form14::Combo6, &Ui::Form14::Command5, "14", "AT+FTM=14\r", "Changes UnsuccessFul"},
        {&Ui::Form14::Combo7, &Ui::Form14::Command9, "12\n", "AT+FRM=12\r", "Changes UnsuccessFul"},
        // In the list, refused all the same.
        {&Ui::Form14::Combo6,
         &Ui::Form14::Command5,
         "146",
         "AT+FTM=146\r",
         "Changes UnsuccessFul",
         {{"+FTM", "+CME ERROR: 3"}}},
        {&Ui::Form14::Combo6, &Ui::Form14::Command5, "96;+CFUN=0", "", "before"},
        {&Ui::Form14::Combo7, &Ui::Form14::Command9, "OK", "", "before"},
        {&Ui::Form14::Combo7, &Ui::Form14::Command9, "9 6", "", "before"},
        {&Ui::Form14::Combo7, &Ui::Form14::Command9, "  ", "", "before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        sent();
        refuseOnly(c.refused);
        ui().Label5->setText("before");
        typeOver(ui().*c.box, c.typed);
        moveFocusTo(ui().*c.set);
        (ui().*c.set)->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(ui().Label5->text(), c.status);
        EXPECT_EQ(items(ui().*c.box), kModulations);
    }
    // Picked from the list, as typed.
    pick(ui().Combo7, 11);
    ui().Command9->click();
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
        ui().Command1->click();
        pick(ui().Combo1, 15);
        pick(ui().Combo2, 1);
        ui().Label1->setText("before");
        ui().Command6->click();
        EXPECT_EQ(ui().Label1->text(), c.bearer);
        ui().Command3->click();
        pick(ui().Combo5, 1);
        ui().Label5->setText("before");
        ui().Command4->click();
        EXPECT_EQ(ui().Label5->text(), c.fax);
    }
}

TEST_F(DataFaxWindowTest, SignalLabelRefreshesTheSignalWindow) {
    open();
    form<Form7>().hide();
    click(ui().Label9);
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(commands(sent()), (QStringList{"AT", "AT+CSQ", "AT+CREG?"}));
}

TEST_F(DataFaxWindowTest, WithThePortClosedTheWindowOpensAndSendsNothing) {
    main().MSComm1().setPortOpen(false);
    window().Show();
    EXPECT_EQ(visiblePanels(), QStringList{"Frame1"});
    EXPECT_EQ(ui().Combo1->count(), 17);
    EXPECT_EQ(ui().Label1->text(), kChecking);
    ui().Command3->click();
    pick(ui().Combo5, 0);
    ui().Command4->click();
    EXPECT_EQ(ui().Label5->text(), ""); // emptied, then the write failed
    EXPECT_EQ(sent(), "");
}
