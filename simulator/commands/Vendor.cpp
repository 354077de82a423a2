// The maker's own commands: the cell dump, the input pins, the CPHS
// functions, switching off and the stored settings of its extensions.

#include "simulator/commands/Command.h"

namespace sim::commands {

namespace {

Reply cellDump(SimModem& m, const Request& r) {
    if (r.kind == Kind::Test) return ok({"+CCED: (0-2),(1-15)"});
    const QByteArrayList f = fields(r.args);
    int mode = 0, dump = 0;
    if (r.kind != Kind::Set || !intField(f, 0, mode, -1) || !inRange(mode, 0, 2) ||
        !intField(f, 1, dump, 15) || !inRange(dump, 1, 15))
        return error();
    return mode == 0 ? ok({"+CCED: " + m.state().network.cellDump}) : ok();
}

Reply readInputPin(SimModem& m, const Request& r) {
    if (r.kind == Kind::Test) return ok({"+WIOR: (0-7)"});
    int pin = 0;
    if (r.kind != Kind::Set || !intField(fields(r.args), 0, pin, -1) || !inRange(pin, 0, 7))
        return error();
    return ok({"+WIOR: " + number(m.state().inputPins[pin])});
}

// The CPHS functions, 1 (voice mail indicator) to 7: mode 0 deactivates
// one, 1 activates it, 2 tells whether it is active.
Reply cphs(SimModem& m, const Request& r) {
    auto& active = m.state().cphsFunctions;
    if (r.kind == Kind::Test) return ok({"+CPHS: (0-2),(1-7)"});
    if (r.kind == Kind::Read) {
        QByteArrayList lines;
        for (int function = 1; function <= 7; ++function)
            lines << "+CPHS: " + number(active[function]) + ',' + number(function);
        return ok(lines);
    }
    const QByteArrayList f = fields(r.args);
    int mode = 0, function = 0;
    if (r.kind != Kind::Set || !intField(f, 0, mode, -1) || !inRange(mode, 0, 2) ||
        !intField(f, 1, function, -1) || !inRange(function, 1, 7))
        return error();
    if (mode == 2) return ok({"+CPHS: " + number(function) + ',' + number(active[function])});
    active[function] = mode;
    return ok();
}

Reply powerOff(SimModem& m, const Request& r) {
    if (r.kind != Kind::Exec) return r.kind == Kind::Test ? ok() : error();
    m.state().poweredOff = true; // this reply still goes out, then the module is silent
    return ok();
}

} // namespace

void addVendor(CommandTable& table) {
    table.addCommands({
        {"+CCED", cellDump},
        {"+WIOR", readInputPin},
        {"+CPHS", cphs},
        {"+CPOF", powerOff},
    });
    table.addParameters({
        {"+WIND", "0", "(0-511)"},
        {"+SPEAKER", "0", "(0,1)"},
        {"+STSF", "0,\"5FFFFFFF7F\",3,0", "(0-2),(160060C01F-5FFFFFFF7F),(1-255),(0-1)"},
    });
}

} // namespace sim::commands
