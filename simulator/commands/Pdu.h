#pragma once

// Stored messages as the PDUs of 3GPP TS 23.040 that 27.005's PDU mode
// ("AT+CMGF=0") reads out in hex.

#include <QByteArray>

namespace sim {
struct ShortMessage;
}

namespace sim::commands {

struct Pdu {
    QByteArray hex; // the service centre's address, then the message's own PDU
    int length = 0; // octets after the service centre's address, as +CMGR and +CMGL give it
};

// A received message as an SMS-DELIVER, one stored to send as an SMS-SUBMIT
// with the validity period `validity` (+CSMP <vp>), the text in the GSM
// default alphabet.
Pdu messagePdu(const ShortMessage& message, const QByteArray& serviceCentre, int validity);

// Septets packed eight into seven octets, as a PDU's user data carries them.
QByteArray packedSeptets(const QByteArray& septets);

} // namespace sim::commands
