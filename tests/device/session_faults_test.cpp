// Faults of the link against the simulator: late duplicate replies after a
// latency spike, short replies, a replug under the same socket name, key
// pages that start where the previous transfer ended, and a present device
// that cannot be opened.

#include "session_sim_fixture.h"

#include "result_print.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quellix::device {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using testing::SimulatedMouseSession;
using Bytes = std::vector<std::uint8_t>;

using SessionFaults = SimulatedMouseSession;

Bytes pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return bytes;
}

TEST_F(SessionFaults, LateDuplicateAfterASpikeIsNotTakenForTheNextReply) {
    const Bytes memory = pattern(64, 0x30);
    sim_->writeMemory(kModel, 0, memory);
    // Command 1 is answered after the attempt gave up; the repeated request
    // is answered 20 ms after that, while the next request already waits.
    sim_->setReplyLatency(kModel, 20ms);
    sim_->spikeReplies(kModel, 400ms);
    ASSERT_TRUE(session_.beginTransfer());
    Bytes first(56), second(8);
    ASSERT_TRUE(session_.readBlock(0, first));
    ASSERT_TRUE(session_.readBlock(56, second));
    EXPECT_EQ(first, Bytes(memory.begin(), memory.begin() + 56));
    EXPECT_EQ(second, Bytes(memory.begin() + 56, memory.end()));
    EXPECT_TRUE(session_.endTransfer());
}

TEST(ReplyMatching, AReplyMustEchoCommandOffsetAndAFittingLength) {
    struct Case {
        const char* name;
        Command command;
        std::uint8_t requestLength, replyCommand, replyLength;
        std::uint16_t replyOffset;
        bool answers;
    };
    const Case cases[] = {
        {"echo", Command::ReadBlock, 56, 5, 56, 0x138, true},
        {"other command", Command::ReadBlock, 56, 1, 56, 0x138, false},
        {"other offset", Command::ReadBlock, 56, 5, 56, 0x100, false},
        {"read of another length", Command::ReadBlock, 56, 5, 8, 0x138, false},
        {"length beyond a frame", Command::WriteBlock, 56, 6, 57, 0x138, false},
        {"write status of any fitting length", Command::WriteBlock, 8, 6, 0, 0x138, true},
    };
    for (const Case& c : cases) {
        const ReportFrame request = makeRequest(c.command, c.requestLength, 0x138);
        ReportFrame reply =
            makeRequest(static_cast<Command>(c.replyCommand), c.replyLength, c.replyOffset);
        EXPECT_EQ(replyAnswers(request.bytes, reply.bytes), c.answers) << c.name;
    }
}

TEST_F(SessionFaults, ShortReplyIsNoReplyAndTheFrameIsSentAgain) {
    const Bytes memory = pattern(56, 0x41);
    sim_->writeMemory(kModel, 0, memory);
    sim_->shortenReplies(kModel, 8);
    const auto before = framesReceived();
    Bytes out(56);
    ASSERT_TRUE(session_.readBlock(0, out));
    EXPECT_EQ(out, memory);
    EXPECT_EQ(framesReceived() - before, 2u);
}

TEST_F(SessionFaults, ReplugUnderTheSameNameIsSeenThroughTheSessionsOwnHandle) {
    EXPECT_FALSE(handleHungUp(session_.hid));
    sim_->unplug(kModel);
    sim_->plug(kModel);
    // Opening the path works again: only the handle tells the device went.
    EXPECT_EQ(probeDevice(session_.hid), 1);
    EXPECT_TRUE(handleHungUp(session_.hid));
    EXPECT_EQ(session_.beginTransfer(), Status::HungUp);
}

