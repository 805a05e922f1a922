#pragma once
// A value that one thread writes and others read without the session lock.
//
// The flags of a session are read by workers on every iteration; a relaxed
// atomic keeps those reads as cheap as a plain load while making the
// sharing well defined.  Nothing is ordered by these values: whatever must
// be ordered goes through the session lock.

#include <atomic>

namespace quellix::device {

template <class T> class Relaxed {
public:
    constexpr Relaxed(T value = T{}) noexcept : value_(value) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }
    operator T() const noexcept { return load(); }
    Relaxed& operator=(T value) noexcept {
        store(value);
        return *this;
    }

private:
    std::atomic<T> value_;
};

} // namespace quellix::device
