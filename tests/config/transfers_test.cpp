// The transfers against the simulated devices, frame by frame, through the
// real HID socket path.

#include "quellix/config/device_configs.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/platform/clock.h"
#include "quellix/sim/simulator.h"

#include "result_print.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace quellix::config {
namespace {

using device::DeviceKind;
using sim::Model;

// One request as the device saw it: command, length, offset and the first
// payload byte (what a one-byte write carries).
struct Frame {
    std::uint8_t command;
    std::uint8_t length;
    std::uint16_t offset;
    int data = -1; // -1: not compared
    friend bool operator==(const Frame& a, const Frame& b) {
        return a.command == b.command && a.length == b.length && a.offset == b.offset &&
               (a.data < 0 || b.data < 0 || a.data == b.data);
    }
};

std::ostream& operator<<(std::ostream& out, const Frame& f) {
    out << "{cmd " << int(f.command) << " len " << int(f.length) << " off " << f.offset;
    if (f.data >= 0) {
        out << " data " << f.data;
    }
    return out << "}";
}

std::vector<Frame> chunks(std::uint8_t command, std::uint16_t base, std::size_t total) {
    std::vector<Frame> frames;
    for (std::size_t c = 0; c < total; c += 56) {
        frames.push_back({command, static_cast<std::uint8_t>(std::min<std::size_t>(56, total - c)),
                          static_cast<std::uint16_t>(base + c)});
    }
    return frames;
}

void append(std::vector<Frame>& to, const std::vector<Frame>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

DeviceKind kindOf(Model model) {
    switch (model) {
    case Model::Mouse:
        return DeviceKind::Mouse;
    case Model::MousePad:
        return DeviceKind::MousePad;
    case Model::Keyboard:
        return DeviceKind::Keyboard;
    }
    return DeviceKind::Mouse;
}

// A zero-latency simulator with the three devices, one connected session
// per device, and the configs the transfers fill.
class ConfigTransfers : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace std::chrono_literals;
        sim_ = std::make_unique<sim::Simulator>(sim::Options{.dir = {}, .replyLatency = 0us});
        for (auto& s : sessions_) {
            s.hid.source = hid::DeviceSource::simulator(sim_->dir());
        }
    }
    void TearDown() override {
        for (auto& s : sessions_) {
            device::disconnectSession(s);
        }
    }

    device::DeviceSession& connect(Model model, std::uint16_t keyboardProduct = 0x0632) {
        sim_->plug(model, keyboardProduct);
        const DeviceKind kind = kindOf(model);
        auto& session = sessions_[device::kindIndex(kind)];
        session.setIdentity(device::identityOf(kind));
        EXPECT_TRUE(device::connectSession(session, kind));
        return session;
    }

    // The frames `action` made the device receive.
    std::vector<Frame> framesOf(Model model, const std::function<void()>& action) {
        const std::size_t before = sim_->stats(model).framesReceived;
        action();
        const auto log = sim_->stats(model).requestLog;
        const std::size_t count = sim_->stats(model).framesReceived - before;
        std::vector<Frame> frames;
        for (std::size_t i = log.size() - std::min(count, log.size()); i < log.size(); ++i) {
            frames.push_back({log[i][3], log[i][4],
                              static_cast<std::uint16_t>(log[i][5] | (log[i][6] << 8)), log[i][8]});
        }
        return frames;
    }

    std::unique_ptr<sim::Simulator> sim_;
    std::array<device::DeviceSession, 3> sessions_;
    DeviceConfigs configs_;
};

