#include "link/SerialLink.h"

#include "platform/Clock.h"
#include "platform/Handlers.h"

#include <QScopeGuard>

SerialLink::SerialLink(QObject* parent) : QObject(parent) {
    connect(&port_, &MSComm::OnComm, this, &SerialLink::onComm);
}

void SerialLink::setDispatcher(std::function<void(const QString&)> dispatcher) {
    dispatcher_ = std::move(dispatcher);
}

void SerialLink::onComm() {
    QString received;
    if (port_.CommEvent() == MSComm::comEvReceive) received = QString::fromLatin1(port_.Input());
    runGuarded([&] {
        if (dispatcher_) dispatcher_(received);
    });
    // A failure ends the handler; what arrived stays in the log.
}

void SerialLink::sendCommand(const QString& command, double seconds, LogFirst logFirst) {
    if (logFirst == LogFirst::Empty) log_.clear();
    write(command + QLatin1Char('\r'));
    ++commandWaits_;
    const auto done = qScopeGuard([this] { --commandWaits_; });
    Pause(seconds);
}

void SerialLink::awaitRestOfArrival(double seconds) {
    const auto run = arrivalRuns_.insert(commands_);
    const auto done = qScopeGuard([this, run] { arrivalRuns_.erase(run); });
    Pause(seconds);
}

bool SerialLink::isBusyApartFrom(quint64 command) const {
    return commandWaits_ > 0 || arrivalRuns_.size() > arrivalRuns_.count(command);
}

void SerialLink::write(const QString& text) {
    port_.setOutput(text);
    ++commands_;
}
