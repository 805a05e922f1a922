// The mouse's effects, modes 0..6, drawn over its seven zones.

#include "../step_helpers.h"
#include "bar.h"
#include "flash.h"
#include "quellix/lighting/decay.h"
#include "quellix/lighting/effects.h"
#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"
#include "quellix/lighting/tables/pad_mouse_layout.h"
#include "travelling_light.h"

#include <array>

namespace quellix::lighting {

namespace {

using detail::advance;
using tables::kBreathingCurve;
using tables::kMouseCells;
using tables::kMouseZone;
using tables::kMouseZones;
using tables::kWaveCurve;
using tables::kWheelHues;
using tables::wheel;

using MouseStep = void (*)(MouseLighting&, const EffectContext&);

void paintZone(MouseLighting& mouse, std::size_t zone, Rgb colour, std::uint8_t level) {
    const auto& z = kMouseZone[zone];
    for (std::size_t k = 0; k < z.count; ++k)
        mouse.cells.set(z.leds[k], colour, level);
}

void paintAll(MouseLighting& mouse, Rgb colour, std::uint8_t level) {
    for (std::size_t i = 0; i < kMouseCells; ++i)
        mouse.cells.set(i, colour, level);
}

void zoneWave(MouseLighting& mouse, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const std::uint8_t level = f.level();
    if (f.multicolour()) {
        const unsigned p = advance(mouse.effect.phase, f.forwards(), kWheelHues);
        for (std::size_t z = 0; z < kMouseZones; ++z)
            paintZone(mouse, z, scaled(wheel((p + 32 * z) % kWheelHues), level), level);
    } else {
        const unsigned p = advance(mouse.effect.phase, f.forwards(), 96);
        const Rgb base = scaled(f.colour(), level);
        for (std::size_t z = 0; z < kMouseZones; ++z) {
            const unsigned q = (p + 6 * z) % 96;
            const unsigned qNext = (p + 6 * (z + 1)) % 96;
            paintZone(mouse, z, mul256(base, kWaveCurve[q] + 1u), mul256(level, kWaveCurve[qNext]));
        }
    }
}

void colourCycle(MouseLighting& mouse, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const unsigned p = advance(mouse.effect.phase, f.forwards(), kWheelHues);
    paintAll(mouse, scaled(wheel(p), f.level()), f.level());
}

void breathing(MouseLighting& mouse, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const unsigned p = advance(mouse.effect.phase, f.forwards(), 128);
    if (p == 0)
        detail::advanceCycleCounter(ctx.cycleCounter);
    // Byte 9 comes from the record; a value past the three palettes (a
    // damaged profile) uses the first one.
    const std::uint8_t palette = ctx.cycleCounter.load();
    const auto& colours = tables::kMouseBreathingPalettes[palette < 3 ? palette : 0];
    for (std::size_t z = 0; z < kMouseZones; ++z) {
        const Rgb colour = f.multicolour() ? colours[z] : f.colour();
        paintZone(mouse, z, scaled(mul256(colour, kBreathingCurve[p] + 1u), f.level()), f.level());
    }
}

void staticColour(MouseLighting& mouse, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    paintAll(mouse, scaled(f.colour(), f.level()), f.level());
}

void bar(MouseLighting& mouse, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    ctx.pacer.sleepMs(50);
    const unsigned p = advance(mouse.effect.phase, f.forwards(), kWheelHues);
    const int n = detail::stepBar(mouse.bar, 8);
    for (std::size_t z = 0; z < kMouseZones; ++z) {
        if (detail::barLit(static_cast<int>(z), n, f.forwards())) {
            const Rgb colour = f.multicolour() ? wheel((p + 7 * z) % kWheelHues) : f.colour();
            paintZone(mouse, z, scaled(colour, f.level()), f.level());
        } else {
            paintZone(mouse, z, kBlack, f.level());
        }
    }
}

// A ring of 23 markers of which cells 0..13 light up and cells 0..6 show
// on the zones.
void travellingLight(MouseLighting& mouse, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    ctx.pacer.sleepMs(50);
    detail::markAndRotate(mouse.effect, ctx.hueCounter, 14, kRingCells, f.multicolour(),
                          f.forwards());
    for (std::size_t z = 0; z < kMouseZones; ++z) {
        const std::uint8_t lit = decay(mouse.effect.levels.load(z), DecayRule::MouseMode5);
        mouse.effect.levels.store(z, lit);
        const Rgb colour =
            f.multicolour() ? wheel(mouse.effect.hues.load(z) % kWheelHues) : f.colour();
        paintZone(mouse, z, colour, mul256(f.level(), lit));
    }
}

void flash(MouseLighting& mouse, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const detail::FlashFrame frame = detail::stepFlash(mouse.flash, ctx.clock);
    // Dark frames keep the level and show black.
    paintAll(mouse, frame.lit ? (f.multicolour() ? wheel(frame.hue) : f.colour()) : kBlack,
             f.level());
}

constexpr std::array<MouseStep, 7> kMouseSteps = {
    zoneWave, colourCycle, breathing, staticColour, bar, travellingLight, flash};

} // namespace

void runMouseEffect(MouseLighting& mouse, const EffectContext& ctx) {
    const std::uint8_t mode = ctx.fields.mode;
    if (mode < kMouseSteps.size())
        kMouseSteps[mode](mouse, ctx);
}

} // namespace quellix::lighting
