// Enumeration and opening of interface collections from a fake sysfs tree
// (hidraw) and from a simulator directory.

#include "fake_sim_dir.h"
#include "fake_sysfs.h"
#include "quellix/hid/device.h"

#include <gtest/gtest.h>

namespace quellix::hid {
namespace {

namespace fs = std::filesystem;
using quellix::testing::FakeSimDir;
using quellix::testing::FakeSysfs;
using quellix::testing::TempDir;
namespace descriptors = quellix::testing::descriptors;

TEST(HidHidrawSource, OnePathPerCollectionInNodeOrder) {
    FakeSysfs sysfs;
    sysfs.addHidraw("hidraw10", 0x046d, 0xc077, 0, descriptors::kUnnumberedMouse);
    sysfs.addHidraw("hidraw3", 0x0c45, 0x5f02, 1, descriptors::kConfigAndConsumer);
    fs::create_directories(sysfs.sys() / "class" / "hidraw" / "hidraw4"); // no device: skipped
    sysfs.addHidraw("hidraw5", 0x1234, 0x0001, 0, {0xa1, 0x01}); // broken descriptor: skipped

    const auto paths = enumerateInterfacePaths(sysfs.source());
    ASSERT_TRUE(paths.has_value());
    EXPECT_EQ(*paths, (std::vector<std::string>{"hid#vid_0c45&pid_5f02&mi_01&col01#hidraw3",
                                                "hid#vid_0c45&pid_5f02&mi_01&col02#hidraw3",
                                                "hid#vid_046d&pid_c077&mi_00#hidraw10"}));
}

TEST(HidHidrawSource, MissingClassDirectoryIsNoDevicesButMissingSysfsIsFailure) {
    FakeSysfs sysfs;
    fs::remove_all(sysfs.sys() / "class");
    ASSERT_TRUE(enumerateInterfacePaths(sysfs.source()).has_value());
    EXPECT_TRUE(enumerateInterfacePaths(sysfs.source())->empty());
    fs::remove_all(sysfs.sys());
    EXPECT_FALSE(enumerateInterfacePaths(sysfs.source()).has_value());
}

TEST(HidHidrawSource, ProbeOpenGivesAttributesAndCapsWithoutIo) {
    FakeSysfs sysfs;
    sysfs.addHidraw("hidraw3", 0x0c45, 0x5f02, 1, descriptors::kConfigAndConsumer);
    std::string error;
    const auto device = Device::open(sysfs.source(), "hid#vid_0c45&pid_5f02&mi_01&col02#hidraw3",
                                     OpenFlags{}, &error);
    ASSERT_NE(device, nullptr) << error;
    EXPECT_EQ(device->fd(), -1);
    EXPECT_EQ(device->attributes().vendorId, 0x0c45);
    EXPECT_EQ(device->attributes().productId, 0x5f02);
    EXPECT_EQ(device->attributes().versionNumber, 0x0105);
    EXPECT_EQ(device->preparsedData()->caps.usagePage, 0x000c);

    fs::remove(sysfs.dev() / "hidraw3");
    EXPECT_EQ(
        Device::open(sysfs.source(), "hid#vid_0c45&pid_5f02&mi_01&col02#hidraw3", OpenFlags{}),
        nullptr);
}

TEST(HidHidrawSource, OpenWithAccessUsesTheNode) {
    FakeSysfs sysfs;
    sysfs.addHidraw("hidraw3", 0x0c45, 0x5f02, 1, descriptors::kConfigAndConsumer);
    OpenFlags flags;
    flags.read = true;
    flags.shareWrite = false;
    const auto device =
        Device::open(sysfs.source(), "hid#vid_0c45&pid_5f02&mi_01&col01#hidraw3", flags);
    ASSERT_NE(device, nullptr);
    EXPECT_GE(device->fd(), 0);
    EXPECT_FALSE(device->flags().shareWrite); // recorded, not enforced
    EXPECT_EQ(device->preparsedData()->caps.usagePage, 0xff1c);
}

struct BadPath {
    const char* name;
    const char* path;
    const char* error;
};

class HidOpenRejects : public ::testing::TestWithParam<BadPath> {};

TEST_P(HidOpenRejects, WithAReason) {
    FakeSysfs sysfs;
    sysfs.addHidraw("hidraw3", 0x0c45, 0x5f02, 1, descriptors::kConfigAndConsumer);
    std::string error;
    EXPECT_EQ(Device::open(sysfs.source(), GetParam().path, OpenFlags{}, &error), nullptr);
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidOpenRejects,
    ::testing::Values(
        BadPath{"NotAPath", "hidraw3", "not a HID interface path"},
        BadPath{"Traversal", "hid#vid_0c45&pid_5f02&mi_01&col01#../../etc/passwd", "not a HID"},
        BadPath{"OtherProduct", "hid#vid_0c45&pid_5f01&mi_01&col01#hidraw3", "different device"},
        BadPath{"OtherInterface", "hid#vid_0c45&pid_5f02&mi_00&col01#hidraw3", "different device"},
        BadPath{"Absent", "hid#vid_0c45&pid_5f02&mi_01&col01#hidraw9", "no such device"},
        BadPath{"NoCollectionNamed", "hid#vid_0c45&pid_5f02&mi_01#hidraw3", "several collections"},
        BadPath{"NoSuchCollection", "hid#vid_0c45&pid_5f02&mi_01&col03#hidraw3",
                "no collection 3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidSimulatedSource, ListsOnlyTheSimulatorsSockets) {
    FakeSysfs sysfs;
    sysfs.addHidraw("hidraw3", 0x0c45, 0x5f02, 1, descriptors::kConfigAndConsumer);
    FakeSimDir sim;
    const std::string socket = sim.plug(0x0c45, 0x5f01, 0x0100, 0, descriptors::kUnnumberedMouse);
    quellix::testing::writeText(sim.dir() / "control.sock", ""); // not an interface
    // The same process lists either source on request.
    ASSERT_EQ(enumerateInterfacePaths(sysfs.source())->size(), 2u);
    const auto paths = enumerateInterfacePaths(sim.source());
    ASSERT_TRUE(paths.has_value());
    EXPECT_EQ(*paths, std::vector<std::string>{"hid#vid_0c45&pid_5f01&mi_00#" + socket});
}

TEST(HidSimulatedSource, UnpluggedSocketIsGone) {
    FakeSimDir sim;
    const std::string socket = sim.plug(0x0c45, 0x5f01, 0x0100, 0, descriptors::kUnnumberedMouse);
    const std::string path = "hid#vid_0c45&pid_5f01&mi_00#" + socket;
    const auto device = Device::open(sim.source(), path, OpenFlags{});
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->attributes().versionNumber, 0x0100);
    sim.unplug(socket);
    EXPECT_EQ(Device::open(sim.source(), path, OpenFlags{}), nullptr);
    EXPECT_TRUE(enumerateInterfacePaths(sim.source())->empty());
}

} // namespace
} // namespace quellix::hid