TEST_F(ConfigTransfers, ReadPadImageFrameByFrame) {
    auto& pad = connect(Model::MousePad);
    const auto frames = framesOf(Model::MousePad, [&] { EXPECT_TRUE(readPadImage(configs_.pad, pad)); });
    const std::vector<Frame> expected = {{1, 0, 0},    {3, 33, 0},   {5, 56, 0},
                                         {5, 56, 64},  {5, 56, 128}, {5, 56, 192},
                                         {5, 56, 256}, {5, 1, 0},    {2, 0, 0}};
    EXPECT_EQ(frames, expected);
    // The image holds what the pad holds; the record is untouched.
    const auto memory = sim_->memory(Model::MousePad, 0, 5 * 64);
    for (std::size_t s = 0; s < 5; ++s) {
        for (std::size_t i = 0; i < 56; ++i) {
            ASSERT_EQ(configs_.pad.image.slot(s)[i], memory[s * 64 + i]) << s << ":" << i;
        }
    }
    EXPECT_EQ(configs_.pad.info[0], 3);
    EXPECT_EQ(configs_.pad.record.snapshot(), PadSlotRecord{}.snapshot());
}

TEST_F(ConfigTransfers, SelectingTheActiveSlotReadsOneByteOnly) {
    auto& pad = connect(Model::MousePad);
    SlotChange result;
    const auto frames = framesOf(Model::MousePad, [&] { result = selectPadSlot(configs_.pad, pad, 0); });
    EXPECT_EQ(result.selection, SlotSelection::AlreadyActive);
    EXPECT_EQ(frames, (std::vector<Frame>{{5, 1, 0}}));
}

TEST_F(ConfigTransfers, SlotOutsideTheFiveSendsNothing) {
    auto& pad = connect(Model::MousePad);
    for (int n : {-1, 5, 200}) {
        const auto frames = framesOf(Model::MousePad, [&] {
            const SlotChange change = selectPadSlot(configs_.pad, pad, n);
            EXPECT_EQ(change.selection, SlotSelection::OutOfRange);
            EXPECT_EQ(change.result, Status::BadArgument);
        });
        EXPECT_TRUE(frames.empty()) << n;
    }
}

TEST_F(ConfigTransfers, SlotTwoAfterEditingSlotZero) {
    auto& pad = connect(Model::MousePad);
    ASSERT_TRUE(readPadImage(configs_.pad, pad));
    applyPadLighting(configs_.pad, configs_.pad.image.slot(0));
    configs_.pad.record.store(field::kMode, 9); // the user's edit
    const auto padSlot0Before = sim_->memory(Model::MousePad, 0, 64);

    SlotChange result;
    const auto frames = framesOf(Model::MousePad, [&] { result = selectPadSlot(configs_.pad, pad, 2); });
    EXPECT_EQ(result.selection, SlotSelection::Switched);
    EXPECT_TRUE(result.result);
    EXPECT_EQ(frames, (std::vector<Frame>{{5, 1, 0}, {6, 1, 0, 2}, {5, 56, 128}}));
    // The edit went into the image, not into the pad.
    EXPECT_EQ(configs_.pad.image.slot(0)[field::kMode], 9);
    auto padSlot0After = sim_->memory(Model::MousePad, 0, 64);
    padSlot0After[0] = padSlot0Before[0]; // the active-slot byte is the one write
    EXPECT_EQ(padSlot0After, padSlot0Before);
    EXPECT_EQ(sim_->memory(Model::MousePad, 0, 1)[0], 2);
    // The record shows slot 2.
    EXPECT_EQ(configs_.pad.record.load(field::kSlot), 2);
    EXPECT_EQ(configs_.pad.record.load(field::kMode), sim_->memory(Model::MousePad, 128 + 1, 1)[0]);
}

TEST_F(ConfigTransfers, ResetPadIsOneExchangeThenAPause) {
    auto& pad = connect(Model::MousePad);
    platform::ManualClock clock;
    const auto frames = framesOf(Model::MousePad, [&] { EXPECT_TRUE(resetPadDevice(pad, clock)); });
    EXPECT_EQ(frames, (std::vector<Frame>{{13, 0, 0}}));
    EXPECT_EQ(clock.tickCount(), 1000u);
    EXPECT_EQ(sim_->stats(Model::MousePad).resets, 1u);
}

