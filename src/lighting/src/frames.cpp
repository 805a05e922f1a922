#include "quellix/lighting/frames.h"

#include "quellix/lighting/tables/led_maps.h"

#include <algorithm>

namespace quellix::lighting {

namespace {

template <std::size_t N>
void putCell(const LedCells<N>& cells, std::size_t cell, std::span<std::uint8_t> frame,
             std::size_t at) {
    const std::uint8_t level = cells.level(cell);
    const Rgb c = cells.colour(cell);
    frame[at] = mul256(c.r, level);
    frame[at + 1] = mul256(c.g, level);
    frame[at + 2] = mul256(c.b, level);
}

} // namespace

void buildPadFrame(const LedCells<tables::kPadCells>& cells,
                   std::span<std::uint8_t, kPadFrameBytes> frame) {
    for (std::size_t i = 0; i < kPadFrameBytes / 3; ++i)
        putCell(cells, i, frame, 3 * i);
}

void buildMouseFrame(const LedCells<tables::kMouseCells>& cells,
                     std::span<std::uint8_t, kMouseFrameBytes> frame) {
    for (std::size_t i = 0; i < kMouseFrameBytes / 3; ++i)
        putCell(cells, i, frame, 3 * i);
}

void buildKeyboardFrame(const LedCells<tables::kKeyboardCells>& cells,
                        std::span<std::uint8_t, kKeyboardFrameBytes> frame) {
    std::fill(frame.begin(), frame.end(), 0);
    for (std::size_t key = 0; key < tables::kKeyboardCells; ++key) {
        const std::uint8_t led = tables::kLedMapVariant2[key];
        if (led != tables::kNoLed)
            putCell(cells, key, frame, 3 * std::size_t{led});
    }
}

} // namespace quellix::lighting
