// The readers of calls and the network on replies recorded from real modules
// and on the simulated modem's own in every shape: bytes in, value out.

#include "link/replies/Calls.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

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

namespace {

// Where the call indicators stand: "call" and the one a ringing call sets.
QString positions(const std::optional<replies::CallIndicators>& at) {
    if (!at) return "none";
    return QString::number(at->call) + '|' + (at->setup ? QString::number(*at->setup) : "-");
}

} // namespace

// The indicators' order, as each module's "AT+CIND=?" lists them.
TEST(RepliesCallsTest, TheCallIndicatorsStandWhereTheModuleListsThem) {
    const std::pair<RecordedBytes, QString> rows[] = {
        {{"Siemens AT Command Set for L55 Platform, AT+CIND, p. 35 (Siemens L55 phones)",
          "\r\n+CIND: (\"battchg\",(0-5)),(\"signal\",(0-5)),(\"service\",(0,1)),"
          "(\"message\",(0,1)),(\"call\",(0,1)),(\"roam\",(0,1)),(\"smsfull\",(0,1))"
          "\r\n\r\nOK\r\n"},
         "4|-"},
        {{"u-blox UBX-17003787 R09, 5.3 +CIND, p. 30 (SARA-R4/N4)",
          "\r\n+CIND: (\"battchg\",(0-5)),(\"signal\",(0-5)),(\"service\",(0,1)),"
          "(\"sounder\",(0,1)),(\"message\",(0,1)),(\"call\",(0,1)),(\"roam\",(0,1)),"
          "(\"smsfull\",(0,1)),(\"gprs\",(0-2)),(\"callsetup\",(0-3)),(\"callheld\",(0,1)),"
          "(\"simind\",(0-2))\r\n\r\nOK\r\n"},
         "5|9"},
        {{"aleksander0m/ModemManager src/tests/test-modem-helpers.c @49fcaf85, moto_v3m (V3m)",
          "+CIND: (\"Voice Mail\",(0,1)),(\"service\",(0,1)),(\"call\",(0,1)),(\"Roam\",(0-2)),"
          "(\"signal\",(0-5)),(\"callsetup\",(0-3)),(\"smsfull\",(0,1))"},
         "2|5"},
        {{"espressif/esp-idf issue #6486, log text (Apple iPhone, hands-free gateway)",
          "\r\n+CIND: (\"service\",(0-1)),(\"call\",(0-1)),(\"callsetup\",(0-3)),"
          "(\"battchg\",(0-5)),(\"signal\",(0-5)),(\"roam\",(0-1)),(\"callheld\",(0-2))"
          "\r\n\r\nOK\r\n"},
         "1|2"},
        {{"aleksander0m/ModemManager src/tests/test-modem-helpers.c @49fcaf85, linktop_lw273 "
          "(LinkTop LW273): no call indicator",
          "+CIND: (\"battchg\",(0-5)),(\"signal\",(0-5)),(\"batterywarning\",(0-1)),"
          "(\"chargerconnected\",(0-1)),(\"service\",(0-1)),(\"sounder\",(0-1)),"
          "(\"message\",(0-1)),()"},
         "none"},
        {{"refused", "\r\nERROR\r\n"}, "none"},
    };
    for (const auto& [reply, at] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(positions(replies::callIndicators(reply.text())), at);
    }
}

// A call is in progress while any of its indicators is not 0.
TEST(RepliesCallsTest, ACallIsInProgressWhileItsIndicatorsAreNotZero) {
    const replies::CallIndicators wavecom;
    const replies::CallIndicators ublox{5, 9};
    const RecordedBytes idle{"u-blox UBX-17003787 R09, 5.3 +CIND, p. 30 (SARA-R4/N4)",
                             "\r\n+CIND: 5,0,0,0,0,0,0,0,0,0,0,0\r\n\r\nOK\r\n"};
    EXPECT_EQ(replies::callInProgress(idle.text(), ublox), false);
    EXPECT_EQ(replies::callInProgress("\r\n+CIND: 5,0,0,0,0,0,0,0,0,1,0,0\r\n", ublox), true);
    EXPECT_EQ(replies::callInProgress("\r\n+CIND: 5,3,1,0,1,0,0\r\n\r\nOK\r\n", wavecom), true);
    EXPECT_EQ(replies::callInProgress("\r\n+CIND: 5,3,1,0,0,0,0\r\n\r\nOK\r\n", wavecom), false);
    EXPECT_EQ(replies::callInProgress("\r\n+CIND: 5,3\r\n\r\nOK\r\n", wavecom), std::nullopt);
    EXPECT_EQ(replies::callInProgress("\r\n+CIND: 5,3,1,0,x,0,0\r\n", wavecom), std::nullopt);
    EXPECT_EQ(replies::callInProgress("\r\nERROR\r\n", wavecom), std::nullopt);
}

// The simulated modem in each maker's order: the indicators learned from its
// "AT+CIND=?" tell a ringing call, an answered one, and none.
TEST(RepliesCallsTest, TheSimulatedModemsCallIndicatorsInEveryOrder) {
    using sim::CallStatus;
    using sim::IndicatorOrder;
    for (const ModuleShape& shape : moduleShapes()) {
        for (IndicatorOrder order :
             {IndicatorOrder::Wavecom, IndicatorOrder::Ublox, IndicatorOrder::Telit,
              IndicatorOrder::Huawei, IndicatorOrder::Motorola}) {
            SCOPED_TRACE(std::string(shape.name) + " " + std::to_string(int(order)));
            sim::ReplyShapes shapes = shape.shapes;
            shapes.indicatorOrder = order;
            const std::optional<replies::CallIndicators> at =
                replies::callIndicators(simulatedReply(shapes, "AT+CIND=?"));
            ASSERT_TRUE(at);
            for (const auto& [status, inProgress] :
                 {std::pair{CallStatus::Idle, false}, std::pair{CallStatus::Incoming, true},
                  std::pair{CallStatus::Active, true}}) {
                const QString reply = simulatedReply(shapes, "AT+CIND?",
                                                     [s = status](auto& m) { m.call.status = s; });
                EXPECT_EQ(replies::callInProgress(reply, *at), inProgress) << int(status);
            }
        }
    }
}

