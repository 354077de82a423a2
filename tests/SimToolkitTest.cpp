// The SIM toolkit window: the status query and its decode, the configuration
// entry, and the change of mode with its notice.

#include "config/Form18.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <optional>

namespace {

const char* kActivated = "Current Status: Mode:  Activate SIM ToolKit Functionalities";

} // namespace

class SimToolkitTest : public ConnectedConsole, protected ControlsOf<Form18> {
  protected:
    // Opens the window afresh, its query answered by `status` (the modem's
    // own reply when there is none); what it sent is dropped.
    Form18& open(const std::optional<QByteArray>& status = std::nullopt) {
        modem().clearOverrides();
        if (status) modem().overrideReply("AT+STSF?", *status);
        Form18& window = reopen<Form18>();
        sent();
        return window;
    }

    // The status lines as shown: text, or "<hidden>".
    QStringList statusLines() {
        QStringList lines;
        for (QLabel* line : {label("Label2"), label("Label3"), label("Label4")})
            lines << (line->isVisible() ? line->text() : "<hidden>");
        return lines;
    }
    bool entryShown() { return box("Text1")->isVisible() && label("Label5")->isVisible(); }
};

// The tests that read the module's verdicts, in every shape modules answer in.
using SimToolkitInShapes = InEveryShape<SimToolkitTest>;
INSTANTIATE_TEST_SUITE_P(Shapes, SimToolkitInShapes, ::testing::ValuesIn(moduleShapes()),
                         shapeName);

