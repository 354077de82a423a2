#include "link/Framing.h"

#include <algorithm>

namespace framing {

namespace {

template <class Entry> const Entry* entryOf(const std::vector<Entry>& table, const QString& code) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Entry& e) { return code == QLatin1String(e.code); });
    return found == table.end() ? nullptr : &*found;
}

template <class Entry> QString textOf(const std::vector<Entry>& table, const QString& code) {
    const Entry* entry = entryOf(table, code);
    return entry ? QString::fromLatin1(entry->text) : QString();
}

constexpr char kNoParity = 'n';

} // namespace

const std::vector<Format>& formats() {
    static const std::vector<Format> table = {
        {"0", "Auto Detect", 0, 0, false},           {"1", "8 Data,2 Stop", 8, 2, false},
        {"2", "8 Data,1 Parity,1 Stop", 8, 1, true}, {"3", "8 Data,1 Stop", 8, 1, false},
        {"4", "7 Data,2 Stop", 7, 2, false},         {"5", "7 Data,1 Parity,1 Stop", 7, 1, true},
        {"6", "7 Data,1 Stop", 7, 1, false},
    };
    return table;
}

const std::vector<Parity>& parities() {
    static const std::vector<Parity> table = {
        {"0", "Parity:Odd", 'o'},   {"1", "Parity:Even", 'e'},       {"2", "Parity:Mark", 'm'},
        {"3", "Parity:Space", 's'}, {"4", "Parity:None", kNoParity},
    };
    return table;
}

QString formatText(const QString& code) {
    return textOf(formats(), code);
}
QString parityText(const QString& code) {
    return textOf(parities(), code);
}

std::optional<Line> lineOf(const QString& formatCode, const QString& parityCode) {
    const Format* format = entryOf(formats(), formatCode);
    const Parity* parity = entryOf(parities(), parityCode);
    if (!format || !parity || format->dataBits == 0) return std::nullopt;
    const char letter = format->parityBit ? parity->letter : kNoParity;
    if (format->parityBit && letter == kNoParity) return std::nullopt;
    return Line{QString(QLatin1Char(letter)), QString::number(format->dataBits),
                QString::number(format->stopBits)};
}

} // namespace framing
