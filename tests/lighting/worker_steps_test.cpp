// One pass of each animation worker without threads: the look at the
// device, the pauses, the frames, and the senders' rules.

#include "lighting_harness.h"
#include "quellix/lighting/records.h"
#include "quellix/lighting/worker_steps.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace quellix::lighting::testing {
namespace {

// A device's session flags, as the workers read them.
struct Device {
    Shared<int> connected{1};
    Shared<int> syncActive{0};
    DeviceFlags flags() { return {connected, syncActive}; }
};

struct World {
    std::unique_ptr<LightingState> state = std::make_unique<LightingState>();
    std::unique_ptr<OwnedLightingRecords> owned = std::make_unique<OwnedLightingRecords>();
    LightingRecords records = owned->records();
    platform::ManualClock clock;
    ClockPacer pacer{clock};
    FrameBuffers buffers;
    Device keyboard, mouse, pad;

    std::uint64_t elapsed(const std::function<void()>& run) {
        const std::uint64_t start = clock.tickCount();
        run();
        return clock.tickCount() - start;
    }
};

std::vector<std::uint8_t> bytes(FrameBytes frame) {
    return {frame.begin(), frame.end()};
}

TEST(WorkerSteps, OwnedRecordsStartAsTheFactorySlot) {
    OwnedLightingRecords owned;
    const LightingRecords r = owned.records();
    for (const SlotRecordView view : {r.padRecord(), r.mouseRecord(), r.keyboardRecord()}) {
        const LightingFields f = view.fields();
        EXPECT_EQ(f.mode, 0);
        EXPECT_EQ(f.brightness, 4);
        EXPECT_EQ(f.speed, 2);
        EXPECT_EQ(f.multicolor, 1);
    }
    EXPECT_EQ(r.variant(), 0u);
}

TEST(WorkerSteps, UnknownKeyboardVariantReadsAsVariantZero) {
    OwnedLightingRecords owned;
    const LightingRecords r = owned.records();
    for (const auto& [stored, read] : {std::pair{1, 1u}, {2, 2u}, {255, 0u}, {3, 0u}}) {
        owned.keyboardVariant = static_cast<std::uint8_t>(stored);
        EXPECT_EQ(r.variant(), read) << stored;
    }
    EXPECT_EQ(LightingRecords{}.variant(), 0u);
}

TEST(WorkerSteps, AbsentDeviceTakesTheDelayAndThePauseAndComputesNothing) {
    World w;
    w.pad.connected = 0;
    w.mouse.connected = 0;
    w.keyboard.connected = 0;
    // Factory slot: mode 0, speed 2 (pad 41 ms, mouse and keyboard 30 ms).
    KindStep step;
    EXPECT_EQ(w.elapsed([&] {
        step = padWorkerStep(*w.state, w.records, w.pad.flags(), w.pacer, w.clock, w.buffers);
    }),
              41u + kAbsentPauseMs);
    EXPECT_FALSE(step.connected);
    EXPECT_TRUE(step.frame.empty());
    EXPECT_EQ(w.elapsed([&] {
        step = mouseWorkerStep(*w.state, w.records, w.mouse.flags(), w.pacer, w.clock, w.buffers);
    }),
              30u + kAbsentPauseMs);
    EXPECT_FALSE(step.connected);
    const std::uint8_t hueBefore = w.state->hueCounter.load();
    step = keyboardWorkerStep(*w.state, w.records, w.keyboard.flags(), w.pacer, w.clock, w.buffers);
    EXPECT_FALSE(step.connected);
    // The keyboard's hue counter only moves for iterations with the keyboard.
    EXPECT_EQ(w.state->hueCounter.load(), hueBefore);
    EXPECT_EQ(w.state->pad.cells.cell(0), Cell{});
}

TEST(WorkerSteps, ConnectedStepsGiveTheIterationsFrames) {
    // The same record through the worker step and through the iteration
    // `quellixctl fx` runs: the same frames, step after step.
    World w;
    Harness h(kFactoryLighting);
    for (int i = 0; i < 5; ++i) {
        const KindStep pad =
            padWorkerStep(*w.state, w.records, w.pad.flags(), w.pacer, w.clock, w.buffers);
        ASSERT_TRUE(pad.connected);
        EXPECT_EQ(bytes(pad.frame), h.pad().frame);
        const KindStep mouse =
            mouseWorkerStep(*w.state, w.records, w.mouse.flags(), w.pacer, w.clock, w.buffers);
        EXPECT_EQ(bytes(mouse.frame), h.mouse().frame);
        const KindStep keyboard = keyboardWorkerStep(*w.state, w.records, w.keyboard.flags(),
                                                     w.pacer, w.clock, w.buffers);
        EXPECT_EQ(bytes(keyboard.frame), h.keyboard(0).frame);
        EXPECT_FALSE(keyboard.oneColour);
    }
}

TEST(WorkerSteps, SynchronisedKindsLeaveTheirEffects) {
    World w;
    w.pad.syncActive = 1;
    w.mouse.syncActive = 1;
    w.keyboard.syncActive = 1;
    w.state->mouse.cells.set(3, {1, 2, 3}, 255);
    // The pad does nothing at all.
    const KindStep pad =
        padWorkerStep(*w.state, w.records, w.pad.flags(), w.pacer, w.clock, w.buffers);
    EXPECT_TRUE(pad.connected);
    EXPECT_TRUE(pad.frame.empty());
    // The mouse sends its cells unchanged, 20 ms after the frame delay.
    KindStep mouse;
    EXPECT_EQ(w.elapsed([&] {
        mouse = mouseWorkerStep(*w.state, w.records, w.mouse.flags(), w.pacer, w.clock, w.buffers);
    }),
              30u + 20u);
    ASSERT_EQ(mouse.frame.size(), kMouseFrameBytes);
    EXPECT_EQ(mouse.frame[9], 0);
    EXPECT_EQ(mouse.frame[10], 1);
    EXPECT_EQ(w.state->mouse.cells.cell(3), (Cell{{1, 2, 3}, 255}));
    // A one-colour keyboard sends the cells' levels, as a sender's frame.
    w.owned->keyboardVariant = 1;
    const KindStep keyboard =
        keyboardWorkerStep(*w.state, w.records, w.keyboard.flags(), w.pacer, w.clock, w.buffers);
    EXPECT_EQ(keyboard.frame.size(), kOneColourFrameBytes);
    EXPECT_FALSE(keyboard.oneColour);
}

TEST(WorkerSteps, KeyboardStepSaysWhatItIs) {
    World w;
    w.owned->keyboardVariant = 1;
    writeLightingFields({0, 2, 4, 0, 0, 0, 0, 0, 0}, w.owned->keyboard.span());
    KindStep step =
        keyboardWorkerStep(*w.state, w.records, w.keyboard.flags(), w.pacer, w.clock, w.buffers);
    EXPECT_TRUE(step.oneColour);
    EXPECT_EQ(step.mode, 2);
    EXPECT_EQ(step.trace, nullptr);
    EXPECT_EQ(step.frame.size(), kOneColourFrameBytes);

    w.owned->keyboardVariant = 2;
    step = keyboardWorkerStep(*w.state, w.records, w.keyboard.flags(), w.pacer, w.clock, w.buffers);
    EXPECT_FALSE(step.oneColour);
    ASSERT_NE(step.trace, nullptr);
    EXPECT_EQ(std::string(step.trace), "常亮");
}

TEST(WorkerSteps, CellFramesGoOutOnlyWhileFramesAreEnabled) {
    const std::uint8_t frame[3] = {1, 2, 3};
    EXPECT_TRUE(cellFrameGoesOut(frame, true));
    EXPECT_FALSE(cellFrameGoesOut(frame, false));
    EXPECT_FALSE(cellFrameGoesOut({}, true));
}

TEST(WorkerSteps, KeyboardSenderRules) {
    const std::uint8_t frame[3] = {1, 2, 3};
    struct Case {
        const char* what;
        bool oneColour;
        std::uint8_t mode;
        bool framesEnabled;
        bool goesOut;
    };
    const Case cases[] = {
        {"an effect frame", false, 0, true, true},
        {"suspended", false, 0, false, false},
        {"the keyboard's own effect, mode 15", false, 15, true, false},
        {"the keyboard's own effect, mode 16", false, 16, true, false},
        {"mode 17", false, 17, true, true},
        {"a one-colour level frame while suspended", true, 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardSendRule rule;
        // The first call after start-up sends nothing, except a one-colour
        // step's own frame.
        EXPECT_EQ(rule.goesOut(frame, c.oneColour, c.mode, c.framesEnabled), c.oneColour);
        EXPECT_EQ(rule.goesOut(frame, c.oneColour, c.mode, c.framesEnabled), c.goesOut);
        EXPECT_FALSE(rule.goesOut({}, c.oneColour, c.mode, c.framesEnabled));
    }
}

TEST(WorkerSteps, KeyboardSenderFirstCallIsUsedUpByAOneColourFrame) {
    const std::uint8_t frame[3] = {1, 2, 3};
    KeyboardSendRule rule;
    EXPECT_TRUE(rule.goesOut(frame, true, 0, true));
    EXPECT_TRUE(rule.goesOut(frame, false, 0, true));
}

// Records what the synchronised worker sends.
struct RecordingSink final : SyncFrameSink {
    struct Sent {
        LightKind kind;
        std::vector<std::uint8_t> frame;
    };
    std::vector<Sent> sent;
    void send(LightKind kind, FrameBytes frame) override { sent.push_back({kind, bytes(frame)}); }
};

TEST(WorkerSteps, SyncWorkerPausesWithoutDevicesAndReportsNothingToDrive) {
    World w;
    RecordingSink sink;
    const std::uint8_t sync[] = {3, 4, 2, 0, 0, 255, 0, 0}; // static, speed 2
    w.owned->sync.copyIn(sync);
    w.keyboard.connected = 0;
    w.mouse.connected = 0;
    w.pad.connected = 0;
    const SyncDevices devices{w.keyboard.flags(), w.mouse.flags(), w.pad.flags()};
    SyncOutcome outcome{};
    EXPECT_EQ(w.elapsed([&] {
        outcome = syncWorkerStep(*w.state, w.records, devices, w.pacer, w.buffers, sink);
    }),
              2u + kSyncNoDevicePauseMs);
    EXPECT_EQ(outcome, SyncOutcome::NoDevice);

    w.mouse.connected = 1;
    EXPECT_EQ(w.elapsed([&] {
        outcome = syncWorkerStep(*w.state, w.records, devices, w.pacer, w.buffers, sink);
    }),
              2u);
    EXPECT_EQ(outcome, SyncOutcome::NoneSynchronised);
    EXPECT_TRUE(sink.sent.empty());
    EXPECT_EQ(w.state->mouse.cells.cell(0), Cell{});
}

TEST(WorkerSteps, SyncWorkerSendsKeyboardMousePadInOrderAndPausesForTheOthers) {
    World w;
    const std::uint8_t sync[] = {3, 2, 1, 0, 0, 200, 100, 0}; // static, level 128, speed 1
    w.owned->sync.copyIn(sync);
    w.keyboard.syncActive = 1;
    w.mouse.syncActive = 1;
    w.pad.syncActive = 1;
    SyncDevices devices{w.keyboard.flags(), w.mouse.flags(), w.pad.flags()};
    RecordingSink all;
    EXPECT_EQ(w.elapsed([&] {
        EXPECT_EQ(syncWorkerStep(*w.state, w.records, devices, w.pacer, w.buffers, all),
                  SyncOutcome::Ran);
    }),
              1u);
    ASSERT_EQ(all.sent.size(), 3u);
    EXPECT_EQ(all.sent[0].kind, LightKind::Keyboard);
    EXPECT_EQ(all.sent[0].frame.size(), kKeyboardFrameBytes);
    EXPECT_EQ(all.sent[1].kind, LightKind::Mouse);
    EXPECT_EQ(all.sent[2].kind, LightKind::MousePad);
    // 200 × 128 / 256 and 100 × 128 / 256.
    EXPECT_EQ(all.sent[2].frame,
              (std::vector<std::uint8_t>({100, 50,  0,   100, 50,  0,   100, 50,  0,   100, 50,
                                          0,   100, 50,  0,   100, 50,  0,   100, 50,  0,   100,
                                          50,  0,   100, 50,  0,   100, 50,  0,   100, 50,  0})));

    // The pad alone: 1 ms for each of the two others.
    w.keyboard.syncActive = 0;
    w.mouse.syncActive = 0;
    RecordingSink padOnly;
    EXPECT_EQ(w.elapsed([&] {
        syncWorkerStep(*w.state, w.records, devices, w.pacer, w.buffers, padOnly);
    }),
              1u + 2 * kSyncSkipPauseMs);
    ASSERT_EQ(padOnly.sent.size(), 1u);
    EXPECT_EQ(padOnly.sent[0].kind, LightKind::MousePad);
}

} // namespace
} // namespace quellix::lighting::testing
