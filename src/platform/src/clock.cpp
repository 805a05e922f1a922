#include "quellix/platform/clock.h"

#include <thread>

namespace quellix::platform {

std::uint64_t SystemClock::tickCount() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::sleep(std::chrono::milliseconds duration) {
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

int SystemClock::waitFor(std::span<Event* const> events, std::chrono::milliseconds timeout) {
    return waitAny(events, timeout);
}

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

void ManualClock::advance(std::chrono::milliseconds duration) {
    if (duration.count() > 0)
        now_.fetch_add(static_cast<std::uint64_t>(duration.count()), std::memory_order_acq_rel);
}

void ManualClock::sleep(std::chrono::milliseconds duration) {
    advance(duration);
    passes_.fetch_add(1, std::memory_order_acq_rel);
    // Lets the threads a test is coordinating with run between the
    // iterations of a loop that only sleeps.
    std::this_thread::yield();
}

int ManualClock::waitFor(std::span<Event* const> events, std::chrono::milliseconds timeout) {
    if (timeout.count() < 0)
        return waitAny(events, kInfinite);
    int index = waitAny(events, std::chrono::milliseconds{0});
    if (index != kWaitTimeout)
        return index;
    sleep(timeout);
    return waitAny(events, std::chrono::milliseconds{0});
}

} // namespace quellix::platform
