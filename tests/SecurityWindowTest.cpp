#include "console/Form7.h"
#include "services/Form9.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <gmock/gmock.h>

#include <functional>
#include <vector>

namespace {

// The controls of one page, by name, in their roles.
struct Page {
    int tab;
    const char* frame;
    const char* status;
    const char* changeStatus;
    const char* lock;
    const char* unlock;
    const char* password;
    const char* lockOk;
    const char* changeOption;
    const char* oldPassword;
    const char* newPassword;
    const char* changeOk;
    const char* passwordLabel;
    const char* oldLabel;
    const char* newLabel;

    // What "Change Status" and the change option show.
    std::vector<const char*> details() const {
        return {lock,     unlock,   passwordLabel, password,    lockOk,  changeOption,
                oldLabel, newLabel, oldPassword,   newPassword, changeOk};
    }
};

const Page kPhone = {0,         "Frame2",   "Label2",   "Command2", "Option1",
                     "Option2", "Text1",    "Command1", "Option3",  "Text2",
                     "Text3",   "Command3", "Label3",   "Label4",   "Label5"};
const Page kSimPin = {1,         "Frame3",   "Label6",   "Command4", "Option4",
                      "Option5", "Text4",    "Command5", "Option6",  "Text5",
                      "Text6",   "Command6", "Label7",   "Label8",   "Label9"};
const Page kNetwork = {2,         "Frame4",   "Label10",  "Command7", "Option7",
                       "Option8", "Text7",    "Command8", "Option9",  "Text8",
                       "Text9",   "Command9", "Label11",  "Label12",  "Label13"};

const QColor kSuccessColour(0x00, 0x00, 0x40);
const QColor kFailureColour(0xc0, 0x00, 0x00);

} // namespace

class SecurityWindowTest : public ConnectedConsole, protected ControlsOf<Form9> {
  protected:
    Form9& security() { return form<Form9>(); }
    QColor colour(QLabel* line) {
        line->ensurePolished();
        return line->palette().color(QPalette::WindowText);
    }

    // Opens the window from the main window's "&Security" button.
    void open() {
        main().Show();
        control<QPushButton>(main(), "Command5")->setEnabled(true);
        control<QPushButton>(main(), "Command5")->click();
    }

    void clickPageTab(const Page& page) {
        clickTab(control<QTabBar>(security(), "TabStrip1"), page.tab);
    }
    void showPage(const Page& page) {
        clickPageTab(page);
        button(page.changeStatus)->click();
    }
    // Locks or unlocks a page's facility as a user does: "Change Status", the
    // option, the password typed, "OK".
    void lockWith(const Page& page, const char* option, const QString& password) {
        showPage(page);
        button(option)->click();
        type(box(page.password), password);
        sent();
        button(page.lockOk)->click();
    }
    void changePassword(const Page& page, const QString& old, const QString& fresh) {
        showPage(page);
        button(page.changeOption)->click();
        type(box(page.oldPassword), old);
        type(box(page.newPassword), fresh);
        sent();
        button(page.changeOk)->click();
    }
    QStringList statusLines() {
        return {label(kPhone.status)->text(), label(kSimPin.status)->text(),
                label(kNetwork.status)->text()};
    }
};

// The tests that read the modem's verdicts, in every shape a module answers in.
using SecurityWindowShapesTest = InEveryShape<SecurityWindowTest>;

INSTANTIATE_TEST_SUITE_P(Shapes, SecurityWindowShapesTest, ::testing::ValuesIn(moduleShapes()),
                         shapeName);

