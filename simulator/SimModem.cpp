#include "simulator/SimModem.h"

#include "simulator/commands/Command.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace sim {

using namespace commands;

namespace {

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
    {14, "SIM busy"},
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
    {314, "SIM busy"},
    {316, "SIM PUK required"},
    {321, "invalid memory index"},
    {322, "memory full"},
    {331, "no network service"},
};

QByteArray informationText(const Settings& s, const QByteArray& text) {
    if (text.isEmpty()) return {};
    return s.verbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

// Whether a failure of this kind is shown as its extended error, as "AT+CMEE"
// asks or as the module does anyway.
bool extended(const ModemState& m, Result result) {
    if (result == Result::CmeError) return m.settings.cmee || m.shapes.equipmentErrorsExtended;
    return m.settings.cmee || m.shapes.messageErrorsExtended;
}

// "+CME ERROR: 10", or with +CMEE=2 the error's text where it has one.
QByteArray extendedError(const Settings& s, Result result, int code) {
    const auto text = kErrorTexts.find(code);
    const QByteArray detail =
        s.cmee == 2 && text != kErrorTexts.end() ? QByteArray(text->second) : number(code);
    return (result == Result::CmeError ? "+CME ERROR: " : "+CMS ERROR: ") + detail;
}

QByteArray resultText(const ModemState& m, Result result, int code) {
    const Settings& s = m.settings;
    if (result == Result::None) return {};
    if (result == Result::Prompt) return "\r\n> ";
    if (result == Result::CmeError || result == Result::CmsError) {
        if (extended(m, result)) return informationText(s, extendedError(s, result, code));
        result = Result::Error;
    }
    if (s.quiet) return {};
    for (const ResultCode& rc : kResultCodes)
        if (rc.result == result)
            return s.verbose ? "\r\n" + QByteArray(rc.word) + "\r\n" : number(rc.number) + "\r";
    return {};
}

// Lines of one response share a header and a trailer, as in a +CPBR list.
QByteArray informationLines(const Settings& s, const Reply& r) {
    return informationText(s, r.lines.join("\r\n"));
}

SimModem::TimeSource steadyClock() {
    using namespace std::chrono;
    return [start = steady_clock::now()] {
        return duration<double>(steady_clock::now() - start).count();
    };
}

int prefixPosition(const QByteArray& text) {
    for (int i = 0; i + 1 < text.size(); ++i)
        if ((text[i] == 'A' && text[i + 1] == 'T') || (text[i] == 'a' && text[i + 1] == 't'))
            return i;
    return -1;
}

} // namespace

std::optional<Refusal> refusalFromText(const QByteArray& text) {
    const QByteArray trimmed = text.trimmed();
    if (trimmed == "ERROR") return Refusal{};
    static const std::pair<const char*, Refusal::Kind> kinds[] = {
        {"+CME ERROR:", Refusal::Kind::Equipment}, {"+CMS ERROR:", Refusal::Kind::Message}};
    for (const auto& [prefix, kind] : kinds) {
        int code = 0;
        if (trimmed.startsWith(prefix) && toInt(trimmed.mid(qstrlen(prefix)).trimmed(), code))
            return Refusal{kind, code};
    }
    return std::nullopt;
}

std::optional<Silence> silenceFromText(const QByteArray& text) {
    const QByteArrayList words = text.simplified().split(' ');
    const QByteArray how = words.value(0).toLower();
    int n = 0;
    if (how == "now" && words.size() == 1) return Silence{{}, 0};
    if (how == "after" && inRange(words.size(), 2, 3) && toInt(words[1], n) && n > 0)
        return Silence{words.value(2), n};
    if (how == "at" && words.size() == 2) return Silence{words[1], 1, false};
    if (how == "within" && words.size() == 3 && toInt(words[2], n) && n >= 0)
        return Silence{words[1], 1, true, n};
    return std::nullopt;
}

ModemState::ModemState() : settings(factorySettings()), storedProfile(settings) {
    for (const char* storage : {"SM", "FD", "LD", "MC", "RC", "ON"})
        phonebooks[storage].capacity = QByteArray(storage) == "SM" ? 250 : 10;
    lockPasswords = {{"PS", "12345678"}, {"PN", "12345678"}};
    locks = {{"PS", 0}, {"PN", 0}};
    contexts[1] = {"IP", "internet"};
}

SimModem::SimModem(Sender send, TimeSource now)
    : send_(std::move(send)), now_(now ? std::move(now) : steadyClock()), started_(now_()) {}

double SimModem::secondsSinceStart() const {
    return now_() - started_;
}

void SimModem::restart() {
    state_.settings = state_.storedProfile;
    state_.call = Call();
    state_.poweredOff = false;
    state_.functionality = 1;
    text_.reset();
    line_.clear();
    silence_.reset();
    silent_ = false;
    started_ = now_();
}

void SimModem::fallSilent(const Silence& when) {
    silence_ = when;
    if (when.occurrence <= 0) becomeSilent();
}

bool SimModem::fallsSilentAt(const QByteArray& commandLine) {
    if (!silence_ || !commandLine.toUpper().startsWith(silence_->command.toUpper())) return false;
    return --silence_->occurrence <= 0;
}

void SimModem::becomeSilent() {
    silent_ = true;
    silence_.reset();
    linesKept_.reset();
    text_.reset();
    if (onSilence_) onSilence_(std::max(0.0, lastDue_ - now_()));
}

// The SIM is read for a while after the module starts; an absent one is known at once.
void SimModem::refreshSim() {
    SimCard& sim = state_.sim;
    sim.busy =
        sim.status != SimStatus::Absent && secondsSinceStart() < state_.shapes.simNotReadySeconds;
}

