// The short-message window: sending and saving with the two-step exchange,
// reading and deleting by index, the outbox pick, phonebook names, the
// service centre, cell broadcast, status reports and the editor's length rule.
// The tests that read a reply run in every shape real modules answer in.

#include "calls/Form5.h"
#include "calls/Form8.h"
#include "platform/Widgets.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"
#include "tests/UnwritablePhoneBook.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <optional>

namespace {

const QChar kCtrlZ(26);

sim::ShortMessage message(const QByteArray& status, const QByteArray& number,
                          const QByteArray& text) {
    const QByteArray stamp = status.startsWith("REC") ? "24/01/15,10:30:00+00" : "";
    return {status, number, stamp, text};
}

void storeEntry(const QString& index, const QString& number, const QString& name) {
    addTableRow("DATA", {{"Index", index}, {"Number", number}, {"Name", name}});
}

} // namespace

// The window and its boxes, typed into with keys.
class MessageWindow : public ConnectedConsole {
  protected:
    MessageWindow() { modem().state().settings.cmgf = 1; } // text mode, as initialised

    Form8& open() {
        Form8& window = form<Form8>();
        window.Show();
        sent();
        return window;
    }
    Form8& sms() { return form<Form8>(); }
    QString status() { return control<QLabel>(sms(), "Label4")->text(); }
    QString readOut() { return control<QPlainTextEdit>(sms(), "Text3")->toPlainText(); }
    QStringList messages() { return shownMessages(services()); }
    QString timeNow() { return clock().now().toString("hh:mm:ss"); }

    void write(const QString& number, const QString& header, const QString& text) {
        typeOver(control<QLineEdit>(sms(), "Text1"), number);
        typeOver(control<QLineEdit>(sms(), "Text5"), header);
        typeOver(control<QPlainTextEdit>(sms(), "Text2"), text);
    }
    // The editor's number, header and text, joined by "|".
    QString written() {
        return control<QLineEdit>(sms(), "Text1")->text() + "|" +
               control<QLineEdit>(sms(), "Text5")->text() + "|" +
               control<QPlainTextEdit>(sms(), "Text2")->toPlainText();
    }
};

// What the editor does with typed text alone.
using MessageEditorTest = MessageWindow;

// The module answers in the shape of the test's parameter.
class MessageWindowTest : public InEveryShape<MessageWindow> {};

INSTANTIATE_TEST_SUITE_P(Shapes, MessageWindowTest, ::testing::ValuesIn(moduleShapes()), shapeName);

// ---- sending and saving

