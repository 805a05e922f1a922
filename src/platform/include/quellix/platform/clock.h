#pragma once
// Tick counts, sleeps and timed event waits through one injectable clock, so
// that worker loops run against a manual clock in tests without waiting in
// real time.
//
// Code that paces itself takes a Clock& and never calls
// std::this_thread::sleep_for or waitAny with a timeout directly.
//
// How waits behave on each clock:
// - SystemClock: sleep() and waitFor() wait in real time; tickCount() counts
//   milliseconds of the monotonic clock.
// - ManualClock: time stands still until advance() or sleep() moves it.
//   sleep(d) adds d at once and returns.  waitFor(events, d) first looks
//   whether an event is already signalled (then it returns that index and
//   time does not move); otherwise the whole timeout passes at once in
//   virtual time (tickCount() grows by d) and the events are looked at once
//   more, so a wait that nothing ends returns kWaitTimeout immediately.  A
//   wait with kInfinite cannot pass in virtual time: it blocks in real time
//   until an event is set.  The virtual time is shared by all threads that
//   use the clock and only grows.

#include "quellix/platform/event.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace quellix::platform {

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start; 64 bits, so it never wraps.
    virtual std::uint64_t tickCount() const = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    // Like waitAny(): the index of the signalled event (an auto-reset event
    // is consumed), or kWaitTimeout.
    virtual int waitFor(std::span<Event* const> events, std::chrono::milliseconds timeout) = 0;

    int waitFor(std::initializer_list<Event*> events, std::chrono::milliseconds timeout) {
        return waitFor(std::span<Event* const>(events.begin(), events.size()), timeout);
    }
    // True when the event was signalled within the timeout.
    bool waitFor(Event& event, std::chrono::milliseconds timeout) {
        Event* one = &event;
        return waitFor(std::span<Event* const>(&one, 1), timeout) == 0;
    }
};

class SystemClock final : public Clock {
public:
    std::uint64_t tickCount() const override;
    void sleep(std::chrono::milliseconds duration) override;
    int waitFor(std::span<Event* const> events, std::chrono::milliseconds timeout) override;
    using Clock::waitFor;
};

// The process-wide real clock.
Clock& systemClock();

class ManualClock final : public Clock {
public:
    explicit ManualClock(std::uint64_t startTick = 0) : now_(startTick) {}

    std::uint64_t tickCount() const override { return now_.load(std::memory_order_acquire); }
    void sleep(std::chrono::milliseconds duration) override;
    int waitFor(std::span<Event* const> events, std::chrono::milliseconds timeout) override;
    using Clock::waitFor;

    // Moves virtual time forward (negative durations are ignored).
    void advance(std::chrono::milliseconds duration);
    // Total number of sleep() calls and timed waits that let time pass; lets
    // a test wait until a worker has gone round its loop n times.
    std::uint64_t passes() const { return passes_.load(std::memory_order_acquire); }

private:
    std::atomic<std::uint64_t> now_;
    std::atomic<std::uint64_t> passes_{0};
};

} // namespace quellix::platform