// The registration state is the field after the mode, whatever follows it.
TEST(RepliesCallsTest, TheRegistrationStateIsTheFieldAfterTheMode) {
    const std::pair<RecordedBytes, std::optional<int>> rows[] = {
        {{"gammu/gammu tests/at-creg/none.dump @5be3f907 (module not named)",
          "\r\n+CREG: 0,0\r\n\r\nOK\r\n"},
         0},
        {{"gammu/gammu tests/at-creg/siemens.dump @5be3f907 (Siemens)",
          "\r\n+CREG: 0,1,\"5E25\",\"605F\"\r\n\r\nOK\r\n"},
         1},
        {{"gammu/gammu tests/at-creg/telit.dump @3530c7a5 (Telit)",
          "\r\n+CREG: 0,1,\"5E25\",\"605F\",2\r\n\r\nOK\r\n"},
         1},
        {{"gammu/gammu tests/at-creg/huawei.dump @5be3f907 (Huawei)",
          "\r\n+CREG: 2,1,4CA,81DE445\r\n\r\nOK\r\n"},
         1},
        {{"gammu/gammu tests/at-creg/sierra312u.dump @33339d98 (Sierra Wireless 312U)",
          "\r\n+CREG: 2,5,\"2AF5\",\"0B88E350\",2\r\n\r\nOK\r\n"},
         5},
        {{"gammu/gammu tests/at-creg-corner/empty-lac.dump @fe0403b1 (module not named)",
          "\r\n+CREG: 2,1,\"\",\"605F\"\r\n\r\nOK\r\n"},
         1},
        {{"gammu/gammu tests/at-creg-corner/mismatched-quotes.dump @fe0403b1 (module not named)",
          "\r\n+CREG: 2,1,\"0B,\"0100701\",7\r\n\r\nOK\r\n"},
         1},
        {{"aleksander0m/ModemManager src/tests/test-modem-helpers.c @49fcaf85, "
          "creg2_s8500_wave (Samsung Wave S8500)",
          "\r\n+CREG: 2,1,000B,2816, B, C2816\r\n"},
         1},
        {{"aleksander0m/ModemManager src/tests/test-modem-helpers.c @49fcaf85, "
          "creg2_iridium (Iridium): no blank, padded",
          "+CREG:002,001,\"18d8\",\"ffff\""},
         1},
        {{"aleksander0m/ModemManager src/tests/test-modem-helpers.c @49fcaf85, "
          "creg2_e160g (Huawei E160G): unregistered",
          "+CREG: 2,0,00,0"},
         0},
        {{"4IceG/luci-app-3ginfo-lite pull request #32, log text (Fibocom FM150)",
          "+CREG: 2,1,\"5D4\",\"01BC7511\",13"},
         1},
        // the unsolicited report of one field: no mode before the state
        {{"aleksander0m/ModemManager src/tests/test-modem-helpers.c @49fcaf85, "
          "creg_cgreg_multi_unsolicited",
          "\r\n+CREG: 5\r\n\r\n+CGREG: 0\r\n"},
         std::nullopt},
    };
    for (const auto& [reply, stat] : rows) {
        SCOPED_TRACE(reply.source);
        const QString text = reply.text();
        EXPECT_EQ(replies::registrationStat(text.mid(text.indexOf("+CREG:"))), stat);
    }
}

TEST(RepliesCallsTest, TheNumberDialledAgainEndsAtItsSemicolon) {
    EXPECT_EQ(replies::redialNumber("\r\n0123456789;\r\n\r\nOK\r\n"), "0123456789");
    EXPECT_EQ(replies::redialNumber("\r\n+441632960961;\r\n"), "+441632960961");
    EXPECT_EQ(replies::redialNumber("\r\nERROR\r\n"), std::nullopt);
}

// The number is read from the dial line, wherever the reply puts it.
TEST(RepliesCallsTest, TheNumberDialledAgainIsItsDialLine) {
    const std::pair<RecordedBytes, std::optional<QString>> rows[] = {
        {{"numeric result codes: no line break before the line", "0123456789;\r\n0\r"},
         "0123456789"},
        {{"an echo ended by a line feed too", "\n\r\n0123456789;\r\n\r\nOK\r\n"}, "0123456789"},
        {{"a number line without a ';', then another line holding one",
          "\r\n0123456789\r\n\r\n+CLIP: \"0123\",129,,,\"Smith; J\",0\r\n"},
         std::nullopt},
        {{"a refusal, then a line holding a ';'",
          "\r\nERROR\r\n\r\n+CLIP: \"0123\",129,,,\"Smith; J\",0\r\n"},
         std::nullopt},
        {{"no carrier", "\r\nNO CARRIER\r\n"}, std::nullopt},
        {{"nothing yet", ""}, std::nullopt},
    };
    for (const auto& [reply, number] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::redialNumber(reply.text()), number);
    }
}

TEST(RepliesCallsTest, TheSimulatedModemsNumberDialledAgainInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        SCOPED_TRACE(shape.name);
        EXPECT_EQ(replies::redialNumber(
                      simulatedReply(shape.shapes, "ATDL", {}, {"ATD0123456789;", "ATH"})),
                  "0123456789");
        EXPECT_EQ(replies::redialNumber(simulatedReply(shape.shapes, "ATDL")), std::nullopt);
    }
}