TEST_F(SecurityWindowTest, CaptionsAndTabsReadAsDesigned) {
    const std::pair<const char*, const char*> captions[] = {
        {"Command10", "Refresh"},
        {"Command11", "<Signal>"},
        {"Command2", "Change Status"},
        {"Command4", "Change Status"},
        {"Command7", "Change Status"},
        {"Option1", "LOCK PHONE"},
        {"Option2", "UNLOCK PHONE"},
        {"Option4", "ACTIVATE PIN"},
        {"Option5", "DEACTIVATE PIN"},
        {"Option7", "Network Lock"},
        {"Option8", "Network Unlock"},
        {"Label3", " Password(8Digit)"},
        {"Label7", "Enter Password"},
        {"Label11", "Password(8 Digit)"},
        {"Option3", "Change Password"},
        {"Option6", "Change Password"},
        {"Option9", "Change Password"},
        {"Label4", "Old Password"},
        {"Label8", "Old Password"},
        {"Label12", "Old Password"},
        {"Label5", "New Password"},
        {"Label9", "New Password"},
        {"Label13", "New Password"},
        {"Command1", "OK"},
        {"Command3", "OK"},
        {"Command5", "OK"},
        {"Command6", "OK"},
        {"Command8", "OK"},
        {"Command9", "OK"},
    };
    open();
    EXPECT_EQ(security().windowTitle(), "GSM-SECURITY");
    EXPECT_EQ(items(control<QTabBar>(security(), "TabStrip1")),
              (QStringList{"PHONE", "SIM PIN", "NETWORK"}));
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(shownCaption(widget(name)), caption) << name;
}

TEST_F(SecurityWindowTest, OpeningShowsThePhonePageAndTheStateOfEachLock) {
    modem().state().locks["PS"] = 1;
    modem().state().sim.pinLock = false;
    sent();
    open();
    EXPECT_EQ(sent(), "AT+CLCK?\r");
    EXPECT_TRUE(security().isVisible());
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(statusLines(),
              (QStringList{"Current Status:SIM Locked", "Current Status:PIN Deactivated",
                           "Current Status:NetWork UNlocked"}));
    EXPECT_EQ(label("Label1")->text(), "");
    EXPECT_TRUE(control<QFrame>(security(), "Frame2")->isVisibleTo(&security()));
    EXPECT_FALSE(control<QFrame>(security(), "Frame3")->isVisibleTo(&security()));
    EXPECT_FALSE(control<QFrame>(security(), "Frame4")->isVisibleTo(&security()));
    EXPECT_FALSE(button("Option1")->isVisibleTo(control<QFrame>(security(), "Frame2")));
    EXPECT_TRUE(main().Text1().isEmpty());
}

// A facility whose status is no 0 or 1 keeps its line; the others are still read.
TEST_P(SecurityWindowShapesTest, StatusQueryReadsEachFacilityOnItsOwn) {
    struct Case {
        const char* name;
        QByteArray reply; // empty: the module refuses the query
        QStringList lines;
        const char* general;
    };
    const Case cases[] = {
        {"status digit 2",
         reply("+CLCK: (\"PS\",2),(\"SC\",1),(\"FD\",0),(\"PN\",1)"),
         {"before", "Current Status:PIN Activated", "Current Status:NetWork Locked"},
         ""},
        {"no digit at all",
         reply("+CLCK: (\"PS\",x),(\"SC\",0),(\"FD\",0),(\"PN\",0)"),
         {"before", "Current Status:PIN Deactivated", "Current Status:NetWork UNlocked"},
         ""},
        {"no status reply", "", {"before", "before", "before"}, "Please Wait...."},
    };
    open();
    refuse(modem(), "+CLCK", "+CME ERROR: 3");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* line : {kPhone.status, kSimPin.status, kNetwork.status})
            label(line)->setText("before");
        modem().clearOverrides();
        if (!c.reply.isEmpty()) modem().overrideReply("AT+CLCK?", c.reply);
        sent();
        button("Command10")->click();
        EXPECT_EQ(sent(), "AT+CLCK?\r");
        EXPECT_EQ(statusLines(), c.lines);
        EXPECT_EQ(label("Label1")->text(), c.general);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

