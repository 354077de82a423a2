// The SIM readers on replies recorded from real modules and on the simulated
// modem's own in every shape: bytes in, value out.

#include "link/replies/Sim.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using replies::SimState;

namespace {

struct StateRow {
    RecordedBytes reply; // to "AT+CPIN?", or what a module said unasked
    SimState state;
};

} // namespace

TEST(RepliesSimTest, TheStateIsTheWholeTextAfterThePrefix) {
    const StateRow rows[] = {
        {{"gammu/gammu issue #126, hex log (Huawei E1752)", "\r\n+CPIN: READY\r\n\r\nOK\r\n"},
         SimState::Ready},
        {{"gammu/gammu issue #306, hex log (module not named): no OK follows",
          "\r\n+CPIN: READY\r\n"},
         SimState::Ready},
        {{"faucamp/python-gsmmodem issue #117, log text (PIN-less SIM): no blank",
          "\r\n+CPIN:READY\r\n\r\nOK\r\n"},
         SimState::Ready},
        {{"faucamp/python-gsmmodem test/fakemodems.py @068c6b41 (Wavecom MULTIBAND 900E 1800)",
          "+CPIN: SIM PIN\r\n"},
         SimState::Pin},
        {{"u-blox UBX-17003787 R09, 8.1 +CPIN, p. 62 (SARA-R4/N4)",
          "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n"},
         SimState::Pin},
        {{"SIMCom SIM800 Series AT Command Manual V1.09, p. 352 (SIM800): a SIM being read",
          "\r\n+CPIN: NOT READY\r\n"},
         SimState::NotReady},
        {{"SIMCom SIM800 Series AT Command Manual V1.09, p. 352 (SIM800): no SIM",
          "\r\n+CPIN: NOT INSERTED\r\n"},
         SimState::NotInserted},
        {{"Seeed-Studio/GPRS_SIM900 issue #39, log text (SIM800L): unasked, then its ready lines",
          "\r\n+CPIN: READY\r\n\r\nCall Ready\r\n\r\nSMS Ready\r\n"},
         SimState::Ready},
        // the states 27.007 names, as the console has always told them apart
        {{"27.007 8.3: the second PIN", "\r\n+CPIN: SIM PIN2\r\n\r\nOK\r\n"}, SimState::Pin},
        {{"27.007 8.3: the phone-to-SIM PIN", "\r\n+CPIN: PH-SIM PIN\r\n\r\nOK\r\n"},
         SimState::Pin},
        {{"27.007 8.3: the second PUK", "\r\n+CPIN: SIM PUK2\r\n\r\nOK\r\n"}, SimState::Puk},
        {{"27.007 8.3: the network personalisation PIN", "\r\n+CPIN: PH-NET PIN\r\n\r\nOK\r\n"},
         SimState::Unknown},
        {{"a reply that holds READY and SIM PIN is ready",
          "\r\n+CPIN: READY\r\n\r\nOK\r\n\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n"},
         SimState::Ready},
    };
    for (const StateRow& row : rows) {
        SCOPED_TRACE(row.reply.source);
        EXPECT_EQ(replies::simState(row.reply.text()), row.state);
    }
}

// The error "SIM busy" says the module is still reading the SIM; other
// refusals say nothing of it.
TEST(RepliesSimTest, SimBusyIsTheErrorFourteen) {
    const std::pair<RecordedBytes, bool> rows[] = {
        {{"faucamp/python-gsmmodem test/fakemodems.py, QualcommM6280 (Qualcomm M6280, ZTE)",
          "+CME ERROR: 14\r\n"},
         true},
        {{"27.007 9.2: the text of error 14 after AT+CMEE=2", "\r\n+CME ERROR: SIM busy\r\n"},
         true},
        {{"Xinyuan-LilyGO/LilyGo-T-Call-SIM800 issue #33, log text (SIMCom SIM800C)",
          "\r\n+CME ERROR: SIM not inserted\r\n"},
         false},
        {{"Xinyuan-LilyGO/LilyGo-T-Call-SIM800 issue #33, log text (SIMCom SIM800C), CMEE=0",
          "\r\nERROR\r\n"},
         false},
    };
    for (const auto& [reply, busy] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::simBusy(reply.text()), busy);
    }
}