TEST_F(ConfigTransfers, AbsentPadStillPausesAndReadsReturnAtOnce) {
    device::DeviceSession absent;
    platform::ManualClock clock;
    configs_.pad.image.slot(1)[3] = 0x42;
    EXPECT_EQ(resetPadDevice(absent, clock), Status::NotConnected);
    EXPECT_EQ(readPadImage(configs_.pad, absent), Status::NotConnected);
    EXPECT_EQ(clock.tickCount(), 1000u);
    EXPECT_EQ(configs_.pad.image.slot(1)[3], 0x42);
}

TEST_F(ConfigTransfers, PadResyncTakesTheActiveSlot) {
    auto& pad = connect(Model::MousePad);
    ASSERT_TRUE(readPadImage(configs_.pad, pad));
    sim_->writeMemory(Model::MousePad, 0, {3});
    configs_.pad.record.store(field::kSlot, 1);
    configs_.pad.record.store(field::kMode, 8);
    const auto frames =
        framesOf(Model::MousePad, [&] { EXPECT_TRUE(resyncPadRecord(configs_.pad, pad)); });
    EXPECT_EQ(frames, (std::vector<Frame>{{5, 1, 0}, {5, 56, 192}}));
    EXPECT_EQ(configs_.pad.image.slot(1)[field::kMode], 8);
    EXPECT_EQ(configs_.pad.record.load(field::kSlot), 3);
    EXPECT_EQ(configs_.pad.image.slot(3)[0], 3);
}

TEST_F(ConfigTransfers, ReadMouseImageFrameByFrame) {
    auto& mouse = connect(Model::Mouse);
    const auto frames =
        framesOf(Model::Mouse, [&] { EXPECT_TRUE(readMouseImage(configs_.mouse, mouse)); });
    std::vector<Frame> expected = {{1, 0, 0}, {3, 33, 0}};
    append(expected, chunks(7, 0, 512));
    for (std::uint16_t s = 0; s < 5; ++s) {
        expected.push_back({5, 56, static_cast<std::uint16_t>(s * 64)});
        append(expected, chunks(8, static_cast<std::uint16_t>(s * 126), 512));
    }
    expected.push_back({5, 1, 0});
    expected.push_back({2, 0, 0});
    EXPECT_EQ(frames, expected);
    const auto s = decodeMouseSlot(configs_.mouse.image.slot(0));
    EXPECT_EQ(s.dpiLevels, (std::array<std::uint8_t, 4>{6, 14, 30, 55}));
    EXPECT_EQ(dpiBase(configs_.mouse.info), 200);
    EXPECT_EQ(dpiValue(200, s.dpiLevels[3]), 6400);
}

struct WriteCase {
    const char* name;
    int slot;
    std::function<Result(MouseConfig&, device::DeviceSession&)> action;
    Frame frame;
};

TEST_F(ConfigTransfers, MouseSettingWritesFrameByFrame) {
    auto& mouse = connect(Model::Mouse);
    const WriteCase cases[] = {
        {"DPI 3 at 30 in slot 2 is absolute",
         2,
         [](auto& m, auto& s) { return writeDpiLevel(m, s, 3, 30); },
         {6, 1, 17, 30}},
        {"DPI 1 at 9 in slot 0",
         0,
         [](auto& m, auto& s) { return writeDpiLevel(m, s, 1, 9); },
         {6, 1, 15, 9}},
        {"report rate 2 in slot 2 is in the slot",
         2,
         [](auto& m, auto& s) { return writeReportRate(m, s, 2); },
         {6, 1, 142, 2}},
        {"report rate 1 in slot 0",
         0,
         [](auto& m, auto& s) { return writeReportRate(m, s, 1); },
         {6, 1, 14, 1}},
        {"factory reset", 0, [](auto&, auto& s) { return resetMouseDevice(s); }, {13, 0, 0}},
    };
    for (const auto& c : cases) {
        configs_.mouse.record.store(field::kSlot, static_cast<std::uint8_t>(c.slot));
        const auto frames =
            framesOf(Model::Mouse, [&] { EXPECT_TRUE(c.action(configs_.mouse, mouse)) << c.name; });
        EXPECT_EQ(frames, std::vector<Frame>{c.frame}) << c.name;
    }
    EXPECT_EQ(configs_.mouse.record.load(17), 30);
    EXPECT_EQ(configs_.mouse.record.load(mouse_field::kReportRate), 1);
}

