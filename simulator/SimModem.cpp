#include "simulator/SimModem.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QHash>

#include <algorithm>

namespace sim {

namespace {

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

Reply ok(QByteArrayList lines = {}) {
    Reply r;
    r.lines = std::move(lines);
    return r;
}

Reply outcome(Result result, int code = 0) {
    Reply r;
    r.result = result;
    r.code = code;
    return r;
}

Reply error() {
    return outcome(Result::Error);
}
Reply cme(int code) {
    return outcome(Result::CmeError, code);
}
Reply cms(int code) {
    return outcome(Result::CmsError, code);
}

struct ResultCode {
    Result result;
    const char* word;
    int number;
};

const ResultCode kResultCodes[] = {
    {Result::Ok, "OK", 0},
    {Result::Connect, "CONNECT", 1},
    {Result::Ring, "RING", 2},
    {Result::NoCarrier, "NO CARRIER", 3},
    {Result::Error, "ERROR", 4},
    {Result::Busy, "BUSY", 7},
    {Result::NoAnswer, "NO ANSWER", 8},
};

const std::map<int, const char*> kErrorTexts = {
    {3, "operation not allowed"},
    {4, "operation not supported"},
    {10, "SIM not inserted"},
    {11, "SIM PIN required"},
    {12, "SIM PUK required"},
    {13, "SIM failure"},
    {16, "incorrect password"},
    {20, "memory full"},
    {21, "invalid index"},
    {22, "not found"},
    {24, "text string too long"},
    {26, "dial string too long"},
    {30, "no network service"},
    {302, "operation not allowed"},
    {303, "operation not supported"},
    {304, "invalid text mode parameter"},
    {310, "SIM not inserted"},
    {311, "SIM PIN required"},
    {313, "SIM failure"},
    {316, "SIM PUK required"},
    {321, "invalid memory index"},
    {322, "memory full"},
    {331, "no network service"},
};

QByteArray number(int value) {
    return QByteArray::number(value);
}
QByteArray quoted(const QByteArray& text) {
    return '"' + text + '"';
}
QByteArray threeDigits(int value) {
    return number(value).rightJustified(3, '0');
}
int addressType(const QByteArray& number) {
    return number.startsWith('+') ? 145 : 129;
}

QByteArray unquote(const QByteArray& text) {
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// Splits at the commas that stand outside quotes and brackets; blanks around a
// field are dropped, quotes are kept.
QByteArrayList splitFields(const QByteArray& text) {
    QByteArrayList fields;
    QByteArray field;
    bool quoted = false;
    int depth = 0;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '(')
            ++depth;
        else if (!quoted && c == ')')
            --depth;
        if (c == ',' && !quoted && depth == 0) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

QByteArrayList fields(const QByteArray& args) {
    QByteArrayList values = splitFields(args);
    for (QByteArray& value : values)
        value = unquote(value);
    return values;
}

bool toInt(const QByteArray& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

// The field's value, or fallback when it is absent or empty.
bool intField(const QByteArrayList& values, int index, int& value, int fallback) {
    if (index >= values.size() || values[index].isEmpty()) {
        value = fallback;
        return true;
    }
    return toInt(values[index], value);
}

bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// Whether a value fits a list from a test reply such as "(0-3,5)". Lists that
// hold anything but numbers (strings, hex ranges) are not checked.
bool fieldAllowed(const QByteArray& list, const QByteArray& value) {
    if (value.isEmpty()) return true;
    QByteArray inner = list;
    inner.replace('(', "").replace(')', "");
    if (!std::all_of(inner.begin(), inner.end(),
                     [](char c) { return (c >= '0' && c <= '9') || c == '-' || c == ','; }))
        return true;
    int v = 0;
    if (!toInt(value, v)) return false;
    for (const QByteArray& range : inner.split(',')) {
        const int dash = range.indexOf('-');
        const int low = range.left(dash < 0 ? range.size() : dash).toInt();
        const int high = dash < 0 ? low : range.mid(dash + 1).toInt();
        if (inRange(v, low, high)) return true;
    }
    return false;
}

bool valuesAllowed(const QByteArray& ranges, const QByteArrayList& values) {
    const QByteArrayList lists = splitFields(ranges);
    if (values.size() > lists.size()) return false;
    for (int i = 0; i < values.size(); ++i)
        if (!fieldAllowed(lists[i], values[i])) return false;
    return true;
}

int prefixPosition(const QByteArray& text) {
    for (int i = 0; i + 1 < text.size(); ++i)
        if ((text[i] == 'A' && text[i + 1] == 'T') || (text[i] == 'a' && text[i + 1] == 't'))
            return i;
    return -1;
}

bool isNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           QByteArray("!%-./:_").contains(c);
}

void parseSuffix(Request& r, const QByteArray& rest) {
    if (rest == "?") {
        r.kind = Kind::Read;
    } else if (rest == "=?") {
        r.kind = Kind::Test;
    } else if (rest.startsWith('=')) {
        r.kind = Kind::Set;
        r.args = rest.mid(1);
    } else {
        r.args = rest;
    }
}

// body: the line after its "AT" prefix.
Request parseRequest(QByteArray body) {
    Request r;
    while (body.startsWith(' '))
        body.remove(0, 1);
    if (body.isEmpty()) return r;
    const char first = body[0];
    int end = 1;
    if (first == '+' || first == '*' || first == '$') {
        while (end < body.size() && isNameChar(body[end]))
            ++end;
    } else if (first == '&' || first == '%' || first == '\\') {
        end = std::min<int>(2, body.size());
    }
    r.name = body.left(end).toUpper();
    QByteArray rest = body.mid(end);
    if (r.name == "D") {
        r.args = rest;
        return r;
    }
    if (r.name == "S") {
        int digits = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
            ++digits;
        r.reg = digits ? rest.left(digits).toInt() : -1;
        rest = rest.mid(digits);
    }
    parseSuffix(r, rest);
    return r;
}

// A parameter that the module only stores: NAME? shows it, NAME=v sets it
// (checked against the lists of NAME=?), basic ones are set as NAMEv.
struct Parameter {
    const char* name;
    const char* value; // factory value
    const char* ranges;
    bool replace = false; // a set replaces every field; otherwise omitted fields keep their values
};

const Parameter kParameters[] = {
    {"&C", "1", "(0-1)"},
    {"&D", "2", "(0-2)"},
    {"&S", "1", "(0-1)"},
    {"%C", "0", "(0,2)"},
    {"\\N", "0", "(0,2,4,5)"},
    {"X", "4", "(0-4)"},
    {"+IPR", "9600", "(0,300,600,1200,2400,4800,9600,19200,38400,57600,115200)"},
    {"+ICF", "3,4", "(0-6),(0-4)"},
    {"+IFC", "2,2", "(0-3),(0-2)"},
    {"+CR", "0", "(0,1)"},
    {"+CRC", "0", "(0,1)"},
    {"+WIND", "0", "(0-511)"},
    {"+SPEAKER", "0", "(0,1)"},
    {"+VGR", "64", "(0-255)"},
    {"+VGT", "64", "(0-255)"},
    {"+ECHO", "0,1,0,3,10,7", "(0-1),(1,3),(0-63),(0-32767),(0-256),(0-31)", true},
    {"+SIDET", "1,0", "(0-1),(0-3)"},
    {"+VTD", "1", "(0-255)"},
    {"+CRMP", "0,7,0,1", "(0-3),(0-15),(0),(0-10)"},
    {"+CNMI", "0,1,0,0,0", "(0-3),(0-3),(0-3),(0-2),(0-1)"},
    {"+CSMP", "17,167,0,0", "(0-255),(0-255),(0-255),(0-255)"},
    {"+CSDH", "0", "(0,1)"},
    {"+CSCB", "0", "(0,1)"},
    {"+CBST", "0,0,1", "(0-8,12,14,65,66,68,70,71,75),(0),(0-3)"},
    {"+FCLASS", "0", "(0,1,2)"},
    {"+FTM", "96", "(24,48,72,73,74,96,97,98,121,122,145,146)"},
    {"+FRM", "96", "(24,48,72,73,74,96,97,98,121,122,145,146)"},
    {"+CCUG", "0,0,0", "(0-1),(0-10),(0-3)"},
    {"+CPHS", "0,1", "(0-2),(1-2)"},
    {"+STSF", "0,\"5FFFFFFF7F\",3,0", "(0-2),(160060C01F-5FFFFFFF7F),(1-255),(0-1)"},
    {"+CGATT", "0", "(0,1)"},
};

const std::map<int, int> kFactoryRegisters = {{0, 0}, {2, 43}, {3, 13}, {4, 10}, {5, 8},
                                              {6, 2}, {7, 50}, {8, 2},  {10, 14}};

const Parameter* findParameter(const QByteArray& name) {
    static const QHash<QByteArray, const Parameter*> table = [] {
        QHash<QByteArray, const Parameter*> t;
        for (const Parameter& p : kParameters)
            t.insert(p.name, &p);
        return t;
    }();
    return table.value(name, nullptr);
}

QByteArray resultText(const Settings& s, Result result, int code) {
    if (result == Result::None) return {};
    if (result == Result::Prompt) return "\r\n> ";
    if ((result == Result::CmeError || result == Result::CmsError) && s.cmee) {
        const auto text = kErrorTexts.find(code);
        const QByteArray detail =
            s.cmee == 2 && text != kErrorTexts.end() ? QByteArray(text->second) : number(code);
        const QByteArray line =
            (result == Result::CmeError ? "+CME ERROR: " : "+CMS ERROR: ") + detail;
        return s.verbose ? "\r\n" + line + "\r\n" : line + "\r\n";
    }
    if (result == Result::CmeError || result == Result::CmsError) result = Result::Error;
    if (s.quiet) return {};
    for (const ResultCode& rc : kResultCodes)
        if (rc.result == result)
            return s.verbose ? "\r\n" + QByteArray(rc.word) + "\r\n" : number(rc.number) + "\r";
    return {};
}

QByteArray informationText(const Settings& s, const QByteArray& text) {
    if (text.isEmpty()) return {};
    return s.verbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

// Lines of one response share a header and a trailer, as in a +CPBR list.
QByteArray format(const Settings& s, const Reply& r) {
    return informationText(s, r.lines.join("\r\n")) + resultText(s, r.result, r.code);
}

int simError(SimStatus status) {
    switch (status) {
    case SimStatus::Ready:
        return 0;
    case SimStatus::PinRequired:
        return 11;
    case SimStatus::PukRequired:
        return 12;
    case SimStatus::Absent:
        return 10;
    case SimStatus::Blocked:
        return 13;
    }
    return 13;
}

int messageSimError(SimStatus status) {
    static const std::map<int, int> codes = {{11, 311}, {12, 316}, {10, 310}, {13, 313}};
    return codes.at(simError(status));
}

bool registered(const Network& n) {
    return n.registration == 1 || n.registration == 5;
}

int signalLevel(int rssi) {
    if (rssi == 99) return 0;
    static const int steps[] = {25, 20, 15, 10, 1};
    for (int i = 0; i < 5; ++i)
        if (rssi >= steps[i]) return 5 - i;
    return 0;
}

QByteArray timestampNow() {
    return QDateTime::currentDateTime().toString("yy/MM/dd,hh:mm:ss").toLatin1() + "+00";
}

// The fields of +CMGR and +CMGL after the index: stat, address, alpha and for
// received messages the time stamp.
QByteArray messageFields(const ShortMessage& m) {
    QByteArray out = quoted(m.status) + ',' + quoted(m.number) + ',';
    if (m.status.startsWith("REC")) out += ',' + quoted(m.timestamp);
    return out;
}

QByteArray messageDetails(const ModemState& s, const ShortMessage& m) {
    const QByteArray centre = ',' + quoted(s.serviceCentre) + ',' + number(s.serviceCentreType) +
                              ',' + number(m.text.size());
    if (m.status.startsWith("REC")) return ',' + number(addressType(m.number)) + ",4,0,0" + centre;
    return ',' + number(addressType(m.number)) + ",17,0,0,167" + centre;
}

int firstFree(const std::map<int, ShortMessage>& store, int capacity) {
    for (int i = 1; i <= capacity; ++i)
        if (!store.count(i)) return i;
    return 0;
}

const QByteArray kMessageStates[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};

QByteArray dialDigits(const QByteArray& dial) {
    QByteArray digits;
    for (char c : dial)
        if ((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#') digits += c;
    return digits;
}

QByteArray parameterEntry(const Settings& s, const char* name) {
    const auto found = s.params.find(name);
    return QByteArray(name) + ':' + (found == s.params.end() ? QByteArray() : found->second);
}

QByteArray registerEntry(const Settings& s, int reg) {
    const auto found = s.sRegisters.find(reg);
    return 'S' + number(reg) + ':' + threeDigits(found == s.sRegisters.end() ? 0 : found->second);
}

// The AT&V dump: every setting as name, colon and value, without blanks.
QByteArray profileDump(const Settings& s) {
    QByteArray first = "E:" + number(s.echo) + " Q:" + number(s.quiet) + " V:" + number(s.verbose);
    for (int reg : {0, 2, 3, 4, 5})
        first += ' ' + registerEntry(s, reg);
    const QByteArrayList lines = {
        first,
        parameterEntry(s, "+CR") + ' ' + parameterEntry(s, "+CRC") + " +CMEE:" + number(s.cmee) +
            ' ' + parameterEntry(s, "+CBST"),
        parameterEntry(s, "+SPEAKER") + ' ' + parameterEntry(s, "&C") + ' ' +
            parameterEntry(s, "&D") + ' ' + parameterEntry(s, "&S") + ' ' + parameterEntry(s, "%C"),
        parameterEntry(s, "+IPR") + ' ' + parameterEntry(s, "+ICF") + ' ' +
            parameterEntry(s, "+IFC"),
    };
    return lines.join("\r\n");
}

} // namespace

Settings factorySettings() {
    Settings s;
    s.sRegisters = kFactoryRegisters;
    for (const Parameter& p : kParameters)
        s.params[p.name] = p.value;
    return s;
}

ModemState::ModemState() : settings(factorySettings()), storedProfile(settings) {
    for (const char* storage : {"SM", "FD", "LD", "MC", "RC", "ON"})
        phonebooks[storage].capacity = QByteArray(storage) == "SM" ? 250 : 10;
    lockPasswords = {{"PS", "12345678"}, {"PN", "12345678"}};
    locks = {{"PS", 0}, {"PN", 0}};
    contexts[1] = {"IP", "internet"};
}

// The command handlers and the table that names them.
struct Commands {
    using Handler = Reply (*)(SimModem&, const Request&);
    enum class Needs { Nothing, Sim, SimForMessages };
    struct Entry {
        Handler handler;
        Needs needs = Needs::Nothing;
    };

    static const QHash<QByteArray, Entry>& table();

    static Reply execute(SimModem& m, const QByteArray& body) {
        const Request r = parseRequest(body);
        const Entry* entry = find(r.name);
        if (!entry) {
            const Parameter* p = findParameter(r.name);
            return p ? parameter(m, *p, r) : error();
        }
        const SimStatus sim = m.state_.sim.status;
        if (entry->needs != Needs::Nothing && sim != SimStatus::Ready && r.kind != Kind::Test)
            return entry->needs == Needs::Sim ? cme(simError(sim)) : cms(messageSimError(sim));
        return entry->handler(m, r);
    }

    static const Entry* find(const QByteArray& name) {
        const auto& t = table();
        const auto found = t.find(name);
        return found == t.end() ? nullptr : &found.value();
    }

    static void deliver(SimModem& m, const QByteArray& echo, const Reply& r) {
        const Settings& s = m.state_.settings;
        m.reply(echo + format(s, r));
        for (const Later& later : r.later)
            m.reply(informationText(s, later.line) + resultText(s, later.result, 0), later.delay);
    }

    // --- simple parameters

    static Reply parameter(SimModem& m, const Parameter& p, const Request& r) {
        const bool basic = p.name[0] != '+';
        const QByteArray prefix = QByteArray(p.name) + ": ";
        switch (r.kind) {
        case Kind::Read:
            return ok({prefix + m.state_.settings.params[p.name]});
        case Kind::Test:
            return ok({prefix + p.ranges});
        case Kind::Set:
            return basic ? error() : setParameter(m, p, r.args);
        case Kind::Exec:
            return basic ? setParameter(m, p, r.args.isEmpty() ? "0" : r.args) : error();
        }
        return error();
    }

    static Reply setParameter(SimModem& m, const Parameter& p, const QByteArray& args) {
        const QByteArrayList values = splitFields(args);
        if (!valuesAllowed(p.ranges, values)) return error();
        QByteArray& stored = m.state_.settings.params[p.name];
        if (p.replace) {
            stored = values.join(',');
            return ok();
        }
        QByteArrayList merged = splitFields(stored);
        for (int i = 0; i < values.size(); ++i) {
            if (i >= merged.size()) merged << QByteArray();
            if (!values[i].isEmpty()) merged[i] = values[i];
        }
        stored = merged.join(',');
        return ok();
    }

    // --- V.25ter basics

    static Reply plainAt(SimModem&, const Request& r) {
        return r.kind == Kind::Exec && r.args.isEmpty() ? ok() : error();
    }

    template <int Settings::*Field, int Max>
    static Reply basicValue(SimModem& m, const Request& r) {
        int value = 0;
        if (r.kind != Kind::Exec || !intField({r.args}, 0, value, 0) || !inRange(value, 0, Max))
            return error();
        m.state_.settings.*Field = value;
        return ok();
    }

    template <int Settings::*Field, int Max>
    static Reply extendedValue(SimModem& m, const Request& r) {
        const QByteArray prefix = r.name + ": ";
        int value = 0;
        switch (r.kind) {
        case Kind::Read:
            return ok({prefix + number(m.state_.settings.*Field)});
        case Kind::Test:
            return ok({prefix + "(0-" + number(Max) + ")"});
        case Kind::Set:
            if (!intField(fields(r.args), 0, value, 0) || !inRange(value, 0, Max)) return error();
            m.state_.settings.*Field = value;
            return ok();
        case Kind::Exec:
            break;
        }
        return error();
    }

    static Reply identification(SimModem& m, const Request& r) {
        if (r.kind != Kind::Exec) return error();
        const ModemState& s = m.state_;
        if (r.args.isEmpty() || r.args == "0") return ok({s.manufacturer + "\r\n" + s.model});
        if (r.args == "3") return ok({s.revision});
        return error();
    }

    template <QByteArray ModemState::*Field> static Reply identity(SimModem& m, const Request& r) {
        if (r.kind == Kind::Test) return ok();
        return r.kind == Kind::Exec ? ok({m.state_.*Field}) : error();
    }

    static Reply imsi(SimModem& m, const Request& r) {
        return r.kind == Kind::Exec ? ok({m.state_.sim.imsi}) : ok();
    }

    static Reply restoreProfile(SimModem& m, const Request& r) {
        if (r.kind != Kind::Exec) return error();
        m.state_.settings = m.state_.storedProfile;
        m.state_.call = Call();
        return ok();
    }

    static Reply factoryDefaults(SimModem& m, const Request& r) {
        if (r.kind != Kind::Exec) return error();
        m.state_.settings = factorySettings();
        return ok();
    }

    static Reply storeProfile(SimModem& m, const Request& r) {
        if (r.kind != Kind::Exec) return error();
        m.state_.storedProfile = m.state_.settings;
        return ok();
    }

    static Reply viewProfile(SimModem& m, const Request& r) {
        return r.kind == Kind::Exec ? ok({profileDump(m.state_.settings)}) : error();
    }

    static Reply sRegister(SimModem& m, const Request& r) {
        auto& regs = m.state_.settings.sRegisters;
        const auto found = regs.find(r.reg);
        if (found == regs.end()) return error();
        int value = 0;
        if (r.kind == Kind::Read) return ok({threeDigits(found->second)});
        if (r.kind == Kind::Set && toInt(r.args.trimmed(), value) && inRange(value, 0, 255)) {
            found->second = value;
            return ok();
        }
        return error();
    }

    // --- calls

    static Reply dial(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        QByteArray dialString = r.args.trimmed();
        QByteArrayList lines;
        if (dialString.toUpper() == "L" || dialString.toUpper() == "L;") {
            if (s.lastDialled.isEmpty()) return error();
            dialString = s.lastDialled;
            lines << dialString;
        }
        const QByteArray digits = dialDigits(dialString);
        if (digits.isEmpty()) return error();
        if (s.sim.status != SimStatus::Ready) return cme(simError(s.sim.status));
        if (s.call.status != CallStatus::Idle) return cme(3);
        s.lastDialled = dialString;
        Reply reply = ok(lines);
        reply.result = Result::None;
        reply.later.push_back(
            {{}, connect(s, digits, dialString.endsWith(';')), s.network.dialSeconds});
        return reply;
    }

    static Result connect(ModemState& s, const QByteArray& digits, bool voice) {
        static const std::map<DialOutcome, Result> results = {
            {DialOutcome::Answered, Result::Ok},
            {DialOutcome::Busy, Result::Busy},
            {DialOutcome::NoAnswer, Result::NoAnswer},
            {DialOutcome::NoCarrier, Result::NoCarrier}};
        const Result result = !voice || !registered(s.network) ? Result::NoCarrier
                                                               : results.at(s.network.dialOutcome);
        s.call = Call();
        if (result == Result::Ok) {
            s.call.status = CallStatus::Active;
            s.call.number = digits;
        }
        return result;
    }

    static Reply answer(SimModem& m, const Request& r) {
        if (r.kind != Kind::Exec) return error();
        if (m.state_.call.status != CallStatus::Incoming) return outcome(Result::NoCarrier);
        m.state_.call.status = CallStatus::Active;
        return ok();
    }

    static Reply hangUp(SimModem& m, const Request& r) {
        if (r.kind != Kind::Exec || !(r.args.isEmpty() || r.args == "0"))
            return r.kind == Kind::Test ? ok() : error();
        m.state_.call = Call();
        return ok();
    }

    static Reply tone(SimModem& m, const Request& r) {
        if (r.kind == Kind::Test) return ok({"+VTS: (0-9,#,*,A-D)"});
        const QByteArray tones = unquote(r.args.trimmed());
        const bool valid = !tones.isEmpty() && std::all_of(tones.begin(), tones.end(), [](char c) {
            return QByteArray("0123456789#*ABCD,").contains(c);
        });
        if (r.kind != Kind::Set || !valid) return error();
        return m.state_.call.status == CallStatus::Idle ? cme(3) : ok();
    }

    static Reply clip(SimModem& m, const Request& r) {
        if (r.kind == Kind::Read) return ok({"+CLIP: " + number(m.state_.settings.clip) + ",1"});
        return extendedValue<&Settings::clip, 1>(m, r);
    }

    static Reply callWaiting(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        if (r.kind != Kind::Set) return extendedValue<&Settings::ccwa, 1>(m, r);
        const QByteArrayList f = fields(r.args);
        int n = 0, mode = -1, classes = 7;
        if (!intField(f, 0, n, s.settings.ccwa) || !intField(f, 1, mode, -1) ||
            !intField(f, 2, classes, 7) || !inRange(n, 0, 1) || !inRange(mode, -1, 2))
            return error();
        s.settings.ccwa = n;
        if (mode == 0)
            s.network.callWaitingClasses &= ~classes;
        else if (mode == 1)
            s.network.callWaitingClasses |= classes;
        else if (mode == 2)
            return ok(classLines("+CCWA: ", s.network.callWaitingClasses & classes, {}));
        return ok();
    }

    // One status line per class: "+CCWA: 1,1", or "+CCWA: 0,7" when none is active.
    static QByteArrayList classLines(const QByteArray& prefix, int mask, const QByteArray& suffix) {
        QByteArrayList lines;
        for (int bit : {1, 2, 4, 8})
            if (mask & bit) lines << prefix + "1," + number(bit) + suffix;
        if (lines.isEmpty()) lines << prefix + "0,7";
        return lines;
    }

    // --- SIM and network

    static Reply pin(SimModem& m, const Request& r) {
        SimCard& sim = m.state_.sim;
        if (r.kind == Kind::Test) return ok();
        if (r.kind == Kind::Read) {
            static const std::map<SimStatus, QByteArray> texts = {
                {SimStatus::Ready, "READY"},
                {SimStatus::PinRequired, "SIM PIN"},
                {SimStatus::PukRequired, "SIM PUK"}};
            const auto text = texts.find(sim.status);
            return text == texts.end() ? cme(simError(sim.status)) : ok({"+CPIN: " + text->second});
        }
        const QByteArrayList f = fields(r.args);
        if (r.kind != Kind::Set || f.size() > 2 || f[0].isEmpty()) return error();
        if (sim.status == SimStatus::PinRequired) return enterPin(sim, f[0]);
        if (sim.status == SimStatus::PukRequired)
            return f.size() == 2 ? enterPuk(sim, f[0], f[1]) : cme(12);
        return sim.status == SimStatus::Ready ? cme(3) : cme(simError(sim.status));
    }

    static bool validPin(const QByteArray& code) {
        return inRange(code.size(), 4, 8) &&
               std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    }

    // A wrong PIN costs a try; the last one leaves the SIM asking for its PUK.
    static Reply checkPin(SimCard& sim, const QByteArray& code) {
        if (code == sim.pin) {
            sim.pinRetries = 3;
            return ok();
        }
        if (--sim.pinRetries <= 0) sim.status = SimStatus::PukRequired;
        return cme(16);
    }

    static Reply enterPin(SimCard& sim, const QByteArray& code) {
        Reply reply = checkPin(sim, code);
        if (reply.result == Result::Ok) sim.status = SimStatus::Ready;
        return reply;
    }

    static Reply enterPuk(SimCard& sim, const QByteArray& puk, const QByteArray& newPin) {
        if (puk != sim.puk) {
            if (--sim.pukRetries <= 0) sim.status = SimStatus::Blocked;
            return cme(16);
        }
        if (!validPin(newPin)) return cme(3);
        sim.pin = newPin;
        sim.pinRetries = 3;
        sim.pukRetries = 10;
        sim.status = SimStatus::Ready;
        return ok();
    }

    static Reply signalQuality(SimModem& m, const Request& r) {
        const Network& n = m.state_.network;
        if (r.kind == Kind::Test) return ok({"+CSQ: (0-31,99),(0-7,99)"});
        if (r.kind != Kind::Exec) return error();
        return ok({"+CSQ: " + number(n.rssi) + ',' + number(n.ber)});
    }

    static QByteArray registrationText(const ModemState& s, bool withMode) {
        const Network& n = s.network;
        QByteArray text = withMode ? number(s.settings.creg) + ',' : QByteArray();
        text += number(n.registration);
        if (s.settings.creg == 2 && registered(n))
            text += ',' + quoted(n.lac) + ',' + quoted(n.cellId);
        return "+CREG: " + text;
    }

    static Reply registration(SimModem& m, const Request& r) {
        if (r.kind == Kind::Read) return ok({registrationText(m.state_, true)});
        return extendedValue<&Settings::creg, 2>(m, r);
    }

    // The indicators in the order of +CIND=?; the console reads "call" as the fifth.
    static Reply indicators(SimModem& m, const Request& r) {
        const ModemState& s = m.state_;
        if (r.kind == Kind::Test)
            return ok(
                {"+CIND: (\"battchg\",(0-5)),(\"signal\",(0-5)),(\"service\",(0-1)),"
                 "(\"message\",(0-1)),(\"call\",(0-1)),(\"roam\",(0-1)),(\"smsfull\",(0-1))"});
        if (r.kind == Kind::Set) return ok();
        if (r.kind != Kind::Read) return error();
        const bool unread = std::any_of(s.messages.begin(), s.messages.end(), [](const auto& e) {
            return e.second.status == "REC UNREAD";
        });
        const int values[] = {5,
                              signalLevel(s.network.rssi),
                              registered(s.network),
                              unread,
                              s.call.status != CallStatus::Idle,
                              s.network.registration == 5,
                              int(s.messages.size()) >= s.messageCapacity};
        QByteArrayList texts;
        for (int v : values)
            texts << number(v);
        return ok({"+CIND: " + texts.join(',')});
    }

    static Reply facilityLock(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        if (r.kind == Kind::Test)
            return ok({"+CLCK: (\"PS\",\"SC\",\"FD\",\"PN\",\"AO\",\"OI\",\"OX\",\"AI\",\"IR\")"});
        if (r.kind == Kind::Read)
            return ok({"+CLCK: (\"PS\"," + number(s.locks["PS"]) + "),(\"SC\"," +
                       number(s.sim.pinLock) + "),(\"FD\",0),(\"PN\"," + number(s.locks["PN"]) +
                       ")"});
        const QByteArrayList f = fields(r.args);
        const QByteArray facility = f[0].toUpper();
        int mode = 0, classes = 7;
        if (r.kind != Kind::Set || f.size() < 2 || !intField(f, 1, mode, 0) ||
            !inRange(mode, 0, 2) || !intField(f, 3, classes, 7))
            return error();
        const QByteArray password = f.value(2);
        if (facility == "SC") return simLock(s.sim, mode, password);
        if (s.lockPasswords.count(facility)) return phoneLock(s, facility, mode, password);
        if (QByteArrayList{"AO", "OI", "OX", "AI", "IR"}.contains(facility))
            return barring(s.network, facility, mode, password, classes);
        return cme(4);
    }

    static Reply simLock(SimCard& sim, int mode, const QByteArray& password) {
        if (sim.status != SimStatus::Ready) return cme(simError(sim.status));
        if (mode == 2) return ok({"+CLCK: " + number(sim.pinLock)});
        Reply reply = checkPin(sim, password);
        if (reply.result == Result::Ok) sim.pinLock = mode;
        return reply;
    }

    static Reply phoneLock(ModemState& s, const QByteArray& facility, int mode,
                           const QByteArray& password) {
        if (mode == 2) return ok({"+CLCK: " + number(s.locks[facility])});
        if (password != s.lockPasswords[facility]) return cme(16);
        s.locks[facility] = mode;
        return ok();
    }

    static Reply barring(Network& n, const QByteArray& facility, int mode,
                         const QByteArray& password, int classes) {
        int& barred = n.barring[facility];
        if (mode == 2) return ok(classLines("+CLCK: ", barred & classes, {}));
        if (password != n.barringPassword) return cme(16);
        barred = mode ? barred | classes : barred & ~classes;
        return ok();
    }

    static Reply changePassword(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        if (r.kind == Kind::Test)
            return ok({"+CPWD: (\"PS\",8),(\"SC\",8),(\"PN\",8),(\"AO\",4),(\"OI\",4),(\"OX\",4),"
                       "(\"AI\",4),(\"IR\",4),(\"AB\",4)"});
        const QByteArrayList f = fields(r.args);
        if (r.kind != Kind::Set || f.size() != 3) return error();
        const QByteArray facility = f[0].toUpper();
        if (facility == "SC") {
            if (s.sim.status != SimStatus::Ready) return cme(simError(s.sim.status));
            if (!validPin(f[2])) return cme(3);
            Reply reply = checkPin(s.sim, f[1]);
            if (reply.result == Result::Ok) s.sim.pin = f[2];
            return reply;
        }
        QByteArray* password = passwordOf(s, facility);
        if (!password) return cme(4);
        if (*password != f[1]) return cme(16);
        *password = f[2];
        return ok();
    }

    static QByteArray* passwordOf(ModemState& s, const QByteArray& facility) {
        if (s.lockPasswords.count(facility)) return &s.lockPasswords[facility];
        if (QByteArrayList{"AO", "OI", "OX", "AI", "IR", "AB"}.contains(facility))
            return &s.network.barringPassword;
        return nullptr;
    }

    static Reply forwarding(SimModem& m, const Request& r) {
        auto& table = m.state_.network.forwarding;
        if (r.kind == Kind::Test) return ok({"+CCFC: (0-5)"});
        const QByteArrayList f = fields(r.args);
        int reason = 0, mode = 0, type = 0, classes = 7;
        if (r.kind != Kind::Set || f.size() < 2 || !intField(f, 0, reason, -1) ||
            !inRange(reason, 0, 5) || !intField(f, 1, mode, -1) || !inRange(mode, 0, 4) ||
            !intField(f, 3, type, addressType(f.value(2))) || !intField(f, 4, classes, 7))
            return error();
        Forwarding& entry = table[reason];
        switch (mode) {
        case 2:
            return ok(classLines("+CCFC: ", entry.classes & classes,
                                 ',' + quoted(entry.number) + ',' + number(entry.type)));
        case 3:
            if (f.value(2).isEmpty()) return error();
            entry.number = f[2];
            entry.type = type;
            entry.classes |= classes;
            return ok();
        case 1:
            if (entry.number.isEmpty()) return error();
            entry.classes |= classes;
            return ok();
        default: // disable or erase
            entry.classes &= ~classes;
            if (mode == 4 && !entry.classes) table.erase(reason);
            return ok();
        }
    }

    // --- phonebook

    static Phonebook& currentPhonebook(ModemState& s) { return s.phonebooks[s.phonebookStorage]; }

    static QByteArray entryText(int index, const PhonebookEntry& e) {
        return number(index) + ',' + quoted(e.number) + ',' + number(e.type) + ',' + quoted(e.name);
    }

    static Reply phonebookStorage(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        if (r.kind == Kind::Test) {
            QByteArrayList names;
            for (const auto& storage : s.phonebooks)
                names << quoted(storage.first);
            return ok({"+CPBS: (" + names.join(',') + ")"});
        }
        if (r.kind == Kind::Read) {
            const Phonebook& book = currentPhonebook(s);
            return ok({"+CPBS: " + quoted(s.phonebookStorage) + ',' +
                       number(int(book.entries.size())) + ',' + number(book.capacity)});
        }
        const QByteArray storage = fields(r.args).value(0).toUpper();
        if (r.kind != Kind::Set || !s.phonebooks.count(storage))
            return r.kind == Kind::Set ? cme(4) : error();
        s.phonebookStorage = storage;
        return ok();
    }

    static Reply readPhonebook(SimModem& m, const Request& r) {
        const Phonebook& book = currentPhonebook(m.state_);
        if (r.kind == Kind::Test)
            return ok({"+CPBR: (1-" + number(book.capacity) + ")," + number(book.numberLength) +
                       ',' + number(book.textLength)});
        const QByteArrayList f = fields(r.args);
        int first = 0, last = 0;
        if (r.kind != Kind::Set || f.size() > 2 || !intField(f, 0, first, -1) ||
            !intField(f, 1, last, first))
            return error();
        if (first < 1 || last < first || last > book.capacity) return cme(21);
        QByteArrayList lines;
        for (auto it = book.entries.lower_bound(first);
             it != book.entries.end() && it->first <= last; ++it)
            lines << "+CPBR: " + entryText(it->first, it->second);
        return ok(lines); // empty locations give no lines
    }

    static Reply writePhonebook(SimModem& m, const Request& r) {
        Phonebook& book = currentPhonebook(m.state_);
        if (r.kind == Kind::Test)
            return ok({"+CPBW: (1-" + number(book.capacity) + ")," + number(book.numberLength) +
                       ",(129,145)," + number(book.textLength)});
        const QByteArrayList f = fields(r.args);
        int index = 0, type = 0;
        if (r.kind != Kind::Set || f.size() > 4 || !intField(f, 0, index, 0)) return error();
        if (f[0].isEmpty() && !(index = firstFreeEntry(book))) return cme(20);
        if (!inRange(index, 1, book.capacity)) return cme(21);
        const QByteArray digits = f.value(1);
        if (digits.isEmpty()) {
            book.entries.erase(index);
            return ok();
        }
        if (!intField(f, 2, type, addressType(digits))) return error();
        if (digits.size() > book.numberLength) return cme(26);
        if (f.value(3).size() > book.textLength) return cme(24);
        book.entries[index] = {digits, type, f.value(3)};
        return ok();
    }

    static int firstFreeEntry(const Phonebook& book) {
        for (int i = 1; i <= book.capacity; ++i)
            if (!book.entries.count(i)) return i;
        return 0;
    }

    static Reply findPhonebook(SimModem& m, const Request& r) {
        const Phonebook& book = currentPhonebook(m.state_);
        if (r.kind == Kind::Test)
            return ok({"+CPBF: " + number(book.numberLength) + ',' + number(book.textLength)});
        if (r.kind != Kind::Set) return error();
        const QByteArray wanted = fields(r.args).value(0).toUpper();
        QByteArrayList lines;
        for (const auto& [index, entry] : book.entries)
            if (entry.name.toUpper().startsWith(wanted))
                lines << "+CPBF: " + entryText(index, entry);
        return lines.isEmpty() ? cme(22) : ok(lines);
    }

    // --- messages

    static Reply serviceCentre(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        if (r.kind == Kind::Read)
            return ok({"+CSCA: " + quoted(s.serviceCentre) + ',' + number(s.serviceCentreType)});
        if (r.kind == Kind::Test) return ok();
        const QByteArrayList f = fields(r.args);
        int type = 0;
        if (r.kind != Kind::Set || !intField(f, 1, type, addressType(f[0]))) return error();
        s.serviceCentre = f[0];
        s.serviceCentreType = type;
        return ok();
    }

    static Reply beginText(SimModem& m, const Request& r, bool send) {
        if (r.kind == Kind::Test) return ok();
        if (m.state_.settings.cmgf != 1) return cms(303); // no PDU mode here
        const QByteArrayList f = fields(r.args);
        if (r.kind == Kind::Read || (send && (r.kind != Kind::Set || f[0].isEmpty())))
            return error();
        const QByteArray status = f.value(2, "STO UNSENT").toUpper();
        if (!send && !QByteArrayList{"STO UNSENT", "STO SENT"}.contains(status)) return cms(304);
        m.text_ = {true, send, f[0], status, {}};
        return outcome(Result::Prompt);
    }

    static Reply sendMessage(SimModem& m, const Request& r) { return beginText(m, r, true); }
    static Reply writeMessage(SimModem& m, const Request& r) { return beginText(m, r, false); }

    static Reply completeSend(SimModem& m) {
        ModemState& s = m.state_;
        if (!registered(s.network)) return cms(331);
        const int reference = s.nextReference;
        s.nextReference = s.nextReference % 255 + 1;
        s.sent.push_back({m.text_.number, m.text_.body, reference});
        Reply reply = ok({"+CMGS: " + number(reference)});
        const bool reportAsked = m.parameterField("+CSMP", 0).toInt() & 0x20;
        if (reportAsked && m.parameterField("+CNMI", 3) == "1") {
            const QByteArray now = quoted(timestampNow());
            reply.later.push_back({"+CDS: 6," + number(reference) + ',' + quoted(m.text_.number) +
                                       ',' + number(addressType(m.text_.number)) + ',' + now + ',' +
                                       now + ",0",
                                   Result::None, s.network.deliveryReportSeconds});
        }
        return reply;
    }

    static Reply completeWrite(SimModem& m) {
        ModemState& s = m.state_;
        const int index = firstFree(s.messages, s.messageCapacity);
        if (!index) return cms(322);
        s.messages[index] = {m.text_.status, m.text_.number, {}, m.text_.body};
        return ok({"+CMGW: " + number(index)});
    }

    static bool messageIndex(const ModemState& s, const Request& r, int& index) {
        return r.kind == Kind::Set && intField(fields(r.args), 0, index, -1) &&
               inRange(index, 1, s.messageCapacity);
    }

    static Reply readMessage(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        int index = 0;
        if (r.kind == Kind::Test) return ok();
        if (s.settings.cmgf != 1) return cms(303);
        if (!messageIndex(s, r, index)) return r.kind == Kind::Set ? cms(321) : error();
        const auto found = s.messages.find(index);
        if (found == s.messages.end()) return ok(); // an empty slot
        ShortMessage& message = found->second;
        QByteArray header = "+CMGR: " + messageFields(message);
        if (m.parameterField("+CSDH", 0) == "1") header += messageDetails(s, message);
        if (message.status == "REC UNREAD") message.status = "REC READ";
        return ok({header + "\r\n" + message.text});
    }

    static Reply listMessages(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        if (r.kind == Kind::Test)
            return ok({"+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")"});
        if (s.settings.cmgf != 1) return cms(303);
        const QByteArray wanted =
            r.kind == Kind::Set ? fields(r.args).value(0).toUpper() : "REC UNREAD";
        if (r.kind == Kind::Read || std::find(std::begin(kMessageStates), std::end(kMessageStates),
                                              wanted) == std::end(kMessageStates))
            return cms(304);
        const bool details = m.parameterField("+CSDH", 0) == "1";
        QByteArrayList lines;
        for (auto& [index, message] : s.messages) {
            if (wanted != "ALL" && message.status != wanted) continue;
            QByteArray header = "+CMGL: " + number(index) + ',' + messageFields(message);
            if (details)
                header +=
                    ',' + number(addressType(message.number)) + ',' + number(message.text.size());
            lines << header + "\r\n" + message.text;
            if (message.status == "REC UNREAD") message.status = "REC READ";
        }
        return ok(lines);
    }

    static Reply deleteMessage(SimModem& m, const Request& r) {
        ModemState& s = m.state_;
        int index = 0, flag = 0;
        if (r.kind == Kind::Test) return ok({"+CMGD: (1-" + number(s.messageCapacity) + "),(0-4)"});
        if (!messageIndex(s, r, index) || !intField(fields(r.args), 1, flag, 0) ||
            !inRange(flag, 0, 4))
            return r.kind == Kind::Set ? cms(321) : error();
        if (flag == 0) {
            s.messages.erase(index);
            return ok();
        }
        for (auto it = s.messages.begin(); it != s.messages.end();)
            it = deletedByFlag(it->second.status, flag) ? s.messages.erase(it) : std::next(it);
        return ok();
    }

    // <delflag> 1: read ones, 2: and sent ones, 3: and unsent ones, 4: all.
    static bool deletedByFlag(const QByteArray& status, int flag) {
        static const QByteArrayList order = {"REC READ", "STO SENT", "STO UNSENT", "REC UNREAD"};
        const int rank = order.indexOf(status);
        return rank >= 0 && rank < flag;
    }

    static Reply messageStorage(SimModem& m, const Request& r) {
        const ModemState& s = m.state_;
        const QByteArray counts = number(int(s.messages.size())) + ',' + number(s.messageCapacity);
        if (r.kind == Kind::Test) return ok({"+CPMS: ((\"SM\"),(\"SM\"),(\"SM\"))"});
        if (r.kind == Kind::Read)
            return ok({"+CPMS: \"SM\"," + counts + ",\"SM\"," + counts + ",\"SM\"," + counts});
        const QByteArrayList f = fields(r.args);
        const bool onlySim = std::all_of(f.begin(), f.end(),
                                         [](const QByteArray& v) { return v.toUpper() == "SM"; });
        if (r.kind != Kind::Set || f.size() > 3 || !onlySim) return cms(302);
        QByteArrayList repeated;
        for (int i = 0; i < 3; ++i)
            repeated << counts;
        return ok({"+CPMS: " + repeated.join(',')});
    }

    // --- data, vendor extensions

    static Reply pdpContext(SimModem& m, const Request& r) {
        auto& contexts = m.state_.contexts;
        if (r.kind == Kind::Test)
            return ok(
                {"+CGDCONT: (1-4),\"IP\",,,(0-2),(0-4)", "+CGDCONT: (1-4),\"PPP\",,,(0-2),(0-4)"});
        if (r.kind == Kind::Read) {
            QByteArrayList lines;
            for (const auto& [cid, c] : contexts) // an empty address: ",,"
                lines << "+CGDCONT: " + number(cid) + ',' + quoted(c.type) + ',' + quoted(c.apn) +
                             ",,0,0";
            return ok(lines);
        }
        const QByteArrayList f = fields(r.args);
        int cid = 0;
        if (r.kind != Kind::Set || !intField(f, 0, cid, -1) || !inRange(cid, 1, 4)) return error();
        if (f.size() == 1) {
            contexts.erase(cid);
            return ok();
        }
        const QByteArray type = f[1].toUpper();
        if (type != "IP" && type != "PPP") return error();
        contexts[cid] = {type, f.value(2)};
        return ok();
    }

    static Reply readInputPin(SimModem& m, const Request& r) {
        if (r.kind == Kind::Test) return ok({"+WIOR: (0-7)"});
        int pin = 0;
        if (r.kind != Kind::Set || !intField(fields(r.args), 0, pin, -1) || !inRange(pin, 0, 7))
            return error();
        return ok({"+WIOR: " + number(m.state_.inputPins[pin])});
    }

    static Reply powerOff(SimModem& m, const Request& r) {
        if (r.kind != Kind::Exec) return r.kind == Kind::Test ? ok() : error();
        m.state_.poweredOff = true; // this reply still goes out, then the module is silent
        return ok();
    }

    static Reply cellDump(SimModem& m, const Request& r) {
        if (r.kind == Kind::Test) return ok({"+CCED: (0-2),(1-15)"});
        const QByteArrayList f = fields(r.args);
        int mode = 0, dump = 0;
        if (r.kind != Kind::Set || !intField(f, 0, mode, -1) || !inRange(mode, 0, 2) ||
            !intField(f, 1, dump, 15) || !inRange(dump, 1, 15))
            return error();
        return mode == 0 ? ok({"+CCED: " + m.state_.network.cellDump}) : ok();
    }
};

const QHash<QByteArray, Commands::Entry>& Commands::table() {
    using N = Needs;
    static const QHash<QByteArray, Entry> t = {
        {"", {plainAt}},
        {"E", {basicValue<&Settings::echo, 1>}},
        {"V", {basicValue<&Settings::verbose, 1>}},
        {"Q", {basicValue<&Settings::quiet, 1>}},
        {"I", {identification}},
        {"Z", {restoreProfile}},
        {"&F", {factoryDefaults}},
        {"&W", {storeProfile}},
        {"&V", {viewProfile}},
        {"S", {sRegister}},
        {"D", {dial}},
        {"A", {answer}},
        {"H", {hangUp}},
        {"+CHUP", {hangUp}},
        {"+VTS", {tone}},
        {"+CGMI", {identity<&ModemState::manufacturer>}},
        {"+GMI", {identity<&ModemState::manufacturer>}},
        {"+CGMM", {identity<&ModemState::model>}},
        {"+GMM", {identity<&ModemState::model>}},
        {"+CGMR", {identity<&ModemState::revision>}},
        {"+GMR", {identity<&ModemState::revision>}},
        {"+CGSN", {identity<&ModemState::imei>}},
        {"+GSN", {identity<&ModemState::imei>}},
        {"+CIMI", {imsi, N::Sim}},
        {"+CMEE", {extendedValue<&Settings::cmee, 2>}},
        {"+CMGF", {extendedValue<&Settings::cmgf, 1>}},
        {"+CPIN", {pin}},
        {"+CSQ", {signalQuality}},
        {"+CREG", {registration}},
        {"+CIND", {indicators}},
        {"+CLIP", {clip}},
        {"+CCWA", {callWaiting, N::Sim}},
        {"+CLCK", {facilityLock}},
        {"+CPWD", {changePassword}},
        {"+CCFC", {forwarding, N::Sim}},
        {"+CPBS", {phonebookStorage, N::Sim}},
        {"+CPBR", {readPhonebook, N::Sim}},
        {"+CPBW", {writePhonebook, N::Sim}},
        {"+CPBF", {findPhonebook, N::Sim}},
        {"+CSCA", {serviceCentre, N::SimForMessages}},
        {"+CMGS", {sendMessage, N::SimForMessages}},
        {"+CMGW", {writeMessage, N::SimForMessages}},
        {"+CMGR", {readMessage, N::SimForMessages}},
        {"+CMGL", {listMessages, N::SimForMessages}},
        {"+CMGD", {deleteMessage, N::SimForMessages}},
        {"+CPMS", {messageStorage, N::SimForMessages}},
        {"+CGDCONT", {pdpContext}},
        {"+WIOR", {readInputPin}},
        {"+CPOF", {powerOff}},
        {"+CCED", {cellDump}},
    };
    return t;
}

SimModem::SimModem(Sender send) : send_(std::move(send)) {}

int SimModem::bitRate() const {
    return parameterField("+IPR", 0).toInt();
}

QByteArray SimModem::parameterField(const QByteArray& name, int index) const {
    const auto found = state_.settings.params.find(name);
    return found == state_.settings.params.end() ? QByteArray()
                                                 : splitFields(found->second).value(index);
}

void SimModem::receive(const QByteArray& bytes) {
    received_ += bytes;
    int pos = 0;
    while (pos < bytes.size() && !state_.poweredOff)
        pos = text_.active ? consumeText(bytes, pos) : consumeCommand(bytes, pos);
}

int SimModem::consumeCommand(const QByteArray& bytes, int from) {
    const int cr = bytes.indexOf('\r', from);
    const int end = cr < 0 ? bytes.size() : cr + 1;
    line_.append(bytes.constData() + from, end - from);
    if (cr >= 0) {
        handleLine();
        line_.clear();
    }
    return end;
}

// Message text after the "> " prompt, up to Ctrl-Z (send) or Esc (cancel).
int SimModem::consumeText(const QByteArray& bytes, int from) {
    int end = from;
    while (end < bytes.size() && bytes[end] != 26 && bytes[end] != 27)
        ++end;
    QByteArray chunk = bytes.mid(from, end - from);
    text_.body += chunk;
    if (state_.settings.echo) reply(chunk.replace("\r", "\r\n> "));
    if (end == bytes.size()) return end;
    finishText(bytes[end] == 26);
    return end + 1;
}

void SimModem::handleLine() {
    QByteArray text = line_;
    text.chop(1); // the CR
    text.replace("\n", "");
    const int at = prefixPosition(text);
    if (at < 0) return;
    const QByteArray commandLine = text.mid(at);
    const QByteArray echo = state_.settings.echo ? line_ : QByteArray();
    const auto override = overrides_.find(commandLine);
    if (override != overrides_.end()) {
        reply(echo + override->second);
        return;
    }
    const Reply r = Commands::execute(*this, commandLine.mid(2));
    const auto drop = dropped_.find(commandLine);
    if (drop != dropped_.end() && drop->second)
        reply(echo);
    else
        Commands::deliver(*this, echo, r);
}

void SimModem::finishText(bool submit) {
    text_.active = false;
    const Reply r = !submit      ? ok()
                    : text_.send ? Commands::completeSend(*this)
                                 : Commands::completeWrite(*this);
    Commands::deliver(*this, {}, r);
}

void SimModem::reply(const QByteArray& bytes, double extraDelay) {
    if (bytes.isEmpty()) return;
    const double delay = latency_ + extraDelay;
    const int pieces = std::min<int>(pieces_, bytes.size());
    if (pieces <= 1) {
        send_(bytes, delay);
        return;
    }
    for (int i = 0; i < pieces; ++i) {
        const qsizetype begin = bytes.size() * i / pieces;
        const qsizetype end = bytes.size() * (i + 1) / pieces;
        send_(bytes.mid(begin, end - begin), delay + i * gap_);
    }
}

void SimModem::overrideReply(const QByteArray& commandLine, const QByteArray& response) {
    overrides_[commandLine] = response;
}

void SimModem::clearOverrides() {
    overrides_.clear();
}

void SimModem::dropReplies(const QByteArray& commandLine, bool drop) {
    dropped_[commandLine] = drop;
}

void SimModem::splitReplies(int pieces, double gapSeconds) {
    pieces_ = pieces;
    gap_ = gapSeconds;
}

void SimModem::unsolicited(const QByteArray& text, double delaySeconds) {
    if (!text.isEmpty() && !state_.poweredOff) send_(text, delaySeconds);
}

void SimModem::incomingCall(const QByteArray& number, bool withClip) {
    state_.call = Call();
    state_.call.status = CallStatus::Incoming;
    state_.call.number = number;
    state_.call.numberShown = withClip;
    ring();
}

void SimModem::ring() {
    Call& call = state_.call;
    const Settings& s = state_.settings;
    if (call.status != CallStatus::Incoming) return;
    ++call.rings;
    QByteArray text = parameterField("+CRC", 0) == "1" ? informationText(s, "+CRING: VOICE")
                                                       : resultText(s, Result::Ring, 0);
    if (s.clip && call.numberShown)
        text += informationText(s, "+CLIP: " + quoted(call.number) + ',' +
                                       number(addressType(call.number)));
    unsolicited(text);
    const int autoAnswer = s.sRegisters.count(0) ? s.sRegisters.at(0) : 0;
    if (autoAnswer > 0 && call.rings >= autoAnswer) call.status = CallStatus::Active;
}

void SimModem::callerHangsUp() {
    if (state_.call.status == CallStatus::Idle) return;
    state_.call = Call();
    unsolicited(resultText(state_.settings, Result::NoCarrier, 0));
}

void SimModem::callWaiting(const QByteArray& number) {
    const ModemState& s = state_;
    if (!s.settings.ccwa || !(s.network.callWaitingClasses & 1) ||
        s.call.status == CallStatus::Idle)
        return;
    unsolicited(informationText(s.settings, "+CCWA: " + quoted(number) + ',' +
                                                sim::number(addressType(number)) + ",1"));
}

// +CNMI <mode> is not honoured: indications always go straight to the line.
void SimModem::newMessage(int index) {
    const auto found = state_.messages.find(index);
    const QByteArray mt = parameterField("+CNMI", 1);
    if (mt == "0") return;
    if (mt == "2" && found != state_.messages.end()) {
        const ShortMessage& m = found->second;
        unsolicited(informationText(state_.settings, "+CMT: " + quoted(m.number) + ",," +
                                                         quoted(m.timestamp) + "\r\n" + m.text));
        return;
    }
    unsolicited(informationText(state_.settings, "+CMTI: \"SM\"," + number(index)));
}

int SimModem::receiveMessage(const QByteArray& number, const QByteArray& text,
                             const QByteArray& timestamp) {
    const int index = firstFree(state_.messages, state_.messageCapacity);
    if (!index) return 0;
    state_.messages[index] = {"REC UNREAD", number,
                              timestamp.isEmpty() ? timestampNow() : timestamp, text};
    newMessage(index);
    return index;
}

void SimModem::setRegistration(int stat) {
    state_.network.registration = stat;
    if (state_.settings.creg)
        unsolicited(informationText(state_.settings, Commands::registrationText(state_, false)));
}

} // namespace sim
