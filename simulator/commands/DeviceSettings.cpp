// The serial line between the console and the module: rate, framing, flow
// control and the use of DCD, DTR and DSR. The module answers a command that
// changes the rate or the framing on the old line, then runs on the new one.

#include "simulator/commands/Command.h"

namespace sim::commands {

namespace {

// +ICF <format>: data bits, stop bits and whether a parity bit is sent.
struct Format {
    int dataBits;
    int stopBits;
    bool parityBit;
};
const std::map<QByteArray, Format> kFormats = {
    {"0", {0, 0, false}}, // detected from what arrives
    {"1", {8, 2, false}}, {"2", {8, 1, true}}, {"3", {8, 1, false}},
    {"4", {7, 2, false}}, {"5", {7, 1, true}}, {"6", {7, 1, false}},
};
// +ICF <parity>; 4 is the vendor's "none".
const std::map<QByteArray, char> kParities = {
    {"0", 'O'}, {"1", 'E'}, {"2", 'M'}, {"3", 'S'}, {"4", 'N'},
};

// A format with a parity bit needs a parity to send.
bool framingAccepted(const QByteArray& value) {
    const QByteArrayList f = splitFields(value);
    const auto format = kFormats.find(f.value(0));
    const auto parity = kParities.find(f.value(1));
    return format != kFormats.end() && parity != kParities.end() &&
           !(format->second.parityBit && parity->second == 'N');
}

} // namespace

LineFormat framingOf(const QByteArray& format, const QByteArray& parity) {
    LineFormat line;
    line.rate = 0;
    const auto f = kFormats.find(format);
    if (f == kFormats.end()) return line;
    const auto p = kParities.find(parity);
    line.dataBits = f->second.dataBits;
    line.stopBits = f->second.stopBits;
    line.parity = f->second.parityBit && p != kParities.end() ? p->second : 'N';
    return line;
}

void addDeviceSettings(CommandTable& table) {
    table.addParameters({
        {"+IPR", "9600", "(0,300,600,1200,2400,4800,9600,19200,38400,57600,115200)"},
        {"+ICF", "3,4", "(0-6),(0-4)", false, framingAccepted},
        {"+IFC", "2,2", "(0-3),(0-2)"},
        {"&C", "1", "(0-1)"},
        {"&D", "2", "(0-2)"},
        {"&S", "1", "(0-1)"},
    });
}

} // namespace sim::commands