TEST_P(MessageWindowTest, SendWritesTheNumberThenHeaderAndTextTrimmedAndCharacter26) {
    Form8& window = open();
    control<QPushButton>(window, "Command5")->click();
    write("+441632960961", "  Hi ", " there  ");
    const double start = clock().seconds();
    control<QPushButton>(window, "Command1")->click();
    EXPECT_EQ(sent(), "AT+CMGS=+441632960961\rHithere\x1a");
    EXPECT_EQ(status(), "Message Sent SuccessFully At " + timeNow());
    const auto& writes = ports().writes(3);
    ASSERT_GE(writes.size(), 2u);
    EXPECT_GE(writes.back().seconds - writes[writes.size() - 2].seconds, 1);
    EXPECT_GE(clock().seconds() - start, 7);
    ASSERT_EQ(modem().state().sent.size(), 1u);
    EXPECT_EQ(modem().state().sent[0].number, "+441632960961");
    EXPECT_EQ(modem().state().sent[0].text, "Hithere");
    EXPECT_FALSE(control<QComboBox>(window, "Combo2")->isVisibleTo(&window));
    EXPECT_EQ(written(), "+441632960961|  Hi | there  ");
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_P(MessageWindowTest, SaveStoresTheTextWithoutTheHeader) {
    Form8& window = open();
    control<QPushButton>(window, "Command5")->click();
    write("0123456789", "Header", " Remember the milk ");
    control<QPushButton>(window, "Command2")->click();
    EXPECT_EQ(sent(), "AT+CMGW=0123456789\rRemember the milk\x1a");
    EXPECT_EQ(status(), "Message Saved");
    ASSERT_EQ(modem().state().messages.size(), 1u);
    EXPECT_EQ(modem().state().messages.begin()->second.text, "Remember the milk");
    EXPECT_EQ(modem().state().messages.begin()->second.status, "STO UNSENT");
    EXPECT_TRUE(control<QComboBox>(window, "Combo2")->isVisibleTo(&window));
}

// The modem has its second for the prompt, then six seconds to send the text
// or three to store it.
TEST_P(MessageWindowTest, SendGivesTheModemSixSecondsForTheTextSaveThree) {
    struct Case {
        const char* button;
        double forText;
    };
    const Case cases[] = {{"Command1", 6}, {"Command2", 3}};
    Form8& window = open();
    write("123", "", "hello");
    for (const Case& c : cases) {
        const size_t first = ports().writes(3).size();
        control<QPushButton>(window, c.button)->click();
        const auto& writes = ports().writes(3);
        ASSERT_EQ(writes.size(), first + 2);
        EXPECT_GE(writes[first + 1].seconds - writes[first].seconds, 1);
        EXPECT_NEAR(clock().seconds() - writes[first + 1].seconds, c.forText, 1e-6);
    }
}

// Number and text are checked before anything is written: ";" would chain a
// command, character 26 would end the text early and the rest would run as
// commands. No key types 26 or 27: they come in with a paste.
TEST_F(MessageEditorTest, RefusedNumbersAndTextsWriteNothing) {
    struct Case {
        QString number, header, text;
        QStringList messages;
        QString sendStatus, saveStatus;
    };
    const QStringList destination = {"Please Enter Destination Number | GSM"};
    // clang-format off
    const Case cases[] = {
        {"", "", "hello", destination, "", ""},
        {"123;+CPBW=1", "", "hello", destination, "", ""},
        {"12\"3", "", "hello", destination, "", ""},
        {"1,2", "", "hello", destination, "", ""},
        {"123", "", QString("hi") + kCtrlZ + "AT+CPBW=1", {}, "Message Not Sent.Error Occurred",
         "Message Not Saved.Error Occurred"},
        {"123", "", QString("hi") + QChar(27) + "ATH", {}, "Message Not Sent.Error Occurred",
         "Message Not Saved.Error Occurred"},
        // The header is sent, not saved.
        {"123", QString("x") + kCtrlZ, "hello", {}, "Message Not Sent.Error Occurred",
         "Message Saved"},
        // What the line cannot carry would go out as "?": no command either.
        {"123", "", "Café über 中文 😀", {}, "Message Not Sent.Error Occurred",
         "Message Not Saved.Error Occurred"},
        {"123", "üü中", "hello", {}, "Message Not Sent.Error Occurred", "Message Saved"},
        {"１２３", "", "hello", destination, "", ""},
    };
    // clang-format on
    Form8& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE((c.number + "|" + c.header + "|" + c.text).toStdString());
        write(c.number, c.header, c.text);
        services().messages.clear();
        control<QLabel>(window, "Label4")->setText("");
        control<QPushButton>(window, "Command1")->click();
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(status(), c.sendStatus);
        services().messages.clear();
        control<QLabel>(window, "Label4")->setText("");
        control<QPushButton>(window, "Command2")->click();
        if (c.saveStatus == "Message Saved")
            EXPECT_EQ(sent(), "AT+CMGW=123\rhello\x1a");
        else
            EXPECT_EQ(sent(), "");
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(status(), c.saveStatus);
    }
    EXPECT_TRUE(modem().state().sent.empty());
}

