// Packet data: the contexts (+CGDCONT) and the attachment to the service.

#include "simulator/commands/Command.h"

namespace sim::commands {

namespace {

Reply pdpContext(SimModem& m, const Request& r) {
    auto& contexts = m.state().contexts;
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

} // namespace

void addPacketData(CommandTable& table) {
    table.addCommands({
        {"+CGDCONT", pdpContext},
    });
    table.addParameters({
        {"+CGATT", "0", "(0,1)"},
    });
}

} // namespace sim::commands
