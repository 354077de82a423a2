// Supplementary services the network keeps: call forwarding, call waiting,
// call barring (the +CLCK / +CPWD facilities "AO" to "AB") and closed user groups.

#include "simulator/commands/Command.h"

#include <algorithm>

namespace sim::commands {

namespace {

// One status line per class: "+CCWA: 1,1", or "+CCWA: 0,7" when none is active.
QByteArrayList classLines(const QByteArray& prefix, int mask, const QByteArray& suffix) {
    QByteArrayList lines;
    for (int bit : {1, 2, 4, 8})
        if (mask & bit) lines << prefix + "1," + number(bit) + suffix;
    if (lines.isEmpty()) lines << prefix + "0,7";
    return lines;
}

// A number the network can forward to: digits, with "+" "*" "#" beside them.
bool forwardableNumber(const QByteArray& number) {
    return std::any_of(number.begin(), number.end(), isDigit) &&
           std::all_of(number.begin(), number.end(), isDialCharacter);
}

Reply forwarding(SimModem& m, const Request& r) {
    auto& table = m.state().network.forwarding;
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
        if (!forwardableNumber(f.value(2))) return error();
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

Reply callWaiting(SimModem& m, const Request& r) {
    ModemState& s = m.state();
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

Reply barring(ModemState& s, const LockRequest& request) {
    Network& n = s.network;
    int& barred = n.barring[request.facility];
    if (request.mode == 2) return ok(classLines("+CLCK: ", barred & request.classes, {}));
    if (request.password != n.barringPassword) return cme(16);
    barred = request.mode ? barred | request.classes : barred & ~request.classes;
    return ok();
}

// Every barring facility shares one network password.
Reply changeBarringPassword(ModemState& s, const QByteArray&, const QByteArray& old,
                            const QByteArray& fresh) {
    return replacePassword(s.network.barringPassword, old, fresh);
}

} // namespace

void addServices(CommandTable& table) {
    table.addCommands({
        {"+CCFC", forwarding, Needs::Sim},
        {"+CCWA", callWaiting, Needs::Sim},
    });
    table.addFacilities({
        {"AO", barring, changeBarringPassword},
        {"OI", barring, changeBarringPassword},
        {"OX", barring, changeBarringPassword},
        {"AI", barring, changeBarringPassword},
        {"IR", barring, changeBarringPassword},
        {"AB", nullptr, changeBarringPassword}, // all barring: its password only
    });
    table.addParameters({
        {"+CCUG", "0,0,0", "(0-1),(0-10),(0-3)"},
    });
}

} // namespace sim::commands
