// The simulator seen through its sockets, as the HID layer sees it.

#include "descriptors.h"
#include "quellix/sim/simulator.h"
#include "sim_client.h"

#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quellix::sim {
namespace {

using testing::Client;
using testing::request;
namespace fs = std::filesystem;

fs::path socketOf(const Simulator& sim, const char* stem) {
    return sim.dir() / (std::string(stem) + ".sock");
}

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> payload(const std::vector<std::uint8_t>& reply, std::size_t length) {
    return {reply.begin() + 8, reply.begin() + 8 + static_cast<long>(length)};
}

class SimulatorSocketTest : public ::testing::Test {
protected:
    Simulator sim{Options{{}, std::chrono::microseconds(0)}};
};

TEST_F(SimulatorSocketTest, PlugPublishesDescriptorsAndSocketsInAPrivateDirectory) {
    sim.plug(Model::Mouse);
    sim.plug(Model::MousePad);
    sim.plug(Model::Keyboard, 0x763E);

    struct stat info {};
    ASSERT_EQ(::stat(sim.dir().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    const auto config = configurationDescriptor();
    const auto consumer = consumerDescriptor();
    const std::vector<std::uint8_t> configBytes(config.begin(), config.end());
    const std::vector<std::uint8_t> consumerBytes(consumer.begin(), consumer.end());
    EXPECT_EQ(fileBytes(sim.dir() / "0c45_5f01_0105_00.rdesc"), configBytes);
    EXPECT_EQ(fileBytes(sim.dir() / "0c45_5f01_0105_01.rdesc"), consumerBytes);
    EXPECT_EQ(fileBytes(sim.dir() / "0c45_5f02_0105_00.rdesc"), configBytes);
    EXPECT_FALSE(fs::exists(sim.dir() / "0c45_5f02_0105_01.rdesc")); // the pad has one interface
    EXPECT_TRUE(fs::is_socket(sim.dir() / "0c45_763e_0105_00.sock"));
    EXPECT_TRUE(fs::is_socket(sim.dir() / "0c45_763e_0105_01.sock"));
    EXPECT_TRUE(fs::is_socket(sim.dir() / "control.sock"));
}

TEST_F(SimulatorSocketTest, DestructionRemovesItsTemporaryDirectory) {
    fs::path dir;
    {
        Simulator local{Options{{}, std::chrono::microseconds(0)}};
        local.plug(Model::MousePad);
        dir = local.dir();
        ASSERT_TRUE(fs::exists(dir));
    }
    EXPECT_FALSE(fs::exists(dir));
}

TEST(SimulatorDirectory, AnExistingDirectoryMustBePrivate) {
    const fs::path dir =
        fs::temp_directory_path() / ("quellix-sim-dir-" + std::to_string(::getpid()));
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms(0755));
    EXPECT_THROW(Simulator(Options{dir, std::chrono::microseconds(0)}), std::invalid_argument);
    EXPECT_EQ(fs::status(dir).permissions(), fs::perms(0755)); // left as it was

    fs::permissions(dir, fs::perms(0700));
    // Files of a server that died: a stale socket file and descriptor.
    std::ofstream(dir / "control.sock").put('x');
    std::ofstream(dir / "0c45_5f01_0105_00.rdesc").put('x');
    std::ofstream(dir / "notes.txt").put('x');
    {
        Simulator sim{Options{dir, std::chrono::microseconds(0)}};
        sim.plug(Model::MousePad);
        EXPECT_TRUE(fs::exists(dir / "0c45_5f02_0105_00.sock"));
    }
    // Its files are gone, the user's directory and file stay.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::exists(dir / "notes.txt"));
    fs::remove_all(dir);
}

TEST_F(SimulatorSocketTest, InfoBlockAndSlotMemoryOverTheSocket) {
    sim.plug(Model::Mouse);
    Client mouse(socketOf(sim, "0c45_5f01_0105_00"));

    const auto info = mouse.exchange(request(3, 33, 0));
    ASSERT_EQ(info.size(), 64u);
    EXPECT_EQ(info[0], 4);
    EXPECT_EQ(info[3], 3);
    EXPECT_EQ(info[7], 0);
    EXPECT_EQ(payload(info, 33), sim.memory(Model::Mouse, Region::Info, 0, 33));

    // Select slot 2 the way the program does: write offset 0, read slot 2.
    EXPECT_EQ(mouse.exchange(request(6, 1, 0, {2}))[7], 0);
    EXPECT_EQ(sim.memory(Model::Mouse, 0, 1), std::vector<std::uint8_t>{2});
    const auto slot2 = mouse.exchange(request(5, 56, 128));
    EXPECT_EQ(slot2[7], 0);
    EXPECT_EQ(payload(slot2, 56), sim.memory(Model::Mouse, 128, 56));
    EXPECT_EQ(slot2[8], 2); // a slot's first byte is its index
}

TEST_F(SimulatorSocketTest, KeyPagesStoreOnlyThePageTheyAddress) {
    sim.plug(Model::Mouse);
    Client mouse(socketOf(sim, "0c45_5f01_0105_00"));
    const auto pageTwoBefore = sim.memory(Model::Mouse, Region::KeyPages, 252, 126);

    // Page 1 as the program uploads it: 512 bytes from 126 in ten chunks.
    EXPECT_EQ(mouse.exchange(request(1, 0, 0))[7], 0);
    for (std::uint16_t chunk = 0; chunk < 512; chunk += 56) {
        const std::uint8_t length = static_cast<std::uint8_t>(std::min(56, 512 - chunk));
        const std::vector<std::uint8_t> data(length, 0x70);
        EXPECT_EQ(
            mouse.exchange(request(9, length, static_cast<std::uint16_t>(126 + chunk), data))[7],
            0);
    }
    EXPECT_EQ(mouse.exchange(request(2, 0, 0))[7], 0);

    EXPECT_EQ(sim.memory(Model::Mouse, Region::KeyPages, 126, 126),
              std::vector<std::uint8_t>(126, 0x70));
    EXPECT_EQ(sim.memory(Model::Mouse, Region::KeyPages, 252, 126), pageTwoBefore);

    // Reading page 1 returns the stored page from offset 126.
    const auto read = mouse.exchange(request(8, 56, 126));
    EXPECT_EQ(payload(read, 56), std::vector<std::uint8_t>(56, 0x70));
}

TEST_F(SimulatorSocketTest, ChunkedLedFramesAreCountedPerDevice) {
    sim.plug(Model::MousePad);
    sim.plug(Model::Keyboard, 0x7513);
    Client pad(socketOf(sim, "0c45_5f02_0105_00"));
    Client keyboard(socketOf(sim, "0c45_7513_0105_00"));

    for (int frame = 0; frame < 3; ++frame) {
        const std::uint8_t shade = static_cast<std::uint8_t>(10 * frame);
        pad.exchange(request(18, 33, 0, std::vector<std::uint8_t>(33, shade)));
    }
    for (std::uint16_t chunk = 0; chunk < 378; chunk += 56) {
        const std::uint8_t length = static_cast<std::uint8_t>(std::min(56, 378 - chunk));
        EXPECT_EQ(
            keyboard.exchange(request(18, length, chunk, std::vector<std::uint8_t>(length, 7)))[7],
            0);
    }

    const DeviceStats padStats = sim.stats(Model::MousePad);
    EXPECT_EQ(padStats.ledFrames, 3u);
    EXPECT_EQ(padStats.lastLedFrame, std::vector<std::uint8_t>(33, 20));
    const DeviceStats keyboardStats = sim.stats(Model::Keyboard);
    EXPECT_EQ(keyboardStats.ledFrames, 1u);
    EXPECT_EQ(keyboardStats.lastLedFrame, std::vector<std::uint8_t>(378, 7));
    EXPECT_EQ(keyboardStats.framesReceived, 7u);
}

TEST_F(SimulatorSocketTest, InjectedFaultsAffectOnlyTheNextFrames) {
    sim.plug(Model::MousePad);
    Client pad(socketOf(sim, "0c45_5f02_0105_00"));

    sim.dropReplies(Model::MousePad, 1);
    pad.send(request(5, 1, 0));
    EXPECT_FALSE(pad.receive(200).has_value()); // lost, as a device that stops answering
    EXPECT_EQ(pad.exchange(request(5, 1, 0))[7], 0);

    sim.replyWithStatus(Model::MousePad, 0xFF, 2);
    EXPECT_EQ(pad.exchange(request(5, 1, 0))[7], 0xFF);
    EXPECT_EQ(pad.exchange(request(6, 1, 0, {3}))[7], 0xFF);
    EXPECT_EQ(sim.memory(Model::MousePad, 0, 1),
              std::vector<std::uint8_t>{0}); // refused, not written
    sim.replyWithStatus(Model::MousePad, 0xFE);
    EXPECT_EQ(pad.exchange(request(5, 1, 0))[7], 0xFE);
    EXPECT_EQ(pad.exchange(request(5, 1, 0))[7], 0);

    const DeviceStats stats = sim.stats(Model::MousePad);
    EXPECT_EQ(stats.framesReceived, 6u);
    EXPECT_EQ(stats.repliesSent, 5u);
    EXPECT_EQ(stats.errorReplies, 3u);
}

TEST_F(SimulatorSocketTest, UnplugInTheMiddleOfATransferClosesConnectionsAndRemovesFiles) {
    sim.plug(Model::Mouse);
    Client config(socketOf(sim, "0c45_5f01_0105_00"));
    Client consumer(socketOf(sim, "0c45_5f01_0105_01"));

    sim.unplugAfterFrames(Model::Mouse, 3);
    EXPECT_EQ(config.exchange(request(1, 0, 0))[7], 0);
    EXPECT_EQ(config.exchange(request(3, 33, 0))[7], 0);
    config.send(request(5, 56, 0)); // the third frame: no answer, the device is gone

    EXPECT_EQ(config.receive(),
              std::optional<std::vector<std::uint8_t>>(std::vector<std::uint8_t>{}));
    EXPECT_EQ(consumer.receive(),
              std::optional<std::vector<std::uint8_t>>(std::vector<std::uint8_t>{}));
    EXPECT_FALSE(sim.isPlugged(Model::Mouse));
    for (const char* name : {"0c45_5f01_0105_00.sock", "0c45_5f01_0105_00.rdesc",
                             "0c45_5f01_0105_01.sock", "0c45_5f01_0105_01.rdesc"}) {
        EXPECT_FALSE(fs::exists(sim.dir() / name)) << name;
    }
    // The memory survives, as on the device, and a replug serves it again.
    sim.plug(Model::Mouse);
    Client again(socketOf(sim, "0c45_5f01_0105_00"));
    EXPECT_EQ(again.exchange(request(5, 1, 0))[7], 0);
    EXPECT_FALSE(sim.stats(Model::Mouse).inTransfer);
}

TEST_F(SimulatorSocketTest, NotifySendsAConsumerReportToTheConsumerInterfaceOnly) {
    sim.plug(Model::Keyboard);
    Client config(socketOf(sim, "0c45_0632_0105_00"));
    Client consumer(socketOf(sim, "0c45_0632_0105_01"));
    sim.notify(Model::Keyboard, 0x402);
    EXPECT_EQ(consumer.receive(), std::optional<std::vector<std::uint8_t>>({3, 0x02, 0x04}));
    EXPECT_FALSE(config.receive(100).has_value());
    EXPECT_THROW(sim.notify(Model::Keyboard, 0x404), std::invalid_argument);
    sim.plug(Model::MousePad);
    EXPECT_THROW(sim.notify(Model::MousePad, 0x401), std::logic_error);
}

TEST_F(SimulatorSocketTest, RepliesGoToEveryConnectionOfTheInterface) {
    sim.plug(Model::MousePad);
    Client first(socketOf(sim, "0c45_5f02_0105_00"));
    Client second(socketOf(sim, "0c45_5f02_0105_00"));
    first.send(request(5, 1, 0));
    const auto seenByFirst = first.receive();
    const auto seenBySecond = second.receive();
    ASSERT_TRUE(seenByFirst && seenBySecond);
    EXPECT_EQ(*seenByFirst, *seenBySecond);
}

TEST_F(SimulatorSocketTest, UntrustedPacketsAreAnsweredWithAnErrorStatus) {
    sim.plug(Model::MousePad);
    Client pad(socketOf(sim, "0c45_5f02_0105_00"));
    const std::uint8_t shortPacket[5] = {4, 0, 0, 5, 1};
    pad.send(shortPacket, sizeof shortPacket);
    auto reply = pad.receive();
    ASSERT_TRUE(reply && reply->size() == 64);
    EXPECT_EQ((*reply)[7], 0xFE);

    std::vector<std::uint8_t> oversized(1000, 0);
    oversized[0] = 4;
    pad.send(oversized.data(), oversized.size());
    reply = pad.receive();
    ASSERT_TRUE(reply && reply->size() == 64);
    EXPECT_EQ((*reply)[7], 0xFE);

    EXPECT_EQ(pad.exchange(request(5, 56, 300))[7], 0xFE); // beyond the 320-byte slot memory
    EXPECT_EQ(sim.stats(Model::MousePad).framesReceived, 3u);
}

TEST_F(SimulatorSocketTest, ControlSocketPlugsUnplugsAndReportsErrors) {
    Client control(sim.dir() / "control.sock");
    EXPECT_EQ(control.control("plug keyboard 0x763E"), "ok");
    EXPECT_TRUE(sim.isPlugged(Model::Keyboard));
    EXPECT_EQ(sim.productId(Model::Keyboard), 0x763E);
    EXPECT_EQ(control.control("list"), "ok\nkeyboard 763e");
    EXPECT_EQ(control.control("status keyboard 0xFE 1"), "ok");
    EXPECT_EQ(control.control("plug keyboard 0x1234").rfind("error:", 0), 0u);
    EXPECT_EQ(control.control("notify pad 0x401").rfind("error:", 0), 0u);
    EXPECT_EQ(control.control("frobnicate").rfind("error:", 0), 0u);
    EXPECT_EQ(control.control("dump keyboard").rfind("ok\nkeyboard 0c45:763e plugged", 0), 0u);
    EXPECT_EQ(control.control("unplug keyboard"), "ok");
    EXPECT_FALSE(sim.isPlugged(Model::Keyboard));
    EXPECT_FALSE(fs::exists(sim.dir() / "0c45_763e_0105_00.sock"));
}

TEST_F(SimulatorSocketTest, TrafficDuringRepeatedReplugsEndsCleanly) {
    const fs::path socket = sim.dir() / "0c45_5f02_0105_00.sock";
    std::atomic<bool> done{false};
    std::thread host([&] {
        while (!done) {
            try {
                Client pad(socket);
                pad.send(request(5, 56, 64));
                (void)pad.receive(100); // a reply, the end of the stream, or nothing
            } catch (const std::runtime_error&) {
                // unplugged between the calls
            }
        }
    });
    for (int round = 0; round < 50; ++round) {
        sim.plug(Model::MousePad);
        sim.plug(Model::Mouse);
        sim.notify(Model::Mouse, 0x401);
        sim.unplugAfterFrames(Model::MousePad, 2);
        sim.unplug(Model::Mouse);
        sim.unplug(Model::MousePad);
    }
    done = true;
    host.join();
    EXPECT_FALSE(fs::exists(socket));
    EXPECT_EQ(std::distance(fs::directory_iterator(sim.dir()), fs::directory_iterator()), 1)
        << "only control.sock is left";
}

TEST(SimulatorLatency, RepliesFollowTheirRequestsInOrder) {
    Simulator sim{Options{{}, std::chrono::microseconds(500)}};
    sim.plug(Model::Mouse);
    sim.setReplyLatency(Model::Mouse, std::chrono::microseconds(2000));
    Client mouse(socketOf(sim, "0c45_5f01_0105_00"));
    for (std::uint16_t slot = 0; slot < 5; ++slot) {
        mouse.send(request(5, 1, static_cast<std::uint16_t>(64 * slot)));
    }
    for (std::uint16_t slot = 0; slot < 5; ++slot) {
        const auto reply = mouse.receive();
        ASSERT_TRUE(reply.has_value());
        EXPECT_EQ((*reply)[5] | ((*reply)[6] << 8), 64 * slot);
        EXPECT_EQ((*reply)[8], slot);
    }
}

} // namespace
} // namespace quellix::sim
