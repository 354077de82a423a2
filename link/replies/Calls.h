#pragma once

// Calls and the network they go over: the dial's outcome, the number dialled
// again, the caller's number, signal quality, registration and the call
// indicator.

#include <QString>
#include <QStringList>

#include <optional>

namespace replies {

// How a dial stands, as the result codes after its echo tell it.
enum class DialOutcome { Connected, NoAnswer, NoCarrier, Busy, Refused };
// The first of "OK", "NO ANSWER", "NO CARRIER", "BUSY" (in this order) that
// stands as a line of the reply outside user data, and after them, where
// `refusalCounts`, a refusal ("ERROR" or an extended error); none while none
// has come. A call-end code that stands after the "OK" wins over it, in the
// same order: most modules answer a voice dial "OK" at once and say later
// how the call ended.
std::optional<DialOutcome> dialOutcome(const QString& reply, bool refusalCounts);

// "ATDL": the number dialled again, from past the line break that opens the
// reply up to the ";" that ends it; none when no ";" follows there.
std::optional<QString> redialNumber(const QString& reply);

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

// "+CIND: <battchg>,<signal>,<service>,<message>,<call>,...": every value as
// the reply writes it; none without the line.
std::optional<QStringList> indicatorValues(const QString& reply);

// "+CIND: <battchg>,<signal>,<service>,<message>,<call>,...": the call
// indicator, the fifth value; none when the reply has fewer or it is no number.
std::optional<int> callIndicator(const QString& reply);

} // namespace replies
