// The configuration calls of a connection and the profile loads and saves,
// against the simulated devices and profile files in a temporary folder.

#include "quellix/app/config_calls.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/ini.h"
#include "quellix/profiles/families.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <numeric>

namespace quellix::app {
namespace {

using device::DeviceKind;
using profiles::Family;
using profiles::ProfileKind;

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::uint8_t> payloadOf(const std::filesystem::path& path) {
    const std::string file = readAll(path);
    if (file.size() < profiles::kHeaderBytes) {
        return {};
    }
    return {file.begin() + profiles::kHeaderBytes, file.end()};
}

bool anyLineHas(const std::vector<std::string>& lines, std::string_view text) {
    return std::ranges::any_of(lines,
                               [&](const auto& l) { return l.find(text) != std::string::npos; });
}

class ConfigCallsTest : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace std::chrono_literals;
        for (auto& s : sessions_) {
            s.hid.source = hid::DeviceSource::simulator(sim_.dir());
        }
        for (DeviceKind kind : device::kAllDeviceKinds) {
            std::filesystem::create_directory(dirOf(kind));
        }
        std::filesystem::create_directory(factoryDir());
        calls_.setFactoryDefaultsDir(factoryDir());
    }
    std::filesystem::path factoryDir() const { return root_ / "factory"; }
    void TearDown() override {
        for (auto& s : sessions_) {
            device::disconnectSession(s);
        }
    }

    std::filesystem::path dirOf(DeviceKind kind) const {
        return root_ / std::string(device::kindPrefix(kind));
    }

    device::DeviceSession& connect(sim::Model model, DeviceKind kind) {
        sim_.plug(model);
        auto& session = sessions_[device::kindIndex(kind)];
        session.setIdentity(device::identityOf(kind));
        EXPECT_TRUE(device::connectSession(session, kind));
        return session;
    }

    void writeProfile(Family family, const std::string& name, std::string_view bytes) {
        const auto dir =
            dirOf(profiles::familyInfo(family).kind == ProfileKind::Keyboard ? DeviceKind::Keyboard
                  : profiles::familyInfo(family).kind == ProfileKind::Mouse  ? DeviceKind::Mouse
                                                                            : DeviceKind::MousePad);
        platform::test::writeBytes(
            dir / (name + std::string(profiles::familyInfo(family).extension)), bytes);
    }

    std::string profileBytes(ProfileKind kind, std::vector<std::uint8_t> payload) {
        return profiles::encodeProfile(kind, payload);
    }

    platform::test::TempDir root_;
    sim::Simulator sim_{sim::Options{{}, std::chrono::microseconds(0)}};
    std::array<device::DeviceSession, 3> sessions_;
    std::vector<std::string> boxes_;
    ConfigCalls calls_{std::make_shared<config::DeviceConfigs>(),
                       [this](DeviceKind kind) -> device::DeviceSession& {
                           return sessions_[device::kindIndex(kind)];
                       },
                       [this](DeviceKind kind) { return dirOf(kind); },
                       [this](std::string_view key) { boxes_.emplace_back(key); }};
};

TEST_F(ConfigCallsTest, PadLightingLoadsIntoSlotZeroAndTheRecord) {
    std::vector<std::uint8_t> payload(64);
    std::iota(payload.begin(), payload.end(), 1);
    writeProfile(Family::PadLighting, "0", profileBytes(ProfileKind::MousePad, payload));
    calls_.loadPadLighting(0);
    auto& pad = calls_.configs().pad;
    EXPECT_TRUE(std::ranges::equal(pad.image.slot(0), payload));
    EXPECT_EQ(pad.record.load(0), 1);
    EXPECT_EQ(pad.record.load(20), 21);
}

TEST_F(ConfigCallsTest, WithoutAProfileYetTheFactoryDefaultIsLoaded) {
    std::vector<std::uint8_t> factory(64, 0);
    factory[1] = 2; // breathing
    factory[2] = 4;
    platform::test::writeBytes(factoryDir() /
                                   std::string(profiles::defaultFileName(Family::PadLighting)),
                               profileBytes(ProfileKind::MousePad, factory));
    EXPECT_TRUE(calls_.loadPadLightingAt(0));
    EXPECT_EQ(calls_.configs().pad.record.load(1), 2);
    EXPECT_EQ(calls_.configs().pad.record.load(2), 4);
}

