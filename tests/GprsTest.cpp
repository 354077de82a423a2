// The GPRS window: the context table read from the device's reply, line by
// line, and the definition of a context.

#include "config/Form19.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <optional>

namespace {

const QStringList kHidden = {"<hidden>"};
const std::vector<QStringList> kNoRows(4, kHidden);

} // namespace

class GprsTest : public ConnectedConsole, protected ControlsOf<Form19> {
  protected:
    // Opens the window afresh, its query answered by `contexts` (the modem's
    // own reply when there is none); what it sent is dropped.
    Form19& open(const std::optional<QByteArray>& contexts = std::nullopt) {
        modem().clearOverrides();
        if (contexts) modem().overrideReply("AT+CGDCONT?", *contexts);
        Form19& window = reopen<Form19>();
        sent();
        return window;
    }

    // Each row of the table: its three cells, or "<hidden>".
    std::vector<QStringList> table() {
        const QLineEdit* cells[4][3] = {{box("Text2"), box("Text3"), box("Text4")},
                                        {box("Text5"), box("Text6"), box("Text7")},
                                        {box("Text8"), box("Text9"), box("Text10")},
                                        {box("Text11"), box("Text12"), box("Text13")}};
        std::vector<QStringList> rows;
        for (const auto& row : cells) {
            if (!row[0]->isVisible()) {
                rows.push_back(kHidden);
                continue;
            }
            rows.push_back({row[0]->text(), row[1]->text(), row[2]->text()});
        }
        return rows;
    }
    bool headingsShown() {
        return label("Label2")->isVisible() && label("Label6")->isVisible() &&
               label("Label7")->isVisible();
    }
};

// The tests that read the module's verdicts, in every shape modules answer in.
using GprsInShapes = InEveryShape<GprsTest>;
INSTANTIATE_TEST_SUITE_P(Shapes, GprsInShapes, ::testing::ValuesIn(moduleShapes()), shapeName);

