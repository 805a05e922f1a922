// The keyboard's full-colour effect sets (variant 0: modes 0..15,
// variant 2: modes 0..18), drawn into the 126 cells by picture key.

#include "../step_helpers.h"
#include "keyboard_common.h"
#include "quellix/lighting/effects.h"
#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"
#include "quellix/lighting/tables/key_paths.h"
#include "quellix/lighting/tables/led_maps.h"
#include "quellix/lighting/tables/pulse_colours.h"
#include "quellix/lighting/wavefront.h"

#include <array>

namespace quellix::lighting {

namespace {

using detail::advance;
using detail::forEachMatrixKey;
using tables::kBreathingCurve;
using tables::kKeyboardCells;
using tables::kPulseCurve;
using tables::kSpiral;
using tables::kWaveCurve;
using tables::kWheelHues;
using tables::wheel;

struct KeyboardStep {
    KeyboardLighting& kb;
    unsigned variant;
    const CustomColours& custom;
    const EffectContext& ctx;

    const LightingFields& f() const { return ctx.fields; }
    std::uint8_t L() const { return ctx.fields.level(); }
    void paint(std::size_t key, Rgb colour, std::uint8_t level) {
        kb.cells.set(key, colour, level);
    }
    void paintAll(Rgb colour, std::uint8_t level) {
        for (std::size_t k = 0; k < kKeyboardCells; ++k)
            paint(k, colour, level);
    }
    // The colour of a lit key in the fading effects.
    Rgb keyColour(std::size_t key) const {
        return f().multicolour() ? wheel(kb.effect.hues.load(key)) : f().colour();
    }
    // Fades the keys of S and paints them with their colour and level.
    void fadeSpiral(DecayRule rule) {
        for (std::uint8_t key : kSpiral) {
            const std::uint8_t lit = detail::fadeKey(kb.effect, key, rule);
            paint(key, keyColour(key), mul256(L(), lit));
        }
    }
};

using Step = void (*)(KeyboardStep&);

// Column wave, the reference of the phase-driven effects.
void columnWave(KeyboardStep& s) {
    if (s.f().multicolour()) {
        const unsigned p = advance(s.kb.effect.phase, s.f().forwards(), kWheelHues);
        forEachMatrixKey([&](std::size_t c, std::size_t, std::uint8_t key) {
            s.paint(key, wheel((p + 7 * c) % kWheelHues), s.L());
        });
    } else {
        const unsigned p = advance(s.kb.effect.phase, s.f().forwards(), 96);
        forEachMatrixKey([&](std::size_t c, std::size_t, std::uint8_t key) {
            s.paint(key, s.f().colour(), mul256(s.L(), kWaveCurve[(p + 10 * (c + 1)) % 96]));
        });
    }
}

void colourCycle(KeyboardStep& s) {
    s.ctx.pacer.sleepMs(20);
    const unsigned p = advance(s.kb.effect.phase, s.f().forwards(), kWheelHues);
    s.paintAll(wheel(p), s.L());
}

void breathing(KeyboardStep& s) {
    const unsigned p = advance(s.kb.effect.phase, s.f().forwards(), 128);
    if (p == 0)
        detail::advanceCycleCounter(s.ctx.cycleCounter);
    s.paintAll(s.f().multicolour() ? wheel(p + 50) : s.f().colour(),
               mul256(s.L(), kBreathingCurve[p]));
}

void staticColour(KeyboardStep& s) {
    s.paintAll(s.f().colour(), s.L());
}

void dark(KeyboardStep& s) {
    s.paintAll(kBlack, 0);
}

void hueDrift(KeyboardStep& s) {
    s.ctx.pacer.sleepMs(12);
    for (std::size_t k = 0; k < kKeyboardCells; ++k) {
        const std::uint8_t hue = detail::countUp(s.kb.effect.hues.load(k), kWheelHues);
        s.kb.effect.hues.store(k, hue);
        s.paint(k, wheel(hue), s.L());
    }
}

// Keeps a front running up and down column 9.
void ripple(KeyboardStep& s) {
    s.ctx.pacer.sleepMs(40);
    WavefrontMasks& masks = s.kb.effect.masks;
    const std::uint8_t m9 = masks.combined(9);
    if (m9 == 0x01)
        masks.setBitInAll(9, 0);
    else if (m9 == 0x40)
        masks.setBitInAll(9, 6);
    renderWavefrontFullColour(s.kb.effect, s.ctx.hueCounter, s.f().multicolour());
    propagateWavefront(masks);
    s.fadeSpiral(DecayRule::KeyboardMode5);
}

void bouncingRipple(KeyboardStep& s) {
    s.ctx.pacer.sleepMs(50);
    WavefrontMasks& masks = s.kb.effect.masks;
    if (masks.combined(1) == 0x01)
        masks.setBitInAll(1, 0);
    if (masks.combined(22) == 0x01)
        masks.setBitInAll(22, 6);
    renderWavefrontFullColour(s.kb.effect, s.ctx.hueCounter, s.f().multicolour());
    propagateWavefront(masks);
    s.fadeSpiral(DecayRule::Keyboard);
}

void show(KeyboardStep& s) {
    s.ctx.pacer.sleepMs(15);
    detail::advanceShow(s.kb, s.ctx.hueCounter, s.f().multicolour());
    s.fadeSpiral(DecayRule::Keyboard);
}

void spiralWave(KeyboardStep& s) {
    s.ctx.pacer.sleepMs(1);
    if (s.f().multicolour()) {
        const unsigned p = advance(s.kb.effect.phase, s.f().forwards(), kWheelHues);
        for (std::size_t j = 0; j < kSpiral.size(); ++j)
            s.paint(kSpiral[j], wheel((p + 5 * j) % kWheelHues), s.L());
    } else {
        const unsigned p = advance(s.kb.effect.phase, s.f().forwards(), 96);
        for (std::size_t j = 0; j < kSpiral.size(); ++j)
            s.paint(kSpiral[j], s.f().colour(), mul256(s.L(), kWaveCurve[(p + 5 * j) % 96]));
    }
}

std::uint8_t customByte(const CustomColours& custom, std::size_t i) {
    return i < custom.table.size() ? custom.table[i].load() : 0;
}

// The set in use; a set number past the five sets (a damaged profile)
// reads as set 0.
std::size_t customSet(const CustomColours& custom) {
    const std::uint8_t s = custom.state.empty() ? 0 : custom.state[0].load();
    return s < kCustomSets ? s : 0;
}

// Keys without an LED in the variant's own map have no table entry; they
// stay dark.
void customColours(KeyboardStep& s) {
    const auto& map = tables::ledMap(s.variant);
    const std::size_t base = customSet(s.custom) * kCustomSetBytes;
    for (std::size_t k = 0; k < kKeyboardCells; ++k) {
        if (map[k] == tables::kNoLed) {
            s.paint(k, kBlack, s.L());
            continue;
        }
        const std::size_t at = base + 3 * map[k];
        s.paint(
            k,
            {customByte(s.custom, at), customByte(s.custom, at + 1), customByte(s.custom, at + 2)},
            s.L());
    }
}

void stars(KeyboardStep& s) {
    detail::addStars(s.kb, s.variant == 2 ? detail::kStarSlotVariant2 : detail::kStarSlotVariant0,
                     s.ctx.hueCounter);
    for (std::size_t k = 0; k < kKeyboardCells; ++k) {
        const std::uint8_t lit =
            detail::fadeKey(s.kb.effect, static_cast<std::uint8_t>(k), DecayRule::Keyboard);
        s.paint(k, s.keyColour(k), mul256(s.L(), lit));
    }
}

void rowBands(KeyboardStep& s) {
    const unsigned q = advance(s.kb.q, s.f().forwards(), kWheelHues);
    forEachMatrixKey([&](std::size_t, std::size_t r, std::uint8_t key) {
        s.paint(key, wheel((q + 24 * r) % kWheelHues), s.L());
    });
}

void pulses(KeyboardStep& s) {
    const std::uint8_t hueStep = s.variant == 2 ? 7 : 5;
    EffectState& e = s.kb.effect;
    for (std::uint8_t key : kSpiral) {
        const std::uint8_t t = detail::countUp(e.levels.load(key), tables::kPulseCurve.size());
        e.levels.store(key, t);
        if (t == 0)
            e.hues.store(key, s.ctx.hueCounter.addAndGet(hueStep));
        const Rgb colour =
            s.f().multicolour() ? tables::kPulseColours[e.hues.load(key)] : s.f().colour();
        const std::uint8_t k = kPulseCurve[t];
        s.paint(key, s.variant == 2 ? mul256(mul256(colour, k), s.L()) : colour, mul256(s.L(), k));
    }
}

void snake(KeyboardStep& s) {
    detail::advanceSnake(s.kb, s.ctx.hueCounter);
    s.fadeSpiral(DecayRule::Keyboard);
}

void rings(KeyboardStep& s) {
    s.ctx.pacer.sleepMs(10);
    int p = s.kb.effect.phase.load();
    if (s.f().forwards()) {
        p += 4;
        if (p >= 192)
            p = 0;
    } else {
        p -= 2;
        if (p < 0)
            p = 192;
    }
    s.kb.effect.phase.store(static_cast<std::uint8_t>(p));
    for (std::size_t j = 0; j < tables::kRings.size(); ++j) {
        const Rgb colour = wheel((p + 21 * (j + 1)) % kWheelHues);
        const auto& ring = tables::kRings[j];
        for (std::size_t i = 0; i < ring.count; ++i)
            s.paint(ring.keys[i], colour, s.L());
    }
}

void slowColumnWave(KeyboardStep& s) {
    const auto& f = s.f();
    if (f.multicolour()) {
        const unsigned q = advance(s.kb.q, f.forwards(), kWheelHues);
        forEachMatrixKey([&](std::size_t c, std::size_t, std::uint8_t key) {
            s.paint(key, wheel((q + 2 * c) % kWheelHues), s.L());
        });
    } else if (s.variant == 2) {
        const unsigned q = advance(s.kb.q, f.forwards(), kWheelHues);
        forEachMatrixKey([&](std::size_t c, std::size_t, std::uint8_t key) {
            s.paint(key, f.colour(), mul256(s.L(), wheel((q + 9 * (c + 1)) % kWheelHues).r));
        });
    } else {
        const unsigned p = advance(s.kb.effect.phase, f.forwards(), 96);
        const Rgb dimmed = mul256(f.colour(), s.L());
        forEachMatrixKey([&](std::size_t c, std::size_t, std::uint8_t key) {
            s.paint(key, mul256(dimmed, kPulseCurve[(p + 10 * c) % 96]),
                    mul256(s.L(), kPulseCurve[(p + 10 * (c + 1)) % 96]));
        });
    }
}

constexpr std::array<Step, 16> kVariant0Steps = {
    columnWave, colourCycle, breathing,      staticColour,  hueDrift, ripple,
    show,       spiralWave,  customColours,  stars,         rowBands, pulses,
    snake,      rings,       slowColumnWave, bouncingRipple};

constexpr std::array<Step, 19> kVariant2Steps = {
    columnWave,     colourCycle,   breathing, staticColour, hueDrift,      ripple, show,
    spiralWave,     customColours, stars,     rowBands,     pulses,        snake,  rings,
    slowColumnWave, dark,          dark,      nullptr,      bouncingRipple};

} // namespace

void runKeyboardFullColourEffect(KeyboardLighting& kb, unsigned variant,
                                 const CustomColours& custom, const EffectContext& ctx) {
    const std::uint8_t mode = ctx.fields.mode;
    Step step = nullptr;
    if (variant == 2)
        step = mode < kVariant2Steps.size() ? kVariant2Steps[mode] : nullptr;
    else
        step = mode < kVariant0Steps.size() ? kVariant0Steps[mode] : nullptr;
    if (step == nullptr)
        return;
    KeyboardStep s{kb, variant, custom, ctx};
    step(s);
}

} // namespace quellix::lighting
