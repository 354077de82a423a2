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

void SerialLink::sendCommand(const QString& command, double seconds, LogFirst logFirst) {
    if (logFirst == LogFirst::Empty) log_.clear();
    write(command + QLatin1Char('\r'));
    ++exchangeWaits_;
    const auto done = qScopeGuard([this] { --exchangeWaits_; });
    waitFor(commands_, seconds);
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