// The reply is read by its fields, however long the configuration and the
// time-out; the reported mode is picked in the list.
TEST_P(SimToolkitInShapes, TheStatusQueryShowsTheReportedValues) {
    struct Case {
        const char* name;
        std::optional<QByteArray> reply; // none: the modem's own
        QStringList shown;               // status, time-out, automatic response
        QString listed;
        Refused refused = {};
    };
    const Case cases[] = {
        {"ten-character configuration",
         reply("+STSF: 1,\"5FFFFFFF7F\",3,0"),
         {kActivated, "TIMEOUT: 3", "Automatic Response Not Activated"},
         "Activate"},
        {"twenty-character configuration",
         reply("+STSF: 2,\"5FFFFFFF7F0000000000\",255,1"),
         {"Current Status: Mode:  Configure SIM ToolKit Functionalities", "TIMEOUT: 255",
          "Automatic Response  Activated"},
         "Configure"},
        {"three-digit time-out",
         reply("+STSF: 0,\"5FFFFFFF7F\",120,0"),
         {"Current Status: Mode:  DeActivate SIM ToolKit Functionalities", "TIMEOUT: 120",
          "Automatic Response Not Activated"},
         "DeActivate"},
        {"unknown mode",
         reply("+STSF: 5,\"5FFFFFFF7F\",3,2"),
         {"Current Status: ", "TIMEOUT: 3", ""},
         ""},
        {"refused",
         std::nullopt,
         {"Cannot Get The Current Status", "<hidden>", "<hidden>"},
         "",
         {{"+STSF", "+CME ERROR: 3"}}},
        {"no reply", "\r\n", {"<hidden>", "<hidden>", "<hidden>"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        refuseOnly(c.refused);
        open(c.reply);
        EXPECT_EQ(commands(ports().writes(3).back().bytes), QStringList{"AT+STSF?"});
        EXPECT_EQ(statusLines(), c.shown);
        EXPECT_EQ(list("Combo1")->currentText(), c.listed);
        EXPECT_FALSE(entryShown());
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_F(SimToolkitTest, OkAfterAQuerySendsTheReportedModeAndAsksForAReset) {
    modem().state().settings.params["+STSF"] = "1,\"5FFFFFFF7F\",3,0";
    open();
    button("Command1")->click();
    EXPECT_EQ(sent(), "AT+STSF=1\r");
    EXPECT_EQ(statusLines(),
              QStringList({"Changes SuccessFul-SIM ToolKit", "<hidden>", "<hidden>"}));
    EXPECT_TRUE(label("Label6")->isVisible());
    EXPECT_EQ(label("Label6")->text(), "RESET MODEM TO ACTIVATE CHANGES");

    button("Command2")->click();
    EXPECT_EQ(sent(), "AT+STSF?\r");
    EXPECT_FALSE(label("Label6")->isVisible());
    EXPECT_EQ(statusLines()[0], kActivated);
}

TEST_F(SimToolkitTest, ConfigureTakesAConfigurationBetweenQuotes) {
    open();
    pick(list("Combo1"), "Configure");
    EXPECT_TRUE(entryShown());
    type(box("Text1"), "5FFFFFFF7F 1");
    button("Command1")->click();
    EXPECT_EQ(sent(), "AT+STSF=2,\"5FFFFFFF7F 1\"\r");
    EXPECT_EQ(label("Label2")->text(), "Changes SuccessFul-SIM ToolKit");
    EXPECT_TRUE(label("Label6")->isVisible());
    EXPECT_FALSE(entryShown());
    EXPECT_EQ(box("Text1")->text(), "");

    pick(list("Combo1"), "Activate");
    EXPECT_FALSE(label("Label6")->isVisible());
    EXPECT_FALSE(entryShown());
}

// Typing a mode's name, Enter included, is no pick: only a pick shows or
// hides the entry and the notice.
TEST_F(SimToolkitTest, TypingAModeIsNoPick) {
    open();
    pick(list("Combo1"), "Configure");
    type(box("Text1"), "5FFFFFFF7F");
    button("Command1")->click();
    ASSERT_TRUE(label("Label6")->isVisible());
    typeOver(list("Combo1"), "Configure\n");
    moveFocusTo(button("Command1"));
    EXPECT_FALSE(entryShown());
    EXPECT_TRUE(label("Label6")->isVisible());
    EXPECT_EQ(items(list("Combo1")), QStringList({"DeActivate", "Activate", "Configure"}));
    pick(list("Combo1"), "Configure");
    EXPECT_TRUE(entryShown());
    EXPECT_FALSE(label("Label6")->isVisible());
}

// What is typed goes into the command only when it can stand there as it is,
// and the device's verdict is looked for after the echo, not in it.
TEST_P(SimToolkitInShapes, AChangeIsSentOnlyAsAWholeCommandAndJudgedByTheModem) {
    struct Case {
        const char* name;
        const char* mode; // typed into the list
        QString config;   // typed, or pasted where no key gives it
        QByteArray reply; // empty: the modem's own
        QByteArray sent;
        const char* status;
        bool notice;
        const char* message; // nullptr: none
        Refused refused = {};
    };
    const char* kInvalid = "Enter Valid Config Number | GSM-APPLICATION";
    const Case cases[] = {
        {"no configuration", "Configure", "", "", "", "", false, kInvalid},
        {"a quote in the configuration", "Configure", "5F\";+CPOF", "", "", "", false, kInvalid},
        {"a control character", "Configure", QString("5F") + QChar(26), "", "", "", false,
         kInvalid},
        // It would go out as "?".
        {"a character the line cannot carry", "Configure", "5F中", "", "", "", false, kInvalid},
        {"a pasted one", "Configure", "Café über 中文 😀", "", "", "", false, kInvalid},
        {"a typed OK refused",
         "Configure",
         "OK",
         "",
         "AT+STSF=2,\"OK\"\r",
         "Changes UnSuccessFul",
         false,
         nullptr,
         {{"+STSF", "+CME ERROR: 3"}}},
        {"a typed OK without a verdict", "Configure", "OK", "\r\n", "AT+STSF=2,\"OK\"\r", "", false,
         nullptr},
        {"a mode that is no item", "Activ", "", "", "", "", false, nullptr},
        {"a refused mode",
         "DeActivate",
         "",
         "",
         "AT+STSF=0\r",
         "Changes UnSuccessFul",
         false,
         nullptr,
         {{"+STSF", "+CMS ERROR: 303"}}},
        {"a configuration longer than the box", "Configure", "5FFFFFFF7F0000000000ABCDE",
         "\r\nOK\r\n", "AT+STSF=2,\"5FFFFFFF7F0000000000\"\r", "Changes SuccessFul-SIM ToolKit",
         true, nullptr},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services().messages.clear();
        modem().clearOverrides();
        refuseOnly(c.refused);
        if (!c.reply.isEmpty()) modem().overrideReply(c.sent.chopped(1), c.reply);
        pick(list("Combo1"), "Configure");
        typeOrPaste(box("Text1"), c.config);
        typeOver(list("Combo1"), c.mode);
        button("Command1")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(label("Label2")->text(), c.status);
        EXPECT_TRUE(label("Label2")->isVisible());
        EXPECT_EQ(label("Label6")->isVisible(), c.notice);
        EXPECT_FALSE(entryShown());
        EXPECT_EQ(shownMessages(services()), c.message ? QStringList{c.message} : QStringList());
    }
}

TEST_F(SimToolkitTest, OkWithAnEmptyListOnlyResetsTheLines) {
    open(kError);
    typeOver(list("Combo1"), "");
    button("Command1")->click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(statusLines(), QStringList({"", "<hidden>", "<hidden>"}));
}
