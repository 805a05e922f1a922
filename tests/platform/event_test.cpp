// Events, waits on several events, and the recursive lock across threads.
#include "quellix/platform/event.h"
#include "quellix/platform/lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace quellix::platform {
namespace {

using namespace std::chrono_literals;

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(Event::Reset::Manual);
    EXPECT_FALSE(event.wait(0ms));
    event.set();
    event.set();
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_TRUE(event.wait(0ms));
    event.reset();
    EXPECT_FALSE(event.isSignalled());
    EXPECT_FALSE(event.wait(1ms));
}

TEST(Event, AutoResetReleasesOneWait) {
    Event event(Event::Reset::Auto, true);
    EXPECT_TRUE(event.isSignalled()); // looking does not consume
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_FALSE(event.wait(0ms));
}

TEST(Event, WaitAnyReturnsTheLowestSignalledIndexOrTimeout) {
    Event a(Event::Reset::Manual), b(Event::Reset::Auto), c(Event::Reset::Manual);
    EXPECT_EQ(waitAny({&a, &b, &c}, 1ms), kWaitTimeout);
    c.set();
    b.set();
    EXPECT_EQ(waitAny({&a, &b, &c}, 0ms), 1); // consumes b
    EXPECT_EQ(waitAny({&a, &b, &c}, 0ms), 2); // c is manual: stays
    EXPECT_EQ(waitAny({&a, &b, &c}, 0ms), 2);
}

TEST(EventThreads, SetFromAnotherThreadEndsAnInfiniteWait) {
    Event stop(Event::Reset::Manual), work(Event::Reset::Auto);
    std::thread setter([&] { work.set(); });
    EXPECT_EQ(waitAny({&stop, &work}, kInfinite), 1);
    setter.join();
}

// Data written before set() is visible to the thread whose wait the set
// ended, for manual events too (whose waits only poll, never read).
TEST(EventThreads, SetPublishesEarlierWritesToTheWaiter) {
    for (auto reset : {Event::Reset::Manual, Event::Reset::Auto}) {
        Event ready(reset);
        int payload = 0;
        std::thread producer([&] {
            payload = 42;
            ready.set();
        });
        ASSERT_TRUE(ready.wait(kInfinite));
        EXPECT_EQ(payload, 42);
        producer.join();
    }
}

TEST(EventThreads, AnAutoResetSignalWakesExactlyOneOfManyWaiters) {
    Event event(Event::Reset::Auto), done(Event::Reset::Manual);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&] {
            if (waitAny({&done, &event}, kInfinite) == 1)
                ++woken;
        });
    event.set();
    while (woken.load() == 0)
        std::this_thread::yield();
    done.set();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woken.load(), 1);
}

TEST(RecursiveLockThreads, ReentersOnItsThreadAndExcludesOthers) {
    RecursiveLock lock;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 1000; ++i) {
            std::lock_guard outer(lock);
            std::lock_guard inner(lock); // a command calling a command
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 2000);
    std::unique_lock held(lock);
    std::thread other([&] { EXPECT_FALSE(lock.try_lock()); });
    other.join();
}

} // namespace
} // namespace quellix::platform
