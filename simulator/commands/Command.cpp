#include "simulator/commands/Command.h"

#include <algorithm>

namespace sim::commands {

Reply ok(QByteArrayList lines) {
    Reply r;
    r.lines = std::move(lines);
    return r;
}

Reply outcome(Result result, int code) {
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

QByteArray number(int value) {
    return QByteArray::number(value);
}
QByteArray quoted(const QByteArray& text) {
    return '"' + text + '"';
}
int addressType(const QByteArray& number) {
    return number.startsWith('+') ? 145 : 129;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isDialCharacter(char c) {
    return isDigit(c) || c == '+' || c == '*' || c == '#';
}

QByteArray unquote(const QByteArray& text) {
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        return text.mid(1, text.size() - 2);
    return text;
}

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
    case SimStatus::NotReady:
        return 14;
    }
    return 13;
}

bool registered(const Network& n) {
    return n.registration == 1 || n.registration == 5;
}

Reply replacePassword(QByteArray& password, const QByteArray& old, const QByteArray& fresh) {
    if (password != old) return cme(16);
    password = fresh;
    return ok();
}

// --- reading a command

namespace {

bool isNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) ||
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
        while (digits < rest.size() && isDigit(rest[digits]))
            ++digits;
        r.reg = digits ? rest.left(digits).toInt() : -1;
        rest = rest.mid(digits);
    }
    parseSuffix(r, rest);
    return r;
}

int messageSimError(SimStatus status) {
    static const std::map<int, int> codes = {{11, 311}, {12, 316}, {10, 310}, {13, 313}, {14, 314}};
    return codes.at(simError(status));
}

// --- simple parameters

// Whether a value fits a list from a test reply such as "(0-3,5)". Lists that
// hold anything but numbers (strings, hex ranges) are not checked.
bool fieldAllowed(const QByteArray& list, const QByteArray& value) {
    if (value.isEmpty()) return true;
    QByteArray inner = list;
    inner.replace('(', "").replace(')', "");
    if (!std::all_of(inner.begin(), inner.end(),
                     [](char c) { return isDigit(c) || c == '-' || c == ','; }))
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

Reply setParameter(SimModem& m, const Parameter& p, const QByteArray& args) {
    const QByteArrayList values = splitFields(args);
    if (!valuesAllowed(p.ranges, values)) return error();
    QByteArray& stored = m.state().settings.params[p.name];
    QByteArrayList merged = p.replace ? values : splitFields(stored);
    for (int i = 0; i < values.size(); ++i) {
        if (i >= merged.size()) merged << QByteArray();
        if (!values[i].isEmpty()) merged[i] = values[i];
    }
    if (p.accepts && !p.accepts(merged.join(','))) return error();
    stored = merged.join(',');
    return ok();
}

Reply parameter(SimModem& m, const Parameter& p, const Request& r) {
    const bool basic = p.name[0] != '+';
    const QByteArray prefix = QByteArray(p.name) + ": ";
    switch (r.kind) {
    case Kind::Read:
        return ok({prefix + m.state().settings.params[p.name]});
    case Kind::Test:
        return ok({prefix + p.ranges});
    case Kind::Set:
        return basic ? error() : setParameter(m, p, r.args);
    case Kind::Exec:
        return basic ? setParameter(m, p, r.args.isEmpty() ? "0" : r.args) : error();
    }
    return error();
}

Reply refused(const Refusal& refusal) {
    switch (refusal.kind) {
    case Refusal::Kind::Equipment:
        return cme(refusal.code);
    case Refusal::Kind::Message:
        return cms(refusal.code);
    case Refusal::Kind::Error:
        break;
    }
    return error();
}

} // namespace

Reply execute(SimModem& m, const QByteArray& body) {
    const Request r = parseRequest(body);
    const auto& refusals = m.state().shapes.refusals;
    if (const auto refusal = refusals.find(r.name); refusal != refusals.end())
        return refused(refusal->second);
    const Command* command = commandTable().command(r.name);
    if (!command) {
        const Parameter* p = commandTable().parameter(r.name);
        return p ? parameter(m, *p, r) : error();
    }
    const SimStatus sim = m.state().sim.current();
    if (command->needs != Needs::Nothing && sim != SimStatus::Ready && r.kind != Kind::Test)
        return command->needs == Needs::Sim ? cme(simError(sim)) : cms(messageSimError(sim));
    return command->handler(m, r);
}

} // namespace sim::commands
