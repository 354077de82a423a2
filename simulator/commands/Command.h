#pragma once

// Inside the simulated module: what a command handler takes and gives back,
// and the small helpers every family of commands shares.

#include "simulator/SimModem.h"
#include "simulator/commands/Table.h"

#include <QByteArrayList>

#include <map>
#include <vector>

namespace sim::commands {

enum class Kind { Exec, Read, Test, Set };

// One command of a line: NAME, NAME?, NAME=? or NAME=args (basic commands take
// their argument directly: E0, S0?, &C1, D0123;).
struct Request {
    Kind kind = Kind::Exec;
    QByteArray name;
    QByteArray args;
    int reg = -1; // S-register number
};

enum class Result {
    Ok,
    Connect,
    Ring,
    NoCarrier,
    Error,
    Busy,
    NoAnswer,
    CmeError,
    CmsError,
    Prompt,
    None
};

// Output that follows the reply after a while, e.g. the outcome of a dial.
struct Later {
    QByteArray line;
    Result result = Result::None;
    double delay = 0;
};

struct Reply {
    QByteArrayList lines; // information text
    Result result = Result::Ok;
    int code = 0; // +CME / +CMS error number
    std::vector<Later> later;
};

Reply ok(QByteArrayList lines = {});
Reply outcome(Result result, int code = 0);
Reply error();
Reply cme(int code);
Reply cms(int code);

QByteArray number(int value);
QByteArray quoted(const QByteArray& text);
QByteArray unquote(const QByteArray& text);
int addressType(const QByteArray& number); // 145 for international numbers, else 129
bool isDigit(char c);
// A character of a number the network takes: a digit, "+", "*" or "#".
bool isDialCharacter(char c);

// Splits at the commas that stand outside quotes and brackets; blanks around a
// field are dropped, quotes are kept.
QByteArrayList splitFields(const QByteArray& text);
// The same with the quotes taken off.
QByteArrayList fields(const QByteArray& args);
bool toInt(const QByteArray& text, int& value);
// The field's value, or fallback when it is absent or empty.
bool intField(const QByteArrayList& values, int index, int& value, int fallback);
bool inRange(int value, int low, int high);

int simError(SimStatus status); // the +CME error of a SIM that is not ready
bool registered(const Network& n);
// The first free place, from 1, of a store of `capacity` places kept by
// index (messages, a phonebook); 0 when it is full.
template <typename Entry> int firstFree(const std::map<int, Entry>& store, int capacity) {
    for (int i = 1; i <= capacity; ++i)
        if (!store.count(i)) return i;
    return 0;
}
// +CPWD for a facility with a plain password: the old one must match.
Reply replacePassword(QByteArray& password, const QByteArray& old, const QByteArray& fresh);

// A setting of Settings shown by NAME?, set by NAME=v within 0 to Max.
template <int Settings::*Field, int Max> Reply extendedValue(SimModem& m, const Request& r) {
    const QByteArray prefix = r.name + ": ";
    int value = 0;
    switch (r.kind) {
    case Kind::Read:
        return ok({prefix + number(m.state().settings.*Field)});
    case Kind::Test:
        return ok({prefix + "(0-" + number(Max) + ")"});
    case Kind::Set:
        if (!intField(fields(r.args), 0, value, 0) || !inRange(value, 0, Max)) return error();
        m.state().settings.*Field = value;
        return ok();
    case Kind::Exec:
        break;
    }
    return error();
}

// What +CLCK asks of one facility; <mode> 0 unlocks, 1 locks, 2 queries.
struct LockRequest {
    QByteArray facility;
    int mode = 0;
    QByteArray password;
    int classes = 7;
};

// Runs one command line; body is the line after its "AT" prefix.
Reply execute(SimModem& m, const QByteArray& body);

// What the module itself takes from the families.
QByteArray registrationText(const ModemState& s, bool withMode); // "+CREG: ..."
Reply completeText(SimModem& m, const TextEntry& entry);         // the message typed after "> "
// The line of a +ICF <format>,<parity> pair (its rate is left at 0).
LineFormat framingOf(const QByteArray& format, const QByteArray& parity);
QByteArray timestampNow();

} // namespace sim::commands
