// The mouse pad's effects, modes 0..9.

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
using tables::kPadCells;
using tables::kPadGrid;
using tables::kWaveCurve;
using tables::kWheelHues;
using tables::wheel;

using PadStep = void (*)(PadLighting&, const EffectContext&);

void wave(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const std::uint8_t level = f.level();
    if (f.multicolour()) {
        const unsigned p = advance(pad.effect.phase, f.forwards(), kWheelHues);
        for (std::size_t i = 0; i < kPadCells; ++i)
            pad.cells.set(i, scaled(wheel((p + 7 * i) % kWheelHues), level), level);
    } else {
        const unsigned p = advance(pad.effect.phase, f.forwards(), 96);
        const Rgb base = scaled(f.colour(), level);
        for (std::size_t i = 0; i < kPadCells; ++i) {
            const unsigned q = (p + 10 * i) % 96;
            const unsigned qNext = (p + 10 * (i + 1)) % 96;
            pad.cells.set(i, mul256(base, kWaveCurve[q] + 1u), mul256(level, kWaveCurve[qNext]));
        }
    }
}

void colourCycle(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const unsigned p = advance(pad.effect.phase, f.forwards(), kWheelHues);
    for (std::size_t i = 0; i < kPadCells; ++i)
        pad.cells.set(i, scaled(wheel(p), f.level()), f.level());
}

void breathing(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const unsigned p = advance(pad.effect.phase, f.forwards(), 128);
    if (p == 0)
        detail::advanceCycleCounter(ctx.cycleCounter);
    const Rgb colour = f.multicolour() ? wheel((p + 50) % kWheelHues) : f.colour();
    for (std::size_t i = 0; i < kPadCells; ++i)
        pad.cells.set(i, colour, mul256(f.level(), kBreathingCurve[p]));
}

void staticColour(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    for (std::size_t i = 0; i < kPadCells; ++i)
        pad.cells.set(i, scaled(f.colour(), f.level()), f.level());
}

void bar(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    ctx.pacer.sleepMs((f.speed * 5u + 50u) * 2u);
    const int n = detail::stepBar(pad.bar, 15);
    for (std::size_t i = 0; i < kPadCells; ++i) {
        if (detail::barLit(static_cast<int>(i), n, f.forwards()))
            pad.cells.set(i, f.multicolour() ? wheel(7 * i % kWheelHues) : f.colour(), f.level());
        else
            pad.cells.set(i, kBlack, 0);
    }
}

void travellingLight(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    ctx.pacer.sleepMs(50);
    detail::markAndRotate(pad.effect, ctx.hueCounter, kPadCells, kPadCells, f.multicolour(),
                          f.forwards());
    for (std::size_t i = 0; i < kPadCells; ++i) {
        const std::uint8_t lit = decay(pad.effect.levels.load(i), DecayRule::PadMode5);
        pad.effect.levels.store(i, lit);
        const Rgb colour =
            f.multicolour() ? wheel(pad.effect.hues.load(i) % kWheelHues) : f.colour();
        pad.cells.set(i, colour, mul256(f.level(), lit));
    }
}

template <typename ColumnColour>
void paintGridColumns(PadLighting& pad, ColumnColour&& columnColour) {
    for (std::size_t c = 0; c < tables::kPadGridColumns; ++c) {
        const Cell cell = columnColour(c);
        for (std::size_t r = 0; r < tables::kPadGridRows; ++r)
            if (kPadGrid[r][c] != tables::X)
                pad.cells.set(kPadGrid[r][c], cell.colour, cell.level);
    }
}

void columnRainbow(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const unsigned p = advance(pad.effect.phase, f.forwards(), kWheelHues);
    paintGridColumns(pad, [&](std::size_t c) {
        return Cell{wheel((p + 7 * c) % kWheelHues), f.level()};
    });
}

// A block of six lit columns slides across the grid and back, pausing one
// second at each end.
void scanner(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    constexpr unsigned kPauseMs = 1000;
    ctx.pacer.sleepMs(f.speed * 5u + 50u);
    const unsigned p = advance(pad.effect.phase, false, kWheelHues);
    ScannerState& s = pad.scanner;
    std::uint16_t pattern = s.pattern.load();
    unsigned firstBit = 0; // bit of column 0; column c uses bit firstBit − c
    if (s.flag.load() != 0) {
        pattern = static_cast<std::uint16_t>(static_cast<std::int16_t>(pattern) >> 1);
        s.pattern.store(pattern);
        const unsigned counter = s.counter.load() + 1u;
        s.counter.store(static_cast<std::uint8_t>(counter));
        if (counter >= 15) {
            s.flag.store(0);
            s.pattern.store(0x00FC);
            ctx.pacer.sleepMs(kPauseMs);
            return;
        }
        firstBit = 7;
    } else {
        if (s.counter.load() == 0) {
            s.flag.store(1);
            s.pattern.store(0x3F00);
            ctx.pacer.sleepMs(kPauseMs);
            return;
        }
        firstBit = 15;
        s.pattern.store(static_cast<std::uint16_t>(pattern << 1));
        s.counter.store(static_cast<std::uint8_t>(s.counter.load() - 1));
    }
    unsigned hue = p;
    paintGridColumns(pad, [&](std::size_t c) {
        if (((pattern >> (firstBit - c)) & 1u) == 0)
            return Cell{kBlack, 0};
        const Rgb colour = f.multicolour() ? wheel(hue) : f.colour();
        hue = (hue + 20) % kWheelHues;
        return Cell{colour, f.level()};
    });
}

void flash(PadLighting& pad, const EffectContext& ctx) {
    const auto& f = ctx.fields;
    const detail::FlashFrame frame = detail::stepFlash(pad.flash, ctx.clock);
    for (std::size_t i = 0; i < kPadCells; ++i) {
        if (frame.lit)
            pad.cells.set(i, f.multicolour() ? wheel(frame.hue) : f.colour(), f.level());
        else
            pad.cells.set(i, kBlack, 0);
    }
}

constexpr std::array<PadStep, 10> kPadSteps = {
    wave,          colourCycle, breathing, staticColour, bar, travellingLight,
    columnRainbow, scanner,     flash,
    nullptr, // mode 9: the frames are resent unchanged
};

} // namespace

void runPadEffect(PadLighting& pad, const EffectContext& ctx) {
    const std::uint8_t mode = ctx.fields.mode;
    if (mode < kPadSteps.size() && kPadSteps[mode] != nullptr)
        kPadSteps[mode](pad, ctx);
}

} // namespace quellix::lighting
