#include "simulator/commands/Pdu.h"

#include "simulator/SimModem.h"
#include "simulator/commands/Charset.h"

#include <QByteArrayList>

namespace sim::commands {

namespace {

constexpr int kInternational = 0x91;
constexpr int kUnknownType = 0x81;
constexpr int kDeliver = 0x04;            // SMS-DELIVER, no more messages waiting
constexpr int kSubmitWithValidity = 0x11; // SMS-SUBMIT, relative validity period

QByteArray octet(int value) {
    return QByteArray::number(value & 0xFF, 16).rightJustified(2, '0').toUpper();
}

// Digits two to an octet, the first in the low half, an odd one out padded with F.
QByteArray semiOctets(QByteArray digits) {
    if (digits.size() % 2) digits += 'F';
    QByteArray swapped;
    for (int i = 0; i < digits.size(); i += 2)
        swapped += QByteArray(1, digits[i + 1]) + digits[i];
    return swapped;
}

QByteArray digitsOf(const QByteArray& number) {
    return number.startsWith('+') ? number.mid(1) : number;
}

int typeOf(const QByteArray& number) {
    return number.startsWith('+') ? kInternational : kUnknownType;
}

// An originating or destination address: its length in digits first.
QByteArray address(const QByteArray& number) {
    const QByteArray digits = digitsOf(number);
    return octet(int(digits.size())) + octet(typeOf(number)) + semiOctets(digits);
}

// The service centre's address: its length in octets first; "00" when there is none.
QByteArray centreAddress(const QByteArray& number) {
    if (number.isEmpty()) return octet(0);
    const QByteArray digits = digitsOf(number);
    return octet(1 + int(digits.size() + 1) / 2) + octet(typeOf(number)) + semiOctets(digits);
}

// "yy/MM/dd,hh:mm:ss+zz" (zz in quarters of an hour): each field as two
// semi-octets, the sign of the zone in bit 3 of the last octet.
QByteArray timestamp(const QByteArray& text) {
    QByteArray out;
    for (int at : {0, 3, 6, 9, 12, 15})
        out += semiOctets(text.mid(at, 2).rightJustified(2, '0'));
    const int zone = text.mid(18, 2).toInt();
    const int tens = zone / 10 | (text.mid(17, 1) == "-" ? 0x08 : 0);
    return out + QByteArray::number(zone % 10) + QByteArray::number(tens, 16).toUpper();
}

// Data coding 0 (the default alphabet): the length in septets, then the packed septets.
QByteArray userData(const QByteArray& text) {
    const QByteArray septets = toGsmAlphabet(text);
    return octet(int(septets.size())) + packedSeptets(septets).toHex().toUpper();
}

QByteArray deliver(const ShortMessage& m) {
    return octet(kDeliver) + address(m.number) + octet(0) + octet(0) + timestamp(m.timestamp) +
           userData(m.text);
}

QByteArray submit(const ShortMessage& m, int validity) {
    return octet(kSubmitWithValidity) + octet(0) + address(m.number) + octet(0) + octet(0) +
           octet(validity) + userData(m.text);
}

} // namespace

QByteArray packedSeptets(const QByteArray& septets) {
    QByteArray packed;
    int carry = 0, bits = 0;
    for (char c : septets) {
        carry |= (uchar(c) & 0x7F) << bits;
        bits += 7;
        while (bits >= 8) {
            packed += char(carry & 0xFF);
            carry >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) packed += char(carry & 0xFF);
    return packed;
}

Pdu messagePdu(const ShortMessage& message, const QByteArray& serviceCentre, int validity) {
    const QByteArray own =
        message.status.startsWith("REC") ? deliver(message) : submit(message, validity);
    return {centreAddress(serviceCentre) + own, int(own.size() / 2)};
}

} // namespace sim::commands
