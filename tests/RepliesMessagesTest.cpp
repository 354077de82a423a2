// The short-message readers on replies recorded from real modules and on the
// simulated modem's own in every shape: bytes in, value out.

#include "link/replies/Messages.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

// The index a new-message code gives, as the console has always cut it: two
// characters past the two-letter storage, a one-digit index with the carriage
// return that ends its line.
TEST(RepliesMessagesTest, TheNewMessageIndexStandsPastTheStorage) {
    const std::pair<RecordedBytes, QString> rows[] = {
        {{"gammu/gammu issues #490 and #508, hex log (Huawei E303 / E3531)", "+CMTI: \"ME\",0\r\n"},
         "0\r"},
        {{"a module as the console was made for it, a two-digit index", "+CMTI: \"SM\",12\r\n"},
         "12"},
        {{"the letters the console takes as indexes, the whole window", "+CMTI: \"SM\",B"}, "11"},
        {{"a letter with its carriage return is no letter", "+CMTI: \"SM\",B\r\n"}, "B\r"},
    };
    for (const auto& [line, index] : rows) {
        SCOPED_TRACE(line.source);
        EXPECT_EQ(replies::newMessageIndex(line.text()), index);
    }
}

TEST(RepliesMessagesTest, TheServiceCentreIsTheNumberBetweenItsQuotes) {
    const std::pair<RecordedBytes, std::optional<QString>> rows[] = {
        {{"gammu forum log \"Wammu error 27 with Motorola L6\", hex log (Motorola L6)",
          "\r\n+CSCA: \"+5926400003\",145\r\n\r\nOK\r\n"},
         "+5926400003"},
        {{"gammu/gammu issue #58, log text (module not named): no \"+\", a blank before the type",
          "\r\n+CSCA: \"79185599999\", 145\r\n\r\nOK\r\n"},
         "79185599999"},
        {{"gammu/gammu tests/at-parser.c (Motorola phone, UCS2): the number unquoted",
          "\r\n+CSCA: 002B003300380030003600330039003000310030003000300030,145\r\n\r\nOK\r\n"},
         std::nullopt},
        {{"refused", "\r\nERROR\r\n"}, std::nullopt},
    };
    for (const auto& [reply, number] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::serviceCentre(reply.text()), number);
    }
}

TEST(RepliesMessagesTest, StatusReportsAreTheFourthValueOrARefusal) {
    const std::pair<RecordedBytes, std::optional<bool>> rows[] = {
        {{"reports routed to the terminal", "\r\n+CNMI: 0,1,0,1,0\r\n\r\nOK\r\n"}, true},
        {{"no reports", "\r\n+CNMI: 2,1,0,0,0\r\n\r\nOK\r\n"}, false},
        {{"a value the console does not know", "\r\n+CNMI: 2,1,0,2,0\r\n\r\nOK\r\n"}, std::nullopt},
        {{"cbosdo/kang test/test_sim800.py (SIMCom SIM800L): a refusal", "+CMS ERROR: 29\r\n"},
         false},
        {{"refused", "\r\nERROR\r\n"}, false},
    };
    for (const auto& [reply, reports] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::statusReports(reply.text()), reports);
    }
}

namespace {

QString messageOf(const QString& reply) {
    const std::optional<replies::StoredMessage> message = replies::storedMessage(reply);
    return message ? message->status + '|' + message->number + '|' + message->body : "none";
}

} // namespace

