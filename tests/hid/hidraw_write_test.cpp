// Writes to a hidraw node that blocks in the kernel: the caller's wait is
// bounded by its timeout and its cancel event, and later writes fail at once
// instead of queueing behind the stuck one.

#include "fake_sysfs.h"
#include "quellix/hid/device.h"
#include "quellix/platform/event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace quellix::hid {
namespace {

using quellix::platform::Event;
using quellix::testing::FakeSysfs;
using Bytes = std::vector<std::uint8_t>;
namespace descriptors = quellix::testing::descriptors;

constexpr const char* kPath = "hid#vid_0c45&pid_5f02&mi_01&col01#hidraw3";

class HidrawWrite : public ::testing::Test {
protected:
    void SetUp() override {
        sysfs.addHidraw("hidraw3", 0x0c45, 0x5f02, 1, descriptors::kConfigAndConsumer);
        pipe = sysfs.makeNodeAPipe("hidraw3");
        OpenFlags flags;
        flags.read = true;
        flags.write = true;
        std::string error;
        device = Device::open(sysfs.source(), kPath, flags, &error);
        ASSERT_NE(device, nullptr) << error;
        report[0] = 4;
    }

    // Fills the pipe, so that the next write stays in the kernel.
    void stall() {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        const Bytes block(4096, 0);
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

    // Empties the pipe: the stuck write leaves the kernel.
    void release() {
        const int fd = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        Bytes block(4096);
        while (::read(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

    IoResult write(int timeoutMs) {
        std::uint32_t written = 0;
        return device->write(report.data(), 64, timeoutMs, &cancel, written);
    }

    FakeSysfs sysfs;
    std::filesystem::path pipe;
    std::unique_ptr<Device> device;
    Bytes report = Bytes(64, 0);
    Event cancel{Event::Reset::Auto};
};

TEST_F(HidrawWrite, AWriteTheKernelHoldsIsGivenUpAndLaterWritesFailAtOnce) {
    EXPECT_EQ(write(1000), IoResult::Completed);
    stall();
    EXPECT_EQ(write(50), IoResult::TimedOut);
    EXPECT_TRUE(device->writeInFlight());
    // No waiting behind the stuck write, however long the caller would wait.
    EXPECT_EQ(write(-1), IoResult::Failed);

    release();
    for (int i = 0; i < 20000 && device->writeInFlight(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(device->writeInFlight());
    EXPECT_EQ(write(1000), IoResult::Completed);
}

TEST_F(HidrawWrite, CancelEndsTheWaitAndClosingDoesNotWaitForTheKernel) {
    stall();
    cancel.set();
    EXPECT_EQ(write(-1), IoResult::Cancelled);
    EXPECT_TRUE(device->writeInFlight());
    // Closing the device's own descriptor leaves the pipe without a reader,
    // which ends the stuck write with EPIPE: a signal the test must not die
    // of (a hidraw node raises none).
    std::signal(SIGPIPE, SIG_IGN);
    device.reset(); // returns although the write is still in the kernel
    release();
}

} // namespace
} // namespace quellix::hid
