// The phonebook readers on replies recorded from real modules and on the
// simulated modem's own in every shape: bytes in, value out.

#include "link/replies/Phonebook.h"
#include "tests/ModuleShapes.h"
#include "tests/RepliesTable.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// An entry as the download stores it: "number|name"; "none" when it is skipped.
QString entryOf(const QString& reply) {
    const replies::PlaceRead read = replies::placeRead(reply);
    if (read.slot != replies::Slot::Entry) return "no entry";
    const std::optional<replies::Entry> entry = replies::phonebookEntry(read.entry);
    return entry ? entry->number + '|' + entry->name : "none";
}

struct EntryRow {
    RecordedBytes reply; // to "AT+CPBR=<index>"
    QString entry;
};

} // namespace

TEST(RepliesPhonebookTest, AnEntryIsItsNumberAndTheNameAfterItsType) {
    const EntryRow rows[] = {
        // the shape the console was made for
        {{"a Wavecom module as the console was made for it (JOHN, ten digits, 129)",
          "\r\n+CPBR: 1,\"0123456789\",129,\"JOHN\"\r\n\r\nOK\r\n"},
         "0123456789|JOHN"},
        {{"Multi-Tech S000293I (Wavecom-based MultiModem GPRS), +CPBR, p. 47",
          "\r\n+CPBR:10,\"0146290921\",129,\"Rob\"\r\n\r\nOK\r\n"},
         "0146290921|Rob"},
        {{"gammu/gammu tests/at-getmemory/samsung-p900.dump @438090f8 (Samsung P900)",
          "\r\n+CPBR: 81,\"#121#\",129,\"My Tempo\",0\r\n\r\nOK\r\n"},
         "#121#|My Tempo"},
        // an empty number skips the entry
        {{"gammu/gammu tests/at-getmemory/nokia-2730.dump @3a753c02 (Nokia 2730)",
          "\r\n+CPBR: 16,\"\",,\"005300740065007600650020002000560069006E0073006F006E\",,,,,,,"
          "\r\n\r\nOK\r\n"},
         "none"},
        {{"gammu/gammu tests/at-getmemory/ucs2.dump @95cd224d (phone not named, UCS2)",
          "\r\n+CPBR: 6,\"\",,\"005300740061006E006C006500790020005000610075006C\"\r\n\r\nOK\r\n"},
         "none"},
    };
    for (const EntryRow& row : rows) {
        SCOPED_TRACE(row.reply.source);
        EXPECT_EQ(entryOf(row.reply.text()), row.entry);
    }
}

// Phones put more after the name than 27.007's hidden flag: quoted dates and
// times, a date that holds a comma; the name is still the text field after
// the type, up to its own closing quote.
TEST(RepliesPhonebookTest, FieldsAfterTheNameAreNotPartOfIt) {
    const EntryRow rows[] = {
        {{"gammu/gammu tests/at-getmemory/with-date-time.dump @95cd224d (phone not named)",
          "\r\n+CPBR: 1,\"+60122256476\",145,\"\",\"08/07/04\",\"17:24:55\"\r\n\r\nOK\r\n"},
         "+60122256476|"},
        {{"gammu/gammu tests/at-getmemory/with-time.dump @95cd224d (phone not named)",
          "\r\n+CPBR: 1,,\"+31234657899\",145,\"Mama GSM\",\"2007/11/02,09:27\"\r\n\r\nOK\r\n"},
         "+31234657899|Mama GSM"},
    };
    for (const EntryRow& row : rows) {
        SCOPED_TRACE(row.reply.source);
        EXPECT_EQ(entryOf(row.reply.text()), row.entry);
    }
}

// Where the character set gives hex, modules write the name without quotes:
// it is kept as the module sent it.
TEST(RepliesPhonebookTest, AnUnquotedNameIsKeptAsSent) {
    const EntryRow rows[] = {
        {{"gammu/gammu tests/at-getmemory/ucs2-motorola.dump @95cd224d (Motorola phone)",
          "\r\n+CPBR: 419,\"030450566735\",129,"
          "56697263686F77204B6C696E696B756D2053742E20333100\r\n\r\nOK\r\n"},
         "030450566735|56697263686F77204B6C696E696B756D2053742E20333100"},
        {{"gammu forum log \"Wammu error 27 with Motorola L6\" (Motorola L6, UCS2, storage ON)",
          "\r\n+CPBR: 1,\"5926268784\",129,0052002E002000530065006F006A0061007400740061006E"
          "\r\n\r\nOK\r\n"},
         "5926268784|0052002E002000530065006F006A0061007400740061006E"},
        {{"gammu/gammu tests/at-parser.c @17dd597f (Motorola phone, UCS2; line only)",
          "\r\n+CPBR: 212,\"mlaubner@web.de\",128,"
          "004D0061006E00660072006500640020004C006100750062006E00650072\r\n\r\nOK\r\n"},
         "mlaubner@web.de|004D0061006E00660072006500640020004C006100750062006E00650072"},
    };
    for (const EntryRow& row : rows) {
        SCOPED_TRACE(row.reply.source);
        EXPECT_EQ(entryOf(row.reply.text()), row.entry);
    }
}

// The simulated modem's entry, whatever its shape writes after the name.
TEST(RepliesPhonebookTest, TheSimulatedModemsEntryInEveryShape) {
    for (const ModuleShape& shape : moduleShapes()) {
        SCOPED_TRACE(shape.name);
        const QString reply = simulatedReply(shape.shapes, "AT+CPBR=2", [](sim::ModemState& s) {
            s.phonebooks["SM"].entries[2] = {"+441632960961", 145, "OFFICE"};
        });
        EXPECT_EQ(entryOf(reply), "+441632960961|OFFICE");
    }
}
