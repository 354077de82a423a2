#include "platform/Clock.h"
#include "platform/Installed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <map>
#include <utility>

Clock& Clock::instance() {
    return Installed<Clock, RealClock>::get();
}

std::unique_ptr<Clock> Clock::install(std::unique_ptr<Clock> clock) {
    return Installed<Clock, RealClock>::install(std::move(clock));
}

Clock::DepthScope::~DepthScope() {
    if (--clock.depth_ == 0 && clock.idleHook_) std::exchange(clock.idleHook_, nullptr)();
}

// ---------------------------------------------------------------- real clock

struct RealClock::Impl {
    QElapsedTimer elapsed;
    std::map<TaskId, std::unique_ptr<QTimer>> tasks;
    TaskId nextId = 1;
};

RealClock::RealClock() : d(std::make_unique<Impl>()) {
    d->elapsed.start();
}
RealClock::~RealClock() = default;

double RealClock::seconds() const {
    return d->elapsed.nsecsElapsed() / 1e9;
}

QDateTime RealClock::now() const {
    return QDateTime::currentDateTime();
}

void RealClock::wait(double seconds) {
    if (!(seconds > 0)) return;
    DepthScope scope(*this);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::ceil(seconds * 1000)));
    // The event loop sleeps until an event or the timer comes; an inner wait that
    // outlasts this one leaves nothing to do here but return.
    loop.exec();
}

Clock::TaskId RealClock::schedule(double due, Callback callback) {
    const TaskId id = d->nextId++;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id, callback = std::move(callback)] {
        auto task = d->tasks.find(id);
        if (task == d->tasks.end()) return;
        task->second.release()->deleteLater();
        d->tasks.erase(task);
        callback();
    });
    timer->start(std::max(0, static_cast<int>(std::ceil((due - seconds()) * 1000))));
    d->tasks.emplace(id, std::move(timer));
    return id;
}

void RealClock::cancel(TaskId id) {
    d->tasks.erase(id);
}

// ------------------------------------------------------------- virtual clock

struct VirtualClock::Impl {
    QDateTime start;
    // Ordered by due time, then by order of scheduling.
    std::map<std::pair<double, TaskId>, Callback> queue;
    std::map<TaskId, double> dueOf;
    TaskId nextId = 1;
};

VirtualClock::VirtualClock(const QDateTime& start) : d(std::make_unique<Impl>()) {
    d->start = start;
}
VirtualClock::~VirtualClock() = default;

QDateTime VirtualClock::now() const {
    return d->start.addMSecs(static_cast<qint64>(std::floor(now_ * 1000 + 0.5)));
}

void VirtualClock::setDateTime(const QDateTime& start) {
    d->start = start.addMSecs(-static_cast<qint64>(std::floor(now_ * 1000 + 0.5)));
}

bool VirtualClock::hasTaskDueBy(double due) const {
    return !d->queue.empty() && d->queue.begin()->first.first <= due;
}

void VirtualClock::wait(double seconds) {
    if (!(seconds > 0)) return;
    const double until = now_ + seconds;
    DepthScope scope(*this);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
        if (now_ >= until) return;
        if (!hasTaskDueBy(until)) {
            now_ = until;
            continue; // one more pass for what the last task posted
        }
        auto next = d->queue.begin();
        const double due = next->first.first;
        Callback task = std::move(next->second);
        d->dueOf.erase(next->first.second);
        d->queue.erase(next);
        now_ = std::max(now_, due);
        task();
    }
}

Clock::TaskId VirtualClock::schedule(double due, Callback callback) {
    const TaskId id = d->nextId++;
    d->queue.emplace(std::make_pair(due, id), std::move(callback));
    d->dueOf.emplace(id, due);
    return id;
}

void VirtualClock::cancel(TaskId id) {
    auto found = d->dueOf.find(id);
    if (found == d->dueOf.end()) return;
    d->queue.erase(std::make_pair(found->second, id));
    d->dueOf.erase(found);
}

void Pause(double seconds) {
    Clock::instance().wait(seconds);
}
