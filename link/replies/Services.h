#pragma once

// Supplementary services: call forwarding, call barring, call waiting and
// closed user groups.

#include <QString>

#include <optional>

namespace replies {

// "AT+CCFC=<reason>,2": the first "+CCFC:" record (a reply may give one line
// per class), "<status>,<class>" with, for an active forwarding,
// ",\"<number>\",<type>" and perhaps more after it: the status its field, the
// class its field's first character (a class of more digits is read by its
// first), the number its third field without the quotes ("" where the record
// ends first). None without "OK" or without the line.
struct Forwarding {
    QString status;
    QString classCode;
    QString number;
};
std::optional<Forwarding> forwarding(const QString& reply);

// "AT+CLCK=<facility>,2": the first "+CLCK: <status>,<class>" line (one per
// class may follow), each field whole; the class is "" where the line gives
// the status alone ("+CLCK: 1"). None without the line.
struct Barring {
    QString status;
    QString classCode;
};
std::optional<Barring> barring(const QString& reply);

// "AT+CCWA=1,2": enabled for voice (a "+CCWA:" line of status 1 for class 1
// itself), disabled for every class ("+CCWA: 0,7"), or refused; none for a
// status of some other class only (data, "1,2" or "1,16").
enum class CallWaiting { Enabled, Disabled, Refused };
std::optional<CallWaiting> callWaiting(const QString& reply);

// "AT+CCUG?": "+CCUG: <mode>,<index>,<info>", each as the reply writes it,
// the info by its first character; a field the reply lacks is "". None
// without the line.
struct ClosedUserGroup {
    QString mode;
    QString index;
    QString info;
};
std::optional<ClosedUserGroup> closedUserGroup(const QString& reply);

} // namespace replies
