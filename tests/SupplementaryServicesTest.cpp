#include "calls/Form5.h"
#include "console/Form7.h"
#include "platform/Widgets.h"
#include "services/Form12.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

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

// A reply that holds both results: the setting handlers test "OK" first.
const QByteArray kOkThenError = "\r\nOK\r\n\r\nERROR\r\n";

} // namespace

class SupplementaryServicesTest : public ConnectedConsole, protected ControlsOf<Form12> {
  protected:
    Form12& window() { return form<Form12>(); }
    // Whether a page (QFrame) or a group of options (QGroupBox) shows.
    bool shown(QWidget* control) { return control->isVisibleTo(&window()); }

    // Opens the window from the main window's supplementary-service button;
    // its load asks for the six forwarding reasons.
    void open() {
        main().Show();
        control<QPushButton>(main(), "Command4")->setEnabled(true);
        control<QPushButton>(main(), "Command4")->click();
    }
    // A click on a tab, selected or not.
    void selectTab(Tab tab) { clickTab(control<QTabBar>(window(), "TabStrip1"), tab); }

    QStringList forwardLines() {
        return {label("Label11")->text(), label("Label12")->text(), label("Label13")->text(),
                label("Label14")->text(), label("Label15")->text(), label("Label16")->text()};
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
    // How the modem answers in a case: by itself, with `reply` after the echo
    // of `command`, or refusing every command named `name` with `refusal`
    // ("+CME ERROR: 3"), framed as its shape frames errors.
    void answer(const QByteArray& command, const std::optional<QByteArray>& reply,
                const QByteArray& name, const char* refusal) {
        modem().clearOverrides();
        modem().state().shapes.refusals.clear();
        if (reply) modem().overrideReply(command, *reply);
        if (refusal) refuse(modem(), name, refusal);
    }
};

// The tests that read the modem's verdicts, in every shape a module answers in.
using SupplementaryServicesShapesTest = InEveryShape<SupplementaryServicesTest>;

INSTANTIATE_TEST_SUITE_P(Shapes, SupplementaryServicesShapesTest,
                         ::testing::ValuesIn(moduleShapes()), shapeName);

// --- the window and call forwarding

TEST_F(SupplementaryServicesTest, CaptionsAndTabsReadAsDesigned) {
    const std::pair<const char*, const char*> captions[] = {
        {"Command8", "<Signal>"},
        // call forwarding
        {"Frame2", "Reason"},
        {"Option1", "UnConditional"},
        {"Option2", "Mobile Busy"},
        {"Option3", "No Reply"},
        {"Option4", "Not Reachable"},
        {"Option5", "All Call Forwarding"},
        {"Option6", "All Conditional Call Forwarding"},
        {"Frame3", "Mode"},
        {"Option7", "Register"},
        {"Option8", "Erase"},
        {"Frame4", "Class"},
        {"Option12", "Voice"},
        {"Option13", "Data"},
        {"Option14", "Fax"},
        {"Option15", "SMS"},
        {"Option16", "All Classes"},
        {"Label1", "Number"},
        {"Command1", "OK"},
        {"Command2", "Refresh"},
        {"Frame13", "Call Forward Current Status:"},
        // call barring
        {"Command4", "Change Status"},
        {"Frame6", "Facility"},
        {"Option17", "Barr All Outgoing Calls"},
        {"Option18", "Barr Outgoing International Calls"},
        {"Option19", "Barr Outgoing Internet calls Except Home Country"},
        {"Option20", "Barr All Incoming Calls"},
        {"Option21", "Barr Incoming When Roaming outside Home Country"},
        {"Frame7", "Mode"},
        {"Option22", "Unlock"},
        {"Option23", "Lock"},
        {"Frame8", "Class"},
        {"Option24", "Voice"},
        {"Option25", "Data"},
        {"Option26", "Fax"},
        {"Option27", "Short Message"},
        {"Option28", "All Classes"},
        {"Label4", "Password"},
        {"Command3", "OK"},
        // call waiting
        {"Command5", "Change Status"},
        {"Option29", "Enable Call Waiting"},
        {"Option30", "Disable Call Waiting"},
        {"Command6", "OK"},
        // closed user groups
        {"Frame12", "Closed User Group"},
        {"Label8", "Mode"},
        {"Label9", "CUG Index"},
        {"Label10", "Info"},
        {"Command7", "OK"},
    };
    open();
    EXPECT_EQ(window().windowTitle(), "GSM-Supplementary Service");
    EXPECT_EQ(items(control<QTabBar>(window(), "TabStrip1")),
              (QStringList{"Call Forward", "Call Baring", "Call Waiting", "Closed User Group"}));
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(shownCaption(control<QWidget>(window(), name)), caption) << name;
}

TEST_F(SupplementaryServicesTest, OpeningShowsTheWindowAndAsksForEachReasonThreeSecondsApart) {
    sent();
    bool shownWhileAsking = false;
    QString statusWhileAsking;
    clock().schedule(clock().seconds() + 1, [&] {
        shownWhileAsking = window().isVisible();
        statusWhileAsking = label("Label2")->text();
    });
    EXPECT_THAT(waitsOf([&] { open(); }),
                ElementsAre(DoubleNear(3, 1e-9), DoubleNear(3, 1e-9), DoubleNear(3, 1e-9),
                            DoubleNear(3, 1e-9), DoubleNear(3, 1e-9), DoubleNear(3, 1e-9)));
    EXPECT_TRUE(shownWhileAsking);
    EXPECT_EQ(statusWhileAsking, "Checking Current Status...");
    EXPECT_EQ(commands(sent()), kForwardQueries);
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "Please Wait....");
    EXPECT_EQ(label("Label2")->text(), "");
    EXPECT_TRUE(shown(widget("Frame1")));
    EXPECT_TRUE(shown(widget("Frame13")));
    for (QWidget* hidden : std::initializer_list<QWidget*>{widget("Frame9"), widget("Frame5"),
                                                           widget("Frame10"), widget("Frame12")})
        EXPECT_FALSE(shown(hidden)) << hidden->objectName().toStdString();

