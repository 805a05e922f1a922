// The manual clock that lets worker loops run without waiting.
#include "quellix/platform/clock.h"

#include <gtest/gtest.h>

#include <thread>

namespace quellix::platform {
namespace {

using namespace std::chrono_literals;

TEST(ManualClock, SleepsAndAdvancesMoveVirtualTimeAtOnce) {
    ManualClock clock(1000);
    clock.sleep(3000ms);
    clock.advance(5ms);
    clock.advance(-5ms); // time never goes back
    EXPECT_EQ(clock.tickCount(), 4005u);
    EXPECT_EQ(clock.passes(), 1u);
}

TEST(ManualClock, TimedWaitOnSignalledEventTakesNoTime) {
    ManualClock clock;
    Event stop(Event::Reset::Manual, true);
    EXPECT_TRUE(clock.waitFor(stop, 1000ms));
    EXPECT_EQ(clock.tickCount(), 0u);
}

TEST(ManualClock, TimedWaitThatNothingEndsTimesOutInVirtualTime) {
    ManualClock clock;
    Event stop(Event::Reset::Manual), other(Event::Reset::Auto);
    EXPECT_EQ(clock.waitFor({&stop, &other}, 10000ms), kWaitTimeout);
    EXPECT_EQ(clock.tickCount(), 10000u);
}

// A worker polling its stop event with 1 ms waits, as the detection and
// animation workers do, and pacing itself with sleeps.
int runWorker(Clock& clock, Event& stop) {
    int iterations = 0;
    while (!clock.waitFor(stop, 1ms)) {
        ++iterations;
        clock.sleep(1000ms);
    }
    return iterations;
}

TEST(ManualClockThreads, WorkerLoopRunsAheadUntilStopped) {
    ManualClock clock;
    Event stop(Event::Reset::Manual);
    int iterations = 0;
    std::thread worker([&] { iterations = runWorker(clock, stop); });
    while (clock.tickCount() < 60 * 1001) // a virtual minute of polling
        std::this_thread::yield();
    stop.set();
    worker.join();
    EXPECT_GE(iterations, 60);
    // Each pass is one 1 ms poll and one sleep; the stop may land inside
    // the last poll's millisecond.
    const std::uint64_t paced = static_cast<std::uint64_t>(iterations) * 1001;
    EXPECT_GE(clock.tickCount(), paced);
    EXPECT_LE(clock.tickCount(), paced + 1);
}

} // namespace
} // namespace quellix::platform
