#include "simulator/commands/Charset.h"

#include <QByteArrayList>

#include <algorithm>
#include <cctype>
#include <map>

namespace sim::commands {

namespace {

constexpr char kEscape = 0x1B;

// The basic table of the GSM default alphabet: the character of each septet.
// The Greek capitals, which Latin-1 lacks, are kept by their Unicode values.
const char16_t kBasic[128] = {
    u'@',      u'\u00A3', u'$',      u'\u00A5', u'\u00E8', u'\u00E9', u'\u00F9', u'\u00EC',
    u'\u00F2', u'\u00C7', u'\n',     u'\u00D8', u'\u00F8', u'\r',     u'\u00C5', u'\u00E5',
    u'\u0394', u'_',      u'\u03A6', u'\u0393', u'\u039B', u'\u03A9', u'\u03A0', u'\u03A8',
    u'\u03A3', u'\u0398', u'\u039E', u'\x1B',   u'\u00C6', u'\u00E6', u'\u00DF', u'\u00C9',
    u' ',      u'!',      u'"',      u'#',      u'\u00A4', u'%',      u'&',      u'\'',
    u'(',      u')',      u'*',      u'+',      u',',      u'-',      u'.',      u'/',
    u'0',      u'1',      u'2',      u'3',      u'4',      u'5',      u'6',      u'7',
    u'8',      u'9',      u':',      u';',      u'<',      u'=',      u'>',      u'?',
    u'\u00A1', u'A',      u'B',      u'C',      u'D',      u'E',      u'F',      u'G',
    u'H',      u'I',      u'J',      u'K',      u'L',      u'M',      u'N',      u'O',
    u'P',      u'Q',      u'R',      u'S',      u'T',      u'U',      u'V',      u'W',
    u'X',      u'Y',      u'Z',      u'\u00C4', u'\u00D6', u'\u00D1', u'\u00DC', u'\u00A7',
    u'\u00BF', u'a',      u'b',      u'c',      u'd',      u'e',      u'f',      u'g',
    u'h',      u'i',      u'j',      u'k',      u'l',      u'm',      u'n',      u'o',
    u'p',      u'q',      u'r',      u's',      u't',      u'u',      u'v',      u'w',
    u'x',      u'y',      u'z',      u'\u00E4', u'\u00F6', u'\u00F1', u'\u00FC', u'\u00E0',
};

// The extension table's Latin-1 characters, each written after an escape.
const std::map<char, char> kExtension = {
    {'^', 0x14}, {'{', 0x28}, {'}', 0x29}, {'\\', 0x2F},
    {'[', 0x3C}, {'~', 0x3D}, {']', 0x3E}, {'|', 0x40},
};

const QByteArrayList kCharacterSets = {"GSM", "IRA", "UCS2", "HEX"};

bool isHexText(const QByteArray& text, int unit) {
    return text.size() % unit == 0 &&
           std::all_of(text.begin(), text.end(), [](char c) { return isxdigit(uchar(c)); });
}

QByteArray toUcs2(const QByteArray& latin1) {
    QByteArray hex;
    for (char c : latin1)
        hex += QByteArray::number(uchar(c), 16).rightJustified(4, '0');
    return hex.toUpper();
}

QByteArray fromUcs2(const QByteArray& hex) {
    QByteArray latin1;
    for (int i = 0; i < hex.size(); i += 4) {
        const int code = hex.mid(i, 4).toInt(nullptr, 16);
        latin1 += code < 0x100 ? char(code) : '?';
    }
    return latin1;
}

} // namespace

QByteArray toGsmAlphabet(const QByteArray& latin1) {
    QByteArray septets;
    for (char c : latin1) {
        const char16_t wanted = uchar(c);
        const auto basic = std::find(std::begin(kBasic), std::end(kBasic), wanted);
        const auto extended = kExtension.find(c);
        if (basic != std::end(kBasic) && wanted != u'\x1B')
            septets += char(basic - std::begin(kBasic));
        else if (extended != kExtension.end())
            septets += QByteArray(1, kEscape) + extended->second;
        else
            septets += '?';
    }
    return septets;
}

QByteArray fromGsmAlphabet(const QByteArray& septets) {
    QByteArray latin1;
    for (int i = 0; i < septets.size(); ++i) {
        const uchar septet = uchar(septets[i]) & 0x7F;
        if (septet == kEscape && i + 1 < septets.size()) {
            const char code = septets[++i];
            const auto found = std::find_if(kExtension.begin(), kExtension.end(),
                                            [code](const auto& e) { return e.second == code; });
            latin1 += found == kExtension.end() ? '?' : found->first;
            continue;
        }
        const char16_t c = kBasic[septet];
        latin1 += c < 0x100 ? char(c) : '?';
    }
    return latin1;
}

const QByteArray& characterSetList() {
    static const QByteArray list = [] {
        QByteArrayList quotedSets;
        for (const QByteArray& set : kCharacterSets)
            quotedSets << '"' + set + '"';
        return '(' + quotedSets.join(',') + ')';
    }();
    return list;
}

bool knownCharacterSet(const QByteArray& set) {
    return kCharacterSets.contains(set);
}

bool writesHex(const QByteArray& set) {
    return set == "HEX" || set == "UCS2";
}

QByteArray toCharacterSet(const QByteArray& set, const QByteArray& latin1) {
    if (set == "GSM") return toGsmAlphabet(latin1);
    if (set == "HEX") return toGsmAlphabet(latin1).toHex().toUpper();
    if (set == "UCS2") return toUcs2(latin1);
    return latin1;
}

std::optional<QByteArray> fromCharacterSet(const QByteArray& set, const QByteArray& text) {
    if (set == "GSM") return fromGsmAlphabet(text);
    if (set == "HEX") {
        if (!isHexText(text, 2)) return std::nullopt;
        return fromGsmAlphabet(QByteArray::fromHex(text));
    }
    if (set == "UCS2") {
        if (!isHexText(text, 4)) return std::nullopt;
        return fromUcs2(text);
    }
    return text;
}

} // namespace sim::commands