// Every "+CGDCONT:" line is read by its own fields; only contexts 1 to 4
// have rows, and only the types "IP" and "PPP" are shown.
TEST_P(GprsInShapes, TheTableShowsTheContextsTheDeviceReports) {
    struct Case {
        const char* name;
        std::optional<QByteArray> reply; // none: the modem's own
        std::vector<QStringList> rows;
        const char* status;
        Refused refused = {};
    };
    const Case cases[] = {
        {"the modem's own context",
         std::nullopt,
         {{"1", "IP", "internet"}, kHidden, kHidden, kHidden},
         "Current Status"},
        {"contexts 1 and 3 only",
         reply("+CGDCONT: 1,\"IP\",\"web\",,0,0\r\n+CGDCONT: 3,\"PPP\",\"dial\",,0,0"),
         {{"1", "IP", "web"}, kHidden, {"3", "PPP", "dial"}, kHidden},
         "Current Status"},
        {"a PPP context whose name holds IP",
         reply("+CGDCONT: 2,\"PPP\",\"VIPNET\",,0,0"),
         {kHidden, {"2", "PPP", "VIPNET"}, kHidden, kHidden},
         "Current Status"},
        {"a context with an address",
         reply("+CGDCONT: 1,\"IP\",\"web\",\"10.0.0.1\",0,0\r\n"
               "+CGDCONT: 2,\"IP\",\"other\",,0,0"),
         {{"1", "IP", "web"}, {"2", "IP", "other"}, kHidden, kHidden},
         "Current Status"},
        {"the only context with an address",
         reply("+CGDCONT: 4,\"IP\",\"web\",\"10.0.0.1\",0,0"),
         {kHidden, kHidden, kHidden, {"4", "IP", "web"}},
         "Current Status"},
        {"context 12 beside context 1",
         reply("+CGDCONT: 12,\"PPP\",\"far\",,0,0\r\n+CGDCONT: 1,\"IP\",\"near\",,0,0"),
         {{"1", "IP", "near"}, kHidden, kHidden, kHidden},
         "Current Status"},
        {"a type it does not know",
         reply("+CGDCONT: 2,\"IPV6\",\"v6\",,0,0"),
         {kHidden, {"", "", ""}, kHidden, kHidden},
         "Current Status"},
        {"refused",
         std::nullopt,
         kNoRows,
         "Current Status Not Avialable",
         {{"+CGDCONT", "+CME ERROR: 3"}}},
        {"no context", "\r\nOK\r\n", kNoRows, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        refuseOnly(c.refused);
        open(c.reply);
        EXPECT_EQ(commands(ports().writes(3).back().bytes), QStringList{"AT+CGDCONT?"});
        EXPECT_EQ(table(), c.rows);
        EXPECT_EQ(label("Label1")->text(), c.status);
        EXPECT_EQ(headingsShown(), c.rows != kNoRows);
        EXPECT_EQ(items(list("Combo1")), QStringList({"1", "2", "3", "4"}));
        EXPECT_EQ(items(list("Combo2")), QStringList({"IP", "PPP"}));
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_F(GprsTest, OkDefinesTheContextAndShowsTheTableAfresh) {
    open();
    pick(list("Combo1"), "2");
    pick(list("Combo2"), "PPP");
    type(box("Text1"), "my apn");
    button("Command1")->click();
    EXPECT_EQ(commands(sent()), QStringList({"AT+CGDCONT=2,\"PPP\",\"my apn\"", "AT+CGDCONT?"}));
    // the query waits three seconds for its reply
    EXPECT_NEAR(clock().seconds() - ports().writes(3).back().seconds, 3.0, 0.01);
    EXPECT_EQ(table(), std::vector<QStringList>(
                           {{"1", "IP", "internet"}, {"2", "PPP", "my apn"}, kHidden, kHidden}));
    EXPECT_EQ(label("Label1")->text(), "Current Status");
    EXPECT_EQ(box("Text1")->text(), "");
    EXPECT_EQ(list("Combo1")->currentText(), "");
    EXPECT_EQ(list("Combo2")->currentText(), "");
}

// Only what can stand between quotes as it is goes out; the verdict is the
// device's, after the echo; a refusal stays on the status line after the
// table has been read again.
TEST_P(GprsInShapes, ADefinitionIsSentOnlyAsAWholeCommandAndARefusalStaysShown) {
    struct Case {
        const char* name;
        const char* id;
        QString apn;      // typed, or pasted where no key gives it
        QByteArray reply; // empty: the modem's own
        QByteArray definition;
        const char* status;
        const char* apnLeft;
        const char* message; // nullptr: none
        Refused refused = {};
    };
    const char* kImproper = "Please Enter Proper Data | GSM";
    const Case cases[] = {
        {"no access point name", "1", "", "", "", "Current Status", "", kImproper},
        {"no context", nullptr, "web", "", "", "Current Status", "web", kImproper},
        {"a quote in the name", "1", "x\";+CPOF", "", "", "Current Status", "x\";+CPOF", kImproper},
        {"a control character in the name", "1", QString("web") + QChar(27), "", "",
         "Current Status", "web\x1b", kImproper},
        // It would go out as "?".
        {"a character the line cannot carry", "1", "wéb中", "", "", "Current Status", "wéb中",
         kImproper},
        {"a pasted one", "1", "Café über 中文 😀", "", "", "Current Status", "Café über 中文 😀",
         kImproper},
        {"a name holding OK, refused",
         "1",
         "BOOK.NET",
         "",
         "AT+CGDCONT=1,\"IP\",\"BOOK.NET\"\r",
         "Changes UnsuccessFul",
         "BOOK.NET",
         nullptr,
         {{"+CGDCONT", "+CME ERROR: 3"}}},
        {"a name holding OK, no verdict", "1", "BOOK.NET", "\r\n",
         "AT+CGDCONT=1,\"IP\",\"BOOK.NET\"\r", "Current Status", "BOOK.NET", nullptr},
        {"a name longer than the box", "2", "internet.example.com.x", "",
         "AT+CGDCONT=2,\"IP\",\"internet.example.com\"\r", "Current Status", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        refuseOnly({});
        open();
        services().messages.clear();
        refuseOnly(c.refused);
        if (!c.reply.isEmpty()) modem().overrideReply(c.definition.chopped(1), c.reply);
        if (c.id) pick(list("Combo1"), c.id);
        pick(list("Combo2"), "IP");
        typeOrPaste(box("Text1"), c.apn);
        button("Command1")->click();
        EXPECT_EQ(sent(), c.definition + "AT+CGDCONT?\r");
        EXPECT_EQ(label("Label1")->text(), c.status);
        // A module that refuses the command refuses its query too.
        EXPECT_EQ(table()[0], c.refused.empty() ? QStringList({"1", "IP", "internet"}) : kHidden);
        EXPECT_EQ(box("Text1")->text(), c.apnLeft);
        EXPECT_EQ(shownMessages(services()), c.message ? QStringList{c.message} : QStringList());
    }
}