TEST_F(ConfigTransfers, DpiWriteEndsSynchronisedLighting) {
    auto& mouse = connect(Model::Mouse);
    mouse.syncActive = 1;
    EXPECT_TRUE(writeDpiLevel(configs_.mouse, mouse, 2, 20));
    EXPECT_EQ(mouse.syncActive.load(), 0);
    EXPECT_EQ(sim_->memory(Model::Mouse, 16, 1)[0], 20);
}

TEST_F(ConfigTransfers, MouseSlotReloadAlwaysTakesSlotZero) {
    auto& mouse = connect(Model::Mouse);
    ASSERT_TRUE(readMouseImage(configs_.mouse, mouse));
    sim_->writeMemory(Model::Mouse, 0, {3});
    configs_.mouse.record.store(field::kSlot, 2);
    configs_.mouse.record.store(field::kMode, 6);
    const auto frames =
        framesOf(Model::Mouse, [&] { EXPECT_TRUE(reloadMouseSlot(configs_.mouse, mouse)); });
    EXPECT_EQ(frames, (std::vector<Frame>{{5, 1, 0}, {5, 56, 0}}));
    EXPECT_EQ(configs_.mouse.image.slot(2)[field::kMode], 6);
    EXPECT_EQ(configs_.mouse.record.load(field::kSlot), 0);
    EXPECT_EQ(configs_.mouse.image.slot(0)[0], 0);
}

TEST_F(ConfigTransfers, MouseSlotSelection) {
    auto& mouse = connect(Model::Mouse);
    const auto frames = framesOf(Model::Mouse, [&] {
        EXPECT_EQ(selectMouseSlot(configs_.mouse, mouse, 4).selection, SlotSelection::Switched);
    });
    EXPECT_EQ(frames, (std::vector<Frame>{{5, 1, 0}, {6, 1, 0, 4}, {5, 56, 256}}));
    EXPECT_EQ(configs_.mouse.record.load(field::kSlot), 4);
}

TEST_F(ConfigTransfers, ReadKeyboardImageFrameByFrame) {
    auto& keyboard = connect(Model::Keyboard);
    Result result;
    const auto frames =
        framesOf(Model::Keyboard, [&] { result = readKeyboardImage(configs_.keyboard, keyboard); });
    EXPECT_TRUE(result);
    // 126 keys: the key tables move 378 bytes in blocks of 56.
    std::vector<Frame> expected = {{1, 0, 0}, {3, 33, 0}};
    append(expected, chunks(7, 0, 378));
    expected.push_back({5, 56, 0});
    append(expected, chunks(8, 0, 378));
    expected.push_back({5, 1, 0});
    expected.push_back({2, 0, 0});
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(keyboard.blockLength.load(), 378);
    EXPECT_EQ(configs_.keyboard.image.slot(0)[26], 255);
}

TEST_F(ConfigTransfers, KeyboardWithTooManyKeysStopsAfterTheInformation) {
    auto& keyboard = connect(Model::Keyboard);
    sim_->writeMemory(Model::Keyboard, sim::Region::Info, 5, {171});
    configs_.keyboard.keyPage[0] = 0x5A;
    Result result;
    const auto frames =
        framesOf(Model::Keyboard, [&] { result = readKeyboardImage(configs_.keyboard, keyboard); });
    EXPECT_EQ(result, Status::Unsupported);
    EXPECT_EQ(frames, (std::vector<Frame>{{1, 0, 0}, {3, 33, 0}}));
    EXPECT_EQ(configs_.keyboard.keyPage[0], 0x5A);
    EXPECT_EQ(configs_.keyboard.image, KeyboardConfigImage{});
}

