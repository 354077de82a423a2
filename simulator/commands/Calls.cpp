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
    if (s.sim.current() != SimStatus::Ready) return cme(simError(s.sim.current()));
    if (s.call.status != CallStatus::Idle) return cme(3);
    s.lastDialled = dialString;
    const bool voice = dialString.endsWith(';');
    const Result result = connect(s, digits, voice);
    Reply reply = ok(lines);
    // Most modules take a voice call at once; its failure follows, its answer does not.
    const bool takenAtOnce = voice && s.shapes.voiceDialOkAtOnce;
    if (!takenAtOnce) reply.result = Result::None;
    if (!takenAtOnce || result != Result::Ok)
        reply.later.push_back({{}, result, s.network.dialSeconds});
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

// --- the indicators

int fullBattery(const ModemState&) {
    return 5;
}
int signalBars(const ModemState& s) {
    return signalLevel(s.network.rssi);
}
int bitErrors(const ModemState& s) {
    return s.network.ber;
}
int service(const ModemState& s) {
    return registered(s.network);
}
int unread(const ModemState& s) {
    return std::any_of(s.messages.begin(), s.messages.end(),
                       [](const auto& e) { return e.second.status == "REC UNREAD"; });
}
int callOrRinging(const ModemState& s) {
    return s.call.status != CallStatus::Idle;
}
int callActive(const ModemState& s) {
    return s.call.status == CallStatus::Active;
}
int ringing(const ModemState& s) {
    return s.call.status == CallStatus::Incoming;
}
int roaming(const ModemState& s) {
    return s.network.registration == 5;
}
int storeFull(const ModemState& s) {
    return int(s.messages.size()) >= s.messageCapacity;
}
int simPresent(const ModemState& s) {
    return s.sim.status != SimStatus::Absent;
}
int off(const ModemState&) {
    return 0;
}

struct Indicator {
    const char* name;
    const char* range;
    int (*value)(const ModemState&);
};

struct IndicatorList {
    IndicatorOrder order;
    const char* name;
    bool enclosed; // the whole list in one more pair of parentheses
    std::vector<Indicator> indicators;
};

// The lists as the makers' manuals give them: Wavecom's is the console's own
// ("call" fifth, set while a call rings too); u-blox from the SARA-R4 AT
// commands manual, Telit from the UC864 and GM862 AT commands reference
// guides, Huawei from the MG323 AT command interface manual, the
// Motorola phone as a V3m answers (ModemManager's test data). Where a list has
// "callsetup", a ringing call sets it and "call" waits for the answer.
const std::vector<IndicatorList>& indicatorLists() {
    static const std::vector<IndicatorList> lists = {
        {IndicatorOrder::Wavecom,
         "wavecom",
         false,
         {{"battchg", "(0-5)", fullBattery},
          {"signal", "(0-5)", signalBars},
          {"service", "(0-1)", service},
          {"message", "(0-1)", unread},
          {"call", "(0-1)", callOrRinging},
          {"roam", "(0-1)", roaming},
          {"smsfull", "(0-1)", storeFull}}},
        {IndicatorOrder::Ublox,
         "ublox",
         false,
         {{"battchg", "(0-5)", fullBattery},
          {"signal", "(0-5)", signalBars},
          {"service", "(0,1)", service},
          {"sounder", "(0,1)", ringing},
          {"message", "(0,1)", unread},
          {"call", "(0,1)", callActive},
          {"roam", "(0,1)", roaming},
          {"smsfull", "(0,1)", storeFull},
          {"gprs", "(0-2)", off},
          {"callsetup", "(0-3)", ringing},
          {"callheld", "(0,1)", off},
          {"simind", "(0-2)", simPresent}}},
        {IndicatorOrder::Telit,
         "telit",
         true,
         {{"battchg", "(0-5,99)", fullBattery},
          {"signal", "(0-7,99)", bitErrors},
          {"service", "(0-1)", service},
          {"sounder", "(0-1)", ringing},
          {"message", "(0-1)", unread},
          {"call", "(0-1)", callActive},
          {"roam", "(0-1)", roaming},
          {"smsfull", "(0-1)", storeFull},
          {"rssi", "(0-5,99)", signalBars}}},
        {IndicatorOrder::Huawei,
         "huawei",
         false,
         {{"battchg", "(0-5)", fullBattery},
          {"signal", "(0-7,99)", bitErrors},
          {"service", "(0-1)", service},
          {"sounder", "(0-1)", ringing},
          {"message", "(0-1)", unread},
          {"call", "(0-1)", callActive},
          {"roam", "(0-1)", roaming},
          {"smsfull", "(0-1)", storeFull},
          {"rssi", "(0-5,99)", signalBars}}},
        {IndicatorOrder::Motorola,
         "motorola",
         false,
         {{"Voice Mail", "(0,1)", off},
          {"service", "(0,1)", service},
          {"call", "(0,1)", callActive},
          {"Roam", "(0-2)", roaming},
          {"signal", "(0-5)", signalBars},
          {"callsetup", "(0-3)", ringing},
          {"smsfull", "(0,1)", storeFull}}},
    };
    return lists;
}

const IndicatorList& indicatorList(IndicatorOrder order) {
    const auto& lists = indicatorLists();
    return *std::find_if(lists.begin(), lists.end(),
                         [order](const IndicatorList& l) { return l.order == order; });
}

QByteArray indicatorNames(const IndicatorList& list) {
    QByteArrayList pairs;
    for (const Indicator& i : list.indicators)
        pairs << "(" + quoted(i.name) + ',' + i.range + ")";
    const QByteArray joined = pairs.join(',');
    return list.enclosed ? '(' + joined + ')' : joined;
}

QByteArray indicatorValues(const IndicatorList& list, const ModemState& s) {
    QByteArrayList values;
    for (const Indicator& i : list.indicators)
        values << number(i.value(s));
    return values.join(',');
}

Reply indicators(SimModem& m, const Request& r) {
    const ModemState& s = m.state();
    const IndicatorList& list = indicatorList(s.shapes.indicatorOrder);
    if (r.kind == Kind::Test) return ok({"+CIND: " + indicatorNames(list)});
    if (r.kind == Kind::Set) return ok();
    if (r.kind != Kind::Read) return error();
    return ok({"+CIND: " + indicatorValues(list, s)});
}

// The location area and the cell, and the access technology where the module gives it.
QByteArray cellLocation(const ModemState& s) {
    const bool quotes = !s.shapes.unquotedLocation;
    const Network& n = s.network;
    QByteArray text =
        (quotes ? quoted(n.lac) : n.lac) + ',' + (quotes ? quoted(n.cellId) : n.cellId);
    if (s.shapes.accessTechnology >= 0) text += ',' + number(s.shapes.accessTechnology);
    return text;
}

} // namespace

QByteArray registrationText(const ModemState& s, bool withMode) {
    const Network& n = s.network;
    QByteArray text = withMode ? number(s.settings.creg) + ',' : QByteArray();
    text += number(n.registration);
    const bool located = s.settings.creg == 2 || s.shapes.cellLocation == CellLocation::Always;
    if (located && registered(n)) text += ',' + cellLocation(s);
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

namespace sim {

std::optional<IndicatorOrder> indicatorOrderFromName(const QByteArray& name) {
    for (const commands::IndicatorList& list : commands::indicatorLists())
        if (name == list.name) return list.order;
    return std::nullopt;
}

} // namespace sim
