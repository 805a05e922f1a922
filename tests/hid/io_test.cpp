// Report reads and writes through simulated interfaces: collection
// filtering, the report-id byte of unnumbered reports, timeouts, cancel from
// another thread, dropping stale input and unplugging.

#include "fake_sim_dir.h"
#include "quellix/hid/device.h"
#include "quellix/platform/event.h"

#include <gtest/gtest.h>
#include <thread>

namespace quellix::hid {
namespace {

using quellix::platform::Event;
using quellix::testing::FakeSimDir;
using Bytes = std::vector<std::uint8_t>;
namespace descriptors = quellix::testing::descriptors;

constexpr int kLongWaitMs = 20000; // ended by data or cancel long before

class HidIo : public ::testing::Test {
protected:
    void SetUp() override {
        socket = sim.plug(0x0c45, 0x5f01, 0x0100, 1, descriptors::kConfigAndConsumer);
        mouseSocket = sim.plug(0x046d, 0xc077, 0x0001, 0, descriptors::kUnnumberedMouse);
    }

    std::unique_ptr<Device> open(const std::string& path, bool read = true, bool write = true) {
        OpenFlags flags;
        flags.read = read;
        flags.write = write;
        flags.overlapped = true;
        std::string error;
        auto device = Device::open(sim.source(), path, flags, &error);
        EXPECT_NE(device, nullptr) << error;
        return device;
    }

    static Bytes configReport(std::uint8_t marker) {
        Bytes report(64, 0);
        report[0] = 4;
        report[1] = marker;
        return report;
    }

    FakeSimDir sim;
    std::string socket, mouseSocket;
    Event cancel{Event::Reset::Auto};
};

TEST_F(HidIo, ReadReturnsOnlyTheCollectionsReports) {
    auto config = open("hid#vid_0c45&pid_5f01&mi_01&col01#" + socket);
    auto consumer = open("hid#vid_0c45&pid_5f01&mi_01&col02#" + socket, true, false);
    ASSERT_TRUE(config && consumer);
    sim.send(socket, {0x03, 0x01, 0x04});
    sim.send(socket, configReport(0x77));

    Bytes buffer(64, 0xee);
    std::uint32_t read = 0;
    ASSERT_EQ(config->read(buffer.data(), 64, kLongWaitMs, &cancel, read), IoResult::Completed);
    EXPECT_EQ(read, 64u);
    EXPECT_EQ(buffer, configReport(0x77));

    ASSERT_EQ(consumer->read(buffer.data(), 64, kLongWaitMs, &cancel, read), IoResult::Completed);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{0x03, 0x01, 0x04}));
    // The config report was dropped by the consumer collection's reader.
    EXPECT_EQ(consumer->read(buffer.data(), 64, 0, &cancel, read), IoResult::TimedOut);
}

TEST_F(HidIo, UnnumberedReportsCarryAZeroReportId) {
    auto mouse = open("hid#vid_046d&pid_c077&mi_00#" + mouseSocket);
    ASSERT_TRUE(mouse);
    sim.send(mouseSocket, {0x05, 0x01, 0x02});
    Bytes buffer(8, 0xee);
    std::uint32_t count = 0;
    ASSERT_EQ(mouse->read(buffer.data(), 8, kLongWaitMs, &cancel, count), IoResult::Completed);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), (Bytes{0x00, 0x05, 0x01, 0x02}));

    const Bytes output = {0x00, 0x40};
    ASSERT_EQ(mouse->write(output.data(), 2, 1000, &cancel, count), IoResult::Completed);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(sim.receive(mouseSocket), Bytes{0x40});
}

TEST_F(HidIo, WritesOnlyTheCollectionsOutputReports) {
    auto config = open("hid#vid_0c45&pid_5f01&mi_01&col01#" + socket);
    ASSERT_TRUE(config);
    std::uint32_t count = 0;
    const Bytes request = configReport(0x01);
    ASSERT_EQ(config->write(request.data(), 64, 1000, &cancel, count), IoResult::Completed);
    EXPECT_EQ(sim.receive(socket), request);
    const Bytes foreign = {0x03, 0x00, 0x00};
    EXPECT_EQ(config->write(foreign.data(), 3, 1000, &cancel, count), IoResult::Failed);
    auto readOnly = open("hid#vid_0c45&pid_5f01&mi_01&col01#" + socket, true, false);
    EXPECT_EQ(readOnly->write(request.data(), 64, 1000, &cancel, count), IoResult::Failed);
}

TEST_F(HidIo, ReadTimesOutWhenNothingArrives) {
    auto config = open("hid#vid_0c45&pid_5f01&mi_01&col01#" + socket);
    Bytes buffer(64);
    std::uint32_t count = 99;
    EXPECT_EQ(config->read(buffer.data(), 64, 30, &cancel, count), IoResult::TimedOut);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(config->read(buffer.data(), 63, 0, &cancel, count), IoResult::Failed); // too small
}

TEST_F(HidIo, CancelFromAnotherThreadEndsTheRead) {
    auto config = open("hid#vid_0c45&pid_5f01&mi_01&col01#" + socket);
    Bytes buffer(64);
    std::uint32_t count = 0;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel.set();
    });
    EXPECT_EQ(config->read(buffer.data(), 64, kLongWaitMs, &cancel, count), IoResult::Cancelled);
    canceller.join();
    EXPECT_FALSE(cancel.isSignalled()); // one signal ends one wait
}

TEST_F(HidIo, DropPendingInputDiscardsQueuedReports) {
    auto config = open("hid#vid_0c45&pid_5f01&mi_01&col01#" + socket);
    sim.send(socket, configReport(1));
    sim.send(socket, configReport(2));
    Bytes buffer(64);
    std::uint32_t count = 0;
    // Wait until the reports are queued, then drop them.
    ASSERT_EQ(config->read(buffer.data(), 64, kLongWaitMs, &cancel, count), IoResult::Completed);
    config->dropPendingInput();
    EXPECT_EQ(config->read(buffer.data(), 64, 0, &cancel, count), IoResult::TimedOut);
    sim.send(socket, configReport(3));
    ASSERT_EQ(config->read(buffer.data(), 64, kLongWaitMs, &cancel, count), IoResult::Completed);
    EXPECT_EQ(buffer[1], 3);
}

TEST_F(HidIo, UnplugFailsReadsAndWrites) {
    auto config = open("hid#vid_0c45&pid_5f01&mi_01&col01#" + socket);
    sim.accept(socket);
    sim.unplug(socket);
    Bytes buffer(64);
    std::uint32_t count = 0;
    EXPECT_EQ(config->read(buffer.data(), 64, kLongWaitMs, &cancel, count), IoResult::Failed);
    const Bytes request = configReport(0x01);
    EXPECT_EQ(config->write(request.data(), 64, 1000, &cancel, count), IoResult::Failed);
}

} // namespace
} // namespace quellix::hid
