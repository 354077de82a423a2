// Short messages: the service centre, sending and storing a message typed in
// text mode after the "> " prompt, reading and listing the store in text or
// PDU mode, deleting from it.

#include "simulator/commands/Command.h"
#include "simulator/commands/Pdu.h"

#include <QDateTime>

#include <algorithm>

namespace sim::commands {

namespace {

// By their numbers in PDU mode.
const QByteArray kMessageStates[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};

bool pduMode(const ModemState& s) {
    return s.settings.cmgf == 0;
}

int stateNumber(const QByteArray& status) {
    return int(std::find(std::begin(kMessageStates), std::end(kMessageStates), status) -
               std::begin(kMessageStates));
}

// A message in PDU mode: its status by number, no alpha, the PDU's length,
// and the PDU on a line of its own.
QByteArray pduText(SimModem& m, const ShortMessage& message) {
    const Pdu pdu =
        messagePdu(message, m.state().serviceCentre, m.parameterField("+CSMP", 1).toInt());
    return number(stateNumber(message.status)) + ",," + number(pdu.length) + "\r\n" + pdu.hex;
}

// The status a list asks for: by name in text mode, by number in PDU mode;
// what the command alone lists (the unread ones) when it names none.
std::optional<QByteArray> listedStatus(const ModemState& s, const Request& r) {
    if (r.kind == Kind::Exec) return kMessageStates[0];
    if (r.kind != Kind::Set) return std::nullopt;
    const QByteArray wanted = fields(r.args).value(0).toUpper();
    int n = -1;
    if (pduMode(s))
        return toInt(wanted, n) && inRange(n, 0, 4) ? std::optional(kMessageStates[n])
                                                    : std::nullopt;
    if (stateNumber(wanted) > 4) return std::nullopt;
    return wanted;
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

Reply serviceCentre(SimModem& m, const Request& r) {
    ModemState& s = m.state();
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

Reply beginText(SimModem& m, const Request& r, bool send) {
    if (r.kind == Kind::Test) return ok();
    if (m.state().settings.cmgf != 1) return cms(303); // no PDU mode here
    const QByteArrayList f = fields(r.args);
    if (r.kind == Kind::Read || (send && (r.kind != Kind::Set || f[0].isEmpty()))) return error();
    const QByteArray status = f.value(2, "STO UNSENT").toUpper();
    if (!send && !QByteArrayList{"STO UNSENT", "STO SENT"}.contains(status)) return cms(304);
    m.startText({send, f[0], status, {}});
    return outcome(Result::Prompt);
}

Reply sendMessage(SimModem& m, const Request& r) {
    return beginText(m, r, true);
}
Reply writeMessage(SimModem& m, const Request& r) {
    return beginText(m, r, false);
}

Reply completeSend(SimModem& m, const TextEntry& entry) {
    ModemState& s = m.state();
    if (!registered(s.network)) return cms(331);
    const int reference = s.nextReference;
    s.nextReference = s.nextReference % 255 + 1;
    s.sent.push_back({entry.number, entry.body, reference});
    Reply reply = ok({"+CMGS: " + number(reference)});
    const bool reportAsked = m.parameterField("+CSMP", 0).toInt() & 0x20;
    if (reportAsked && m.parameterField("+CNMI", 3) == "1") {
        const QByteArray now = quoted(timestampNow());
        reply.later.push_back({"+CDS: 6," + number(reference) + ',' + quoted(entry.number) + ',' +
                                   number(addressType(entry.number)) + ',' + now + ',' + now + ",0",
                               Result::None, s.network.deliveryReportSeconds});
    }
    return reply;
}

Reply completeWrite(SimModem& m, const TextEntry& entry) {
    ModemState& s = m.state();
    const int index = firstFree(s.messages, s.messageCapacity);
    if (!index) return cms(322);
    s.messages[index] = {entry.status, entry.number, {}, entry.body};
    return ok({"+CMGW: " + number(index)});
}

bool messageIndex(const ModemState& s, const Request& r, int& index) {
    return r.kind == Kind::Set && intField(fields(r.args), 0, index, -1) &&
           inRange(index, 1, s.messageCapacity);
}

QByteArray readText(SimModem& m, const ShortMessage& message) {
    QByteArray header = "+CMGR: " + messageFields(message);
    if (m.parameterField("+CSDH", 0) == "1") header += messageDetails(m.state(), message);
    return header + "\r\n" + message.text;
}

Reply readMessage(SimModem& m, const Request& r) {
    ModemState& s = m.state();
    int index = 0;
    if (r.kind == Kind::Test) return ok();
    if (!messageIndex(s, r, index)) return r.kind == Kind::Set ? cms(321) : error();
    const auto found = s.messages.find(index);
    if (found == s.messages.end()) return ok(); // an empty slot
    ShortMessage& message = found->second;
    const QByteArray text = pduMode(s) ? "+CMGR: " + pduText(m, message) : readText(m, message);
    if (message.status == "REC UNREAD") message.status = "REC READ";
    return ok({text});
}

QByteArray listedText(SimModem& m, int index, const ShortMessage& message) {
    const QByteArray prefix = "+CMGL: " + number(index) + ',';
    if (pduMode(m.state())) return prefix + pduText(m, message);
    QByteArray header = prefix + messageFields(message);
    if (m.parameterField("+CSDH", 0) == "1")
        header += ',' + number(addressType(message.number)) + ',' + number(message.text.size());
    return header + "\r\n" + message.text;
}

Reply listMessages(SimModem& m, const Request& r) {
    ModemState& s = m.state();
    if (r.kind == Kind::Test)
        return ok(
            {pduMode(s)
                 ? "+CMGL: (0-4)"
                 : "+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")"});
    const std::optional<QByteArray> wanted = listedStatus(s, r);
    if (!wanted) return cms(304);
    QByteArrayList lines;
    for (auto& [index, message] : s.messages) {
        if (*wanted != "ALL" && message.status != *wanted) continue;
        lines << listedText(m, index, message);
        if (message.status == "REC UNREAD") message.status = "REC READ";
    }
    return ok(lines);
}

// <delflag> 1: read ones, 2: and sent ones, 3: and unsent ones, 4: all.
bool deletedByFlag(const QByteArray& status, int flag) {
    static const QByteArrayList order = {"REC READ", "STO SENT", "STO UNSENT", "REC UNREAD"};
    const int rank = order.indexOf(status);
    return rank >= 0 && rank < flag;
}

Reply deleteMessage(SimModem& m, const Request& r) {
    ModemState& s = m.state();
    int index = 0, flag = 0;
    if (r.kind == Kind::Test) return ok({"+CMGD: (1-" + number(s.messageCapacity) + "),(0-4)"});
    if (!messageIndex(s, r, index) || !intField(fields(r.args), 1, flag, 0) || !inRange(flag, 0, 4))
        return r.kind == Kind::Set ? cms(321) : error();
    if (flag == 0) {
        s.messages.erase(index);
        return ok();
    }
    for (auto it = s.messages.begin(); it != s.messages.end();)
        it = deletedByFlag(it->second.status, flag) ? s.messages.erase(it) : std::next(it);
    return ok();
}

Reply messageStorage(SimModem& m, const Request& r) {
    const ModemState& s = m.state();
    const QByteArray counts = number(int(s.messages.size())) + ',' + number(s.messageCapacity);
    if (r.kind == Kind::Test) return ok({"+CPMS: ((\"SM\"),(\"SM\"),(\"SM\"))"});
    if (r.kind == Kind::Read)
        return ok({"+CPMS: \"SM\"," + counts + ",\"SM\"," + counts + ",\"SM\"," + counts});
    const QByteArrayList f = fields(r.args);
    const bool onlySim =
        std::all_of(f.begin(), f.end(), [](const QByteArray& v) { return v.toUpper() == "SM"; });
    if (r.kind != Kind::Set || f.size() > 3 || !onlySim) return cms(302);
    QByteArrayList repeated;
    for (int i = 0; i < 3; ++i)
        repeated << counts;
    return ok({"+CPMS: " + repeated.join(',')});
}

} // namespace

Reply completeText(SimModem& m, const TextEntry& entry) {
    return entry.send ? completeSend(m, entry) : completeWrite(m, entry);
}

QByteArray timestampNow() {
    return QDateTime::currentDateTime().toString("yy/MM/dd,hh:mm:ss").toLatin1() + "+00";
}

void addMessages(CommandTable& table) {
    table.addCommands({
        {"+CMGF", extendedValue<&Settings::cmgf, 1>},
        {"+CSCA", serviceCentre, Needs::SimForMessages},
        {"+CMGS", sendMessage, Needs::SimForMessages},
        {"+CMGW", writeMessage, Needs::SimForMessages},
        {"+CMGR", readMessage, Needs::SimForMessages},
        {"+CMGL", listMessages, Needs::SimForMessages},
        {"+CMGD", deleteMessage, Needs::SimForMessages},
        {"+CPMS", messageStorage, Needs::SimForMessages},
    });
    table.addParameters({
        {"+CNMI", "0,1,0,0,0", "(0-3),(0-3),(0-3),(0-2),(0-1)"},
        {"+CSMP", "17,167,0,0", "(0-255),(0-255),(0-255),(0-255)"},
        {"+CSDH", "0", "(0,1)"},
        {"+CSCB", "0", "(0,1)"},
    });
}

} // namespace sim::commands
