// The UI thread resets, seeds and triggers while the workers step and a
// preview reads the cells, all without a lock.  Run under ThreadSanitizer
// this shows that the shared state is free of data races.

#include "lighting_harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quellix::lighting::testing {
namespace {

TEST(LightingConcurrency, WorkersUiAndPreviewShareTheStateWithoutRaces) {
    Harness h(makeFields(5, 1, 1, 3));
    LightingState& state = *h.state;
    std::atomic<bool> done{false};
    constexpr int kFrames = 150;

    std::thread keyboardWorker([&] {
        platform::ManualClock clock;
        ClockPacer pacer(clock);
        auto buffers = std::make_unique<FrameBuffers>();
        for (int i = 0; i < kFrames; ++i)
            keyboardIteration(state, static_cast<unsigned>(i % 3), h.view(), h.custom, false, pacer,
                              clock, *buffers);
    });
    std::thread padWorker([&] {
        platform::ManualClock clock;
        ClockPacer pacer(clock);
        auto buffers = std::make_unique<FrameBuffers>();
        for (int i = 0; i < kFrames; ++i) {
            padIteration(state, h.view(), false, pacer, clock, *buffers);
            mouseIteration(state, h.view(), false, pacer, clock, *buffers);
        }
    });
    std::thread preview([&] {
        unsigned sum = 0;
        while (!done.load()) {
            for (std::size_t k = 0; k < tables::kKeyboardCells; ++k)
                sum += state.keyboard.cells.level(k) + state.pad.cells.level(k % 15);
            std::this_thread::yield(); // a repaint timer, not a spin
        }
        EXPECT_GE(sum, 0u);
    });

    // The UI thread: mode changes with their seeds, profile-like edits of
    // the record, mouse input.
    for (int i = 0; i < kFrames; ++i) {
        const auto mode = static_cast<std::uint8_t>(i % 19);
        h.record.store(1, mode);
        changeKeyboardMode(state.keyboard, static_cast<unsigned>(i % 3), mode);
        changePadMode(state.pad, mode % 10);
        changeMouseMode(state.mouse, mode % 7, static_cast<std::uint8_t>(i & 1));
        placeKeySeed(state.keyboard.effect.masks, static_cast<std::uint8_t>(i % 126));
        triggerFlashes(state);
    }
    keyboardWorker.join();
    padWorker.join();
    done.store(true);
    preview.join();
}

} // namespace
} // namespace quellix::lighting::testing
