#pragma once
// LED cells: red, green, blue and level per LED, written by the effects and
// read by the frame builders and the previews of other threads.

#include "quellix/lighting/colour.h"
#include "quellix/platform/shared_bytes.h"

#include <cstddef>
#include <cstdint>

namespace quellix::lighting {

struct Cell {
    Rgb colour;
    std::uint8_t level = 0;
    friend constexpr bool operator==(const Cell&, const Cell&) = default;
};

template <std::size_t N> class LedCells {
public:
    static constexpr std::size_t kCount = N;

    void set(std::size_t i, Rgb c, std::uint8_t level) {
        bytes_.store(4 * i, c.r);
        bytes_.store(4 * i + 1, c.g);
        bytes_.store(4 * i + 2, c.b);
        bytes_.store(4 * i + 3, level);
    }
    void setLevel(std::size_t i, std::uint8_t level) { bytes_.store(4 * i + 3, level); }
    Rgb colour(std::size_t i) const {
        return {bytes_.load(4 * i), bytes_.load(4 * i + 1), bytes_.load(4 * i + 2)};
    }
    std::uint8_t level(std::size_t i) const { return bytes_.load(4 * i + 3); }
    Cell cell(std::size_t i) const { return {colour(i), level(i)}; }
    void clear() { bytes_.fill(0); }

private:
    platform::SharedArray<4 * N> bytes_;
};

} // namespace quellix::lighting
