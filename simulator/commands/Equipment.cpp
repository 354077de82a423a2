// The equipment itself: how much of it works (+CFUN, a reset with it) and
// the character set of the texts it exchanges with the terminal (+CSCS).

#include "simulator/commands/Charset.h"
#include "simulator/commands/Command.h"

namespace sim::commands {

namespace {

// <fun> 1 full, 0 minimum, 4 without transmitter and receiver; <rst> 1 restarts first.
Reply functionality(SimModem& m, const Request& r) {
    if (r.kind == Kind::Read) return ok({"+CFUN: " + number(m.state().functionality)});
    if (r.kind == Kind::Test) return ok({"+CFUN: (0,1,4),(0-1)"});
    const QByteArrayList f = fields(r.args);
    int level = 0, reset = 0;
    if (r.kind != Kind::Set || f.size() > 2 || !intField(f, 0, level, -1) ||
        !QList<int>{0, 1, 4}.contains(level) || !intField(f, 1, reset, 0) || !inRange(reset, 0, 1))
        return error();
    if (reset) m.restart();
    m.state().functionality = level;
    return ok();
}

Reply characterSet(SimModem& m, const Request& r) {
    QByteArray& set = m.state().settings.characterSet;
    switch (r.kind) {
    case Kind::Read:
        return ok({"+CSCS: " + quoted(set)});
    case Kind::Test:
        return ok({"+CSCS: " + characterSetList()});
    case Kind::Set: {
        const QByteArray wanted = fields(r.args).value(0).toUpper();
        if (!knownCharacterSet(wanted)) return cme(4);
        set = wanted;
        return ok();
    }
    case Kind::Exec:
        break;
    }
    return error();
}

} // namespace

void addEquipment(CommandTable& table) {
    table.addCommands({
        {"+CFUN", functionality},
        {"+CSCS", characterSet},
    });
}

} // namespace sim::commands
