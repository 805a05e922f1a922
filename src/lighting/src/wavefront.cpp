#include "quellix/lighting/wavefront.h"

#include "quellix/lighting/tables/key_matrix.h"

namespace quellix::lighting {

using tables::kKeyMatrix;
using tables::kMatrixRows;
using tables::kNoKey;

namespace {
constexpr std::size_t kLast = kMaskColumns - 1;

std::uint8_t shr(std::uint8_t v) {
    return static_cast<std::uint8_t>(v >> 1);
}
std::uint8_t shl(std::uint8_t v) {
    return static_cast<std::uint8_t>(v << 1);
}
} // namespace

void propagateWavefront(WavefrontMasks& masks) {
    auto& a = masks.mask[WavefrontMasks::A];
    auto& b = masks.mask[WavefrontMasks::B];
    auto& c = masks.mask[WavefrontMasks::C];
    auto& d = masks.mask[WavefrontMasks::D];
    // Ma and Mb take from the column to their right: walk upwards so that
    // the right neighbour still holds its old value.
    for (std::size_t col = 0; col < kLast; ++col) {
        a.store(col, shr(a.load(col)) | a.load(col + 1));
        b.store(col, shl(b.load(col)) | b.load(col + 1));
    }
    a.store(kLast, shr(a.load(kLast)));
    b.store(kLast, shl(b.load(kLast)));
    // Mc and Md take from the left: walk downwards.
    for (std::size_t col = kLast; col >= 1; --col) {
        c.store(col, shr(c.load(col)) | c.load(col - 1));
        d.store(col, shl(d.load(col)) | d.load(col - 1));
    }
    c.store(0, shr(c.load(0)));
    d.store(0, shl(d.load(0)));
}

void placeKeySeed(WavefrontMasks& masks, std::uint8_t key) {
    if (key == kNoKey)
        return;
    for (std::size_t col = 0; col < kMaskColumns; ++col)
        for (unsigned row = 0; row < kMatrixRows; ++row)
            if (kKeyMatrix[col][row] == key) {
                masks.setBitInAll(col, row);
                return;
            }
}

void lightKey(EffectState& effect, SharedByte& hueCounter, std::uint8_t key, bool multicolour) {
    if (key >= tables::kKeyboardCells)
        return;
    effect.levels.store(key, 255);
    if (multicolour)
        effect.hues.store(key, hueCounter.addAndGet(11));
}

void renderWavefrontFullColour(EffectState& effect, SharedByte& hueCounter, bool multicolour) {
    for (std::size_t col = 0; col < kMaskColumns; ++col) {
        const std::uint8_t m = effect.masks.combined(col);
        if (m == 0)
            continue;
        for (unsigned row = 0; row < kMatrixRows; ++row)
            if (m & (1u << row))
                lightKey(effect, hueCounter, kKeyMatrix[col][row], multicolour);
    }
}

void renderWavefrontOneColour(EffectState& effect) {
    for (std::size_t col = 0; col < kMaskColumns; ++col) {
        const std::uint8_t m = effect.masks.combined(col);
        for (unsigned row = 0; row < kMatrixRows; ++row) {
            const std::uint8_t key = kKeyMatrix[col][row];
            if (key != kNoKey)
                effect.levels.store(key, (m & (1u << row)) ? 254 : 0);
        }
    }
}

} // namespace quellix::lighting
