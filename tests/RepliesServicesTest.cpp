// The supplementary-services readers on replies recorded from real modules
// and on the simulated modem's own in every shape: bytes in, value out.

#include "link/replies/Services.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

using replies::CallWaiting;

namespace {

QString forwardingOf(const QString& reply) {
    const std::optional<replies::Forwarding> f = replies::forwarding(reply);
    return f ? f->status + '|' + f->classCode + '|' + f->number : "none";
}

QString barringOf(const QString& reply) {
    const std::optional<replies::Barring> b = replies::barring(reply);
    return b ? b->status + '|' + b->classCode : "none";
}

QString groupOf(const QString& reply) {
    const std::optional<replies::ClosedUserGroup> g = replies::closedUserGroup(reply);
    return g ? g->mode + '|' + g->index + '|' + g->info : "none";
}

} // namespace

// The first record's status, class and number: one line per class may follow.
TEST(RepliesServicesTest, AForwardingIsItsFirstRecord) {
    const std::pair<RecordedBytes, QString> rows[] = {
        {{"gammu/gammu tests/at-ccfc/ma260.dump @816ebaea (phone not named)",
          "\r\n+CCFC: 1,1,\"+420123456678\",145,,,\r\n\r\nOK\r\n"},
         "1|1|+420123456678"},
        {{"a module as the console was made for it: not active for all classes",
          "\r\n+CCFC: 0,7\r\n\r\nOK\r\n"},
         "0|7|"},
        {{"a class of more digits is read by its first",
          "\r\n+CCFC: 1,16,\"123\",129\r\n\r\nOK\r\n"},
         "1|1|123"},
        {{"gammu/gammu tests/at-ccfc/disabled.dump @0a70b5f8 (phone not named): no blank",
          "\r\n+CCFC:0,7\r\n\r\nOK\r\n"},
         "0|7|"},
        {{"gammu/gammu tests/at-ccfc/complete.dump @0a70b5f8 (phone not named): every field",
          "\r\n+CCFC:1,7,\"+420800123456\",129,\"\",128,0\r\n\r\nOK\r\n"},
         "1|7|+420800123456"},
        {{"Westermo GD-01 User Manual 6196-2220, +CCFC, p. 75 (Wavecom-based Westermo GD-01): "
          "one line per class",
          "\r\n+CCFC:1,1,\"0146290800\",129\r\n+CCFC:1,2,\"0146290802\",129\r\n"
          "+CCFC:1,4,\"0146290804\",129\r\n\r\nOK\r\n"},
         "1|1|0146290800"},
        {{"no OK", "\r\n+CCFC: 0,7\r\n"}, "none"},
        {{"refused", "\r\n+CME ERROR: 30\r\n"}, "none"},
    };
    for (const auto& [reply, forwarding] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(forwardingOf(reply.text()), forwarding);
    }
}

TEST(RepliesServicesTest, ABarringIsItsStatusAndClass) {
    const std::pair<RecordedBytes, QString> rows[] = {
        {{"Westermo GS-01 manual 6195-2201, +CLCK, p. 18 (Wavecom-based Westermo GS-01)",
          "\r\n+CLCK: 1,2\r\n\r\nOK\r\n"},
         "1|2"},
        {{"not barred", "\r\n+CLCK: 0,7\r\n\r\nOK\r\n"}, "0|7"},
        {{"AT command trace, file id 32452001056, log text (Huawei E1550): the status alone",
          "\r\n+CLCK: 1\r\n\r\nOK\r\n"},
         "1|"},
        {{"no blank after the colon", "\r\n+CLCK:1,2\r\n\r\nOK\r\n"}, "1|2"},
        // A class the console does not know is not read as one it knows.
        {{"barred for synchronous data", "\r\n+CLCK: 1,16\r\n\r\nOK\r\n"}, "1|16"},
        {{"one line per class: the first", "\r\n+CLCK: 1,1\r\n+CLCK: 1,4\r\n\r\nOK\r\n"}, "1|1"},
        {{"Westermo GS-01 manual 6195-2201, +CLCK, p. 18: a wrong password",
          "\r\n+CME ERROR: 16\r\n"},
         "none"},
    };
    for (const auto& [reply, barring] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(barringOf(reply.text()), barring);
    }
}

