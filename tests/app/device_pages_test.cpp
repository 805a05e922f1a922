// The device pages' window messages against the simulated devices: what
// each message sends to its device and what it leaves in the records and
// files.

#include "quellix/app/device_pages.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/profiles/profile_file.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

namespace quellix::app {
namespace {

using device::DeviceKind;

struct Header {
    std::uint8_t command;
    std::uint16_t offset;
    friend bool operator==(const Header&, const Header&) = default;
};
std::ostream& operator<<(std::ostream& out, const Header& h) {
    return out << "{cmd " << int(h.command) << " off " << h.offset << "}";
}

// Counts the lighting refreshes the device pages hand on.
class CountingPage final : public ui::FeaturePage {
public:
    explicit CountingPage(int& refreshes) : refreshes_(refreshes) {}
    void OnNotify(dui::TNotifyUI&) override {}
    void Refresh(device::DeviceKind) override { ++refreshes_; }

private:
    int& refreshes_;
};

class DevicePagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.SetPage(ui::Feature::Lighting, std::make_unique<CountingPage>(refreshes_));
        window_.SetDeviceSource(hid::DeviceSource::simulator(sim_.dir()));
        for (DeviceKind kind : device::kAllDeviceKinds) {
            std::filesystem::create_directory(root_ / std::string(device::kindPrefix(kind)));
        }
    }
    void TearDown() override {
        for (DeviceKind kind : device::kAllDeviceKinds) {
            device::disconnectSession(window_.Session(kind));
        }
    }

    void connect(sim::Model model, DeviceKind kind) {
        sim_.plug(model);
        ASSERT_TRUE(device::connectSession(window_.Session(kind), kind));
    }

    // The command and offset of each frame `message` made `model` receive.
    std::vector<Header> framesOf(ui::FeaturePage& page, dui::UINT message, sim::Model model) {
        const auto before = sim_.stats(model).framesReceived;
        EXPECT_TRUE(page.OnMessage(message, 0, 0));
        const auto log = sim_.stats(model).requestLog;
        const auto count = sim_.stats(model).framesReceived - before;
        std::vector<Header> headers;
        for (std::size_t i = log.size() - std::min<std::size_t>(count, log.size()); i < log.size();
             ++i) {
            headers.push_back({log[i][3], static_cast<std::uint16_t>(log[i][5] | log[i][6] << 8)});
        }
        return headers;
    }

    std::filesystem::path dirOf(DeviceKind kind) const {
        return root_ / std::string(device::kindPrefix(kind));
    }

    int refreshes_ = 0;
    platform::test::TempDir root_;
    platform::test::TempDir programDir_;
    sim::Simulator sim_{sim::Options{{}, std::chrono::microseconds(0)}};
    CMainWnd window_;
    ConfigCalls calls_{
        std::make_shared<config::DeviceConfigs>(),
        [this](DeviceKind kind) -> device::DeviceSession& { return window_.Session(kind); },
        [this](DeviceKind kind) { return dirOf(kind); }};
    platform::ManualClock clock_;
    PadDevicePage pad_{window_, calls_, clock_};
    platform::RecordingDesktopSettings desktop_;
    MouseDevicePage mouse_{window_, calls_, desktop_};
    KeyboardDevicePage keyboard_{window_, calls_, programDir_.path()};
};

TEST_F(DevicePagesTest, PadMessages) {
    connect(sim::Model::MousePad, DeviceKind::MousePad);
    const auto read = framesOf(pad_, kMsgPadImageChanged, sim::Model::MousePad);
    ASSERT_EQ(read.size(), 9u);
    EXPECT_EQ(read.front(), (Header{1, 0}));
    EXPECT_EQ(read.back(), (Header{2, 0}));
    EXPECT_EQ(refreshes_, 1);

    sim_.writeMemory(sim::Model::MousePad, 0, {4});
    const auto resync = framesOf(pad_, kMsgPadResync, sim::Model::MousePad);
    EXPECT_EQ(resync, (std::vector<Header>{{5, 0}, {5, 256}}));
    EXPECT_EQ(calls_.configs().pad.record.load(0), 4);
    // The re-synchronised record is saved as the current lighting profile.
    EXPECT_TRUE(std::filesystem::exists(dirOf(DeviceKind::MousePad) / "0.led"));
    EXPECT_FALSE(pad_.OnMessage(2563, 0, 0));
}

TEST_F(DevicePagesTest, MouseMessages) {
    connect(sim::Model::Mouse, DeviceKind::Mouse);
    const auto read = framesOf(mouse_, kMsgMouseImageChanged, sim::Model::Mouse);
    EXPECT_EQ(read.front(), (Header{1, 0}));
    EXPECT_EQ(read.back(), (Header{2, 0}));
    EXPECT_TRUE(std::filesystem::exists(dirOf(DeviceKind::Mouse) / "0.config"));
    EXPECT_TRUE(std::filesystem::exists(dirOf(DeviceKind::Mouse) / "0.pro"));

    sim_.writeMemory(sim::Model::Mouse, 0, {3});
    calls_.configs().mouse.record.store(0, 2);
    const auto reload = framesOf(mouse_, kMsgMouseSlotChanged, sim::Model::Mouse);
    EXPECT_EQ(reload, (std::vector<Header>{{5, 0}, {5, 0}}));
    EXPECT_EQ(calls_.configs().mouse.record.load(0), 0);
}

TEST_F(DevicePagesTest, KeyboardMessages) {
    connect(sim::Model::Keyboard, DeviceKind::Keyboard);
    calls_.setKeyboardVariant(1);
    const auto read = framesOf(keyboard_, kMsgKeyboardImageChanged, sim::Model::Keyboard);
    EXPECT_EQ(read.front(), (Header{1, 0}));
    EXPECT_EQ(read.back(), (Header{2, 0}));

    calls_.configs().keyboard.record.store(0, 3);
    const auto reload = framesOf(keyboard_, kMsgKeyboardSlotChanged, sim::Model::Keyboard);
    EXPECT_EQ(reload, (std::vector<Header>{{5, 0}, {5, 0}}));
    EXPECT_EQ(calls_.configs().keyboard.record.load(0), 0);
    EXPECT_TRUE(std::filesystem::exists(dirOf(DeviceKind::Keyboard) / "0.led"));

    const auto defaults = framesOf(keyboard_, kMsgKeyboardDefaultKeys, sim::Model::Keyboard);
    ASSERT_GE(defaults.size(), 4u);
    EXPECT_EQ(defaults[2], (Header{7, 0}));
    // Saved as the variant's factory key profile in the program folder.
    std::vector<std::uint8_t> keys(512);
    ASSERT_TRUE(profiles::readProfileFile(programDir_ / "kbkey15default.pro",
                                          profiles::ReadMode::Exact,
                                          profiles::ProfileKind::Keyboard, keys));
    const auto expected = sim_.memory(sim::Model::Keyboard, sim::Region::DefaultKeys, 0, 378);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), keys.begin()));
}

TEST_F(DevicePagesTest, SelectingTheActivePadSlotDoesNotRefresh) {
    connect(sim::Model::MousePad, DeviceKind::MousePad);
    const auto before = sim_.stats(sim::Model::MousePad).framesReceived;
    pad_.SelectSlot(0);
    EXPECT_EQ(sim_.stats(sim::Model::MousePad).framesReceived - before, 1u);
    EXPECT_EQ(refreshes_, 0);
    pad_.SelectSlot(3);
    EXPECT_EQ(refreshes_, 1);
    EXPECT_EQ(calls_.configs().pad.record.load(0), 3);
}

} // namespace
} // namespace quellix::app