// The device pulled out while the window waits for the modem, before the
// prompt, after it, or while the text is taken: the window shows its failure
// text, as after any unanswered command, and nothing is sent.
TEST_F(MessageEditorTest, ADeviceGoneDuringTheExchangeShowsTheFailureText) {
    struct Case {
        const char* button;
        const char* when;
        QString failure;
    };
    const Case cases[] = {
        {"Command1", "at AT+CMGS", "Message Not Sent.Error Occurred"},
        {"Command1", "after 1 AT+CMGS", "Message Not Sent.Error Occurred"},
        {"Command2", "at AT+CMGW", "Message Not Saved.Error Occurred"},
        {"Command2", "after 1 AT+CMGW", "Message Not Saved.Error Occurred"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.when);
        Form8& window = open();
        write("123", "", "hello");
        ASSERT_EQ(modem().state().settings.cmgf, 1);
        const size_t stored = modem().state().messages.size();
        ports().pullAt(3, *sim::silenceFromText(c.when));
        control<QPushButton>(window, c.button)->click();
        EXPECT_EQ(status(), c.failure);
        EXPECT_TRUE(modem().state().sent.empty());
        EXPECT_EQ(modem().state().messages.size(), stored);
        EXPECT_FALSE(main().MSComm1().PortOpen());
        EXPECT_EQ(control<QLabel>(main(), "Label5")->text(),
                  "Modem Disconnected.Connect It And Press REFRESH");
        ports().plugBackIn(3);
        main().MSComm1().setPortOpen(true);
        modem().state().settings.cmgf = 1; // started afresh
    }
}

// After a refusal of the command (or no prompt at all) the text is not
// written: it would reach the command parser. A modem that has not answered
// may be waiting for the text all the same: escape ends that.
TEST_P(MessageWindowTest, NothingMoreIsWrittenWhenTheModemDoesNotPrompt) {
    struct Case {
        const char* name;
        std::optional<QByteArray> reply; // none: the module's own refusal
        QByteArray afterCommand;
    };
    const Case cases[] = {
        {"refused", {}, ""},
        {"ERROR", "\r\nERROR\r\n", ""},
        {"extended error", "\r\n+CMS ERROR: 304\r\n", ""},
        {"silence", "", "\x1b"},
    };
    Form8& window = open();
    write("123", "", "at+cpbw=1");
    refuse(modem(), "+CMGS", "+CMS ERROR: 304");
    refuse(modem(), "+CMGW", "+CMS ERROR: 304");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        if (c.reply) {
            modem().overrideReply("AT+CMGS=123", *c.reply);
            modem().overrideReply("AT+CMGW=123", *c.reply);
        }
        control<QPushButton>(window, "Command1")->click();
        EXPECT_EQ(sent(), "AT+CMGS=123\r" + c.afterCommand);
        EXPECT_EQ(status(), "Message Not Sent.Error Occurred");
        control<QPushButton>(window, "Command2")->click();
        EXPECT_EQ(sent(), "AT+CMGW=123\r" + c.afterCommand);
        EXPECT_EQ(status(), "Message Not Saved.Error Occurred");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

// A prompt that comes after the wait: the text is not written, and escape
// ends the entry the modem waits in, so that it takes the next command as a
// command, not as the text of a message.
TEST_P(MessageWindowTest, ALatePromptIsCancelledWithEscape) {
    struct Case {
        const char* button;
        QByteArray sent;
        QString status;
    };
    const Case cases[] = {
        {"Command1", "AT+CMGS=123\r\x1b", "Message Not Sent.Error Occurred"},
        {"Command2", "AT+CMGW=123\r\x1b", "Message Not Saved.Error Occurred"},
    };
    // Past the two seconds the echo's arrival keeps the window waiting.
    modem().state().shapes.promptDelay = 3;
    modem().state().messages[1] = message("STO SENT", "+441632960962", "kept");
    Form8& window = open();
    pick(control<QComboBox>(window, "Combo1"), "1");
    write("123", "", "hello");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent.toStdString());
        control<QPushButton>(window, c.button)->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(status(), c.status);
        control<QPushButton>(window, "Command3")->click();
        EXPECT_EQ(sent(), "AT+CMGR= 1\r");
        EXPECT_EQ(readOut(), "From:+441632960962  ,SENTMSG: kept\n\n");
    }
    EXPECT_TRUE(modem().state().sent.empty());
    EXPECT_EQ(modem().state().messages.size(), 1u);
}

