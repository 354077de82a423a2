#include "platform/TypedText.h"

#include "platform/Text.h"

#include <algorithm>
#include <cmath>

namespace typed {

namespace {

const QString kNumberCharacters = QStringLiteral("0123456789+*#ABCDabcd");
const QString kDialModifiers = QStringLiteral(",TtPpWw!@ ");

bool allIn(const QString& text, const QString& allowed) {
    return std::all_of(text.begin(), text.end(),
                       [&allowed](QChar c) { return allowed.contains(c); });
}

} // namespace

bool isDigits(const QString& text) {
    return allIn(text, QStringLiteral("0123456789"));
}

bool isWholeNumber(const QString& text) {
    return !text.isEmpty() && isDigits(text);
}

bool isDialString(const QString& text) {
    return allIn(text, kNumberCharacters + kDialModifiers);
}

bool isNumber(const QString& text, Blanks blanks) {
    return allIn(text, blanks == Blanks::Allowed ? kNumberCharacters + QLatin1Char(' ')
                                                 : kNumberCharacters);
}

bool isQuotable(const QString& text) {
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('"') || c.category() == QChar::Other_Control;
    });
}

bool isMessageText(const QString& text) {
    return !text.contains(QChar(26)) && !text.contains(QChar(27));
}

bool isLineText(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

int integer16(const QString& text) {
    const double value = text::number(text);
    if (value > 32767) throw text::CutError("not a 16-bit number");
    return static_cast<int>(value);
}

} // namespace typed
