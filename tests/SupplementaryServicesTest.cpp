#include "calls/Form5.h"
#include "console/Form7.h"
#include "platform/Widgets.h"
#include "services/Form12.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "ui_Form12.h"

#include <gmock/gmock.h>

#include <functional>
#include <optional>

using testing::DoubleNear;
using testing::ElementsAre;

namespace {

enum Tab { Forwarding, Barring, Waiting, ClosedUserGroup };

const QStringList kForwardQueries = {"AT+CCFC=0,2", "AT+CCFC=1,2", "AT+CCFC=2,2",
                                     "AT+CCFC=3,2", "AT+CCFC=4,2", "AT+CCFC=5,2"};
const QStringList kBarringQueries = {"AT+CLCK=\"AO\",2", "AT+CLCK=\"OI\",2", "AT+CLCK=\"OX\",2",
                                     "AT+CLCK=\"AI\",2", "AT+CLCK=\"IR\",2"};

const QStringList kForwardOptions = {"Option1",  "Option2",  "Option3", "Option4",  "Option5",
                                     "Option6",  "Option7",  "Option8", "Option12", "Option13",
                                     "Option14", "Option15", "Option16"};

// The forwarding labels of a modem on which nothing is forwarded.
QStringList noneForwarded() {
    const QStringList prefixes = {
        "UNCONDITIONAL-", "MOBILE BUSY-",         "NO REPLY-",
        "NOT REACHABLE-", "ALL CALL FORWARDING-", "ALL CONDITON CALL FORWARDING-"};
    QStringList lines;
    for (const QString& prefix : prefixes)
        lines << prefix + "Call Forward Not Active For All Classes ";
    return lines;
}

// The barring caption with each facility's part, separators kept.
QString barringCaption(const QStringList& parts) {
    return parts[0] + ",      " + parts[1] + ",     " + parts[2] + ",     " + parts[3] + ",     " +
           parts[4];
}

const QStringList kNoneBarred = {"OutGoing Calls Not Barred",
                                 "OutGoing International Calls Not Barred",
                                 "OutGoing Internet Calls Not Barred", "Incoming Calls Not Barred",
                                 "Incoming Calls While Roaming Calls Not Barred"};

} // namespace

class SupplementaryServicesTest : public ConnectedConsole {
  protected:
    Form12& window() { return form<Form12>(); }
    Ui::Form12& ui() { return *window().ui; }
    QRadioButton* option(const char* name) { return window().findChild<QRadioButton*>(name); }
    bool shown(QWidget* control) { return control->isVisibleTo(&window()); }

    // Opens the window from the main window's supplementary-service button;
    // its load asks for the six forwarding reasons.
    void open() {
        main().Show();
        main().ui->Command4->setEnabled(true);
        main().ui->Command4->click();
    }
    void selectTab(Tab tab) { ui().TabStrip1->setCurrentIndex(tab); }

    QStringList forwardLines() {
        return {ui().Label11->text(), ui().Label12->text(), ui().Label13->text(),
                ui().Label14->text(), ui().Label15->text(), ui().Label16->text()};
    }
    // The message boxes since the last call, as their text and title.
    QStringList messages() {
        const QStringList shown = shownMessages(services());
        services().messages.clear();
        return shown;
    }
    void choose(std::initializer_list<const char*> options) {
        for (const char* name : options)
            option(name)->click();
    }
    void clearChoices(std::initializer_list<QRadioButton*> groups) {
        for (QRadioButton* member : groups)
            clearOptionGroup(member);
    }
};

// --- the window and call forwarding

