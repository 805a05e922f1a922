#include "quellix/platform/event.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace quellix::platform {

namespace {

constexpr std::int64_t kLongestWaitMs = 365LL * 24 * 3600 * 1000;

int pollTimeout(std::chrono::milliseconds remaining) {
    if (remaining.count() < 0)
        return -1;
    return static_cast<int>(std::min<std::int64_t>(remaining.count(), INT32_MAX));
}

} // namespace

Event::Event(Reset reset, bool initiallySignalled)
    : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), reset_(reset) {
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    if (initiallySignalled)
        set();
}

Event::~Event() {
    ::close(fd_);
}

void Event::set() {
    publish();
    // The counter only tells "signalled or not": keep it at 1 so that one
    // read() resets it whatever the number of set() calls.
    if (!isSignalled()) {
        std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(fd_, &one, sizeof one);
    }
    maybeSignalled_.store(true, std::memory_order_release);
}

void Event::reset() {
    if (!maybeSignalled_.exchange(false, std::memory_order_acq_rel))
        return;
    std::uint64_t value;
    [[maybe_unused]] auto n = ::read(fd_, &value, sizeof value);
}

bool Event::isSignalled() const {
    pollfd p{fd_, POLLIN, 0};
    bool signalled = ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
    if (signalled)
        observe();
    return signalled;
}

bool Event::acquire() {
    if (reset_ == Reset::Manual)
        return isSignalled();
    std::uint64_t value;
    bool taken = ::read(fd_, &value, sizeof value) == sizeof value;
    if (taken)
        observe();
    return taken;
}

bool Event::wait(std::chrono::milliseconds timeout) {
    Event* self = this;
    return waitAny(std::span<Event* const>(&self, 1), timeout) == 0;
}

int waitAny(std::initializer_list<Event*> events, std::chrono::milliseconds timeout) {
    return waitAny(std::span<Event* const>(events.begin(), events.size()), timeout);
}

int waitAny(std::span<Event* const> events, std::chrono::milliseconds timeout) {
    using SteadyClock = std::chrono::steady_clock;
    const bool infinite = timeout.count() < 0;
    // Clamp so that adding the timeout to now() cannot overflow; a wait of
    // a year is as good as forever for every caller.
    const auto bounded = std::min(timeout, std::chrono::milliseconds{kLongestWaitMs});
    const auto deadline = SteadyClock::now() + bounded;
    // Workers poll their stop events every millisecond: keep the usual
    // handful of descriptors off the heap.
    constexpr std::size_t kInline = 16;
    std::array<pollfd, kInline> inlineFds;
    std::vector<pollfd> heapFds;
    pollfd* fds = inlineFds.data();
    if (events.size() > kInline) {
        heapFds.resize(events.size());
        fds = heapFds.data();
    }
    for (;;) {
        for (std::size_t i = 0; i < events.size(); ++i)
            fds[i] = pollfd{events[i]->fd(), POLLIN, 0};
        // Round up: poll() counts whole milliseconds, and rounding down
        // would spin through the last fraction of a millisecond.
        auto remaining =
            infinite ? kInfinite
                     : std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (!infinite && remaining.count() < 0)
            remaining = std::chrono::milliseconds{0};
        int n = ::poll(fds, events.size(), pollTimeout(remaining));
        if (n < 0 && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
        for (std::size_t i = 0; n > 0 && i < events.size(); ++i)
            if ((fds[i].revents & POLLIN) && events[i]->acquire())
                return static_cast<int>(i);
        if (!infinite && SteadyClock::now() >= deadline)
            return kWaitTimeout;
    }
}

} // namespace quellix::platform
