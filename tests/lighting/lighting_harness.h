#pragma once
// A fresh lighting world per test: state, a slot record, a manual clock and
// frame buffers.  Nothing is shared between tests.

#include "quellix/lighting/decay.h"
#include "quellix/lighting/effects.h"
#include "quellix/lighting/iteration.h"
#include "quellix/lighting/seeds.h"
#include "quellix/lighting/wavefront.h"

#include <memory>
#include <vector>

namespace quellix::lighting::testing {

struct Harness {
    std::unique_ptr<LightingState> state = std::make_unique<LightingState>();
    platform::SharedArray<40> record;
    platform::ManualClock clock;
    ClockPacer pacer{clock};
    FrameBuffers buffers;
    CustomColours custom{};

    explicit Harness(LightingFields f = {}) { setFields(f); }
    void setFields(const LightingFields& f) { writeLightingFields(f, record.span()); }
    SlotRecordView view() { return SlotRecordView(record.span()); }
    LightingFields fields() { return view().fields(); }

    // One worker iteration; returns the frame (empty: nothing sent) and
    // the sleep it requested.
    struct Step {
        std::vector<std::uint8_t> frame;
        std::uint64_t sleptMs;
    };
    template <typename Run> Step timed(Run&& run) {
        const std::uint64_t start = clock.tickCount();
        FrameBytes f = run();
        return {std::vector<std::uint8_t>(f.begin(), f.end()), clock.tickCount() - start};
    }
    Step pad() {
        return timed([&] { return padIteration(*state, view(), false, pacer, clock, buffers); });
    }
    Step mouse() {
        return timed([&] { return mouseIteration(*state, view(), false, pacer, clock, buffers); });
    }
    Step keyboard(unsigned variant) {
        return timed([&] {
            return keyboardIteration(*state, variant, view(), custom, false, pacer, clock, buffers);
        });
    }
    EffectContext context(const LightingFields& f) {
        return {f, record[kCycleCounterByte], state->hueCounter, pacer, clock};
    }
};

// Fields with the usual defaults: brightness 4, fastest speed.
inline LightingFields makeFields(std::uint8_t mode, std::uint8_t multicolor = 0,
                                 std::uint8_t direction = 0, std::uint8_t brightness = 4,
                                 Rgb colour = {255, 0, 0}, std::uint8_t speed = 0) {
    return {0, mode, brightness, speed, direction, multicolor, colour.r, colour.g, colour.b};
}

} // namespace quellix::lighting::testing