// Each action with its command; the modem's own answer gives the success,
// a refusal (plain or extended) the failure, and a reply holding both ends
// with the failure.
TEST_P(SecurityWindowShapesTest, EachActionSendsItsCommandAndShowsItsOutcomeInItsColour) {
    enum Action { Lock, Unlock, Change };
    struct Case {
        const Page& page;
        Action action;
        const char* old;   // or the password
        const char* fresh; // change only
        const char* command;
        const char* done;
        const char* refused;
    };
    const Case cases[] = {
        {kPhone, Lock, "12345678", "", "AT+CLCK=\"PS\",1,12345678", "Changes SuccessFul-LOCKED",
         "Changes Unsuccessful,Phone is Already Lock Or Invalid Password Entered"},
        {kPhone, Unlock, "12345678", "", "AT+CLCK=\"PS\",0,12345678", "Changes SuccessFul-UNLOCKED",
         "Changes Unsuccessful,Phone is Already UNLocked Or Invalid Password Entered"},
        {kPhone, Change, "12345678", "87654321", "AT+CPWD=\"PS\",12345678,87654321",
         "Changes SuccessFul-PASSWORD CHANGED",
         "Changes Unsuccessful,Phone is UNLocked Or Invalid Password Entered"},
        {kSimPin, Unlock, "1234", "", "AT+CLCK=\"SC\",0,1234", "Changes SuccessFul-DEACTIVATED",
         "Changes Unsuccessful,SIM PIN is Already DeActivated Or Invalid Password Entered"},
        {kSimPin, Lock, "1234", "", "AT+CLCK=\"SC\",1,1234", "Changes SuccessFul-ACTIVATED",
         "Changes Unsuccessful,SIM PIN is Already Active Or Invalid Password Entered"},
        {kSimPin, Change, "1234", "4321", "AT+CPWD=\"SC\",1234,4321",
         "Changes SuccessFul-PASSWORD CHANGED",
         "Changes Unsuccessful,SIM PIN is DeActivated Or Invalid Password Entered"},
        {kNetwork, Lock, "12345678", "", "AT+CLCK=\"PN\",1,12345678",
         "Changes SuccessFul-N/W LOCKED",
         "Changes Unsuccessful,N/W is Already Lock Or Invalid Password Entered"},
        {kNetwork, Unlock, "12345678", "", "AT+CLCK=\"PN\",0,12345678",
         "Changes SuccessFul-N/WUNLOCKED",
         "Changes Unsuccessful,N/w is Already UNLocked Or Invalid Password Entered"},
        {kNetwork, Change, "12345678", "11112222", "AT+CPWD=\"PN\",12345678,11112222",
         "Changes SuccessFul-PASSWORD CHANGED",
         "Changes Unsuccessful,N/W is UNLocked Or Invalid Password Entered"},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        QLabel* line = label(c.page.status);
        const auto act = [&] {
            if (c.action == Change)
                changePassword(c.page, c.old, c.fresh);
            else
                lockWith(c.page, c.action == Lock ? c.page.lock : c.page.unlock, c.old);
        };
        // "+CLCK" or "+CPWD"
        const QByteArray name = QByteArray(c.command).mid(2).split('=').first();
        const struct {
            std::function<void()> answer; // none: the modem answers itself
            const char* text;
            QColor colour;
        } outcomes[] = {
            {nullptr, c.done, kSuccessColour},
            {[&] { refuse(modem(), name, "+CME ERROR: 16"); }, c.refused, kFailureColour},
            {[&] { modem().overrideReply(c.command, "\r\nOK\r\n\r\nERROR\r\n"); }, c.refused,
             kFailureColour},
        };
        for (const auto& outcome : outcomes) {
            if (outcome.answer) outcome.answer();
            act();
            EXPECT_EQ(sent(), QByteArray(c.command) + "\r");
            EXPECT_EQ(line->text(), outcome.text);
            EXPECT_EQ(colour(line), outcome.colour);
            EXPECT_EQ(box(c.page.password)->text(), "");
            EXPECT_EQ(box(c.page.oldPassword)->text(), "");
            EXPECT_EQ(box(c.page.newPassword)->text(), "");
            EXPECT_TRUE(main().Text1().isEmpty());
            modem().state().shapes.refusals.clear();
        }
        modem().clearOverrides();
    }
    EXPECT_EQ(modem().state().lockPasswords["PS"], "87654321");
    EXPECT_EQ(modem().state().sim.pin, "4321");
}

