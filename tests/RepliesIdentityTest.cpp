// The identity readers on replies recorded from real modules and on the
// simulated modem's own in every shape: bytes in, value out. The texts keep
// the reply's own line breaks, as the console has always kept them.

#include "link/replies/Identity.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

TEST(RepliesIdentityTest, TheSerialNumberIsTheFirstLineOfFifteenCharacters) {
    const std::pair<RecordedBytes, QString> rows[] = {
        {{"a module as the console was made for it", "\r\n123456789012345\r\n\r\nOK\r\n"},
         "123456789012345"},
        {{"aleksander0m/ModemManager src/tests/test-modem-helpers.c @49fcaf85, devids[] "
          "(Option iCON 7.2): the serial after the IMEI",
          "\n129512359199159,SE393939TS\n"},
         "129512359199159"},
        {{"no serial number", "\r\nOK\r\n"}, ""},
    };
    for (const auto& [reply, serial] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::serialNumber(reply.text()), serial);
    }
}

// The manufacturer text runs from past the opening line break to the
// character before the final OK, blanks before it left out.
TEST(RepliesIdentityTest, TheManufacturerTextRunsToTheFinalOk) {
    const std::pair<RecordedBytes, std::optional<QString>> rows[] = {
        {{"gammu/gammu issue #270, hex log (Wavecom MULTIBAND 900E 1800, Fastrack), AT+CGMI",
          "\r\n WAVECOM MODEM\r\n\r\nOK\r\n"},
         "WAVECOM MODEM\r\n\r\n"},
        {{"faucamp/python-gsmmodem issue #19, log text (Wavecom M1306B), ATI",
          "\r\n WAVECOM MODEM  \r\n MULTIBAND  900E  1800 \r\n\r\nOK\r\n"},
         "WAVECOM MODEM  \r\n MULTIBAND  900E  1800 \r\n\r\n"},
        {{"gammu/gammu issue #97 (Siemens MC35i), AT+CGMI", "\r\nSIEMENS\r\n\r\nOK\r\n"},
         "SIEMENS\r\n\r\n"},
        {{"blemasle/arduino-sim808 issue #2, log text (SIMCom SIM808), ATI",
          "\r\nSIM808 R14.18\r\n\r\nOK\r\n"},
         "SIM808 R14.18\r\n\r\n"},
        {{"nothing before the OK", "\r\nOK\r\n"}, ""},
        {{"refused", "\r\nERROR\r\n"}, std::nullopt},
    };
    for (const auto& [reply, text] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::manufacturer(reply.text()), text);
    }
}

// The model text ends two characters short of the final OK, its blanks kept.
TEST(RepliesIdentityTest, TheModelTextKeepsItsBlanks) {
    const std::pair<RecordedBytes, std::optional<QString>> rows[] = {
        {{"gammu/gammu tests/at-model/01.dump @ef7dbd9f (Wavecom MULTIBAND 900E 1800), AT+CGMM",
          "\r\n MULTIBAND  900E  1800 \r\n\r\nOK\r\n"},
         " MULTIBAND  900E  1800 \r\n\r"},
        {{"gammu/gammu issue #97, hex log (Siemens MC35i), AT+CGMR",
          "\r\nREVISION 02.00\r\n\r\nOK\r\n"},
         "REVISION 02.00\r\n\r"},
        {{"gammu/wammu issue #27, hex log (Option GTM 382), AT+CGMR",
          "\r\n2.9.5.0Hd (Date: Jun 25 2009, Time: 16:52:40)\r\n\r\nOK\r\n"},
         "2.9.5.0Hd (Date: Jun 25 2009, Time: 16:52:40)\r\n\r"},
        {{"gammu/gammu tests/at-model/02.dump (Nokia 5210), AT+CGMM",
          "\r\nNokia 5210\r\n\r\nOK\r\n"},
         "Nokia 5210\r\n\r"},
    };
    for (const auto& [reply, text] : rows) {
        SCOPED_TRACE(reply.source);
        EXPECT_EQ(replies::model(reply.text()), text);
    }
}

TEST(RepliesIdentityTest, TheSimulatedModemsIdentityInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        SCOPED_TRACE(shape.name);
        EXPECT_EQ(replies::serialNumber(simulatedReply(shape.shapes, "AT+CGSN")),
                  "123456789012345");
        EXPECT_EQ(replies::manufacturer(simulatedReply(shape.shapes, "ATI0")),
                  "GSM SIMULATOR MODEM \r\n MULTIBAND  900E  1800 \r\n\r\n");
        EXPECT_EQ(replies::model(simulatedReply(shape.shapes, "ATI3")),
                  "SIM100 1.0.0 010124 12:00\r\n\r");
    }
}