bool LineFormat::matches(int lineRate, char lineParity, int lineDataBits, int lineStopBits) const {
    if (rate != 0 && rate != lineRate) return false;
    return dataBits == 0 ||
           (dataBits == lineDataBits && parity == lineParity && stopBits == lineStopBits);
}

QByteArray LineFormat::text() const {
    const QByteArray framing =
        dataBits == 0 ? QByteArray("auto")
                      : QByteArray(1, parity) + ',' + number(dataBits) + ',' + number(stopBits);
    return (rate == 0 ? QByteArray("auto") : number(rate)) + ',' + framing;
}

QByteArrayList inPieces(const QByteArray& bytes, int pieces) {
    pieces = std::max(1, std::min<int>(pieces, bytes.size()));
    QByteArrayList parts;
    for (int i = 0; i < pieces; ++i) {
        const qsizetype begin = bytes.size() * i / pieces;
        const qsizetype end = bytes.size() * (i + 1) / pieces;
        parts << bytes.mid(begin, end - begin);
    }
    return parts;
}

void SimModem::setRate(int baud) {
    state_.settings.params["+IPR"] = number(baud);
    state_.storedProfile = state_.settings;
}

LineFormat SimModem::line() const {
    if (answeringOn_) return *answeringOn_;
    LineFormat line = framingOf(parameterField("+ICF", 0), parameterField("+ICF", 1));
    line.rate = parameterField("+IPR", 0).toInt();
    return line;
}

QByteArray SimModem::parameterField(const QByteArray& name, int index) const {
    const auto found = state_.settings.params.find(name);
    return found == state_.settings.params.end() ? QByteArray()
                                                 : splitFields(found->second).value(index);
}

void SimModem::receive(const QByteArray& bytes) {
    received_ += bytes;
    int pos = 0;
    while (pos < bytes.size() && speaks())
        pos = text_ ? consumeText(bytes, pos) : consumeCommand(bytes, pos);
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
    text_->body += chunk;
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
    const bool last = fallsSilentAt(commandLine);
    if (last && !silence_->echoed) return becomeSilent();
    if (last) linesKept_ = silence_->lines;
    const QByteArray echo = state_.settings.echo ? line_ : QByteArray();
    const auto override = overrides_.find(commandLine);
    if (override != overrides_.end()) {
        reply(echo + override->second);
    } else {
        answeringOn_ = line();
        refreshSim();
        const Reply r = execute(*this, commandLine.mid(2));
        const auto drop = dropped_.find(commandLine);
        if (drop != dropped_.end() && drop->second)
            reply(echo);
        else
            deliver(echo, r);
        answeringOn_.reset();
    }
    if (last) becomeSilent();
}

void SimModem::startText(const TextEntry& entry) {
    text_ = entry;
}

void SimModem::finishText(bool submit) {
    const TextEntry entry = *text_;
    text_.reset();
    deliver({}, submit ? completeText(*this, entry) : ok());
}

// The echo goes at once; the information text after the reply delay, the
// result or the prompt after the prompt's own delay too.
void SimModem::deliver(const QByteArray& echo, const Reply& r) {
    const Settings& s = state_.settings;
    const Reply kept = keptOf(r);
    const double wait = state_.shapes.replyDelaySeconds;
    const double promptWait = kept.result == Result::Prompt ? state_.shapes.promptDelay : 0;
    replyInTurn({{echo, 0},
                 {informationLines(s, kept), wait},
                 {resultText(state_, kept.result, kept.code), wait + promptWait}});
    for (const Later& later : kept.later)
        reply(informationText(s, later.line) + resultText(state_, later.result, 0),
              wait + later.delay);
}

// What of the answer still goes out where the module falls silent.
Reply SimModem::keptOf(const Reply& r) const {
    Reply kept = r;
    if (!linesKept_) return kept;
    kept.later.clear();
    if (*linesKept_ >= 0) {
        kept.lines = r.lines.mid(0, *linesKept_);
        kept.result = Result::None;
    }
    return kept;
}

// Parts due at the same time, one after the other, go out as one.
void SimModem::replyInTurn(std::initializer_list<Part> parts) {
    QByteArray pending;
    double due = 0;
    for (const Part& part : parts) {
        if (part.bytes.isEmpty()) continue;
        if (!pending.isEmpty() && part.delay != due) reply(std::exchange(pending, {}), due);
        if (pending.isEmpty()) due = part.delay;
        pending += part.bytes;
    }
    reply(pending, due);
}

void SimModem::reply(const QByteArray& bytes, double extraDelay) {
    if (bytes.isEmpty()) return;
    const QByteArrayList parts = inPieces(bytes, pieces_);
    for (int i = 0; i < parts.size(); ++i)
        send(parts[i], latency_ + extraDelay + i * gap_);
}

void SimModem::send(const QByteArray& bytes, double delay) {
    lastDue_ = std::max(lastDue_, now_() + delay);
    send_(bytes, delay);
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
    if (!text.isEmpty() && speaks()) send(text, delaySeconds);
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
                                                       : resultText(state_, Result::Ring, 0);
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
    unsolicited(resultText(state_, Result::NoCarrier, 0));
}

void SimModem::callWaiting(const QByteArray& number) {
    const ModemState& s = state_;
    if (!s.settings.ccwa || !(s.network.callWaitingClasses & 1) ||
        s.call.status == CallStatus::Idle)
        return;
    unsolicited(informationText(s.settings, "+CCWA: " + quoted(number) + ',' +
                                                commands::number(addressType(number)) + ",1"));
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
        unsolicited(informationText(state_.settings, registrationText(state_, false)));
}

} // namespace sim
