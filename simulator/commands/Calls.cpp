// Calls and the network they go over: dialling, answering, hanging up, tones,
// the caller's number, signal, registration and the indicators.

#include "simulator/commands/Command.h"

#include <algorithm>

namespace sim::commands {

namespace {

QByteArray dialDigits(const QByteArray& dial) {
    QByteArray digits;
    for (char c : dial)
        if (isDialCharacter(c)) digits += c;
    return digits;
}

// The call as the network leaves it, and the result code that reports it.
Result connect(ModemState& s, const QByteArray& digits, bool voice) {
    static const std::map<DialOutcome, Result> results = {
        {DialOutcome::Answered, Result::Ok},
        {DialOutcome::Busy, Result::Busy},
        {DialOutcome::NoAnswer, Result::NoAnswer},
        {DialOutcome::NoCarrier, Result::NoCarrier}};
    const Result result =
        !voice || !registered(s.network) ? Result::NoCarrier : results.at(s.network.dialOutcome);
    s.call = Call();
    if (result == Result::Ok) {
        s.call.status = CallStatus::Active;
        s.call.number = digits;
    }
    return result;
}

Reply dial(SimModem& m, const Request& r) {
    ModemState& s = m.state();
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

Reply answer(SimModem& m, const Request& r) {
    if (r.kind != Kind::Exec) return error();
    if (m.state().call.status != CallStatus::Incoming) return outcome(Result::NoCarrier);
    m.state().call.status = CallStatus::Active;
    return ok();
}

Reply hangUp(SimModem& m, const Request& r) {
    if (r.kind != Kind::Exec || !(r.args.isEmpty() || r.args == "0"))
        return r.kind == Kind::Test ? ok() : error();
    m.state().call = Call();
    return ok();
}

Reply tone(SimModem& m, const Request& r) {
    if (r.kind == Kind::Test) return ok({"+VTS: (0-9,#,*,A-D)"});
    const QByteArray tones = unquote(r.args.trimmed());
    const bool valid = !tones.isEmpty() && std::all_of(tones.begin(), tones.end(), [](char c) {
        return QByteArray("0123456789#*ABCD,").contains(c);
    });
    if (r.kind != Kind::Set || !valid) return error();
    return m.state().call.status == CallStatus::Idle ? cme(3) : ok();
}

Reply clip(SimModem& m, const Request& r) {
    if (r.kind == Kind::Read) return ok({"+CLIP: " + number(m.state().settings.clip) + ",1"});
    return extendedValue<&Settings::clip, 1>(m, r);
}

// --- the network

int signalLevel(int rssi) {
    if (rssi == 99) return 0;
    static const int steps[] = {25, 20, 15, 10, 1};
    for (int i = 0; i < 5; ++i)
        if (rssi >= steps[i]) return 5 - i;
    return 0;
}

Reply signalQuality(SimModem& m, const Request& r) {
    const Network& n = m.state().network;
    if (r.kind == Kind::Test) return ok({"+CSQ: (0-31,99),(0-7,99)"});
    if (r.kind != Kind::Exec) return error();
    return ok({"+CSQ: " + number(n.rssi) + ',' + number(n.ber)});
}

Reply registration(SimModem& m, const Request& r) {
    if (r.kind == Kind::Read) return ok({registrationText(m.state(), true)});
    return extendedValue<&Settings::creg, 2>(m, r);
}

// The indicators in the order of +CIND=?; the console reads "call" as the fifth.
Reply indicators(SimModem& m, const Request& r) {
    const ModemState& s = m.state();
    if (r.kind == Kind::Test)
        return ok({"+CIND: (\"battchg\",(0-5)),(\"signal\",(0-5)),(\"service\",(0-1)),"
                   "(\"message\",(0-1)),(\"call\",(0-1)),(\"roam\",(0-1)),(\"smsfull\",(0-1))"});
    if (r.kind == Kind::Set) return ok();
    if (r.kind != Kind::Read) return error();
    const bool unread = std::any_of(s.messages.begin(), s.messages.end(),
                                    [](const auto& e) { return e.second.status == "REC UNREAD"; });
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

} // namespace

QByteArray registrationText(const ModemState& s, bool withMode) {
    const Network& n = s.network;
    QByteArray text = withMode ? number(s.settings.creg) + ',' : QByteArray();
    text += number(n.registration);
    if (s.settings.creg == 2 && registered(n)) text += ',' + quoted(n.lac) + ',' + quoted(n.cellId);
    return "+CREG: " + text;
}

void addCalls(CommandTable& table) {
    table.addCommands({
        {"D", dial},
        {"A", answer},
        {"H", hangUp},
        {"+CHUP", hangUp},
        {"+VTS", tone},
        {"+CLIP", clip},
        {"+CSQ", signalQuality},
        {"+CREG", registration},
        {"+CIND", indicators},
    });
    table.addParameters({
        {"+CRC", "0", "(0,1)"},
    });
}

} // namespace sim::commands