TEST_F(SecurityWindowTest, PasswordLengthRulesDifferByPage) {
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* message; // nullptr: the command is sent
        const char* command;
    };
    const Case cases[] = {
        {"7-digit phone lock", [this] { lockWith(kPhone, kPhone.lock, "1234567"); },
         "Pasword Length Should Be 8", ""},
        {"7-digit SIM PIN activation", [this] { lockWith(kSimPin, kSimPin.lock, "1234567"); },
         nullptr, "AT+CLCK=\"SC\",1,1234567\r"},
        {"7-digit network unlock", [this] { lockWith(kNetwork, kNetwork.unlock, "1234567"); },
         "Pasword Length Should Be 8", ""},
        {"5-digit phone password change", [this] { changePassword(kPhone, "12345", "54321"); },
         "Password Lenght Should be 8", ""},
        {"5-digit SIM PIN change", [this] { changePassword(kSimPin, "12345", "54321"); }, nullptr,
         "AT+CPWD=\"SC\",12345,54321\r"},
        {"5-digit network password change", [this] { changePassword(kNetwork, "12345", "54321"); },
         nullptr, "AT+CPWD=\"PN\",12345,54321\r"},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services().messages.clear();
        main().Text1().setText("left over");
        c.act();
        EXPECT_EQ(sent(), c.command);
        if (c.message) {
            ASSERT_EQ(services().messages.size(), 1u);
            EXPECT_EQ(services().messages[0].text, c.message);
            EXPECT_EQ(services().messages[0].title, "GSM");
        } else {
            EXPECT_TRUE(services().messages.empty());
        }
        for (const Page* page : {&kPhone, &kSimPin, &kNetwork})
            for (const char* name : {page->password, page->oldPassword, page->newPassword})
                EXPECT_EQ(box(name)->text(), "") << name;
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

// A SIM PIN has 4 to 8 digits, and no password is ever sent empty: an empty
// or short PIN, pressed as often as a user would, is refused with the page's
// message before anything is sent, and the SIM keeps every try.
TEST_F(SecurityWindowTest, NoEmptyOrShortPinIsSentAndNoTryIsUsedUp) {
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* message;
    };
    const char* lockLength = "Pasword Length Should Be 8";
    const char* changeLength = "Password Lenght Should be 8";
    const Case cases[] = {
        {"empty PIN activation", [this] { lockWith(kSimPin, kSimPin.lock, ""); }, lockLength},
        {"empty PIN deactivation", [this] { lockWith(kSimPin, kSimPin.unlock, ""); }, lockLength},
        {"3-digit PIN activation", [this] { lockWith(kSimPin, kSimPin.lock, "123"); }, lockLength},
        {"empty old PIN", [this] { changePassword(kSimPin, "", "4321"); }, changeLength},
        {"3-digit new PIN", [this] { changePassword(kSimPin, "1234", "432"); }, changeLength},
        {"empty old network password", [this] { changePassword(kNetwork, "", "1234"); },
         changeLength},
        {"empty new network password", [this] { changePassword(kNetwork, "1234", ""); },
         changeLength},
    };
    modem().state().sim.pin = "1234";
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int press = 1; press <= 3; ++press) {
            services().messages.clear();
            c.act();
            EXPECT_EQ(sent(), "");
            EXPECT_EQ(shownMessages(services()), QStringList{QString(c.message) + " | GSM"});
        }
        EXPECT_EQ(modem().state().sim.pinRetries, 3);
        EXPECT_EQ(modem().state().sim.status, sim::SimStatus::Ready);
        EXPECT_EQ(modem().state().sim.pin, "1234");
    }
}

