#pragma once
// Tables written the way they are read: runs of consecutive numbers
// ("15–0", "21–61") and repeated fillers ("126×5"), expanded at compile
// time into a fixed array.  A count that does not match the array size is
// a compile error.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace quellix::lighting::tables {

struct Run {
    int from;
    int to;
    int times = 1; // for a single value repeated
};

// a–b, counted upwards or downwards.
constexpr Run run(int from, int to) {
    return {from, to, 1};
}
// One value.
constexpr Run one(int v) {
    return {v, v, 1};
}
// One value k times ("126×k").
constexpr Run times(int v, int k) {
    return {v, v, k};
}

template <std::size_t N>
constexpr std::array<std::uint8_t, N> expand(std::initializer_list<Run> runs) {
    std::array<std::uint8_t, N> out{};
    std::size_t n = 0;
    for (const Run& r : runs) {
        const int step = r.to >= r.from ? 1 : -1;
        for (int t = 0; t < r.times; ++t) {
            for (int v = r.from;; v += step) {
                if (n >= N)
                    throw "table longer than declared";
                out[n++] = static_cast<std::uint8_t>(v);
                if (v == r.to)
                    break;
            }
        }
    }
    if (n != N)
        throw "table shorter than declared";
    return out;
}

} // namespace quellix::lighting::tables