TEST_F(SessionFaults, KeyPageStartingWhereThePreviousTransferEndedIsStored) {
    KeyBlock page0{}, page4{};
    page0.fill(0x11);
    page4.fill(0x44);
    ASSERT_TRUE(session_.writeKeyPage(0, page0));
    ASSERT_TRUE(session_.writeKeyPage(4, page4)); // first chunk at 504 = page 0's end
    EXPECT_EQ(sim_->memory(kModel, sim::Region::KeyPages, 0, 126), Bytes(126, 0x11));
    EXPECT_EQ(sim_->memory(kModel, sim::Region::KeyPages, 504, 126), Bytes(126, 0x44));
    EXPECT_NE(sim_->memory(kModel, sim::Region::KeyPages, 126, 1), Bytes(1, 0x11));
}

// Binds a socket at `path` that never listens: connecting is refused.
int bindRefusingSocket(const std::filesystem::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ::unlink(path.c_str());
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

TEST(SessionOpenFailure, PresentButUnopenableDeviceSaysWhy) {
    sim::Simulator sim(sim::Options{.dir = {}, .replyLatency = 0us});
    sim.plug(sim::Model::MousePad);
    // Every interface of the pad is there but refuses the connection.
    std::vector<std::filesystem::path> sockets;
    for (const auto& entry : std::filesystem::directory_iterator(sim.dir())) {
        if (entry.path().extension() == ".sock" && entry.path().filename() != "control.sock") {
            sockets.push_back(entry.path());
        }
    }
    ASSERT_FALSE(sockets.empty());
    std::vector<int> refusing;
    for (const auto& socket : sockets) {
        refusing.push_back(bindRefusingSocket(socket));
    }

    DeviceSession session;
    session.hid.source = hid::DeviceSource::simulator(sim.dir());
    session.setIdentity(identityOf(DeviceKind::MousePad));
    const Result refused = connectSession(session, DeviceKind::MousePad);
    EXPECT_EQ(refused, Status::OpenFailed);
    EXPECT_EQ(refused.errorNumber(), ECONNREFUSED);
    const std::string error = refused.detail();
    EXPECT_THAT(error, HasSubstr("mouse pad is present but could not be opened"));
    EXPECT_THAT(error, HasSubstr("pid_5f02"));
    EXPECT_THAT(error, HasSubstr(std::strerror(ECONNREFUSED)));
    EXPECT_EQ(session.hid.openErrno, ECONNREFUSED);
    for (int fd : refusing) {
        ::close(fd);
    }
}

TEST(SessionOpenFailure, EachSessionLooksOnlyAtItsOwnSource) {
    sim::Simulator withMouse(sim::Options{.dir = {}, .replyLatency = 0us});
    sim::Simulator empty(sim::Options{.dir = {}, .replyLatency = 0us});
    withMouse.plug(sim::Model::Mouse);

    DeviceSession elsewhere;
    elsewhere.hid.source = hid::DeviceSource::simulator(empty.dir());
    elsewhere.setIdentity(identityOf(DeviceKind::Mouse));
    DeviceSession here;
    here.hid.source = hid::DeviceSource::simulator(withMouse.dir());
    here.setIdentity(identityOf(DeviceKind::Mouse));

    const Result absent = connectSession(elsewhere, DeviceKind::Mouse);
    EXPECT_EQ(absent, Status::NotConnected);
    EXPECT_THAT(absent.detail(), HasSubstr("no mouse is connected"));
    ASSERT_TRUE(connectSession(here, DeviceKind::Mouse));
    EXPECT_THAT(std::string(here.hid.path.view()), HasSubstr("pid_5f01"));
    // Connecting one changed nothing for the other.
    EXPECT_EQ(connectSession(elsewhere, DeviceKind::Mouse), Status::NotConnected);
    disconnectSession(here);
}

TEST(SessionOpenFailure, RefusedPermissionNamesTheUdevRule) {
    HidDeviceRecord record;
    record.openError = std::strerror(EACCES);
    record.openErrno = EACCES;
    EXPECT_THAT(openFailureText(record), HasSubstr("Permission denied"));
    EXPECT_THAT(openFailureText(record), HasSubstr("70-quellix.rules"));
    record.openErrno = ENOENT;
    record.openError = std::strerror(ENOENT);
    EXPECT_THAT(openFailureText(record), ::testing::Not(HasSubstr("udev")));
}

} // namespace
} // namespace quellix::device