// A text that holds the modem's own reply does not pass for it: only what
// follows the text's echo counts.
TEST_P(MessageWindowTest, TheTextsEchoNeverCountsAsTheReply) {
    Form8& window = open();
    modem().setRegistration(0); // the network takes no message
    write("123", "", "x\n+CMGS: 7\nOK");
    control<QPushButton>(window, "Command1")->click();
    EXPECT_EQ(status(), "Message Not Sent.Error Occurred");
    write("123", "", "x\n+CMGW: 7\nOK");
    modem().state().messageCapacity = 0; // the store is full
    control<QPushButton>(window, "Command2")->click();
    EXPECT_EQ(status(), "Message Not Saved.Error Occurred");
    modem().setRegistration(1);
    modem().state().messageCapacity = 20;
    write("123", "", "line one\nline two");
    control<QPushButton>(window, "Command1")->click();
    EXPECT_EQ(status(), "Message Sent SuccessFully At " + timeNow());
}

TEST_F(MessageEditorTest, EverySendHidesTheOutboxList) {
    Form8& window = open();
    control<QPushButton>(window, "Command5")->click();
    EXPECT_TRUE(control<QComboBox>(window, "Combo2")->isVisibleTo(&window));
    write("", "", "hello");
    control<QPushButton>(window, "Command1")->click();
    EXPECT_FALSE(control<QComboBox>(window, "Combo2")->isVisibleTo(&window));
}

TEST_F(MessageEditorTest, ClearEmptiesNumberAndTextButNotTheHeader) {
    Form8& window = open();
    write("123", "Head", "Body");
    control<QPushButton>(window, "Command7")->click();
    EXPECT_EQ(written(), "|Head|");
}

// ---- the length rule

TEST_F(MessageEditorTest, HeaderAndTextTogetherStayWithin160AsTyped) {
    Form8& window = open();
    type(control<QLineEdit>(window, "Text5"), QString(20, 'h'));
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->property("maxLength").toInt(), 140);
    type(control<QPlainTextEdit>(window, "Text2"), QString(150, 'a'));
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText(), QString(140, 'a'));

    typeOver(control<QLineEdit>(window, "Text5"), "");
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->property("maxLength").toInt(), 160);
    type(control<QPlainTextEdit>(window, "Text2"), QString(30, 'b'));
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText(),
              QString(140, 'a') + QString(20, 'b'));
    paste(control<QPlainTextEdit>(window, "Text2"), "cccc"); // cut to what still fits
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText().size(), 160);
}

TEST_F(MessageEditorTest, ALongerHeaderNeverCutsTextAlreadyTyped) {
    Form8& window = open();
    type(control<QPlainTextEdit>(window, "Text2"), QString(150, 'a'));
    type(control<QLineEdit>(window, "Text5"), QString(20, 'h'));
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText(), QString(150, 'a'));
    type(control<QPlainTextEdit>(window, "Text2"), "z");
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText(), QString(150, 'a'));
    pressKey(control<QPlainTextEdit>(window, "Text2"), Qt::Key_Backspace);
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText().size(), 149);
}

// ---- reading, the outbox and deleting

