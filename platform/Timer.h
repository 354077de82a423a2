#pragma once

#include "platform/Clock.h"

#include <QObject>

// A window timer on the console's clock: while enabled it ticks every interval.
// A tick is scheduled before the handler runs, so a handler that waits longer
// than the interval sees the next tick arrive inside its own wait.
class Timer : public QObject {
    Q_OBJECT
  public:
    explicit Timer(QObject* parent = nullptr, int intervalMs = 1000, bool enabled = false);
    ~Timer() override;

    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);

  signals:
    void tick();

  private:
    void arm();
    void disarm();
    void fire();

    int interval_;
    bool enabled_ = false;
    Clock* clock_ = nullptr; // the clock the pending tick is on
    Clock::TaskId pending_ = 0;
};
