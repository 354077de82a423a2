#include "link/Framing.h"

#include <algorithm>
#include <iterator>

namespace framing {

namespace {

struct Format {
    const char* code;
    const char* text;
    int dataBits; // 0: the device detects the framing
    int stopBits;
    bool parityBit; // the parity code says which
};

struct Parity {
    const char* code;
    const char* text;
    char letter; // as the serial control's settings write it
};

constexpr char kNoParity = 'n';

// Every entry, in the order of the codes.
constexpr Format kFormats[] = {
    {"0", "Auto Detect", 0, 0, false},           {"1", "8 Data,2 Stop", 8, 2, false},
    {"2", "8 Data,1 Parity,1 Stop", 8, 1, true}, {"3", "8 Data,1 Stop", 8, 1, false},
    {"4", "7 Data,2 Stop", 7, 2, false},         {"5", "7 Data,1 Parity,1 Stop", 7, 1, true},
    {"6", "7 Data,1 Stop", 7, 1, false},
};
constexpr Parity kParities[] = {
    {"0", "Parity:Odd", 'o'},   {"1", "Parity:Even", 'e'},       {"2", "Parity:Mark", 'm'},
    {"3", "Parity:Space", 's'}, {"4", "Parity:None", kNoParity},
};

template <class Entry, size_t N>
const Entry* entryOf(const Entry (&table)[N], const QString& code) {
    const auto found = std::find_if(std::begin(table), std::end(table),
                                    [&](const Entry& e) { return code == QLatin1String(e.code); });
    return found == std::end(table) ? nullptr : found;
}

template <class Entry, size_t N> QString textOf(const Entry (&table)[N], const QString& code) {
    const Entry* entry = entryOf(table, code);
    return entry ? QString::fromLatin1(entry->text) : QString();
}

} // namespace

QString formatText(const QString& code) {
    return textOf(kFormats, code);
}
QString parityText(const QString& code) {
    return textOf(kParities, code);
}

QString summary(const QString& formatCode, const QString& parityCode) {
    return QStringLiteral("Character Framing:") + formatText(formatCode) + QLatin1Char(' ') +
           parityText(parityCode);
}

std::optional<Line> lineOf(const QString& formatCode, const QString& parityCode) {
    const Format* format = entryOf(kFormats, formatCode);
    const Parity* parity = entryOf(kParities, parityCode);
    if (!format || !parity || format->dataBits == 0) return std::nullopt;
    const char letter = format->parityBit ? parity->letter : kNoParity;
    if (format->parityBit && letter == kNoParity) return std::nullopt;
    return Line{QString(QLatin1Char(letter)), QString::number(format->dataBits),
                QString::number(format->stopBits)};
}

} // namespace framing