    run(60); // the held-back replies
    button("Command2")->click();
    EXPECT_EQ(forwardLines(), noneForwarded());
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_P(SupplementaryServicesShapesTest, ForwardingRepliesAreReadFromTheirFirstLine) {
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
        {"refused", kError, ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().overrideReply("AT+CCFC=0,2", c.reply);
        button("Command2")->click();
        QStringList expected = noneForwarded();
        expected[0] = c.line;
        EXPECT_EQ(forwardLines(), expected);
        EXPECT_EQ(label("Label2")->text(), "");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    modem().clearOverrides();
    modem().state().network.forwarding[1] = {"+441632960961", 145, 1};
    button("Command2")->click();
    EXPECT_EQ(label("Label12")->text(), "MOBILE BUSY-Call Forward  Active For Voice +441632960961");

    // Every reason refused, in the module's own words.
    refuse(modem(), "+CCFC", "+CME ERROR: 30");
    button("Command2")->click();
    EXPECT_EQ(forwardLines(), QStringList(6, ""));
    EXPECT_EQ(label("Label2")->text(), "");
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_F(SupplementaryServicesTest, EachQueryClearsEveryInputReallyLeavingNoChoice) {
    open();
    choose({"Option3", "Option7", "Option14"});
    type(box("Text1"), "0123");
    button("Command2")->click();
    EXPECT_EQ(checkedAmong(window(), kForwardOptions), QStringList());
    EXPECT_EQ(box("Text1")->text(), "");
    // A click on one option now checks it alone.
    option("Option2")->click();
    EXPECT_EQ(checkedAmong(window(), kForwardOptions), QStringList{"Option2"});
}

TEST_F(SupplementaryServicesTest, ForwardingChecksRunInTheirOrderAndSendNothing) {
    struct Case {
        const char* name;
        std::initializer_list<const char*> chosen;
        const char* typed;
        const char* message;
        const char* status; // Label2 held "before"
    };
    const Case cases[] = {
        {"register without a number",
         {"Option1", "Option7", "Option12"},
         "",
         "Enter Valid Number ",
         "before"},
        // The box takes none of these.
        {"what a command line cannot carry",
         {"Option1", "Option7", "Option12"},
         "\";&FOK",
         "Enter Valid Number ",
         "before"},
        {"digits of another script",
         {"Option1", "Option7", "Option12"},
         "０１２３",
         "Enter Valid Number ",
         "before"},
        {"no reason", {"Option7", "Option12"}, "0123", "Select Status Property", "before"},
        {"no mode", {"Option1", "Option12"}, "0123", "Select Mode Correctly", "before"},
        {"register without a class", {"Option1", "Option7"}, "0123", "Select Class Correctly", ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearChoices({option("Option1"), option("Option7"), option("Option12")});
        choose(c.chosen);
        box("Text1")->clear();
        type(box("Text1"), c.typed);
        label("Label2")->setText("before");
        sent();
        button("Command1")->click();
        EXPECT_EQ(messages(), QStringList{QString(c.message) + " | GSM"});
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(label("Label2")->text(), c.status);
    }
}

TEST_P(SupplementaryServicesShapesTest, RegisterAndEraseSendTheirCommandsAndShowTheOutcome) {
    struct Case {
        const char* name;
        std::initializer_list<const char*> chosen;
        const char* typed;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* command;
        const char* status;
        const char* refusal = nullptr; // the modem refuses "+CCFC" so
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
         std::nullopt,
         "AT+CCFC=3,3,\"0123\",,2",
         "Changes UnSuccessFul",
         "+CME ERROR: 30"},
        {"OK and ERROR",
         {"Option4", "Option7", "Option13"},
         "0123",
         kOkThenError,
         "AT+CCFC=3,3,\"0123\",,2",
         "Changes SuccessFul"},
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
        clearChoices({option("Option1"), option("Option7"), option("Option12")});
        choose(c.chosen);
        type(box("Text1"), c.typed);
        answer(c.command, c.reply, "+CCFC", c.refusal);
        label("Label2")->setText("before");
        sent();
        button("Command1")->click();
        EXPECT_EQ(sent(), QByteArray(c.command) + "\r");
        EXPECT_EQ(label("Label2")->text(), c.status);
        EXPECT_EQ(box("Text1")->text(), "");
        QStringList chosen;
        for (const char* name : c.chosen)
            chosen << name;
        EXPECT_EQ(checkedAmong(window(), kForwardOptions), chosen);
        EXPECT_TRUE(main().Text1().isEmpty());
        EXPECT_TRUE(messages().isEmpty());
    }
    EXPECT_EQ(modem().state().network.forwarding.count(1), 0u); // registered, then erased
    choose({"Option1", "Option7", "Option12"});
    type(box("Text1"), "0123");
    EXPECT_THAT(waitsOf([&] { button("Command1")->click(); }), ElementsAre(DoubleNear(3, 1e-9)));
}

// A click on a tab shows its panel and asks afresh, also when the tab is
// selected: the barring settings go back to the status, the call-waiting
// choices are hidden again.
TEST_F(SupplementaryServicesTest, EachClickOnATabShowsItsPanelAndAsksForItsState) {
    struct Case {
        Tab tab;
        QAbstractButton* changeStatus; // what a user may have pressed before clicking it again
        std::vector<QWidget*> shown;
        std::vector<QWidget*> hidden;
        QStringList asked;
    };
    open();
    const Case cases[] = {
        {Barring,
         button("Command4"),
         {widget("Frame9")},
         {widget("Frame1"), widget("Frame5"), widget("Frame10"), widget("Frame12")},
         kBarringQueries},
        {Waiting,
         button("Command5"),
         {widget("Frame10")},
         {widget("Frame1"), widget("Frame5"), widget("Frame9"), widget("Frame11"),
          button("Command6"), widget("Frame12")},
         {"AT+CCWA=1,2"}},
        {ClosedUserGroup,
         nullptr,
         {widget("Frame12")},
         {widget("Frame1"), widget("Frame5"), widget("Frame9"), widget("Frame10")},
         {"AT+CCUG?"}},
        {Forwarding,
         nullptr,
         {widget("Frame1"), widget("Frame13")},
         {widget("Frame5"), widget("Frame9"), widget("Frame10"), widget("Frame12")},
         kForwardQueries},
    };
    for (const Case& c : cases) {
        for (const bool again : {false, true}) {
            SCOPED_TRACE(std::to_string(c.tab) + (again ? " clicked again" : ""));
            if (again && c.changeStatus) c.changeStatus->click();
            sent();
            selectTab(c.tab);
            EXPECT_EQ(commands(sent()), c.asked);
            for (QWidget* panel : c.shown)
                EXPECT_TRUE(shown(panel)) << panel->objectName().toStdString();
            for (QWidget* panel : c.hidden)
                EXPECT_FALSE(shown(panel)) << panel->objectName().toStdString();
        }
    }
}

TEST_F(SupplementaryServicesTest, CloseBoxEmptiesTheMainStatusLineAndShowsTheMainWindow) {
    open();
    window().close();
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "");
    EXPECT_FALSE(Forms::instance().isLoaded<Form12>());
    sent();
    open();
    EXPECT_EQ(commands(sent()), kForwardQueries);
}

TEST_F(SupplementaryServicesTest, WithThePortClosedTheWindowShowsAndTheQueryStops) {
    main().MSComm1().setPortOpen(false);
    open();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(label("Label2")->text(), "Checking Current Status...");
    EXPECT_EQ(forwardLines(), QStringList(6, ""));
}

// A device pulled out during the forwarding queries: the rest are not sent,
// and the window ends as after queries left unanswered.
TEST_F(SupplementaryServicesTest, ADeviceGoneDuringTheQueriesEndsThemAsUnanswered) {
    ports().pullAt(3, *sim::silenceFromText("after 2 AT+CCFC"));
    open();
    EXPECT_EQ(commands(sent()), kForwardQueries.mid(0, 2));
    EXPECT_EQ(label("Label2")->text(), "");
    EXPECT_EQ(forwardLines().mid(2), QStringList(4, ""));
}

TEST_F(SupplementaryServicesTest, SignalButtonRefreshesTheSignalWindow) {
    open();
    sent();
    button("Command8")->click();
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(commands(sent()), (QStringList{"AT", "AT+CSQ", "AT+CREG?"}));
}

// --- call barring

TEST_F(SupplementaryServicesTest, BarringQueryJoinsTheFacilitiesWithChangeStatusHeldMeanwhile) {
    open();
    std::optional<bool> enabledWhileAsking;
    clock().schedule(clock().seconds() + 1,
                     [&] { enabledWhileAsking = button("Command4")->isEnabled(); });
    sent();
    EXPECT_THAT(waitsOf([&] { selectTab(Barring); }),
                ElementsAre(DoubleNear(3, 1e-9), DoubleNear(3, 1e-9), DoubleNear(3, 1e-9),
                            DoubleNear(3, 1e-9), DoubleNear(3, 1e-9)));
    EXPECT_EQ(enabledWhileAsking, false);
    EXPECT_EQ(commands(sent()), kBarringQueries);

    run(60); // the held-back replies
    selectTab(Barring);
    EXPECT_EQ(label("Label3")->text(),
              "OutGoing Calls Not Barred,      OutGoing International Calls Not Barred,     "
              "OutGoing Internet Calls Not Barred,     Incoming Calls Not Barred,     "
              "Incoming Calls While Roaming Calls Not Barred");
    EXPECT_TRUE(button("Command4")->isEnabled());
    EXPECT_TRUE(main().Text1().isEmpty());

    button("Command4")->click();
    EXPECT_TRUE(shown(widget("Frame5")));
    EXPECT_FALSE(shown(widget("Frame9")));
    EXPECT_FALSE(shown(widget("Frame1")));
}

// A barred facility keeps its barred text in the caption; a status that is
// neither 0 nor 1 leaves its place empty and the query ends as usual.
TEST_P(SupplementaryServicesShapesTest, BarringCaptionShowsWhatIsBarred) {
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
        {"refused", kError, ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().overrideReply("AT+CLCK=\"OI\",2", c.reply);
        selectTab(Barring);
        QStringList parts = kNoneBarred;
        parts[1] = c.part;
        EXPECT_EQ(label("Label3")->text(), barringCaption(parts));
        EXPECT_TRUE(button("Command4")->isEnabled());
        EXPECT_TRUE(main().Text1().isEmpty());
    }

    // Every facility refused, in the module's own words: no state is read.
    modem().clearOverrides();
    refuse(modem(), "+CLCK", "+CME ERROR: 3");
    selectTab(Barring);
    EXPECT_EQ(label("Label3")->text(), barringCaption(QStringList(5, "")));
    EXPECT_TRUE(button("Command4")->isEnabled());
    EXPECT_TRUE(main().Text1().isEmpty());

    // What the query shows as it goes: the all-outgoing text replaces the
    // caption, the others are appended to it.
    modem().state().shapes.refusals.clear();
    modem().state().network.barring["AO"] = 1;
    modem().state().network.barring["AI"] = 7;
    QStringList seen;
    for (double after : {4.0, 13.0})
        clock().schedule(clock().seconds() + after, [&] { seen << label("Label3")->text(); });
    selectTab(Barring);
    EXPECT_EQ(seen, (QStringList{"Current Status:All OutGoing Calls Barred For Voice",
                                 "Current Status:All OutGoing Calls Barred For Voice "
                                 "Current Status:All Incoming Calls Barred For Voice"}));
    QStringList parts = kNoneBarred;
    parts[0] = "Current Status:All OutGoing Calls Barred For Voice";
    parts[3] = "Current Status:All Incoming Calls Barred For Voice";
    EXPECT_EQ(label("Label3")->text(), barringCaption(parts));
}

TEST_F(SupplementaryServicesTest, BarringQueryWithThePortClosedStopsWaiting) {
    open();
    main().MSComm1().setPortOpen(false);
    selectTab(Barring);
    EXPECT_EQ(label("Label3")->text(), "Please Wait....");
    EXPECT_FALSE(button("Command4")->isEnabled());
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
    button("Command4")->click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        clearChoices({option("Option17"), option("Option22"), option("Option24")});
        choose(c.chosen);
        box("Text2")->clear();
        type(box("Text2"), c.password);
        main().Text1().setText("left over");
        sent();
        button("Command3")->click();
        EXPECT_EQ(messages(), QStringList{c.message});
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(box("Text2")->text(), c.passwordAfter);
        EXPECT_EQ(label("Label5")->text(), "");
    }
}

TEST_P(SupplementaryServicesShapesTest, BarringSettingSendsFacilityModePasswordAndClass) {
    struct Case {
        std::initializer_list<const char*> chosen;
        const char* typed;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* command;
        const char* status;
        const char* refusal = nullptr; // the modem refuses "+CLCK" so
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
        {{"Option20", "Option23", "Option26"},
         "0000",
         std::nullopt,
         "AT+CLCK=\"AI\",1,0000,4",
         "Error! Changes UnsuccessFul",
         "+CME ERROR: 3"},
        {{"Option20", "Option23", "Option26"},
         "0000",
         kOkThenError,
         "AT+CLCK=\"AI\",1,0000,4",
         "Changes SuccessFully"},
    };
    open();
    selectTab(Barring);
    button("Command4")->click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        clearChoices({option("Option17"), option("Option22"), option("Option24")});
        choose(c.chosen);
        type(box("Text2"), c.typed);
        answer(c.command, c.reply, "+CLCK", c.refusal);
        label("Label5")->setText("before");
        sent();
        button("Command3")->click();
        EXPECT_EQ(sent(), QByteArray(c.command) + "\r");
        EXPECT_EQ(label("Label5")->text(), c.status);
        EXPECT_EQ(box("Text2")->text(), "");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    EXPECT_EQ(modem().state().network.barring["AO"], 1);
    type(box("Text2"), "0000");
    EXPECT_THAT(waitsOf([&] { button("Command3")->click(); }), ElementsAre(DoubleNear(4, 1e-9)));
}

// The password goes unquoted into the command line.
TEST_F(SupplementaryServicesTest, BarringPasswordTakesFourDigitsShowsStarsAndIsAlwaysForgotten) {
    open();
    EXPECT_EQ(box("Text2")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(box("Text2")->maxLength(), 4);
    type(box("Text2"), "1;&F234567");
    EXPECT_EQ(box("Text2")->text(), "1234");
    EXPECT_EQ(box("Text2")->displayText(), "****");
    box("Text2")->clear();
    box("Text2")->insert("1;&F");
    EXPECT_EQ(box("Text2")->text(), "");

    choose({"Option17", "Option23", "Option24"});
    type(box("Text2"), "0000");
    main().MSComm1().setPortOpen(false);
    button("Command3")->click();
    EXPECT_EQ(label("Label5")->text(), "Please Wait");
    EXPECT_EQ(box("Text2")->text(), "");
}

// --- call waiting

TEST_P(SupplementaryServicesShapesTest, CallWaitingQueryShowsTheVoiceState) {
    struct Case {
        const char* name;
        int activeClasses;
        const char* status;            // the line held "before"
        const char* refusal = nullptr; // the modem refuses "+CCWA" so
    };
    const Case cases[] = {
        {"off", 0, "Current Status:Call Waiting Disabled"},
        {"on for voice", 1, "Current Status:Call Waiting Enabled"},
        {"on for data only", 2, "before"},
        {"refused", 0, "Error Occured.Please Try Later", "+CME ERROR: 30"},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().state().network.callWaitingClasses = c.activeClasses;
        answer("AT+CCWA=1,2", std::nullopt, "+CCWA", c.refusal);
        label("Label6")->setText("before");
        sent();
        selectTab(Waiting);
        EXPECT_EQ(sent(), "AT+CCWA=1,2\r");
        EXPECT_EQ(label("Label6")->text(), c.status);
        EXPECT_TRUE(main().Text1().isEmpty());
        run(5);
        // A status reply is no waiting call.
        EXPECT_FALSE(Forms::instance().isLoaded<Form5>() && form<Form5>().isVisible());
    }
    EXPECT_THAT(waitsOf([&] { selectTab(Waiting); }), ElementsAre(DoubleNear(3, 1e-9)));
}

TEST_P(SupplementaryServicesShapesTest, CallWaitingSettingSendsTheChoice) {
    open();
    selectTab(Waiting);
    button("Command5")->click();
    EXPECT_TRUE(shown(widget("Frame11")));
    EXPECT_TRUE(shown(button("Command6")));

    main().Text1().setText("left over");
    sent();
    button("Command6")->click();
    EXPECT_EQ(messages(), QStringList{"Please Select the Option Correctly | GSM"});
    EXPECT_EQ(sent(), "");
    EXPECT_TRUE(main().Text1().isEmpty());

    struct Case {
        QRadioButton* choice;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* command;
        const char* status;
        int activeClasses;
        const char* refusal = nullptr; // the modem refuses "+CCWA" so
    };
    const Case cases[] = {
        {option("Option29"), std::nullopt, "AT+CCWA=1,1,1", "Changes SuccessFul", 1},
        {option("Option30"), std::nullopt, "AT+CCWA=1,0,7", "Changes SuccessFul", 0},
        {option("Option29"), std::nullopt, "AT+CCWA=1,1,1", "Changes UnsuccessFul", 0,
         "+CME ERROR: 30"},
        {option("Option29"), kOkThenError, "AT+CCWA=1,1,1", "Changes SuccessFul", 0},
        {option("Option29"), "", "AT+CCWA=1,1,1", "Please Wait", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        answer(c.command, c.reply, "+CCWA", c.refusal);
        c.choice->click();
        sent();
        button("Command6")->click();
        EXPECT_EQ(sent(), QByteArray(c.command) + "\r");
        EXPECT_EQ(label("Label6")->text(), c.status);
        EXPECT_EQ(modem().state().network.callWaitingClasses, c.activeClasses);
        EXPECT_TRUE(shown(widget("Frame11")));
        EXPECT_TRUE(main().Text1().isEmpty());
    }
    EXPECT_THAT(waitsOf([&] { button("Command6")->click(); }), ElementsAre(DoubleNear(3, 1e-9)));
}

// --- closed user groups

TEST_P(SupplementaryServicesShapesTest, ClosedUserGroupQueryFillsAndPresetsTheLists) {
    struct Case {
        const char* name;
        std::optional<QByteArray> reply; // none: the modem answers itself
        const char* status;
        QStringList preset;            // mode, index and info lists
        const char* refusal = nullptr; // the modem refuses "+CCUG" so
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
        {"refused", std::nullopt, "Plz wait...", {"", "", ""}, "+CME ERROR: 30"},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        answer("AT+CCUG?", c.reply, "+CCUG", c.refusal);
        selectTab(ClosedUserGroup);
        EXPECT_EQ(label("Label7")->text(), c.status);
        EXPECT_EQ((QStringList{list("Combo1")->currentText(), list("Combo2")->currentText(),
                               list("Combo3")->currentText()}),
                  c.preset);
        EXPECT_EQ(items(list("Combo1")), (QStringList{"Disable CUG Mode", "Enable CUG Mode"}));
        EXPECT_EQ(items(list("Combo2")),
                  (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        EXPECT_EQ(items(list("Combo3")),
                  (QStringList{"Default", "Supress OA", "Supress Preferential CUG",
                               "Supress OA and Prefer.CUG"}));
        // A refused query stops before it empties the log.
        EXPECT_EQ(main().Text1().isEmpty(), !c.refusal);
    }
    answer("AT+CCUG?", std::nullopt, "", nullptr);
    EXPECT_THAT(waitsOf([&] { selectTab(ClosedUserGroup); }), ElementsAre(DoubleNear(1, 1e-9)));
}

TEST_P(SupplementaryServicesShapesTest, ClosedUserGroupSettingSendsTheListPositions) {
    open();
    selectTab(ClosedUserGroup);
    pick(list("Combo1"), "Enable CUG Mode");
    pick(list("Combo3"), "Supress Preferential CUG");
    for (int index = 0; index <= 10; ++index) {
        SCOPED_TRACE(index);
        pick(list("Combo2"), QString::number(index));
        sent();
        button("Command7")->click();
        EXPECT_EQ(sent(), QString("AT+CCUG=1,%1,2\r").arg(index).toLatin1());
        EXPECT_EQ(label("Label7")->text(), "Changes SuccessFul");
    }
    EXPECT_EQ(modem().parameterField("+CCUG", 1), "10");

    answer("AT+CCUG=1,10,2", std::nullopt, "+CCUG", "+CME ERROR: 30");
    button("Command7")->click();
    EXPECT_EQ(label("Label7")->text(), "Changes UNSuccessFul");
    answer("AT+CCUG=1,10,2", kOkThenError, "", nullptr);
    button("Command7")->click();
    EXPECT_EQ(label("Label7")->text(), "Changes SuccessFul");
    answer("AT+CCUG=1,10,2", std::nullopt, "", nullptr);

    list("Combo3")->clearEditText();
    sent();
    button("Command7")->click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(label("Label7")->text(), "");
    EXPECT_TRUE(messages().isEmpty());

    pick(list("Combo3"), "Default");
    EXPECT_THAT(waitsOf([&] { button("Command7")->click(); }), ElementsAre(DoubleNear(1, 1e-9)));
}

// What is typed in a list stays as typed: Enter adds no item, nothing is
// completed, and a text that is no item gives an empty field.
TEST_F(SupplementaryServicesTest, ClosedUserGroupListsTakeTypedTextAsTyped) {
    struct Case {
        QComboBox* box;
        const char* typed;
        const char* sent;
    };
    open();
    selectTab(ClosedUserGroup);
    const QStringList lists[] = {items(list("Combo1")), items(list("Combo2")),
                                 items(list("Combo3"))};
    const Case cases[] = {
        {list("Combo1"), "abc\n", "AT+CCUG=,4,2"},
        {list("Combo1"), "Enable", "AT+CCUG=,4,2"},
        {list("Combo1"), "Disable CUG Mode", "AT+CCUG=0,4,2"},
        {list("Combo2"), "1", "AT+CCUG=1,1,2"},
        {list("Combo2"), "11\n", "AT+CCUG=1,,2"},
        {list("Combo3"), "Supress", "AT+CCUG=1,4,"},
        {list("Combo3"), "Supress OA\n", "AT+CCUG=1,4,1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        pick(list("Combo1"), "Enable CUG Mode");
        pick(list("Combo2"), "4");
        pick(list("Combo3"), "Supress Preferential CUG");
        c.box->clearEditText();
        type(c.box, c.typed);
        sent();
        button("Command7")->click();
        EXPECT_EQ(sent(), QByteArray(c.sent) + "\r");
        EXPECT_EQ((std::vector<QStringList>{items(list("Combo1")), items(list("Combo2")),
                                            items(list("Combo3"))}),
                  std::vector<QStringList>(std::begin(lists), std::end(lists)));
    }
}