TEST_P(MessageWindowTest, ReadCutsTheMessageOfEachStatusAtItsFinalOk) {
    struct Case {
        sim::ShortMessage stored;
        QString shown;
    };
    const QByteArray body = "Got the BOOK\r\nOK\r\nbye";
    const QString shownBody = "Got the BOOK\nOK\nbye\n\n";
    const Case cases[] = {
        {message("REC UNREAD", "+441632960962", body),
         "From:+441632960962  ,UNREADMSG: " + shownBody},
        {message("REC READ", "+441632960963", body), "From:+441632960963  ,READMSG: " + shownBody},
        {message("STO SENT", "+441632960964", body), "From:+441632960964  ,SENTMSG: " + shownBody},
        {message("STO UNSENT", "0123456789", body), "From:0123456789  ,UNSENTMSG: " + shownBody},
        // A status word in the text is not the message's status.
        {message("REC UNREAD", "+441632960965", "STO SENT and REC READ"),
         "From:+441632960965  ,UNREADMSG: STO SENT and REC READ\n\n"},
    };
    Form8& window = open();
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
        modem().state().messages[i + 1] = cases[i].stored;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        SCOPED_TRACE(i + 1);
        control<QLabel>(window, "Label4")->setText("before");
        pick(control<QComboBox>(window, "Combo1"), QString::number(i + 1));
        control<QPushButton>(window, "Command3")->click();
        EXPECT_EQ(sent(), "AT+CMGR= " + QByteArray::number(i + 1) + "\r");
        EXPECT_EQ(readOut(), cases[i].shown);
        EXPECT_EQ(status(), "");
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_P(MessageWindowTest, AnEmptySlotShowsNothingARefusalNoMessage) {
    struct Case {
        const char* name;
        std::optional<QByteArray> refusal; // the module's, framed as its shape frames it
        std::optional<QByteArray> reply;
        QString shown;
    };
    const Case cases[] = {
        {"empty slot", {}, {}, ""},
        {"refused", "+CMS ERROR: 321", {}, "No Message"},
        {"refused with ERROR", {}, "\r\nERROR\r\n", "No Message"},
        {"refused with a code", {}, "\r\n+CMS ERROR: 321\r\n", "No Message"},
        // No final result: the text cannot be cut, nothing is shown.
        {"cut short", {}, "\r\n+CMGR: \"REC READ\",\"123\",,\"24/01/15,10:30:00+00\"\r\nhalf", ""},
    };
    Form8& window = open();
    pick(control<QComboBox>(window, "Combo1"), "4");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        refuseOnly({});
        if (c.refusal) refuse(modem(), "+CMGR", *c.refusal);
        if (c.reply) modem().overrideReply("AT+CMGR= 4", *c.reply);
        control<QPlainTextEdit>(window, "Text3")->setPlainText("earlier");
        control<QPushButton>(window, "Command3")->click();
        EXPECT_EQ(readOut(), c.shown);
    }
}

TEST_P(MessageWindowTest, OutboxPickPutsTheStoredTextIntoTheEditor) {
    Form8& window = open();
    modem().state().messages[2] = message("STO UNSENT", "+441632960961", "Draft with OK\r\ninside");
    typeOver(control<QLineEdit>(window, "Text1"), "kept");
    control<QPushButton>(window, "Command5")->click();
    pick(control<QComboBox>(window, "Combo2"), "2");
    EXPECT_EQ(sent(), "AT+CMGR= 2\r");
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText(), "Draft with OK\ninside\n\n");
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "kept");
    EXPECT_TRUE(control<QComboBox>(window, "Combo2")->isVisibleTo(&window));
    pick(control<QComboBox>(window, "Combo2"), "3");
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText(), "");
    refuse(modem(), "+CMGR", "+CMS ERROR: 321");
    pick(control<QComboBox>(window, "Combo2"), "5");
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text2")->toPlainText(), "No Message");
}

TEST_P(MessageWindowTest, DeleteSaysWhatTheModemDid) {
    Form8& window = open();
    modem().state().messages[3] = message("REC READ", "123", "old");
    control<QPlainTextEdit>(window, "Text3")->setPlainText("earlier");
    control<QPushButton>(window, "Command4")->click(); // no index chosen
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(readOut(), "earlier");

    pick(control<QComboBox>(window, "Combo1"), "3");
    control<QPushButton>(window, "Command4")->click();
    EXPECT_EQ(sent(), "AT+CMGD=3\r");
    EXPECT_EQ(readOut(), "Message Deleted");
    EXPECT_FALSE(modem().state().messages.count(3));

    refuse(modem(), "+CMGD", "+CMS ERROR: 321");
    control<QPushButton>(window, "Command4")->click();
    EXPECT_EQ(readOut(), "Message Not Deleted");
    EXPECT_TRUE(main().Text1().isEmpty());
}

