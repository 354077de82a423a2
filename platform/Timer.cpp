#include "platform/Timer.h"

Timer::Timer(QObject* parent, int intervalMs, bool enabled)
    : QObject(parent), interval_(intervalMs) {
    setEnabled(enabled);
}

Timer::~Timer() {
    disarm();
}

void Timer::disarm() {
    if (clock_ && pending_) clock_->cancel(pending_);
    pending_ = 0;
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    if (enabled_) arm();
}

// Switching on a timer that is already on changes nothing: its next tick keeps its time.
void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (on)
        arm();
    else
        disarm();
}

void Timer::arm() {
    disarm();
    if (interval_ <= 0) return;
    clock_ = &Clock::instance();
    pending_ = clock_->schedule(clock_->seconds() + interval_ / 1000.0, [this] { fire(); });
}

void Timer::fire() {
    pending_ = 0;
    if (!enabled_) return;
    arm();
    emit tick();
}
