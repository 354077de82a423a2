#pragma once

#include <QDateTime>

#include <functional>
#include <memory>

// The one clock behind every wait and every timer of the console.
//
// In production it is the real monotonic clock and a wait runs the event loop
// until its time is up. In tests it is a virtual clock that only moves while
// something waits, so that long pauses cost nothing and runs are repeatable.
class Clock {
  public:
    using Callback = std::function<void()>;
    using TaskId = quint64;

    virtual ~Clock() = default;

    // Seconds on a clock that never goes back.
    virtual double seconds() const = 0;
    // The wall-clock date and time.
    virtual QDateTime now() const = 0;
    // Waits the given seconds while handling every kind of event; returns at once,
    // handling nothing, for zero or a negative value.
    virtual void wait(double seconds) = 0;
    // Runs the callback once, when the clock has reached `due` (in `seconds()`).
    virtual TaskId schedule(double due, Callback callback) = 0;
    virtual void cancel(TaskId id) = 0;

    // How many waits are in progress, nested on the stack.
    int waitDepth() const { return depth_; }
    // Called once, when the outermost wait has next returned.
    void setIdleHook(Callback hook) { idleHook_ = std::move(hook); }

    static Clock& instance();
    // Installs the clock for the whole program; returns the previous one.
    static std::unique_ptr<Clock> install(std::unique_ptr<Clock> clock);

    // Counts as a wait while it lives: also for event loops of their own, such
    // as a message box's, inside which a handler is suspended as in a wait.
    struct DepthScope {
        explicit DepthScope(Clock& c) : clock(c) { ++clock.depth_; }
        ~DepthScope();
        DepthScope(const DepthScope&) = delete;
        DepthScope& operator=(const DepthScope&) = delete;
        Clock& clock;
    };

  private:
    int depth_ = 0;
    Callback idleHook_;
};

class RealClock : public Clock {
  public:
    RealClock();
    ~RealClock() override;
    double seconds() const override;
    QDateTime now() const override;
    void wait(double seconds) override;
    TaskId schedule(double due, Callback callback) override;
    void cancel(TaskId id) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A clock that moves only when something waits. Scheduled tasks (timer ticks,
// serial arrivals) run in time order, tasks due at the same time in the order
// they were scheduled.
class VirtualClock : public Clock {
  public:
    explicit VirtualClock(const QDateTime& start = QDateTime(QDate(2026, 1, 15), QTime(10, 0, 0)));
    ~VirtualClock() override;
    double seconds() const override { return now_; }
    QDateTime now() const override;
    void wait(double seconds) override;
    TaskId schedule(double due, Callback callback) override;
    void cancel(TaskId id) override;

    void setDateTime(const QDateTime& start);

  private:
    bool hasTaskDueBy(double due) const;

    struct Impl;
    std::unique_ptr<Impl> d;
    double now_ = 0;
};

// Waits on the console's clock while every kind of event is handled: the
// timed wait inside which every reply arrives.
void Pause(double seconds);
