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

// "ATDL": the number dialled again, the reply's first line up to the ";" that
// ends it; none when that line is a result code ("ERROR", "NO CARRIER") or
// holds no ";".
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

// "+CREG: <mode>,<stat>[,<lac>,<ci>[,<AcT>]]": the registration state, the
// field after the mode whatever follows it; none for a line of one field.
std::optional<int> registrationStat(const QString& line);

// "AT+CIND?": every value of the "+CIND:" line as the reply writes it, in the
// module's order (callIndicators tells where the call's stand); none without
// the line.
std::optional<QStringList> indicatorValues(const QString& reply);

// Where the values of "+CIND:" tell a call (0-based): "call", and the
// indicator a ringing call sets where the module has one ("callsetup", else
// "sounder"). The console was made for modules that give "call" fifth
// (battchg, signal, service, message, call, roam, smsfull), without the other.
struct CallIndicators {
    int call = 4;
    std::optional<int> setup;
};
// "AT+CIND=?": the positions of the call indicators by their names, as
// "+CIND: ("battchg",(0-5)),("signal",(0-5)),..." lists them (also within one
// more pair of parentheses); none when the reply names no "call".
std::optional<CallIndicators> callIndicators(const QString& reply);
// "AT+CIND?": whether a call is in progress, any of the call indicators at
// those positions not 0; none when the reply has no such values or one is
// no number.
std::optional<bool> callInProgress(const QString& reply, const CallIndicators& at);

} // namespace replies
