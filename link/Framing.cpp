#include "link/Framing.h"

#include "config/Form15.h"
#include "platform/Forms.h"
#include "platform/Widgets.h"

#include <algorithm>

namespace framing {

namespace {

const Code* lookUp(const std::vector<Code>& table, const QString& code) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Code& c) { return code == QLatin1String(c.code); });
    return found == table.end() ? nullptr : &*found;
}

QString textOf(const Code* entry) {
    return entry ? QString::fromLatin1(entry->text) : QString();
}

void select(const Code* entry) {
    if (entry) selectOption(form<Form15>().ui.*entry->option);
}

} // namespace

const std::vector<Code>& formats() {
    static const std::vector<Code> table = {
        {"0", "Auto Detect", &Ui::Form15::Option1},
        {"1", "8 Data,2 Stop", &Ui::Form15::Option2},
        {"2", "8 Data,1 Parity,1 Stop", &Ui::Form15::Option3},
        {"3", "8 Data,1 Stop", &Ui::Form15::Option4},
        {"4", "7 Data,2 Stop", &Ui::Form15::Option5},
        {"5", "7 Data,1 Parity,1 Stop", &Ui::Form15::Option6},
        {"6", "7 Data,1 Stop", &Ui::Form15::Option7},
    };
    return table;
}

const std::vector<Code>& parities() {
    static const std::vector<Code> table = {
        {"0", "Parity:Odd", &Ui::Form15::Option8},   {"1", "Parity:Even", &Ui::Form15::Option9},
        {"2", "Parity:Mark", &Ui::Form15::Option10}, {"3", "Parity:Space", &Ui::Form15::Option11},
        {"4", "Parity:None", &Ui::Form15::Option12},
    };
    return table;
}

const Code* format(const QString& code) {
    return lookUp(formats(), code);
}
const Code* parity(const QString& code) {
    return lookUp(parities(), code);
}

QString formatText(const QString& code) {
    return textOf(format(code));
}
QString parityText(const QString& code) {
    return textOf(parity(code));
}

void selectOptions(const QString& formatCode, const QString& parityCode) {
    select(format(formatCode));
    select(parity(parityCode));
}

} // namespace framing