// The simulated modem's state, as each of its shapes tells it.
TEST(RepliesSimTest, TheSimulatedModemsStateInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        SCOPED_TRACE(shape.name);
        const auto state = [&shape](sim::SimStatus status) {
            return replies::simState(simulatedReply(
                shape.shapes, "AT+CPIN?", [status](sim::ModemState& s) { s.sim.status = status; }));
        };
        EXPECT_EQ(state(sim::SimStatus::Ready), SimState::Ready);
        EXPECT_EQ(state(sim::SimStatus::PinRequired), SimState::Pin);
        EXPECT_EQ(state(sim::SimStatus::PukRequired), SimState::Puk);
    }
}

namespace {

QString lockStatusOf(const QString& reply, const QString& code) {
    return replies::lockStatus(reply, code).value_or(QStringLiteral("none"));
}

} // namespace

// The status is the field after the facility's quoted code on a "+CLCK:" line.
TEST(RepliesSimTest, ALockStatusIsTheFieldAfterItsQuotedCode) {
    struct Row {
        RecordedBytes reply; // to "AT+CLCK?"
        const char* code;
        QString status;
    };
    const Row rows[] = {
        {{"as the console was made for it: pairs on one line",
          "\r\n+CLCK: (\"PS\",0),(\"SC\",1),(\"FD\",0),(\"PN\",0)\r\n\r\nOK\r\n"},
         "SC",
         "1"},
        {{"as the console was made for it: pairs on one line",
          "\r\n+CLCK: (\"PS\",0),(\"SC\",1),(\"FD\",0),(\"PN\",0)\r\n\r\nOK\r\n"},
         "PN",
         "0"},
        {{"Westermo GS-01 manual 6195-2201, +CLCK, p. 18 (Wavecom-based Westermo GS-01): "
          "a blank before the status",
          "\r\n+CLCK: (\"PS\", 0), (\"PN,0),(\"FD\",0)\r\n\r\nOK\r\n"},
         "PS",
         "0"},
        // The manual prints the quote after PN as missing: the code is not named so.
        {{"Westermo GS-01 manual 6195-2201, +CLCK, p. 18: a quote missing",
          "\r\n+CLCK: (\"PS\", 0), (\"PN,0),(\"FD\",0)\r\n\r\nOK\r\n"},
         "PN",
         "none"},
        {{"a facility to a line", "\r\n+CLCK: \"PS\",0\r\n+CLCK: \"SC\", 1\r\n\r\nOK\r\n"},
         "SC",
         "1"},
        // The bare letters elsewhere in the reply are not the facility.
        {{"the code only inside another's", "\r\n+CLCK: (\"PH-PS\",1)\r\n\r\nOK\r\n"},
         "PS",
         "none"},
        {{"the code outside a +CLCK: line", "\r\n+CLCK: (\"SC\",1)\r\n\r\n+CUSD: 0,\"PS\",15\r\n"},
         "PS",
         "none"},
        {{"no status after the code", "\r\n+CLCK: (\"SC\")\r\n\r\nOK\r\n"}, "SC", ""},
        {{"refused", "\r\nERROR\r\n"}, "SC", "none"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.reply.source) + " " + row.code);
        EXPECT_EQ(lockStatusOf(row.reply.text(), row.code), row.status);
    }
}

TEST(RepliesSimTest, TheSimulatedModemsLocksInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        SCOPED_TRACE(shape.name);
        const QString reply = simulatedReply(shape.shapes, "AT+CLCK?", [](sim::ModemState& s) {
            s.locks["PS"] = 1;
            s.sim.pinLock = false;
            s.locks["PN"] = 1;
        });
        EXPECT_EQ(lockStatusOf(reply, "PS"), "1");
        EXPECT_EQ(lockStatusOf(reply, "SC"), "0");
        EXPECT_EQ(lockStatusOf(reply, "PN"), "1");
    }
}
