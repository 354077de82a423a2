#pragma once

// Packet data: the contexts defined for GPRS.

#include <QString>

#include <optional>
#include <vector>

namespace replies {

// "AT+CGDCONT?": one "+CGDCONT: <cid>,<type>,<apn>,<address>,..." line per
// context, in the reply's order: the identifier as written, the type and the
// access point name without their quotes. None when the reply has no such line.
struct PdpContext {
    QString id;
    QString type;
    QString apn;
};
std::optional<std::vector<PdpContext>> contexts(const QString& reply);

} // namespace replies
