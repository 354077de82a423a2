#pragma once

// Calls and the network they go over: the caller's number, signal quality,
// registration and the call indicator.

#include <QString>

#include <optional>

namespace replies {

// A line that gives a quoted number and its type ("+CLIP: "0123",129",
// "+CCWA: "0123",129,1"): the number between the quotes of its first field.
// None when the first field is not quoted or no field follows it.
std::optional<QString> quotedNumber(const QString& line);

// "+CSQ: <rssi>,<ber>": both as the reply writes them, rssi also as a number.
struct SignalQuality {
    int rssi;
    QString rssiText;
    QString berText;
};
std::optional<SignalQuality> signalQuality(const QString& line);

// "+CREG: <mode>,<stat>": the registration state.
std::optional<int> registrationStat(const QString& line);

// "+CIND: <battchg>,<signal>,<service>,<message>,<call>,...": the call
// indicator, the fifth value; none when the reply has fewer or it is no number.
std::optional<int> callIndicator(const QString& reply);

} // namespace replies
