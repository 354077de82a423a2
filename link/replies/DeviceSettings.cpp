#include "link/replies/DeviceSettings.h"

#include "link/replies/Reading.h"

namespace replies {

namespace {

// The codes stand this far past the start of "+ICF:", the parity code two
// places after the format code.
std::optional<Framing> framingAt(const QString& text, qsizetype formatAt) {
    const qsizetype at = text.indexOf(QLatin1String("+ICF:"));
    if (at < 0) return std::nullopt;
    return Framing{text.mid(at + formatAt, 1), text.mid(at + formatAt + 2, 1)};
}

} // namespace

ProfileCodes profileCodes(const QString& profile) {
    return {window(profile, QStringLiteral("IFC:"), 4, 1),
            window(profile, QStringLiteral("IFC:"), 6, 1),
            window(profile, QStringLiteral("&C"), 3, 1),
            window(profile, QStringLiteral("&D"), 3, 1)};
}

std::optional<QString> deviceRate(const QString& text) {
    static const char* const kRates[] = {"9600", "115200", "19200", "300",  "57600",
                                         "600",  "1200",   "2400",  "4800", "38400"};
    for (const char* rate : kRates)
        if (text.contains(QLatin1String(rate))) return QString::fromLatin1(rate);
    return std::nullopt;
}

std::optional<Framing> framing(const QString& text) {
    return framingAt(text, 6);
}

std::optional<Framing> profileFraming(const QString& text) {
    return framingAt(text, 5);
}

} // namespace replies
