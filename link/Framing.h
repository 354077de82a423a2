#pragma once

#include <QString>

#include <vector>

class QRadioButton;
namespace Ui {
class Form15;
}

// The two codes of a character framing reply ("+ICF: <format>,<parity>"),
// their texts, and the option of the modem settings window that stands for
// each. Codes are compared as one-character texts.
namespace framing {

struct Code {
    const char* code;
    const char* text;
    QRadioButton* Ui::Form15::*option;
};

// Every entry, in the order of the codes.
const std::vector<Code>& formats();
const std::vector<Code>& parities();

// The entry of a format code ("0" to "6") or a parity code ("0" to "4");
// nullptr for any other text.
const Code* format(const QString& code);
const Code* parity(const QString& code);

// The texts of the codes, "" for a code outside the tables.
QString formatText(const QString& code);
QString parityText(const QString& code);

// Selects the modem settings window's options for both codes, as a click
// would; an unknown code selects nothing in its group.
void selectOptions(const QString& formatCode, const QString& parityCode);

} // namespace framing
