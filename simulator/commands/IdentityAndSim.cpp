// V.25ter basics, the module's identity, the SIM and its PIN, and the locks of
// +CLCK / +CPWD (the facilities themselves are kept by their families).

#include "simulator/commands/Command.h"

#include <algorithm>

namespace sim::commands {

namespace {

QByteArray threeDigits(int value) {
    return number(value).rightJustified(3, '0');
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

// --- V.25ter basics

Reply plainAt(SimModem&, const Request& r) {
    return r.kind == Kind::Exec && r.args.isEmpty() ? ok() : error();
}

template <int Settings::*Field, int Max> Reply basicValue(SimModem& m, const Request& r) {
    int value = 0;
    if (r.kind != Kind::Exec || !intField({r.args}, 0, value, 0) || !inRange(value, 0, Max))
        return error();
    m.state().settings.*Field = value;
    return ok();
}

Reply restoreProfile(SimModem& m, const Request& r) {
    if (r.kind != Kind::Exec) return error();
    m.state().settings = m.state().storedProfile;
    m.state().call = Call();
    return ok();
}

// The serial line keeps its rate and framing: the terminal would lose the module.
Reply factoryDefaults(SimModem& m, const Request& r) {
    if (r.kind != Kind::Exec) return error();
    Settings& settings = m.state().settings;
    Settings factory = factorySettings();
    for (const char* line : {"+IPR", "+ICF"})
        factory.params[line] = settings.params[line];
    settings = factory;
    return ok();
}

Reply storeProfile(SimModem& m, const Request& r) {
    if (r.kind != Kind::Exec) return error();
    m.state().storedProfile = m.state().settings;
    return ok();
}

Reply viewProfile(SimModem& m, const Request& r) {
    return r.kind == Kind::Exec ? ok({profileDump(m.state().settings)}) : error();
}

Reply sRegister(SimModem& m, const Request& r) {
    auto& regs = m.state().settings.sRegisters;
    const auto found = regs.find(r.reg);
    if (found == regs.end()) return error();
    int value = 0;
    if (r.kind == Kind::Read)
        return ok({m.state().shapes.unpaddedRegisters ? number(found->second)
                                                      : threeDigits(found->second)});
    if (r.kind == Kind::Set && toInt(r.args.trimmed(), value) && inRange(value, 0, 255)) {
        found->second = value;
        return ok();
    }
    return error();
}

// --- identity

// An identity line as the module sends it: padded with blanks, or not.
QByteArray identityLine(const ModemState& s, const QByteArray& text) {
    return s.paddedIdentity ? ' ' + text + ' ' : text;
}

// ATI0 gives the manufacturer and the model, one line each.
Reply identification(SimModem& m, const Request& r) {
    if (r.kind != Kind::Exec) return error();
    const ModemState& s = m.state();
    if (r.args.isEmpty() || r.args == "0")
        return ok({identityLine(s, s.manufacturer), identityLine(s, s.model)});
    if (r.args == "3") return ok({s.revision});
    return error();
}

// The model ("+CGMM") is padded as in ATI0; the other identity texts never are.
template <QByteArray ModemState::*Field, bool Padded = false>
Reply identity(SimModem& m, const Request& r) {
    if (r.kind == Kind::Test) return ok();
    const QByteArray& text = m.state().*Field;
    return r.kind == Kind::Exec ? ok({Padded ? identityLine(m.state(), text) : text}) : error();
}

Reply imsi(SimModem& m, const Request& r) {
    return r.kind == Kind::Exec ? ok({m.state().sim.imsi}) : ok();
}

// --- the SIM

bool validPin(const QByteArray& code) {
    return inRange(code.size(), 4, 8) && std::all_of(code.begin(), code.end(), isDigit);
}

// A wrong PIN costs a try; the last one leaves the SIM asking for its PUK.
Reply checkPin(SimCard& sim, const QByteArray& code) {
    if (code == sim.pin) {
        sim.pinRetries = 3;
        return ok();
    }
    if (--sim.pinRetries <= 0) sim.status = SimStatus::PukRequired;
    return cme(16);
}

Reply enterPin(SimCard& sim, const QByteArray& code) {
    Reply reply = checkPin(sim, code);
    if (reply.result == Result::Ok) sim.status = SimStatus::Ready;
    return reply;
}

Reply enterPuk(SimCard& sim, const QByteArray& puk, const QByteArray& newPin) {
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

// The word "AT+CPIN?" gives for a status; empty where the module gives the status's error.
QByteArray pinWord(const ReplyShapes& shapes, SimStatus status) {
    switch (status) {
    case SimStatus::Ready:
        return "READY";
    case SimStatus::PinRequired:
        return "SIM PIN";
    case SimStatus::PukRequired:
        return "SIM PUK";
    case SimStatus::Absent:
        return shapes.absentSimInWords ? "NOT INSERTED" : "";
    case SimStatus::NotReady:
        return shapes.simNotReady == SimNotReady::InWords ? "NOT READY" : "";
    case SimStatus::Blocked:
        break;
    }
    return {};
}

Reply enterCode(SimCard& sim, const QByteArrayList& f) {
    const SimStatus status = sim.current();
    if (status == SimStatus::PinRequired) return enterPin(sim, f[0]);
    if (status == SimStatus::PukRequired)
        return f.size() == 2 ? enterPuk(sim, f[0], f[1]) : cme(12);
    return status == SimStatus::Ready ? cme(3) : cme(simError(status));
}

Reply pin(SimModem& m, const Request& r) {
    ModemState& s = m.state();
    if (r.kind == Kind::Test) return ok();
    if (r.kind == Kind::Read) {
        const QByteArray word = pinWord(s.shapes, s.sim.current());
        return word.isEmpty() ? cme(simError(s.sim.current())) : ok({"+CPIN: " + word});
    }
    const QByteArrayList f = fields(r.args);
    if (r.kind != Kind::Set || f.size() > 2 || f[0].isEmpty()) return error();
    Reply reply = enterCode(s.sim, f);
    if (reply.result != Result::Ok) return reply;
    if (s.shapes.unaskedReadyAfterPin) reply.later.push_back({"+CPIN: READY", Result::None, 0});
    if (s.shapes.smsReadyAfterPinSeconds >= 0)
        reply.later.push_back(
            {"Call Ready\r\n\r\nSMS Ready", Result::None, s.shapes.smsReadyAfterPinSeconds});
    return reply;
}

// --- locks: "SC" asks for the PIN after a restart, "PS" and "PN" lock the phone

// The card refuses to enable a PIN that is enabled or to disable one that is
// disabled, before it looks at the code.
Reply simLock(ModemState& s, const LockRequest& request) {
    SimCard& sim = s.sim;
    if (sim.current() != SimStatus::Ready) return cme(simError(sim.current()));
    if (request.mode == 2) return ok({"+CLCK: " + number(sim.pinLock)});
    if (request.mode == int(sim.pinLock)) return cme(3);
    Reply reply = checkPin(sim, request.password);
    if (reply.result == Result::Ok) sim.pinLock = request.mode;
    return reply;
}

// A disabled PIN is not changed.
Reply changePin(ModemState& s, const QByteArray&, const QByteArray& old, const QByteArray& fresh) {
    if (s.sim.current() != SimStatus::Ready) return cme(simError(s.sim.current()));
    if (!s.sim.pinLock || !validPin(fresh)) return cme(3);
    Reply reply = checkPin(s.sim, old);
    if (reply.result == Result::Ok) s.sim.pin = fresh;
    return reply;
}

Reply phoneLock(ModemState& s, const LockRequest& request) {
    if (request.mode == 2) return ok({"+CLCK: " + number(s.locks[request.facility])});
    if (request.password != s.lockPasswords[request.facility]) return cme(16);
    s.locks[request.facility] = request.mode;
    return ok();
}

Reply changePhoneLockPassword(ModemState& s, const QByteArray& facility, const QByteArray& old,
                              const QByteArray& fresh) {
    return replacePassword(s.lockPasswords[facility], old, fresh);
}

Reply facilityLock(SimModem& m, const Request& r) {
    ModemState& s = m.state();
    if (r.kind == Kind::Test)
        return ok({"+CLCK: (\"PS\",\"SC\",\"FD\",\"PN\",\"AO\",\"OI\",\"OX\",\"AI\",\"IR\")"});
    if (r.kind == Kind::Read)
        return ok({"+CLCK: (\"PS\"," + number(s.locks["PS"]) + "),(\"SC\"," +
                   number(s.sim.pinLock) + "),(\"FD\",0),(\"PN\"," + number(s.locks["PN"]) + ")"});
    const QByteArrayList f = fields(r.args);
    LockRequest request;
    request.facility = f[0].toUpper();
    if (r.kind != Kind::Set || f.size() < 2 || !intField(f, 1, request.mode, 0) ||
        !inRange(request.mode, 0, 2) || !intField(f, 3, request.classes, 7))
        return error();
    request.password = f.value(2);
    const Facility* facility = commandTable().facility(request.facility);
    return facility && facility->lock ? facility->lock(s, request) : cme(4);
}

Reply changePassword(SimModem& m, const Request& r) {
    if (r.kind == Kind::Test)
        return ok({"+CPWD: (\"PS\",8),(\"SC\",8),(\"PN\",8),(\"AO\",4),(\"OI\",4),(\"OX\",4),"
                   "(\"AI\",4),(\"IR\",4),(\"AB\",4)"});
    const QByteArrayList f = fields(r.args);
    if (r.kind != Kind::Set || f.size() != 3) return error();
    const QByteArray name = f[0].toUpper();
    const Facility* facility = commandTable().facility(name);
    return facility ? facility->changePassword(m.state(), name, f[1], f[2]) : cme(4);
}

} // namespace

void addIdentityAndSim(CommandTable& table) {
    table.addCommands({
        {"", plainAt},
        {"E", basicValue<&Settings::echo, 1>},
        {"V", basicValue<&Settings::verbose, 1>},
        {"Q", basicValue<&Settings::quiet, 1>},
        {"I", identification},
        {"Z", restoreProfile},
        {"&F", factoryDefaults},
        {"&W", storeProfile},
        {"&V", viewProfile},
        {"S", sRegister},
        {"+CGMI", identity<&ModemState::manufacturer>},
        {"+GMI", identity<&ModemState::manufacturer>},
        {"+CGMM", identity<&ModemState::model, true>},
        {"+GMM", identity<&ModemState::model, true>},
        {"+CGMR", identity<&ModemState::revision>},
        {"+GMR", identity<&ModemState::revision>},
        {"+CGSN", identity<&ModemState::imei>},
        {"+GSN", identity<&ModemState::imei>},
        {"+CIMI", imsi, Needs::Sim},
        {"+CMEE", extendedValue<&Settings::cmee, 2>},
        {"+CPIN", pin},
        {"+CLCK", facilityLock},
        {"+CPWD", changePassword},
    });
    table.addParameters({
        {"X", "4", "(0-4)"},
    });
    // S0 belongs to the call settings.
    table.addRegisters({{2, 43}, {3, 13}, {4, 10}, {5, 8}, {6, 2}, {7, 50}, {8, 2}, {10, 14}});
    table.addFacilities({
        {"SC", simLock, changePin},
        {"PS", phoneLock, changePhoneLockPassword},
        {"PN", phoneLock, changePhoneLockPassword},
    });
}

} // namespace sim::commands