TEST_F(ConfigCallsTest, DeviceProfileLoadAppliesItsWheelSpeed) {
    std::vector<int> applied;
    calls_.setWheelSpeedApplier([&](int lines) { applied.push_back(lines); });
    platform::writePrivateProfileString("PROFILEDEVICENAME", "0", "Work",
                                        dirOf(DeviceKind::Mouse) / "msProfile.ini");
    std::vector<std::uint8_t> device(576, 0);
    device[512 + 34] = 7;
    writeProfile(Family::MouseDevice, "Work", profileBytes(ProfileKind::Mouse, device));
    calls_.loadMouseDevice(0);
    // A profile that cannot be read applies nothing.
    platform::test::writeBytes(dirOf(DeviceKind::Mouse) / "Work.config", "not a profile");
    calls_.loadMouseDevice(0);
    EXPECT_EQ(applied, std::vector<int>{7});
}

TEST_F(ConfigCallsTest, BadProfilesAreRefusedAndChangeNothing) {
    struct Case {
        const char* name;
        std::string file;
        const char* diagnostic;
    };
    std::vector<std::uint8_t> payload(64, 9);
    const Case cases[] = {
        {"missing", "", "配置文件丢失"},
        {"short", profileBytes(ProfileKind::MousePad, std::vector<std::uint8_t>(40, 9)),
         "配置文件格式错误"},
        {"long", profileBytes(ProfileKind::MousePad, std::vector<std::uint8_t>(65, 9)),
         "配置文件格式错误"},
        {"wrong kind", profileBytes(ProfileKind::Mouse, payload), "配置文件格式错误"},
        {"wrong magic", "\x55\xAA" + std::string(78, '\x09'), "配置文件格式错误"},
    };
    auto& pad = calls_.configs().pad;
    pad.image.slot(0)[3] = 0x33;
    pad.record.store(3, 0x44);
    for (const auto& c : cases) {
        std::filesystem::remove(dirOf(DeviceKind::MousePad) / "0.led");
        if (!std::string_view(c.name).starts_with("missing")) {
            writeProfile(Family::PadLighting, "0", c.file);
        }
        const auto mark = platform::debugSequence();
        EXPECT_FALSE(calls_.loadPadLightingAt(0)) << c.name;
        EXPECT_TRUE(anyLineHas(platform::debugLinesSince(mark), c.diagnostic)) << c.name;
        EXPECT_EQ(pad.image.slot(0)[3], 0x33) << c.name;
        EXPECT_EQ(pad.record.load(3), 0x44) << c.name;
    }
}

