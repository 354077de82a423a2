#include "link/SerialLink.h"

#include "platform/Clock.h"

SerialLink::SerialLink(QObject* parent) : QObject(parent) {
    connect(&port_, &MSComm::OnComm, this, &SerialLink::onComm);
}

void SerialLink::setDispatcher(std::function<void(const QString&)> dispatcher) {
    dispatcher_ = std::move(dispatcher);
}

void SerialLink::onComm() {
    QString received;
    if (port_.CommEvent() == MSComm::comEvReceive) received = QString::fromLatin1(port_.Input());
    try {
        if (dispatcher_) dispatcher_(received);
    } catch (const std::exception&) {
        // A failure ends the handler; what arrived stays in the log.
    }
}

void SerialLink::sendCommand(const QString& command, double seconds, LogFirst logFirst) {
    if (logFirst == LogFirst::Empty) log_.clear();
    write(command + QLatin1Char('\r'));
    awaitReply(seconds);
}

void SerialLink::awaitReply(double seconds) {
    ++waiting_;
    struct Done {
        int& waiting;
        ~Done() { --waiting; }
    } done{waiting_};
    Pause(seconds);
}

void SerialLink::write(const QString& text) {
    port_.setOutput(text);
}

void Pause(double seconds) {
    Clock::instance().wait(seconds);
}
