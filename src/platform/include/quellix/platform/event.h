#pragma once
// Kernel-style events that can be waited on together with file descriptors.
//
// An Event is backed by an eventfd so that I/O waits (HID reads and writes)
// can poll the device and a cancel event at once.  Manual-reset events stay
// signalled until reset; auto-reset events release exactly one wait.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace quellix::platform {

class Event {
public:
    enum class Reset { Manual, Auto };

    explicit Event(Reset reset, bool initiallySignalled = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    // True when signalled; an auto-reset event is reset by a successful wait.
    bool wait(std::chrono::milliseconds timeout);
    // Non-blocking check that does not consume an auto-reset signal.
    bool isSignalled() const;

    Reset resetMode() const { return reset_; }
    // Readable while the event is signalled; for poll() alongside other fds.
    int fd() const { return fd_; }
    // After poll() reported fd() readable: consumes the signal of an
    // auto-reset event (false when another waiter took it first).
    bool acquire();

private:
    // Orders memory like a lock hand-over: set() releases, a wait that
    // sees the event signalled acquires.  poll() and read() on the eventfd
    // order nothing for the C++ memory model (nor for ThreadSanitizer).
    void publish() { generation_.fetch_add(1, std::memory_order_release); }
    void observe() const { (void)generation_.load(std::memory_order_acquire); }

    int fd_;
    Reset reset_;
    // False only while the eventfd is certainly not signalled: set() raises
    // it after signalling, so reset() may skip its system call when it is
    // down (the HID layer resets its cancel event before every transfer).
    std::atomic<bool> maybeSignalled_{false};
    std::atomic<std::uint64_t> generation_{0};
};

inline constexpr int kWaitTimeout = -1;
inline constexpr std::chrono::milliseconds kInfinite{-1};

// Waits until one of the events is signalled and returns its index (the
// lowest signalled one), or kWaitTimeout.  An auto-reset event that ends the
// wait is consumed.
int waitAny(std::span<Event* const> events, std::chrono::milliseconds timeout);
int waitAny(std::initializer_list<Event*> events, std::chrono::milliseconds timeout);

} // namespace quellix::platform
