#pragma once

#include <QString>

#include <vector>

// The two codes of a character framing reply ("+ICF: <format>,<parity>") and
// their texts. Codes are compared as one-character texts.
namespace framing {

struct Code {
    const char* code;
    const char* text;
};

// Every entry, in the order of the codes.
const std::vector<Code>& formats();
const std::vector<Code>& parities();

// The texts of the codes, "" for a code outside the tables.
QString formatText(const QString& code);
QString parityText(const QString& code);

} // namespace framing
