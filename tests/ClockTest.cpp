#include "link/SerialLink.h"
#include "platform/Timer.h"
#include "tests/Fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>

#include <sys/resource.h>

namespace {
void post(std::function<void()> f) {
    QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
}
} // namespace

using PauseTest = ConsoleTest;

TEST_F(PauseTest, ZeroOrNegativeReturnsAtOnceWithoutHandlingEvents) {
    for (double seconds : {0.0, -1.0, -0.001}) {
        bool handled = false;
        post([&] { handled = true; });
        const double before = clock().seconds();
        Pause(seconds);
        EXPECT_FALSE(handled) << seconds;
        EXPECT_EQ(clock().seconds(), before) << seconds;
        QCoreApplication::processEvents();
        EXPECT_TRUE(handled);
    }
}

TEST_F(PauseTest, HandlesPostedEventsAndTimerTicksWhileWaiting) {
    bool posted = false;
    post([&] { posted = true; });
    Timer timer(nullptr, 300, true);
    std::vector<double> ticks;
    QObject::connect(&timer, &Timer::tick, [&] { ticks.push_back(clock().seconds()); });
    Pause(1);
    EXPECT_TRUE(posted);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_DOUBLE_EQ(ticks[0], 0.3);
    EXPECT_DOUBLE_EQ(ticks[2], 0.9);
    EXPECT_DOUBLE_EQ(clock().seconds(), 1.0);
}

TEST_F(PauseTest, NestedWaitOutlastingTheOuterOneLetsItReturnAtOnce) {
    std::vector<QString> order;
    clock().schedule(0.5, [&] {
        order.push_back("inner starts");
        Pause(2);
        order.push_back("inner ends");
    });
    Pause(1);
    order.push_back("outer ends");
    EXPECT_EQ(order, (std::vector<QString>{"inner starts", "inner ends", "outer ends"}));
    EXPECT_DOUBLE_EQ(clock().seconds(), 2.5);
}

TEST_F(PauseTest, WaitAcrossMidnightEndsTwoSecondsLater) {
    clock().setDateTime(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59)));
    Pause(2);
    EXPECT_EQ(clock().now(), QDateTime(QDate(2026, 3, 2), QTime(0, 0, 1)));
}

TEST_F(PauseTest, DisabledTimerStopsTicking) {
    Timer timer(nullptr, 500, true);
    int ticks = 0;
    QObject::connect(&timer, &Timer::tick, [&] {
        if (++ticks == 2) timer.setEnabled(false);
    });
    Pause(5);
    EXPECT_EQ(ticks, 2);
}

// The production clock: the wait sleeps in the event loop instead of spinning.
TEST(RealPauseTest, WaitsTheRealTimeHandlingEventsWithoutBurningTheProcessor) {
    RealClock clock;
    bool handled = false;
    post([&] { handled = true; });
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer elapsed;
    elapsed.start();
    clock.wait(0.3);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_TRUE(handled);
    EXPECT_GE(elapsed.elapsed(), 290);
    EXPECT_LT(elapsed.elapsed(), 1500);
    const auto cpuMs = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000.0 +
               (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000.0;
    };
    EXPECT_LT(cpuMs(after) - cpuMs(before), 100.0);
}

TEST(RealPauseTest, NestedWaitsReturnWhenTheirTimeHasPassed) {
    RealClock clock;
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 innerEnded = 0;
    clock.schedule(clock.seconds() + 0.05, [&] {
        clock.wait(0.4);
        innerEnded = elapsed.elapsed();
    });
    clock.wait(0.1);
    EXPECT_GE(innerEnded, 440);
    EXPECT_LT(elapsed.elapsed() - innerEnded, 50);
    EXPECT_EQ(clock.waitDepth(), 0);
}

TEST_F(PauseTest, SwitchingOnATimerThatIsOnKeepsItsNextTick) {
    Timer timer(nullptr, 2000, true);
    std::vector<double> ticks;
    QObject::connect(&timer, &Timer::tick, [&] { ticks.push_back(clock().seconds()); });
    clock().schedule(1.5, [&] { timer.setEnabled(true); });
    Pause(4.5);
    EXPECT_EQ(ticks, (std::vector<double>{2.0, 4.0}));
}