TEST_F(SupplementaryServicesTest, OpeningShowsTheWindowAndAsksForEachReasonThreeSecondsApart) {
    sent();
    bool shownWhileAsking = false;
    QString statusWhileAsking;
    clock().schedule(clock().seconds() + 1, [&] {
        shownWhileAsking = window().isVisible();
        statusWhileAsking = ui().Label2->text();
    });
    EXPECT_THAT(waitsOf([&] { open(); }),
                ElementsAre(DoubleNear(3, 1e-9), DoubleNear(3, 1e-9), DoubleNear(3, 1e-9),
                            DoubleNear(3, 1e-9), DoubleNear(3, 1e-9), DoubleNear(3, 1e-9)));
    EXPECT_TRUE(shownWhileAsking);
    EXPECT_EQ(statusWhileAsking, "Checking Current Status...");
    EXPECT_EQ(commands(sent()), kForwardQueries);
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(main().ui->Label5->text(), "Please Wait....");
    EXPECT_EQ(ui().Label2->text(), "");
    EXPECT_TRUE(shown(ui().Frame1));
    EXPECT_TRUE(shown(ui().Frame13));
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{ui().Frame9, ui().Frame5, ui().Frame10, ui().Frame12})
        EXPECT_FALSE(shown(hidden)) << hidden->objectName().toStdString();

    run(60); // the held-back replies
    ui().Command2->click();
    EXPECT_EQ(forwardLines(), noneForwarded());
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_F(SupplementaryServicesTest, ForwardingRepliesAreReadFromTheirFirstLine) {
    struct Case {
        const char* name;
        QByteArray reply;
        const char* line;
    };
    const Case cases[] = {
        {"not active", reply("+CCFC: 0,7"),
         "UNCONDITIONAL-Call Forward Not Active For All Classes "},
        {"active for voice", reply("+CCFC: 1,1,\"+441632960961\",145"),
         "UNCONDITIONAL-Call Forward  Active For Voice +441632960961"},
        {"for short messages", reply("+CCFC: 1,8,\"0123\",129"),
         "UNCONDITIONAL-Call Forward  Active For SMS 0123"},
        {"deleted", reply("+CCFC: 4,7"), "UNCONDITIONAL-Call Forward  Deleted For All Classes "},
        {"status and class unknown", reply("+CCFC: 9,3,\"+441632960961\",145"),
         "UNCONDITIONAL-  +441632960961"},
        {"one line per class", "\r\n+CCFC: 0,1\r\n+CCFC: 0,2\r\n+CCFC: 0,4\r\n\r\nOK\r\n",
         "UNCONDITIONAL-Call Forward Not Active For Voice "},
        {"a number on a later line",
         "\r\n+CCFC: 0,1\r\n+CCFC: 1,2,\"+441632960961\",145\r\n\r\nOK\r\n",
         "UNCONDITIONAL-Call Forward Not Active For Voice "},
        // A class of several digits is read by its first.
        {"every class", reply("+CCFC: 0,255"), "UNCONDITIONAL-Call Forward Not Active For Data "},
        {"refused", "\r\nERROR\r\n", ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().overrideReply("AT+CCFC=0,2", c.reply);
        ui().Command2->click();
        QStringList expected = noneForwarded();
        expected[0] = c.line;
        EXPECT_EQ(forwardLines(), expected);
        EXPECT_EQ(ui().Label2->text(), "");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    modem().clearOverrides();
    modem().state().network.forwarding[1] = {"+441632960961", 145, 1};
    ui().Command2->click();
    EXPECT_EQ(ui().Label12->text(), "MOBILE BUSY-Call Forward  Active For Voice +441632960961");
}

TEST_F(SupplementaryServicesTest, EachQueryClearsEveryInputReallyLeavingNoChoice) {
    open();
    choose({"Option3", "Option7", "Option14"});
    ui().Text1->setText("0123");
    ui().Command2->click();
    EXPECT_EQ(checkedAmong(window(), kForwardOptions), QStringList());
    EXPECT_EQ(ui().Text1->text(), "");
    // A click on one option now checks it alone.
    option("Option2")->click();
    EXPECT_EQ(checkedAmong(window(), kForwardOptions), QStringList{"Option2"});
}

TEST_F(SupplementaryServicesTest, ForwardingChecksRunInTheirOrderAndSendNothing) {
    struct Case {
        const char* name;
        std::initializer_list<const char*> chosen;
        const char* number;
        const char* message;
        const char* status; // Label2 held "before"
    };
    const Case cases[] = {
        {"register without a number",
         {"Option1", "Option7", "Option12"},
         "",
         "Enter Valid Number ",
         "before"},
        {"a number a command line cannot carry",
         {"Option1", "Option7", "Option12"},
         "12\";&FOK",
         "Enter Valid Number ",
         "before"},
        {"no reason", {"Option7", "Option12"}, "0123", "Select Status Property", "before"},
        {"no mode", {"Option1", "Option12"}, "0123", "Select Mode Correctly", "before"},
        {"register without a class", {"Option1", "Option7"}, "0123", "Select Class Correctly", ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearChoices({ui().Option1, ui().Option7, ui().Option12});
        choose(c.chosen);
        ui().Text1->setText(c.number); // as if it had got past the box's filter
        ui().Label2->setText("before");
        sent();
        ui().Command1->click();
        EXPECT_EQ(messages(), QStringList{QString(c.message) + " | GSM"});
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(ui().Label2->text(), c.status);
    }
}

TEST_F(SupplementaryServicesTest, RegisterAndEraseSendTheirCommandsAndShowTheOutcome) {
    struct Case {
        const char* name;
        std::initializer_list<const char*> chosen;
        const char* typed;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* command;
        const char* status;
    };
    const Case cases[] = {
        {"register",
         {"Option2", "Option7", "Option12"},
         "+441632960961",
         std::nullopt,
         "AT+CCFC=1,3,\"+441632960961\",,1",
         "Changes SuccessFul"},
        {"only what a number holds is typed",
         {"Option3", "Option7", "Option14"},
         "+44\";&FOK 12#*",
         std::nullopt,
         "AT+CCFC=2,3,\"+44 12#*\",,4",
         "Changes UnSuccessFul"},
        {"blanks are sent as typed",
         {"Option1", "Option7", "Option16"},
         "   ",
         std::nullopt,
         "AT+CCFC=0,3,\"   \",,7",
         "Changes UnSuccessFul"},
        {"erase sends no number and no class",
         {"Option2", "Option8", "Option12"},
         "+441632960961",
         std::nullopt,
         "AT+CCFC=1,4",
         "Changes SuccessFul"},
        {"refused",
         {"Option4", "Option7", "Option13"},
         "0123",
         "\r\nERROR\r\n",
         "AT+CCFC=3,3,\"0123\",,2",
         "Changes UnSuccessFul"},
        {"no verdict",
         {"Option4", "Option7", "Option13"},
         "0123",
         "",
         "AT+CCFC=3,3,\"0123\",,2",
         ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearChoices({ui().Option1, ui().Option7, ui().Option12});
        choose(c.chosen);
        type(ui().Text1, c.typed);
        if (c.reply) modem().overrideReply(c.command, *c.reply);
        ui().Label2->setText("before");
        sent();
        ui().Command1->click();
        EXPECT_EQ(sent(), QByteArray(c.command) + "\r");
        EXPECT_EQ(ui().Label2->text(), c.status);
        EXPECT_EQ(ui().Text1->text(), "");
        QStringList chosen;
        for (const char* name : c.chosen)
            chosen << name;
        EXPECT_EQ(checkedAmong(window(), kForwardOptions), chosen);
        EXPECT_TRUE(main().Text1().isEmpty());
        EXPECT_TRUE(messages().isEmpty());
    }
    EXPECT_EQ(modem().state().network.forwarding.count(1), 0u); // registered, then erased
    choose({"Option1", "Option7", "Option12"});
    type(ui().Text1, "0123");
    EXPECT_THAT(waitsOf([&] { ui().Command1->click(); }), ElementsAre(DoubleNear(3, 1e-9)));
}

TEST_F(SupplementaryServicesTest, EachTabShowsItsPanelAndAsksForItsState) {
    struct Case {
        Tab tab;
        std::vector<QWidget*> shown;
        std::vector<QWidget*> hidden;
        QStringList asked;
    };
    open();
    const Case cases[] = {
        {Barring,
         {ui().Frame9},
         {ui().Frame1, ui().Frame5, ui().Frame10, ui().Frame12},
         kBarringQueries},
        {Waiting,
         {ui().Frame10},
         {ui().Frame1, ui().Frame5, ui().Frame9, ui().Frame11, ui().Command6, ui().Frame12},
         {"AT+CCWA=1,2"}},
        {ClosedUserGroup,
         {ui().Frame12},
         {ui().Frame1, ui().Frame5, ui().Frame9, ui().Frame10},
         {"AT+CCUG?"}},
        {Forwarding,
         {ui().Frame1, ui().Frame13},
         {ui().Frame5, ui().Frame9, ui().Frame10, ui().Frame12},
         kForwardQueries},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        sent();
        selectTab(c.tab);
        EXPECT_EQ(commands(sent()), c.asked);
        for (QWidget* panel : c.shown)
            EXPECT_TRUE(shown(panel)) << panel->objectName().toStdString();
        for (QWidget* panel : c.hidden)
            EXPECT_FALSE(shown(panel)) << panel->objectName().toStdString();
    }
}

TEST_F(SupplementaryServicesTest, CloseBoxEmptiesTheMainStatusLineAndShowsTheMainWindow) {
    open();
    window().close();
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(main().ui->Label5->text(), "");
    EXPECT_FALSE(Forms::instance().isLoaded<Form12>());
    sent();
    open();
    EXPECT_EQ(commands(sent()), kForwardQueries);
}

TEST_F(SupplementaryServicesTest, WithThePortClosedTheWindowShowsAndTheQueryStops) {
    main().MSComm1().setPortOpen(false);
    open();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(ui().Label2->text(), "Checking Current Status...");
    EXPECT_EQ(forwardLines(), QStringList(6, ""));
}

TEST_F(SupplementaryServicesTest, SignalButtonRefreshesTheSignalWindow) {
    open();
    sent();
    ui().Command8->click();
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(commands(sent()), (QStringList{"AT", "AT+CSQ", "AT+CREG?"}));
}

// --- call barring

TEST_F(SupplementaryServicesTest, BarringQueryJoinsTheFacilitiesWithChangeStatusHeldMeanwhile) {
    open();
    std::optional<bool> enabledWhileAsking;
    clock().schedule(clock().seconds() + 1,
                     [&] { enabledWhileAsking = ui().Command4->isEnabled(); });
    sent();
    EXPECT_THAT(waitsOf([&] { selectTab(Barring); }),
                ElementsAre(DoubleNear(3, 1e-9), DoubleNear(3, 1e-9), DoubleNear(3, 1e-9),
                            DoubleNear(3, 1e-9), DoubleNear(3, 1e-9)));
    EXPECT_EQ(enabledWhileAsking, false);
    EXPECT_EQ(commands(sent()), kBarringQueries);

    run(60); // the held-back replies
    selectTab(Forwarding);
    selectTab(Barring);
    EXPECT_EQ(ui().Label3->text(),
              "OutGoing Calls Not Barred,      OutGoing International Calls Not Barred,     "
              "OutGoing Internet Calls Not Barred,     Incoming Calls Not Barred,     "
              "Incoming Calls While Roaming Calls Not Barred");
    EXPECT_TRUE(ui().Command4->isEnabled());
    EXPECT_TRUE(main().Text1().isEmpty());

    ui().Command4->click();
    EXPECT_TRUE(shown(ui().Frame5));
    EXPECT_FALSE(shown(ui().Frame9));
    EXPECT_FALSE(shown(ui().Frame1));
}

// A barred facility keeps its barred text in the caption; a status that is
// neither 0 nor 1 leaves its place empty and the query ends as usual.
TEST_F(SupplementaryServicesTest, BarringCaptionShowsWhatIsBarred) {
    struct Case {
        const char* name;
        QByteArray reply;
        const char* part;
    };
    const Case cases[] = {
        {"barred for short messages", reply("+CLCK: 1,8"),
         "Current Status:OutGoing International Calls Barred For Short Message"},
        {"barred without a class", reply("+CLCK: 1"),
         "Current Status:OutGoing International Calls Barred "},
        {"barred for a class without a text", reply("+CLCK: 1,3"),
         "Current Status:OutGoing International Calls Barred "},
        {"a status that is no digit", reply("+CLCK: x,7"), ""},
        {"refused", "\r\nERROR\r\n", ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().overrideReply("AT+CLCK=\"OI\",2", c.reply);
        selectTab(Forwarding);
        selectTab(Barring);
        QStringList parts = kNoneBarred;
        parts[1] = c.part;
        EXPECT_EQ(ui().Label3->text(), barringCaption(parts));
        EXPECT_TRUE(ui().Command4->isEnabled());
        EXPECT_TRUE(main().Text1().isEmpty());
    }

    // What the query shows as it goes: the all-outgoing text replaces the
    // caption, the others are appended to it.
    modem().clearOverrides();
    selectTab(Forwarding);
    modem().state().network.barring["AO"] = 1;
    modem().state().network.barring["AI"] = 7;
    QStringList seen;
    for (double after : {4.0, 13.0})
        clock().schedule(clock().seconds() + after, [&] { seen << ui().Label3->text(); });
    selectTab(Barring);
    EXPECT_EQ(seen, (QStringList{"Current Status:All OutGoing Calls Barred For Voice",
                                 "Current Status:All OutGoing Calls Barred For Voice "
                                 "Current Status:All Incoming Calls Barred For Voice"}));
    QStringList parts = kNoneBarred;
    parts[0] = "Current Status:All OutGoing Calls Barred For Voice";
    parts[3] = "Current Status:All Incoming Calls Barred For Voice";
    EXPECT_EQ(ui().Label3->text(), barringCaption(parts));
}

TEST_F(SupplementaryServicesTest, BarringQueryWithThePortClosedStopsWaiting) {
    open();
    main().MSComm1().setPortOpen(false);
    selectTab(Barring);
    EXPECT_EQ(ui().Label3->text(), "Please Wait....");
    EXPECT_FALSE(ui().Command4->isEnabled());
}

TEST_F(SupplementaryServicesTest, BarringSettingChecksItsChoicesFirst) {
    struct Case {
        std::initializer_list<const char*> chosen;
        const char* password;
        const char* message;
        const char* passwordAfter;
    };
    // The first three boxes carry a truly empty title.
    const Case cases[] = {
        {{}, "12", "Please Select The Facility | ", "12"},
        {{"Option17"}, "12", "Please Select The Class | ", "12"},
        {{"Option17", "Option24"}, "12", "Please Select The Mode | ", "12"},
        {{"Option17", "Option24", "Option23"}, "", "Please Enter A Valid Password | GSM", ""},
    };
    open();
    selectTab(Barring);
    ui().Command4->click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        clearChoices({ui().Option17, ui().Option22, ui().Option24});
        choose(c.chosen);
        ui().Text2->setText(c.password);
        main().Text1().setText("left over");
        sent();
        ui().Command3->click();
        EXPECT_EQ(messages(), QStringList{c.message});
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(ui().Text2->text(), c.passwordAfter);
        EXPECT_EQ(ui().Label5->text(), "");
    }
}

TEST_F(SupplementaryServicesTest, BarringSettingSendsFacilityModePasswordAndClass) {
    struct Case {
        std::initializer_list<const char*> chosen;
        const char* typed;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* command;
        const char* status;
    };
    const Case cases[] = {
        {{"Option17", "Option23", "Option24"},
         "0000",
         std::nullopt,
         "AT+CLCK=\"AO\",1,0000,1",
         "Changes SuccessFully"},
        {{"Option21", "Option22", "Option28"},
         "0000",
         std::nullopt,
         "AT+CLCK=\"IR\",0,0000,7",
         "Changes SuccessFully"},
        // A short password is sent as typed; the network refuses it.
        {{"Option18", "Option23", "Option27"},
         "12",
         std::nullopt,
         "AT+CLCK=\"OI\",1,12,8",
         "Error! Changes UnsuccessFul"},
        {{"Option19", "Option23", "Option25"},
         "1;2&F3\"45",
         std::nullopt,
         "AT+CLCK=\"OX\",1,1234,2",
         "Error! Changes UnsuccessFul"},
        {{"Option20", "Option23", "Option26"},
         "0000",
         "",
         "AT+CLCK=\"AI\",1,0000,4",
         "Please Wait"},
    };
    open();
    selectTab(Barring);
    ui().Command4->click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        clearChoices({ui().Option17, ui().Option22, ui().Option24});
        choose(c.chosen);
        type(ui().Text2, c.typed);
        if (c.reply) modem().overrideReply(c.command, *c.reply);
        ui().Label5->setText("before");
        sent();
        ui().Command3->click();
        EXPECT_EQ(sent(), QByteArray(c.command) + "\r");
        EXPECT_EQ(ui().Label5->text(), c.status);
        EXPECT_EQ(ui().Text2->text(), "");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    EXPECT_EQ(modem().state().network.barring["AO"], 1);
    type(ui().Text2, "0000");
    EXPECT_THAT(waitsOf([&] { ui().Command3->click(); }), ElementsAre(DoubleNear(4, 1e-9)));
}

// The password goes unquoted into the command line.
TEST_F(SupplementaryServicesTest, BarringPasswordTakesFourDigitsShowsStarsAndIsAlwaysForgotten) {
    open();
    EXPECT_EQ(ui().Text2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(ui().Text2->maxLength(), 4);
    type(ui().Text2, "1;&F234567");
    EXPECT_EQ(ui().Text2->text(), "1234");
    ui().Text2->clear();
    ui().Text2->insert("1;&F");
    EXPECT_EQ(ui().Text2->text(), "");

    choose({"Option17", "Option23", "Option24"});
    type(ui().Text2, "0000");
    main().MSComm1().setPortOpen(false);
    ui().Command3->click();
    EXPECT_EQ(ui().Label5->text(), "Please Wait");
    EXPECT_EQ(ui().Text2->text(), "");
}

// --- call waiting

TEST_F(SupplementaryServicesTest, CallWaitingQueryShowsTheVoiceState) {
    struct Case {
        const char* name;
        int activeClasses;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* status;              // the line held "before"
    };
    const Case cases[] = {
        {"off", 0, std::nullopt, "Current Status:Call Waiting Disabled"},
        {"on for voice", 1, std::nullopt, "Current Status:Call Waiting Enabled"},
        {"on for data only", 2, std::nullopt, "before"},
        {"refused", 0, "\r\nERROR\r\n", "Error Occured.Please Try Later"},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().state().network.callWaitingClasses = c.activeClasses;
        modem().clearOverrides();
        if (c.reply) modem().overrideReply("AT+CCWA=1,2", *c.reply);
        ui().Label6->setText("before");
        selectTab(Forwarding);
        sent();
        selectTab(Waiting);
        EXPECT_EQ(sent(), "AT+CCWA=1,2\r");
        EXPECT_EQ(ui().Label6->text(), c.status);
        EXPECT_TRUE(main().Text1().isEmpty());
        run(5);
        // A status reply is no waiting call.
        EXPECT_FALSE(Forms::instance().isLoaded<Form5>() && form<Form5>().isVisible());
    }
    selectTab(Forwarding);
    EXPECT_THAT(waitsOf([&] { selectTab(Waiting); }), ElementsAre(DoubleNear(3, 1e-9)));
}

TEST_F(SupplementaryServicesTest, CallWaitingSettingSendsTheChoice) {
    open();
    selectTab(Waiting);
    ui().Command5->click();
    EXPECT_TRUE(shown(ui().Frame11));
    EXPECT_TRUE(shown(ui().Command6));

    main().Text1().setText("left over");
    sent();
    ui().Command6->click();
    EXPECT_EQ(messages(), QStringList{"Please Select the Option Correctly | GSM"});
    EXPECT_EQ(sent(), "");
    EXPECT_TRUE(main().Text1().isEmpty());

    struct Case {
        QRadioButton* choice;
        std::optional<QByteArray> reply;
        const char* command;
        const char* status;
        int activeClasses;
    };
    const Case cases[] = {
        {ui().Option29, std::nullopt, "AT+CCWA=1,1,1", "Changes SuccessFul", 1},
        {ui().Option30, std::nullopt, "AT+CCWA=1,0,7", "Changes SuccessFul", 0},
        {ui().Option29, "\r\nERROR\r\n", "AT+CCWA=1,1,1", "Changes UnsuccessFul", 0},
        {ui().Option29, "", "AT+CCWA=1,1,1", "Please Wait", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        if (c.reply) modem().overrideReply(c.command, *c.reply);
        c.choice->click();
        sent();
        ui().Command6->click();
        EXPECT_EQ(sent(), QByteArray(c.command) + "\r");
        EXPECT_EQ(ui().Label6->text(), c.status);
        EXPECT_EQ(modem().state().network.callWaitingClasses, c.activeClasses);
        EXPECT_TRUE(shown(ui().Frame11));
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    EXPECT_THAT(waitsOf([&] { ui().Command6->click(); }), ElementsAre(DoubleNear(3, 1e-9)));
}

// --- closed user groups

TEST_F(SupplementaryServicesTest, ClosedUserGroupQueryFillsAndPresetsTheLists) {
    struct Case {
        const char* name;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* status;
        QStringList preset; // mode, index and info lists
    };
    const Case cases[] = {
        {"factory setting",
         std::nullopt,
         "Current Status: CUG Mode Disabled    ,CUG Index 0   ,Default",
         {"Disable CUG Mode", "0", "Default"}},
        {"index 10",
         reply("+CCUG: 1,10,3"),
         "Current Status: CUG Mode Enabled    ,CUG Index 10   ,Suppress Outgoing Access And "
         "Preferential CUG",
         {"Enable CUG Mode", "10", "Supress OA and Prefer.CUG"}},
        {"values outside the lists",
         reply("+CCUG: 2,11,4"),
         "Current Status:     ,   ,",
         {"", "", ""}},
        {"no commas",
         reply("+CCUG: 1"),
         "Current Status: CUG Mode Enabled    ,   ,",
         {"Enable CUG Mode", "", ""}},
        {"no OK",
         "\r\n+CCUG: 0,4,2\r\n",
         "Current Status: CUG Mode Disabled    ,CUG Index 4   ,Suppress Preferential CUG",
         {"Disable CUG Mode", "4", "Supress Preferential CUG"}},
        {"refused", "\r\nERROR\r\n", "Plz wait...", {"", "", ""}},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        if (c.reply) modem().overrideReply("AT+CCUG?", *c.reply);
        selectTab(Forwarding);
        selectTab(ClosedUserGroup);
        EXPECT_EQ(ui().Label7->text(), c.status);
        EXPECT_EQ((QStringList{ui().Combo1->currentText(), ui().Combo2->currentText(),
                               ui().Combo3->currentText()}),
                  c.preset);
        EXPECT_EQ(items(ui().Combo1), (QStringList{"Disable CUG Mode", "Enable CUG Mode"}));
        EXPECT_EQ(items(ui().Combo2),
                  (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        EXPECT_EQ(items(ui().Combo3),
                  (QStringList{"Default", "Supress OA", "Supress Preferential CUG",
                               "Supress OA and Prefer.CUG"}));
        if (c.reply != QByteArray("\r\nERROR\r\n")) {
            EXPECT_TRUE(main().Text1().isEmpty());
        }
    }
    modem().clearOverrides();
    selectTab(Forwarding);
    EXPECT_THAT(waitsOf([&] { selectTab(ClosedUserGroup); }), ElementsAre(DoubleNear(1, 1e-9)));
}

TEST_F(SupplementaryServicesTest, ClosedUserGroupSettingSendsTheListPositions) {
    open();
    selectTab(ClosedUserGroup);
    ui().Combo1->setCurrentIndex(1);
    ui().Combo3->setCurrentIndex(2);
    for (int index = 0; index <= 10; ++index) {
        SCOPED_TRACE(index);
        ui().Combo2->setCurrentIndex(index);
        sent();
        ui().Command7->click();
        EXPECT_EQ(sent(), QString("AT+CCUG=1,%1,2\r").arg(index).toLatin1());
        EXPECT_EQ(ui().Label7->text(), "Changes SuccessFul");
    }
    EXPECT_EQ(modem().parameterField("+CCUG", 1), "10");

    ui().Combo1->setEditText("Enable");
    sent();
    ui().Command7->click();
    EXPECT_EQ(sent(), "AT+CCUG=,10,2\r");

    modem().overrideReply("AT+CCUG=1,10,2", "\r\nERROR\r\n");
    ui().Combo1->setEditText("Enable CUG Mode");
    ui().Command7->click();
    EXPECT_EQ(ui().Label7->text(), "Changes UNSuccessFul");

    ui().Combo3->setEditText("");
    sent();
    ui().Command7->click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(ui().Label7->text(), "");
    EXPECT_TRUE(messages().isEmpty());

    ui().Combo3->setCurrentIndex(0);
    EXPECT_THAT(waitsOf([&] { ui().Command7->click(); }), ElementsAre(DoubleNear(1, 1e-9)));
}
