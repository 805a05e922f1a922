#include "quellix/lighting/seeds.h"

#include "quellix/lighting/tables/key_matrix.h"

#include <array>

namespace quellix::lighting {

using tables::kKeyMatrix;
using tables::kMatrixColumns;
using tables::kMatrixRows;
using tables::kNoKey;
using tables::kPhaseTable;

void seedHueSpread(EffectState& effect) {
    unsigned x = 0;
    for (std::size_t k = 0; k < tables::kKeyboardCells; ++k) {
        x += 33;
        if (x > 192)
            x -= 192;
        effect.hues.store(k, static_cast<std::uint8_t>(x));
    }
}

void seedPulses(EffectState& effect) {
    for (std::size_t c = 0; c < kMatrixColumns; ++c)
        for (std::size_t r = 0; r < kMatrixRows; ++r) {
            const std::uint8_t key = kKeyMatrix[c][r];
            if (key == kNoKey)
                continue;
            effect.levels.store(key, kPhaseTable[c][r]);
            effect.hues.store(key, static_cast<std::uint8_t>(7 * c));
        }
}

void seedRipple(WavefrontMasks& masks) {
    masks.setBitInAll(9, 6);
}

void seedBouncingRipple(WavefrontMasks& masks) {
    masks.setBitInAll(22, 6);
}

void seedTablePulses(KeyboardLighting& keyboard) {
    for (std::size_t c = 0; c < kMatrixColumns; ++c)
        for (std::size_t r = 0; r < kMatrixRows; ++r)
            if (kKeyMatrix[c][r] != kNoKey)
                keyboard.pulseCounters.store(kKeyMatrix[c][r], kPhaseTable[c][r]);
}

void seedDiagonalPulses(KeyboardLighting& keyboard) {
    constexpr int kModulus = 193;
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        int v = ((157 - 8 * static_cast<int>(c)) % kModulus + kModulus) % kModulus;
        for (std::size_t r = 0; r < kMatrixRows; ++r) {
            if (kKeyMatrix[c][r] != kNoKey)
                keyboard.pulseCounters.store(kKeyMatrix[c][r], static_cast<std::uint8_t>(v));
            v = ((v - 35) % kModulus + kModulus) % kModulus;
        }
    }
}

void placePadTravellingLight(PadLighting& pad) {
    pad.effect.ring.store(0, 1);
}

void placeMouseTravellingLight(MouseLighting& mouse, std::uint8_t direction) {
    mouse.effect.ring.store(direction != 0 ? 7 : 0, 1);
}

namespace {

enum class Seed : std::uint8_t {
    None,
    HueSpread,
    Pulses,
    Ripple,
    BouncingRipple,
    TablePulses,
    DiagonalPulses
};

// Which seed choosing a mode places, per keyboard variant.  The
// full-colour ripples only draw what is in the wavefront masks, and the
// reset has just cleared them: without a seed of their own they would stay
// dark, so the ripple gets the ripple seed and the bouncing ripple a front
// at the bottom of column 22, where its own bounce rule re-seeds it.
constexpr std::array<Seed, 19> kFullColourSeeds = [] {
    std::array<Seed, 19> s{};
    s[4] = Seed::HueSpread;
    s[5] = Seed::Ripple;
    s[11] = Seed::Pulses;
    return s;
}();
constexpr std::uint8_t kVariant0BouncingRippleMode = 15;
constexpr std::uint8_t kVariant2BouncingRippleMode = 18;
constexpr std::array<Seed, 19> kOneColourSeeds = [] {
    std::array<Seed, 19> s{};
    s[3] = Seed::Ripple;
    s[4] = Seed::HueSpread;
    s[5] = Seed::Ripple;
    s[8] = Seed::TablePulses;
    s[9] = Seed::DiagonalPulses;
    s[11] = Seed::TablePulses;
    s[15] = Seed::DiagonalPulses;
    s[16] = Seed::DiagonalPulses;
    return s;
}();

void placeKeyboardSeed(KeyboardLighting& keyboard, unsigned variant, std::uint8_t mode) {
    const auto& table = variant == 1 ? kOneColourSeeds : kFullColourSeeds;
    Seed seed = mode < table.size() ? table[mode] : Seed::None;
    if ((variant == 0 && mode == kVariant0BouncingRippleMode) ||
        (variant == 2 && mode == kVariant2BouncingRippleMode))
        seed = Seed::BouncingRipple;
    switch (seed) {
    case Seed::None:
        break;
    case Seed::HueSpread:
        seedHueSpread(keyboard.effect);
        break;
    case Seed::Pulses:
        seedPulses(keyboard.effect);
        break;
    case Seed::Ripple:
        seedRipple(keyboard.effect.masks);
        break;
    case Seed::BouncingRipple:
        seedBouncingRipple(keyboard.effect.masks);
        break;
    case Seed::TablePulses:
        seedTablePulses(keyboard);
        break;
    case Seed::DiagonalPulses:
        seedDiagonalPulses(keyboard);
        break;
    }
}

constexpr std::uint8_t kTravellingLightMode = 5;

} // namespace

void changePadMode(PadLighting& pad, std::uint8_t mode) {
    resetPadAnimation(pad);
    refreshPadMode(pad, mode);
}

void refreshPadMode(PadLighting& pad, std::uint8_t mode) {
    if (mode == kTravellingLightMode)
        placePadTravellingLight(pad);
}

void changeMouseMode(MouseLighting& mouse, std::uint8_t mode, std::uint8_t direction) {
    resetMouseAnimation(mouse);
    if (mode == kTravellingLightMode)
        placeMouseTravellingLight(mouse, direction);
}

void changeKeyboardMode(KeyboardLighting& keyboard, unsigned variant, std::uint8_t mode) {
    resetKeyboardAnimation(keyboard);
    placeKeyboardSeed(keyboard, variant, mode);
}

void refreshKeyboardMode(KeyboardLighting& keyboard, unsigned variant, std::uint8_t mode) {
    placeKeyboardSeed(keyboard, variant, mode);
}

} // namespace quellix::lighting
