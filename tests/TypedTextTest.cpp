// What a user may type into the fields that go into AT commands, and the
// 16-bit numbers of the count boxes.

#include "platform/TypedText.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

TEST(TypedTextTest, FieldsTakeWhatTheirCommandAllows) {
    struct Case {
        QString text;
        bool dial, number, numberWithBlanks, quotable, message, digits, wholeNumber;
    };
    const Case cases[] = {
        {"", true, true, true, true, true, true, false},
        {"0123456789", true, true, true, true, true, true, true},
        {"+44*31#ABCD", true, true, true, true, true, false, false},
        {"0123,4p5W6T!@", true, false, false, true, true, false, false},
        {" 0123 ", true, false, true, true, true, false, false},
        {"3;+CPBW=1", false, false, false, true, true, false, false},
        {"12\"3", false, false, false, false, true, false, false},
        {"0123OK", false, false, false, true, true, false, false},
        {QString("AL") + QChar(13) + "ICE", false, false, false, false, true, false, false},
        {QString("hi") + QChar(26) + "AT", false, false, false, false, false, false, false},
        {QString("hi") + QChar(27), false, false, false, false, false, false, false},
        {"O'BRIEN, J.", false, false, false, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(typed::isDialString(c.text), c.dial);
        EXPECT_EQ(typed::isNumber(c.text, typed::Blanks::Refused), c.number);
        EXPECT_EQ(typed::isNumber(c.text, typed::Blanks::Allowed), c.numberWithBlanks);
        EXPECT_EQ(typed::isQuotable(c.text), c.quotable);
        EXPECT_EQ(typed::isMessageText(c.text), c.message);
        EXPECT_EQ(typed::isDigits(c.text), c.digits);
        EXPECT_EQ(typed::isWholeNumber(c.text), c.wholeNumber);
    }
}

TEST(TypedTextTest, CountsAreSixteenBitWholeNumbers) {
    EXPECT_EQ(typed::integer16("250"), 250);
    EXPECT_EQ(typed::integer16(" 7 "), 7);
    EXPECT_EQ(typed::integer16("32767"), 32767);
    // Plain decimal digits only, as every number the console reads.
    for (const char* refused : {"32768", "", "x", "nan", "inf", "1e9", "2.5", "-1"})
        EXPECT_THROW(typed::integer16(refused), text::CutError) << refused;
}

TEST(TypedTextTest, LineTextIsWhatOneByteACharacterCarries) {
    struct Case {
        QString text;
        bool carried;
    };
    const Case cases[] = {
        {"", true},
        {"AT+CPBW=1,\"0123\",129,\"ALICE\"", true},
        {QString::fromUtf8("Zo\u00eb \u00a3\u00ff"),
         true}, // the top of Latin-1 still goes out as one byte
        {QString("a") + QChar(13) + QChar(26), true}, // control characters: the other checks'
        {QString("a") + QChar(0x100), false},         // the first character beyond
        {QString::fromUtf8("5 \u20ac"), false},       // the euro sign
        {QString::fromUtf8("\u0141ukasz"), false},
        {QString::fromUtf8("hi \U0001F600"), false}, // a surrogate pair
    };
    for (const Case& c : cases)
        EXPECT_EQ(typed::isLineText(c.text), c.carried) << c.text.toStdString();
}