TEST(RepliesServicesTest, CallWaitingIsOnForVoiceOffForAllOrRefused) {
    const std::pair<RecordedBytes, std::optional<CallWaiting>> rows[] = {
        {{"on for voice", "\r\n+CCWA: 1,1\r\n\r\nOK\r\n"}, CallWaiting::Enabled},
        {{"off for every class", "\r\n+CCWA: 0,7\r\n\r\nOK\r\n"}, CallWaiting::Disabled},
        {{"refused", "\r\n+CME ERROR: 3\r\n"}, CallWaiting::Refused},
        {{"on for data only", "\r\n+CCWA: 1,2\r\n\r\nOK\r\n"}, std::nullopt},
        {{"Wavecom WMO2 AT commands WMO2ATDOC, +CCWA, p. 62 (Wavecom WMO2): no blank",
          "\r\n+CCWA:1,1\r\n\r\nOK\r\n"},
         CallWaiting::Enabled},
        // A class of more digits is not voice because it begins with a 1.
        {{"on for synchronous data only", "\r\n+CCWA: 1,16\r\n\r\nOK\r\n"}, std::nullopt},
        {{"on for the packet class only", "\r\n+CCWA: 1,128\r\n\r\nOK\r\n"}, std::nullopt},
        {{"one line per class, voice among them", "\r\n+CCWA: 1,16\r\n+CCWA: 1,1\r\n\r\nOK\r\n"},
         CallWaiting::Enabled},
        {{"off with blanks around the fields", "\r\n+CCWA: 0, 7\r\n\r\nOK\r\n"},
         CallWaiting::Disabled},
    };
    for (const auto& [reply, waiting] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::callWaiting(reply.text()), waiting);
    }
}

TEST(RepliesServicesTest, AClosedUserGroupIsItsModeIndexAndInfo) {
    const std::pair<RecordedBytes, QString> rows[] = {
        {{"Enfora AT Command Set Reference GSM1308AT001, +CCUG, p. 51 (Enfora GSM1308): blanks",
          "\r\n+CCUG: 0, 0, 0\r\n\r\nOK\r\n"},
         "0|0|0"},
        {{"a group with its index", "\r\n+CCUG: 1,3,2\r\n\r\nOK\r\n"}, "1|3|2"},
        {{"fields missing", "\r\n+CCUG: 1\r\n\r\nOK\r\n"}, "1||"},
        {{"refused", "\r\nERROR\r\n"}, "none"},
    };
    for (const auto& [reply, group] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(groupOf(reply.text()), group);
    }
}

TEST(RepliesServicesTest, TheSimulatedModemsServicesInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        SCOPED_TRACE(shape.name);
        EXPECT_EQ(forwardingOf(simulatedReply(shape.shapes, "AT+CCFC=0,2")), "0|7|");
        EXPECT_EQ(
            forwardingOf(simulatedReply(shape.shapes, "AT+CCFC=0,2",
                                        [](sim::ModemState& s) {
                                            s.network.forwarding[0] = {"+441632960961", 145, 1};
                                        })),
            "1|1|+441632960961");
        EXPECT_EQ(barringOf(simulatedReply(shape.shapes, "AT+CLCK=\"AO\",2")), "0|7");
        EXPECT_EQ(replies::callWaiting(simulatedReply(shape.shapes, "AT+CCWA=1,2")),
                  CallWaiting::Disabled);
        EXPECT_EQ(replies::callWaiting(
                      simulatedReply(shape.shapes, "AT+CCWA=1,2",
                                     [](sim::ModemState& s) { s.network.callWaitingClasses = 1; })),
                  CallWaiting::Enabled);
        EXPECT_NE(groupOf(simulatedReply(shape.shapes, "AT+CCUG?")), "none");
    }
}
