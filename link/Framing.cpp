#include "link/Framing.h"

#include <algorithm>

namespace framing {

namespace {

QString textOf(const std::vector<Code>& table, const QString& code) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Code& c) { return code == QLatin1String(c.code); });
    return found == table.end() ? QString() : QString::fromLatin1(found->text);
}

} // namespace

const std::vector<Code>& formats() {
    static const std::vector<Code> table = {
        {"0", "Auto Detect"},   {"1", "8 Data,2 Stop"}, {"2", "8 Data,1 Parity,1 Stop"},
        {"3", "8 Data,1 Stop"}, {"4", "7 Data,2 Stop"}, {"5", "7 Data,1 Parity,1 Stop"},
        {"6", "7 Data,1 Stop"},
    };
    return table;
}

const std::vector<Code>& parities() {
    static const std::vector<Code> table = {
        {"0", "Parity:Odd"},   {"1", "Parity:Even"}, {"2", "Parity:Mark"},
        {"3", "Parity:Space"}, {"4", "Parity:None"},
    };
    return table;
}

QString formatText(const QString& code) {
    return textOf(formats(), code);
}
QString parityText(const QString& code) {
    return textOf(parities(), code);
}

} // namespace framing