TEST_F(ConfigTransfers, KeyboardConfigurationWrites) {
    auto& keyboard = connect(Model::Keyboard);
    const KeyboardWrite writes[] = {{1, 1, {6}}, {0x1E, 1, {1}}, {0x1D, 1, {0}}};
    auto frames =
        framesOf(Model::Keyboard, [&] { EXPECT_TRUE(writeKeyboardConfig(keyboard, writes)); });
    EXPECT_EQ(frames,
              (std::vector<Frame>{{19, 0, 0}, {6, 1, 1, 6}, {6, 1, 0x1E, 1}, {6, 1, 0x1D, 0}}));

    frames = framesOf(Model::Keyboard, [&] {
        EXPECT_TRUE(writeKeyboardColour(keyboard, {10, 20, 30}));
    });
    EXPECT_EQ(frames, (std::vector<Frame>{{19, 0, 0}, {6, 3, 26, 10}, {6, 3, 36, 10}}));
    EXPECT_EQ(sim_->memory(Model::Keyboard, 36, 3), (std::vector<std::uint8_t>{10, 20, 30}));
    EXPECT_EQ(keyboard.streamEnabled.load(), 1);
}

TEST_F(ConfigTransfers, KeyboardSlotReloadSetsSlotZero) {
    auto& keyboard = connect(Model::Keyboard);
    configs_.keyboard.record.store(field::kSlot, 3);
    configs_.keyboard.record.store(keyboard_field::kStyle, 1);
    const auto frames = framesOf(
        Model::Keyboard, [&] { EXPECT_TRUE(reloadKeyboardSlot(configs_.keyboard, keyboard)); });
    EXPECT_EQ(frames, (std::vector<Frame>{{5, 1, 0}, {5, 56, 0}}));
    EXPECT_EQ(configs_.keyboard.record.load(field::kSlot), 0);
    EXPECT_EQ(configs_.keyboard.record.load(keyboard_field::kStyle), 0); // from the keyboard
}

TEST_F(ConfigTransfers, RefusedSlotChoiceChangesNothing) {
    auto& pad = connect(Model::MousePad);
    ASSERT_TRUE(readPadImage(configs_.pad, pad));
    configs_.pad.record.store(field::kMode, 9); // an edit of slot 0
    // The active-slot read answers; the write of the new slot is refused.
    pad.setFrameObserver([&](device::FrameEvent event, std::span<const std::uint8_t>) {
        if (event == device::FrameEvent::Taken) {
            sim_->replyWithStatus(Model::MousePad, 0xFF, 4);
        }
    });
    const SlotChange change = selectPadSlot(configs_.pad, pad, 3);
    pad.setFrameObserver({});
    EXPECT_EQ(change.selection, SlotSelection::WriteFailed);
    EXPECT_EQ(change.result, Status::Rejected);
    EXPECT_NE(change.result.detail().find("slot 3"), std::string::npos) << change.result.detail();
    // The host still shows slot 0 with its edit, as the pad does.
    EXPECT_EQ(configs_.pad.record.load(field::kSlot), 0);
    EXPECT_EQ(configs_.pad.record.load(field::kMode), 9);
    EXPECT_EQ(sim_->memory(Model::MousePad, 0, 1)[0], 0);
}

TEST_F(ConfigTransfers, ImageReadGoesOnAndReportsTheFirstFailure) {
    auto& mouse = connect(Model::Mouse);
    // The first request gets status 0xFE.
    sim_->replyWithStatus(Model::Mouse, 0xFE, 1);
    Result result;
    const auto frames =
        framesOf(Model::Mouse, [&] { result = readMouseImage(configs_.mouse, mouse); });
    EXPECT_EQ(result, Status::Malformed);
    EXPECT_NE(result.detail().find("beginning the transfer"), std::string::npos) << result.detail();
    // The rest of the image was still read, and the transfer ended.
    EXPECT_EQ(frames.back(), (Frame{2, 0, 0}));
    EXPECT_EQ(decodeMouseSlot(configs_.mouse.image.slot(0)).dpiLevels[0], 6);
}

} // namespace
} // namespace quellix::config
