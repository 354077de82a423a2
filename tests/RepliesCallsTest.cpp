// The readers of calls and the network on replies recorded from real modules
// and on the simulated modem's own in every shape: bytes in, value out.

#include "link/replies/Calls.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <optional>

using replies::DialOutcome;

namespace {

struct DialRow {
    RecordedBytes reply; // what followed the dial's echo
    std::optional<DialOutcome> outcome;
};

} // namespace

TEST(RepliesCallsTest, TheDialsOutcomeIsItsResultCode) {
    const DialRow rows[] = {
        {{"Telit HE910 user manual, ATD responses, p. 30 (Telit HE910 / GM862)", "\r\nBUSY\r\n"},
         DialOutcome::Busy},
        {{"Telit HE910 user manual, ATD responses, p. 30 (Telit HE910 / GM862)",
          "\r\nNO ANSWER\r\n"},
         DialOutcome::NoAnswer},
        {{"Telit HE910 user manual, ATD responses, p. 30 (Telit HE910 / GM862)",
          "\r\nNO CARRIER\r\n"},
         DialOutcome::NoCarrier},
        // OK at once, then the vendor's own call progress, no result code
        {{"AT command trace, file id 32452001056, log text (Huawei E1550)",
          "\r\nOK\r\n\r\n^ORIG:1,0\r\n\r\n^CONF:1\r\n\r\n^CONN:1,0\r\n\r\n^CEND:1,0,104,31\r\n"},
         DialOutcome::Connected},
        {{"faucamp/python-gsmmodem test/fakemodems.py, WavecomMultiband900E1800: the OK waits",
          "\r\n+WIND: 5,1\r\n\r\n+WIND: 2\r\n\r\nOK\r\n\r\nNO CARRIER\r\n\r\n+WIND: 6,1\r\n"},
         DialOutcome::NoCarrier},
        {{"the order the console was made for: OK first", "\r\nBUSY\r\n\r\nOK\r\n"},
         DialOutcome::Connected},
        {{"nothing yet", "\r\n"}, std::nullopt},
    };
    for (const DialRow& row : rows) {
        SCOPED_TRACE(row.reply.source);
        EXPECT_EQ(replies::dialOutcome(row.reply.text(), false), row.outcome);
    }
    EXPECT_EQ(replies::dialOutcome("\r\n+CME ERROR: 3\r\n", true), DialOutcome::Refused);
    EXPECT_EQ(replies::dialOutcome("\r\n+CME ERROR: 3\r\n", false), std::nullopt);
}

// Most modules say OK to a voice dial at once and how the call ended later:
// a call-end code after the OK wins over it.
TEST(RepliesCallsTest, ACallEndCodeAfterTheOkWinsOverIt) {
    const DialRow rows[] = {
        {{"OK, then BUSY", "\r\nOK\r\n\r\nBUSY\r\n"}, DialOutcome::Busy},
        {{"OK, then NO ANSWER", "\r\nOK\r\n\r\nNO ANSWER\r\n"}, DialOutcome::NoAnswer},
        {{"BUSY, OK, then NO CARRIER", "\r\nBUSY\r\n\r\nOK\r\n\r\nNO CARRIER\r\n"},
         DialOutcome::NoCarrier},
        {{"Motorola G24-L AT Commands Reference Manual, +CCWA example, p. 3-27 (G24-L)",
          "\r\nOK\r\n\r\nNO CARRIER\r\n\r\nOK\r\n"},
         DialOutcome::NoCarrier},
    };
    for (const DialRow& row : rows) {
        SCOPED_TRACE(row.reply.source);
        EXPECT_EQ(replies::dialOutcome(row.reply.text(), false), row.outcome);
    }
}

// The simulated modem's dial, with its outcome, in every shape.
TEST(RepliesCallsTest, TheSimulatedModemsDialInEveryShape) {
    using sim::DialOutcome;
    const std::pair<DialOutcome, replies::DialOutcome> outcomes[] = {
        {DialOutcome::Answered, replies::DialOutcome::Connected},
        {DialOutcome::Busy, replies::DialOutcome::Busy},
        {DialOutcome::NoAnswer, replies::DialOutcome::NoAnswer},
        {DialOutcome::NoCarrier, replies::DialOutcome::NoCarrier},
    };
    for (const ModuleShape& shape : moduleShapes()) {
        for (const auto& [simulated, read] : outcomes) {
            SCOPED_TRACE(std::string(shape.name) + " " + std::to_string(int(simulated)));
            const QString reply = simulatedReply(
                shape.shapes, "ATD0123456789;",
                [simulated = simulated](sim::ModemState& s) { s.network.dialOutcome = simulated; });
            EXPECT_EQ(replies::dialOutcome(reply, false), read);
        }
    }
}

TEST(RepliesCallsTest, TheNumberDialledAgainEndsAtItsSemicolon) {
    EXPECT_EQ(replies::redialNumber("\r\n0123456789;\r\n\r\nOK\r\n"), "0123456789");
    EXPECT_EQ(replies::redialNumber("\r\n+441632960961;\r\n"), "+441632960961");
    EXPECT_EQ(replies::redialNumber("\r\nERROR\r\n"), std::nullopt);
}