TEST_F(SecurityWindowTest, ChangeStatusShowsTheChoicesWithTheCurrentStatePreselected) {
    struct Case {
        const char* name;
        const Page& page;
        const char* state;
        QStringList checked;
        const char* passwordAfter; // the box held "12"
    };
    const Case cases[] = {
        // Selecting the phone's lock option runs its handler, which empties the box.
        {"phone locked", kPhone, "Current Status:SIM Locked", {"Option1"}, ""},
        {"phone unlocked", kPhone, "Current Status:SIM Not Locked", {"Option2"}, "12"},
        {"phone not known", kPhone, "", {}, "12"},
        {"PIN active", kSimPin, "Current Status:PIN Activated", {"Option4"}, ""},
        {"PIN not known", kSimPin, "", {}, ""},
        {"network unlocked", kNetwork, "Current Status:NetWork UNlocked", {"Option8"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unloadIfLoaded<Form9>();
        modem().overrideReply("AT+CLCK?", "\r\nERROR\r\n");
        open();
        label(c.page.status)->setText(c.state);
        clickPageTab(c.page);
        type(box(c.page.password), "12");
        button(c.page.changeStatus)->click();
        QWidget* frame = widget(c.page.frame);
        for (const char* name :
             {c.page.lock, c.page.unlock, c.page.password, c.page.lockOk, c.page.changeOption})
            EXPECT_TRUE(widget(name)->isVisibleTo(frame)) << name;
        for (const char* name : {c.page.oldPassword, c.page.newPassword, c.page.changeOk})
            EXPECT_FALSE(widget(name)->isVisibleTo(frame)) << name;
        EXPECT_EQ(checkedAmong(security(), {c.page.lock, c.page.unlock, c.page.changeOption}),
                  c.checked);
        EXPECT_EQ(box(c.page.password)->text(), c.passwordAfter);

        // "OK" with no choice sends nothing and still empties the box.
        if (!c.checked.isEmpty()) continue;
        type(box(c.page.password), "12345678");
        sent();
        button(c.page.lockOk)->click();
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(box(c.page.password)->text(), "");
    }
}

TEST_F(SecurityWindowTest, ChangePasswordShowsEmptyFields) {
    open();
    showPage(kNetwork);
    type(box("Text8"), "1");
    type(box("Text9"), "2");
    button("Option9")->click();
    for (QWidget* shown : std::initializer_list<QWidget*>{
             label("Label12"), box("Text8"), label("Label13"), box("Text9"), button("Command9")})
        EXPECT_TRUE(shown->isVisibleTo(control<QFrame>(security(), "Frame4")))
            << shown->objectName().toStdString();
    EXPECT_EQ(box("Text8")->text(), "");
    EXPECT_EQ(box("Text9")->text(), "");
}

// A click on a page's tab, the selected one included, shows the page with its
// status line and "Change Status" only, its boxes empty, and empties the log;
// the status lines keep the last known states.
TEST_F(SecurityWindowTest, PageTabHidesTheDetailsEmptiesTheBoxesAndTheLogAndKeepsTheStates) {
    open();
    const QStringList states = statusLines();
    const std::pair<const Page*, const Page*> clicks[] = {
        {&kPhone, &kPhone},   {&kSimPin, &kSimPin}, {&kNetwork, &kNetwork},
        {&kNetwork, &kPhone}, {&kPhone, &kSimPin},
    };
    for (const auto& [from, to] : clicks) {
        SCOPED_TRACE(std::string(from->frame) + " to " + to->frame);
        showPage(*from);
        button(from->changeOption)->click();
        for (const char* name : {from->password, from->oldPassword, from->newPassword})
            type(box(name), "1234");
        main().Text1().setText("left over");
        clickPageTab(*to);
        for (const Page* page : {&kPhone, &kSimPin, &kNetwork})
            EXPECT_EQ(widget(page->frame)->isVisibleTo(&security()), page == to) << page->frame;
        QWidget* frame = widget(to->frame);
        for (const char* name : to->details())
            EXPECT_FALSE(widget(name)->isVisibleTo(frame)) << name;
        for (const char* name : {to->password, to->oldPassword, to->newPassword})
            EXPECT_EQ(box(name)->text(), "") << name;
        // The page left keeps its details until its tab is clicked.
        if (from != to) {
            EXPECT_EQ(box(from->password)->text(), "1234");
        }
        EXPECT_TRUE(main().Text1().isEmpty());
        EXPECT_EQ(statusLines(), states);
    }
}

// The passwords go unquoted into the command line: ";" would chain a further
// command there. Every box takes digits only, typed or pasted, and shows stars.
TEST_F(SecurityWindowTest, PasswordBoxesTakeDigitsOnlyAndShowStars) {
    open();
    for (const Page* page : {&kPhone, &kSimPin, &kNetwork}) {
        for (const char* name : {page->password, page->oldPassword, page->newPassword}) {
            SCOPED_TRACE(name);
            QLineEdit* entry = box(name);
            EXPECT_EQ(entry->echoMode(), QLineEdit::Password);
            EXPECT_EQ(entry->maxLength(), 8);
            type(entry, "12;&F 34\"");
            EXPECT_EQ(entry->text(), "1234");
            EXPECT_EQ(entry->displayText(), "****");
            entry->insert(";&F");
            EXPECT_EQ(entry->text(), "1234");
            entry->clear();
        }
    }
    modem().state().sim.pinLock = false;
    lockWith(kSimPin, kSimPin.lock, "1234;&F");
    EXPECT_EQ(sent(), "AT+CLCK=\"SC\",1,1234\r");
    EXPECT_EQ(label(kSimPin.status)->text(), "Changes SuccessFul-ACTIVATED");
}

TEST_F(SecurityWindowTest, AFailedCommandStillEmptiesThePasswordBoxes) {
    open();
    showPage(kPhone);
    button("Option1")->click();
    type(box("Text1"), "12345678");
    button("Option3")->click();
    type(box("Text2"), "12345678");
    type(box("Text3"), "87654321");
    button("Option1")->setChecked(true);
    main().MSComm1().setPortOpen(false);
    sent();
    label(kPhone.status)->setText("before");
    button("Command1")->click();
    button("Command3")->click();
    for (const char* name : {"Text1", "Text2", "Text3"})
        EXPECT_EQ(box(name)->text(), "") << name;
    EXPECT_EQ(label(kPhone.status)->text(), "before");
    EXPECT_EQ(sent(), "");
}

TEST_F(SecurityWindowTest, EveryCommandWaitsOneSecond) {
    open();
    using testing::DoubleNear;
    using testing::ElementsAre;
    EXPECT_THAT(waitsOf([&] { button("Command10")->click(); }), ElementsAre(DoubleNear(1, 1e-9)));
    EXPECT_THAT(waitsOf([&] { lockWith(kNetwork, kNetwork.lock, "12345678"); }),
                ElementsAre(DoubleNear(1, 1e-9)));
    EXPECT_THAT(waitsOf([&] { changePassword(kSimPin, "1234", "1234"); }),
                ElementsAre(DoubleNear(1, 1e-9)));
}

TEST_F(SecurityWindowTest, SignalButtonRefreshesTheSignalWindow) {
    open();
    sent();
    button("Command11")->click();
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(commands(sent()), (QStringList{"AT", "AT+CSQ", "AT+CREG?"}));
}

TEST_F(SecurityWindowTest, CloseBoxShowsTheMainWindowAndTheNextOpeningAsksAgain) {
    open();
    security().close();
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(Forms::instance().isLoaded<Form9>());
    sent();
    open();
    EXPECT_EQ(sent(), "AT+CLCK?\r");
}