// The status, the number, and the text with its own line ends up to the
// final OK; lines before the header are not the message's.
TEST(RepliesMessagesTest, AStoredMessageIsItsHeaderAndItsText) {
    const std::pair<RecordedBytes, QString> rows[] = {
        {{"Telit HE910 user manual, reading an SMS, p. 80 (Telit HE910)",
          "\r\n+CMGR: \"STO UNSENT\",\"+393351234565\"\r\nTelit Test Message for Text Mode SMS."
          "\r\n\r\nOK\r\n"},
         "STO UNSENT|+393351234565|Telit Test Message for Text Mode SMS.\r\n\r\n"},
        {{"cbosdo/kang test/test_sim800.py @5329b57d (SIMCom SIM800L, UCS2): network lines first",
          "+CTZV: +4,0\r\n*PSUTTZ: 2020,12,16,18,3,45,\"+4\",0\r\nDST: 0\r\n+CIEV: 10,\"20801\","
          "\"Orange F\",\"Orange F\", 0, 0\r\n+CMGR: \"REC READ\","
          "\"002B0031003200330034003500360037003800390030\",\"\",\"20/12/16,19:03:40+04\"\r\n"
          "00410072007200EA007400650072\r\nOK\r\n"},
         "REC READ|002B0031003200330034003500360037003800390030|"
         "00410072007200EA007400650072\r\n"},
        {{"a text that holds OK on a line of its own",
          "\r\n+CMGR: \"REC READ\",\"+4412\",,\"26/01/15,10:00:00+00\"\r\nfine\r\nOK\r\nbye\r\n"
          "\r\nOK\r\n"},
         "REC READ|+4412|fine\r\nOK\r\nbye\r\n\r\n"},
        {{"no final OK", "\r\n+CMGR: \"REC READ\",\"+4412\"\r\nhi\r\n"}, "none"},
        {{"an empty place", "\r\nOK\r\n"}, "none"},
    };
    for (const auto& [reply, message] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(messageOf(reply.text()), message);
    }
}

// The text goes out only after the prompt; what the modem answers to it is
// read past the text's echo, so that nothing typed counts as the answer.
TEST(RepliesMessagesTest, TheAnswerToATextIsReadPastItsEcho) {
    const RecordedBytes captured{
        "awangga/spy README.md, terminal capture (3G USB modem, not named)",
        "\r\n> 0891269846040000F111000C928069010797100000AA12F0BA9B5C779F4"
        "1E1B4FB0C3A97D9753A\n+CMGS: 23\n\nOK"};
    EXPECT_TRUE(replies::prompted(captured.text()));
    const QString answer = replies::replyToText(
        captured.text(), "0891269846040000F111000C928069010797100000AA12F0BA9B5C779F41E1B4FB0C"
                         "3A97D9753A");
    EXPECT_EQ(answer, "\n+CMGS: 23\n\nOK");
    EXPECT_TRUE(replies::hasLineStarting(answer, "+CMGS:"));

    const RecordedBytes stored{"u-blox UBX-17003787 R09, 9.12 +CMGW, p. 80 (SARA-R4/N4): "
                               "after the text",
                               "\r\n+CMGW: 303\r\n\r\nOK\r\n"};
    EXPECT_TRUE(replies::hasLineStarting(replies::replyToText(stored.text(), "This is the text"),
                                         "+CMGW:"));
    // A text that reads like the answer is no answer.
    EXPECT_FALSE(replies::hasLineStarting(
        replies::replyToText("\r\n> +CMGS: 1\r\n+CMS ERROR: 500\r\n", "+CMGS: 1"), "+CMGS:"));
    EXPECT_FALSE(replies::prompted("\r\n+CMS ERROR: 303\r\n"));
    EXPECT_FALSE(replies::prompted("\r\n"));
}

TEST(RepliesMessagesTest, TheSimulatedModemsMessagesInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        SCOPED_TRACE(shape.name);
        EXPECT_EQ(replies::serviceCentre(simulatedReply(shape.shapes, "AT+CSCA?")),
                  "+447700900100");
        EXPECT_EQ(replies::statusReports(simulatedReply(shape.shapes, "AT+CNMI?")), false);
        EXPECT_EQ(replies::statusReports(
                      simulatedReply(shape.shapes, "AT+CNMI?", {}, {"AT+CNMI=0,1,0,1,0"})),
                  true);
        const QString read = simulatedReply(
            shape.shapes, "AT+CMGR= 1",
            [](sim::ModemState& s) {
                s.messages[1] = {"REC UNREAD", "+447700900123", "26/01/15,10:00:00+00", "See you"};
            },
            {"AT+CMGF=1"});
        EXPECT_EQ(messageOf(read), "REC UNREAD|+447700900123|See you\r\n\r\n");
        EXPECT_TRUE(replies::prompted(
            simulatedReply(shape.shapes, "AT+CMGS=0123456789", {}, {"AT+CMGF=1"})));
    }
}
