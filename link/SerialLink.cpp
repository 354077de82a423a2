#include "link/SerialLink.h"
#include "link/Log.h"

#include "platform/Clock.h"
#include "platform/Handlers.h"

#include <QScopeGuard>

SerialLink::SerialLink(QObject* parent) : QObject(parent) {
    connect(&port_, &MSComm::OnComm, this, &SerialLink::onComm);
}

void SerialLink::setDispatcher(std::function<void(const QString&)> dispatcher) {
    dispatcher_ = std::move(dispatcher);
}

void SerialLink::setDeviceLostHandler(std::function<void()> handler) {
    deviceLost_ = std::move(handler);
}

void SerialLink::onComm() {
    QString received;
    const int event = port_.CommEvent();
    if (event == MSComm::comEvReceive) received = QString::fromLatin1(port_.Input());
    if (MSComm::isDeviceLost(event) && !port_.PortOpen() && deviceLost_) deviceLost_();
    // A failure ends the handler; what arrived stays in the log.
    runGuarded(lcLink, [&] {
        if (dispatcher_) dispatcher_(received);
    });
}

namespace {
// The modem takes what follows a message's prompt as its text.
struct WaitingForText : Failure {
    WaitingForText() : Failure("the modem waits for a message's text") {}
};
const QChar kCancelEntry(27);
} // namespace

void SerialLink::writeCommand(const QString& command, LogFirst logFirst) {
    if (openEntry_) throw WaitingForText();
    if (logFirst == LogFirst::Empty) log_.clear();
    write(command + QLatin1Char('\r'));
}

void SerialLink::sendCommand(const QString& command, double seconds, LogFirst logFirst,
                             exchange::Waiting::Yields yields) {
    writeCommand(command, logFirst);
    const exchange::Waiting waiting(yields);
    waitFor(commands_, seconds);
}

void SerialLink::sendForResult(const QString& command, double seconds, double lateSeconds) {
    // The result is looked for twice a second: soon enough once it has come,
    // and few enough waits for a module that never gives it.
    constexpr double kLook = 0.5;
    writeCommand(command, LogFirst::Empty);
    const quint64 sent = commands_;
    const exchange::Waiting waiting;
    waitFor(sent, seconds);
    const Clock& clock = Clock::instance();
    const double until = clock.seconds() + lateSeconds;
    while (!log_.succeeded(command, TerminalLog::Judged::Final).has_value() &&
           clock.seconds() < until)
        waitFor(sent, kLook);
}

SerialLink::TextEntry::~TextEntry() {
    if (link_.openEntry_ == this) link_.openEntry_ = nullptr;
}

void SerialLink::TextEntry::sendCommand(const QString& command, double seconds) {
    link_.writeCommand(command, LogFirst::Empty);
    // From now on the modem may take what comes as the text.
    link_.openEntry_ = this;
    const exchange::Waiting waiting;
    link_.waitFor(link_.commands_, seconds);
}

void SerialLink::TextEntry::sendText(const QString& text, double seconds) {
    link_.write(text);
    link_.openEntry_ = nullptr;
    const exchange::Waiting waiting;
    link_.waitFor(link_.commands_, seconds);
}

void SerialLink::cancelTextEntry() {
    if (openEntry_) openEntry_->sendText(QString(kCancelEntry), 1);
}

void SerialLink::awaitRestOfArrival(double seconds) {
    waitFor(commands_, seconds);
}

void SerialLink::waitFor(quint64 command, double seconds) {
    const auto wait = waits_.insert(command);
    const auto done = qScopeGuard([this, wait] { waits_.erase(wait); });
    Pause(seconds);
}

bool SerialLink::isBusyApartFrom(quint64 command) const {
    return waits_.size() > waits_.count(command);
}

void SerialLink::write(const QString& text) {
    // Numbered first: the send event may come while the text is written.
    ++commands_;
    port_.setOutput(text);
}