// Message texts are the user's data, not replies: a text holding one of the
// dispatcher's keys is read like any other.
class HostileMessageTest : public MessageWindow,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(HostileMessageTest, ATextHoldingADispatcherKeyIsOnlyRead) {
    Form8& window = open();
    storeEntry("1", "0123456789", "KEPT");
    writeFile("Model.txt", "identity\r\n");
    const QByteArray text = GetParam();
    modem().state().messages[1] = message("REC UNREAD", "+441632960962", text);
    pick(control<QComboBox>(window, "Combo1"), "1");
    control<QPushButton>(window, "Command3")->click();
    run(5);
    const QString shown = QString::fromLatin1(text).replace("\r\n", "\n");
    EXPECT_EQ(readOut(), "From:+441632960962  ,UNREADMSG: " + shown + "\n\n");
    EXPECT_EQ(services().ended, 0);
    EXPECT_EQ(tableRows("DATA", {"Name"}), QStringList{"KEPT"});
    EXPECT_EQ(readFile("Model.txt"), "identity\r\n");
    EXPECT_FALSE(main().Timer2.Enabled()); // no call watch
    EXPECT_FALSE(Forms::instance().isLoaded<Form5>() && form<Form5>().isVisible());
}

// A line that reads "OK" is text like any other: the lines after it are
// still the message's.
INSTANTIATE_TEST_SUITE_P(Keys, HostileMessageTest,
                         ::testing::Values("CPIN: hi", "AT+CPBS? \"SM\",0,9\r\nOK",
                                           "ATI3 hello\r\nOK", "CSQ: 5,5", "RING", "OK\r\nRING",
                                           "OK\r\nRING\r\n+CLIP: \"0123456789\",129"));

// ---- the phonebook and the service centre

TEST_P(MessageWindowTest, PhoneBookListsTheNamesAndAsksForTheServiceCentre) {
    Form8& window = open();
    control<QPushButton>(window, "Command6")->click();
    EXPECT_EQ(messages(), QStringList{"Empty !No Numbers Stored | GSM"});
    EXPECT_FALSE(control<QListWidget>(window, "List1")->isEnabled());
    EXPECT_EQ(sent(), "");
    EXPECT_FALSE(control<QLineEdit>(window, "Text4")->isVisibleTo(&window));

    storeEntry("1", "0123456789", "JOHN");
    storeEntry("2", "+441632960961", "O'BRIEN");
    control<QPushButton>(window, "Command6")->click();
    EXPECT_TRUE(control<QListWidget>(window, "List1")->isEnabled());
    EXPECT_EQ(items(control<QListWidget>(window, "List1")), (QStringList{"JOHN", "O'BRIEN"}));
    EXPECT_EQ(sent(), "AT+CSCA?\r");
    EXPECT_EQ(control<QLineEdit>(window, "Text4")->text(), "+447700900100");
    EXPECT_TRUE(control<QLabel>(window, "Label3")->isVisibleTo(&window));
    EXPECT_TRUE(control<QLineEdit>(window, "Text4")->isVisibleTo(&window));

    refuse(modem(), "+CSCA", "+CMS ERROR: 500");
    control<QPushButton>(window, "Command6")->click();
    EXPECT_EQ(status(), "Service Center Unknown");
    EXPECT_TRUE(main().Text1().isEmpty());
}

// A copy whose numbers are no texts would give 655555555 for 0655555555: the
// window lists none of its names, so that none of its numbers is taken.
TEST_F(MessageEditorTest, ACopyWhoseNumbersAreNoTextListsNothing) {
    Form8& window = open();
    storeEntry("1", "0123456789", "JOHN");
    control<QPushButton>(window, "Command6")->click();
    sent();
    makeNumbersIntegers(services().path(db::kPhoneBookFile));
    control<QPushButton>(window, "Command6")->click();
    EXPECT_EQ(status(), "Phone Book File Cannot Be Read");
    EXPECT_TRUE(items(control<QListWidget>(window, "List1")).isEmpty());
    EXPECT_FALSE(control<QListWidget>(window, "List1")->isEnabled());
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "");
}

// Each row gives its own entry's number, also when two entries share a name
// or a name holds an apostrophe.
TEST_F(MessageEditorTest, ANameGivesTheNumberOfItsOwnRow) {
    storeEntry("1", "0123456789", "JOHN");
    storeEntry("2", "+441632960961", "JOHN");
    storeEntry("3", "0207946000", "O'BRIEN");
    Form8& window = open();
    control<QPushButton>(window, "Command6")->click();
    const QString numbers[] = {"0123456789", "+441632960961", "0207946000"};
    for (int row = 0; row < 3; ++row) {
        typeOver(control<QLineEdit>(window, "Text1"), "typed");
        clickRow(control<QListWidget>(window, "List1"), row);
        EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), numbers[row]) << row;
    }
    // The table changed since it was listed: the row's name is looked up.
    db::DataControl data(db::kPhoneBookFile, "DATA");
    data.Recordset().FindFirst(db::Criterion::equals("Index", "1"));
    data.Recordset().Delete();
    clickRow(control<QListWidget>(window, "List1"), 1);
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "+441632960961");
}

