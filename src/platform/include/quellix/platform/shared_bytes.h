#pragma once
// Bytes and integers that one thread writes and other threads read without a
// lock: working records, LED cells, flags and effect state.
//
// Every access is a relaxed atomic.  That keeps the single-byte, lock-free
// behaviour the workers rely on (a reader may see a mix of two updates of an
// array, never a torn byte) while staying free of data races in the C++
// memory model, so ThreadSanitizer stays quiet.  Nothing here orders one
// byte against another: code that needs ordering takes the session lock.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quellix::platform {

template <typename T> class Shared {
public:
    constexpr Shared() noexcept = default;
    constexpr explicit Shared(T initial) noexcept : value_(initial) {}
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T v) noexcept { value_.store(v, std::memory_order_relaxed); }
    // Read-modify-write as one atomic step, for counters that several
    // threads advance (the lighting's shared hue counter).
    T fetchAdd(T delta) noexcept { return value_.fetch_add(delta, std::memory_order_relaxed); }
    T addAndGet(T delta) noexcept { return static_cast<T>(fetchAdd(delta) + delta); }

    // Flags such as a session's `connected` read and write like the plain
    // integers they stand for.
    operator T() const noexcept { return load(); }
    Shared& operator=(T v) noexcept {
        store(v);
        return *this;
    }

private:
    std::atomic<T> value_{};
};

using SharedByte = Shared<std::uint8_t>;

// N shared values of type T, all zero at construction.
template <std::size_t N, typename T = std::uint8_t> class SharedArray {
public:
    static constexpr std::size_t kSize = N;

    constexpr SharedArray() noexcept = default;
    SharedArray(const SharedArray&) = delete;
    SharedArray& operator=(const SharedArray&) = delete;

    static constexpr std::size_t size() noexcept { return N; }
    T load(std::size_t i) const noexcept { return items_[i].load(); }
    void store(std::size_t i, T v) noexcept { items_[i].store(v); }
    Shared<T>& operator[](std::size_t i) noexcept { return items_[i]; }
    const Shared<T>& operator[](std::size_t i) const noexcept { return items_[i]; }

    void fill(T v) noexcept {
        for (auto& item : items_)
            item.store(v);
    }
    // Copies min(N, source.size()) values in from the front; the rest keep
    // their contents.
    void copyIn(std::span<const T> source) noexcept {
        const std::size_t n = std::min(N, source.size());
        for (std::size_t i = 0; i < n; ++i)
            items_[i].store(source[i]);
    }
    // Copies min(N, target.size()) values out to the front of target.
    void copyOut(std::span<T> target) const noexcept {
        const std::size_t n = std::min(N, target.size());
        for (std::size_t i = 0; i < n; ++i)
            target[i] = items_[i].load();
    }
    std::array<T, N> snapshot() const noexcept {
        std::array<T, N> out{};
        copyOut(out);
        return out;
    }

    std::span<Shared<T>, N> span() noexcept { return items_; }
    std::span<const Shared<T>, N> span() const noexcept { return items_; }

private:
    std::array<Shared<T>, N> items_{};
};

// Copy between shared spans of possibly different lengths (the shorter wins).
template <typename T>
void copyShared(std::span<const Shared<T>> from, std::span<Shared<T>> to) noexcept {
    const std::size_t n = std::min(from.size(), to.size());
    for (std::size_t i = 0; i < n; ++i)
        to[i].store(from[i].load());
}

} // namespace quellix::platform