TEST_F(ConfigCallsTest, PayloadTailSurvivesASave) {
    std::vector<std::uint8_t> payload(64, 0);
    for (std::size_t i = 56; i < 64; ++i) {
        payload[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    writeProfile(Family::PadLighting, "0", profileBytes(ProfileKind::MousePad, payload));
    calls_.loadPadLighting(0);
    auto& pad = connect(sim::Model::MousePad, DeviceKind::MousePad);
    calls_.readPadImage(pad); // reads 56 bytes of each slot only
    calls_.configs().pad.record.store(1, 7);
    ASSERT_TRUE(calls_.savePadLighting());
    const auto saved = payloadOf(dirOf(DeviceKind::MousePad) / "0.led");
    ASSERT_EQ(saved.size(), 64u);
    EXPECT_EQ(saved[1], 7);
    EXPECT_TRUE(std::equal(saved.begin() + 56, saved.end(), payload.begin() + 56));
}

TEST_F(ConfigCallsTest, ReadMouseImageSavesTheSelectedKeyAndDeviceProfiles) {
    const auto catalogue = dirOf(DeviceKind::Mouse) / "msProfile.ini";
    platform::writePrivateProfileString("PROFILEDEVICENAME", "0", "Work", catalogue);
    platform::writePrivateProfileString("PROFILENAME", "0", "Keys", catalogue);
    // The device profile the connection loads first: pointer and wheel
    // speed and a tail the mouse never gives.
    std::vector<std::uint8_t> device(576, 0);
    device[512 + 33] = 12;
    device[512 + 34] = 0;
    device[512 + 60] = 0x6C;
    writeProfile(Family::MouseDevice, "Work", profileBytes(ProfileKind::Mouse, device));
    calls_.loadMouseDevice(0);
    EXPECT_EQ(calls_.configs().mouse.wheelSpeed.load(), 1);

    auto& mouse = connect(sim::Model::Mouse, DeviceKind::Mouse);
    calls_.readMouseImage(mouse);

    const auto keys = payloadOf(dirOf(DeviceKind::Mouse) / "Keys.pro");
    const auto expectedKeys = sim_.memory(sim::Model::Mouse, sim::Region::KeyPages, 0, 512);
    EXPECT_EQ(keys, expectedKeys);
    const auto saved = payloadOf(dirOf(DeviceKind::Mouse) / "Work.config");
    ASSERT_EQ(saved.size(), 576u);
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 512, expectedKeys.begin()));
    // Slot 0's record part comes from the loaded record, not the mouse.
    EXPECT_EQ(saved[512 + 33], 12);
    EXPECT_EQ(saved[512 + 34], 1);
    EXPECT_EQ(saved[512 + 60], 0x6C);
    // The rest of the slot (beyond the record) was read from the mouse.
    EXPECT_EQ(saved[512 + 40], sim_.memory(sim::Model::Mouse, 40, 1)[0]);
}

TEST_F(ConfigCallsTest, KeyboardWithTooManyKeysShowsTheBoxAndSavesNothing) {
    auto& keyboard = connect(sim::Model::Keyboard, DeviceKind::Keyboard);
    sim_.writeMemory(sim::Model::Keyboard, sim::Region::Info, 5, {171});
    calls_.readKeyboardImage(keyboard);
    EXPECT_EQ(boxes_, std::vector<std::string>{"message_text_10"});
    EXPECT_FALSE(std::filesystem::exists(dirOf(DeviceKind::Keyboard) / "0.pro"));
}

TEST_F(ConfigCallsTest, KeyboardReadSavesTheKeyProfileAndLightingRoundTrips) {
    auto& keyboard = connect(sim::Model::Keyboard, DeviceKind::Keyboard);
    calls_.readKeyboardImage(keyboard);
    EXPECT_EQ(payloadOf(dirOf(DeviceKind::Keyboard) / "0.pro").size(), 512u);

    auto& kb = calls_.configs().keyboard;
    kb.keyColours.store(5, 0xAB);
    kb.custom.store(0, 3);
    ASSERT_TRUE(calls_.saveKeyboardLighting());
    kb.keyColours.store(5, 0);
    kb.custom.store(0, 0);
    calls_.loadKeyboardLighting(0);
    EXPECT_EQ(kb.keyColours.load(5), 0xAB);
    EXPECT_EQ(kb.custom.load(0), 3);
}

TEST_F(ConfigCallsTest, ReadsOfAbsentDevicesSaveNothing) {
    calls_.readMouseImage(sessions_[device::kindIndex(DeviceKind::Mouse)]);
    calls_.readKeyboardImage(sessions_[device::kindIndex(DeviceKind::Keyboard)]);
    EXPECT_TRUE(std::filesystem::is_empty(dirOf(DeviceKind::Mouse)));
    EXPECT_TRUE(std::filesystem::is_empty(dirOf(DeviceKind::Keyboard)));
}

TEST_F(ConfigCallsTest, KeyboardVariantKeepsItsLastValidValue) {
    calls_.setKeyboardVariant(2);
    calls_.setKeyboardVariant(-1);
    EXPECT_EQ(calls_.configs().keyboard.variant.load(), 2);
}

} // namespace
} // namespace quellix::app