// ---- cell broadcast and status reports

TEST_P(MessageWindowTest, CellBroadcastChoice) {
    struct Case {
        const char* option; // nullptr: none
        std::optional<QByteArray> refusal;
        QByteArray sent;
        QString status;
    };
    const Case cases[] = {
        {"Option1", {}, "AT+CSCB=1\r", "Cell BroadCast Enabled"},
        {"Option2", {}, "AT+CSCB=0\r", "Cell BroadCast Disabled"},
        {"Option1", "+CMS ERROR: 303", "AT+CSCB=1\r", "Error,Cudnt Enable"},
        {"Option2", "+CMS ERROR: 303", "AT+CSCB=0\r", "Error,Cudnt Disable"},
        {"Option1", "+CME ERROR: 3", "AT+CSCB=1\r", "Error,Cudnt Enable"},
        {nullptr, {}, "", ""},
    };
    Form8& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE((c.sent + c.refusal.value_or("")).toStdString());
        refuseOnly({});
        if (c.refusal) refuse(modem(), "+CSCB", *c.refusal);
        if (c.option)
            selectOption(control<QRadioButton>(window, c.option));
        else
            clearOptionGroup(control<QRadioButton>(window, "Option1"));
        control<QLabel>(window, "Label4")->setText("before");
        control<QPushButton>(window, "Command8")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(status(), c.status);
    }
}

TEST_P(MessageWindowTest, StatusReportsSucceedOnlyWhenNoCommandIsRefused) {
    struct Case {
        const char* name;
        const char* option; // nullptr: none
        QByteArray refused; // the command the module refuses, by name
        QByteArray refusal;
        QStringList sent;
        QString status;
        QString state; // Label6
    };
    const QStringList enable = {"AT+CSMP=33,167,0,0", "AT+CNMI=0,1,0,1,0"};
    // clang-format off
    const Case cases[] = {
        {"enable", "Option3", "", "", enable, "Status Report Enabled", "Status Report Enabled"},
        {"enable, +CNMI refused", "Option3", "+CNMI", "+CMS ERROR: 303", enable,
         "Error,Cudnt Enable Status report", "before"},
        {"enable, +CSMP refused", "Option3", "+CSMP", "+CMS ERROR: 304", enable,
         "Error,Cudnt Enable Status report", "before"},
        {"enable, +CNMI refused plainly", "Option3", "+CNMI", "ERROR", enable,
         "Error,Cudnt Enable Status report", "before"},
        {"disable", "Option4", "", "", {"AT+CNMI=0,1,0,0,0"}, "Status Report Disabled",
         "Status Report Disabled"},
        {"disable refused", "Option4", "+CNMI", "+CMS ERROR: 303", {"AT+CNMI=0,1,0,0,0"},
         "Error,Cudnt Disable", "before"},
        {"no option", nullptr, "", "", {}, "Please Wait", "before"},
    };
    // clang-format on
    Form8& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        refuseOnly({});
        if (!c.refused.isEmpty()) refuse(modem(), c.refused, c.refusal);
        if (c.option)
            selectOption(control<QRadioButton>(window, c.option));
        else
            clearOptionGroup(control<QRadioButton>(window, "Option3"));
        control<QLabel>(window, "Label6")->setText("before");
        control<QPushButton>(window, "Command9")->click();
        EXPECT_EQ(commands(sent()), c.sent);
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(control<QLabel>(window, "Label6")->text(), c.state);
    }
    EXPECT_EQ(modem().parameterField("+CNMI", 3), "0");
}

TEST_F(MessageEditorTest, CloseBoxReturnsToTheMainWindow) {
    Form8& window = open();
    main().hide();
    window.close();
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(Forms::instance().isLoaded<Form8>());
}
