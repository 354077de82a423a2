// The call-settings readers on replies recorded from real modules and on the
// simulated modem's own in every shape: bytes in, value out.

#include "link/replies/CallSettings.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

// The rings before the modem answers by itself, padded to three digits or not.
TEST(RepliesCallSettingsTest, TheRingsAreANumber) {
    const std::pair<RecordedBytes, std::optional<int>> rows[] = {
        {{"Multi-Tech CDMA C1 AT Commands Reference Guide, ATS0, p. 32 (always three digits)",
          "\r\n002\r\n\r\nOK\r\n"},
         2},
        {{"Novatel NRM-EG301 User's Manual, ATS0, p. 66 (Novatel NRM-EG301)",
          "\r\n5\r\n\r\nOK\r\n"},
         5},
        {{"Motorola G24 AT Commands Reference Manual, S94, p. 3-241 (G24): S-registers padded",
          "\r\n000\r\n\r\nOK\r\n"},
         0},
        {{"an unpadded module's rings off", "\r\n0\r\n\r\nOK\r\n"}, 0},
        {{"no OK", "\r\n002\r\n"}, std::nullopt},
        {{"refused", "\r\nERROR\r\n"}, std::nullopt},
    };
    for (const auto& [reply, rings] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::rings(reply.text()), rings);
    }
}

TEST(RepliesCallSettingsTest, TheSimulatedModemsRingsInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        for (int rings : {0, 3}) {
            SCOPED_TRACE(std::string(shape.name) + " " + std::to_string(rings));
            const QString reply =
                simulatedReply(shape.shapes, "ATS0?",
                               [rings](sim::ModemState& s) { s.settings.sRegisters[0] = rings; });
            EXPECT_EQ(replies::rings(reply), rings);
        }
    }
}

// The tone length in tenths of a second, as the modem holds it.
TEST(RepliesCallSettingsTest, TheToneLengthIsANumber) {
    const std::pair<RecordedBytes, std::optional<int>> rows[] = {
        {{"as the console was made for it", "\r\n+VTD: 5\r\n\r\nOK\r\n"}, 5},
        {{"two digits", "\r\n+VTD: 15\r\n\r\nOK\r\n"}, 15},
        {{"no number", "\r\n+VTD: x\r\n\r\nOK\r\n"}, std::nullopt},
        {{"no OK", "\r\n+VTD: 5\r\n"}, std::nullopt},
        {{"refused", "\r\n+CME ERROR: 3\r\n"}, std::nullopt},
    };
    for (const auto& [reply, steps] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::toneLength(reply.text()), steps);
    }
}

TEST(RepliesCallSettingsTest, TheSimulatedModemsToneLengthInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        for (const char* steps : {"1", "15"}) {
            SCOPED_TRACE(std::string(shape.name) + " " + steps);
            const QString reply =
                simulatedReply(shape.shapes, "AT+VTD?",
                               [steps](sim::ModemState& s) { s.settings.params["+VTD"] = steps; });
            EXPECT_EQ(replies::toneLength(reply), std::stoi(steps));
        }
    }
}
