// The command set against a simulated mouse, through the real socket path.

#include "session_sim_fixture.h"

#include "result_print.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <vector>

namespace quellix::device {
namespace {

using testing::SimulatedMouseSession;

struct ChunkHeader {
    std::uint8_t command;
    std::uint8_t length;
    std::uint16_t offset;
    friend bool operator==(const ChunkHeader&, const ChunkHeader&) = default;
};

std::ostream& operator<<(std::ostream& out, const ChunkHeader& h) {
    return out << "{cmd " << int(h.command) << " len " << int(h.length) << " off " << h.offset
               << "}";
}

// The headers of the last `count` requests the device received.
std::vector<ChunkHeader> lastHeaders(const std::vector<std::array<std::uint8_t, 64>>& log,
                                     std::size_t count) {
    std::vector<ChunkHeader> headers;
    for (std::size_t i = log.size() - std::min(count, log.size()); i < log.size(); ++i) {
        headers.push_back(
            {log[i][3], log[i][4], static_cast<std::uint16_t>(log[i][5] | (log[i][6] << 8))});
    }
    return headers;
}

std::vector<ChunkHeader> expectedChunks(std::uint8_t command, std::uint16_t base,
                                        std::size_t total) {
    std::vector<ChunkHeader> headers;
    for (std::size_t c = 0; c < total; c += 56) {
        headers.push_back({command, chunkLength(c, total), static_cast<std::uint16_t>(base + c)});
    }
    return headers;
}

using SessionTest = SimulatedMouseSession;

TEST_F(SessionTest, BeginTransferSendsTheExactRequest) {
    ASSERT_TRUE(session_.beginTransfer());
    std::array<std::uint8_t, 64> expected{};
    expected[0] = 4;
    expected[1] = 1;
    expected[3] = 1;
    EXPECT_EQ(requests().back(), expected);
}

TEST_F(SessionTest, DeviceInfoAsksFor33BytesAtOffset0) {
    DeviceInfoBlock info{};
    ASSERT_TRUE(session_.readDeviceInfo(info));
    EXPECT_EQ(lastHeaders(requests(), 1), (std::vector<ChunkHeader>{{3, 33, 0}}));
}

TEST_F(SessionTest, BlockWriteThenReadRoundTripsThroughDeviceMemory) {
    std::vector<std::uint8_t> data(56);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(0x80 + i);
    }
    session_.syncActive = 1;
    ASSERT_TRUE(session_.writeBlock(64, data));
    EXPECT_EQ(session_.syncActive, 0);
    EXPECT_EQ(sim_->memory(kModel, 64, data.size()), data);

    std::vector<std::uint8_t> back(56);
    ASSERT_TRUE(session_.readBlock(64, back));
    EXPECT_EQ(back, data);
}

TEST_F(SessionTest, BlockCommandsRefuseMoreThanOneFrameWithoutTraffic) {
    const auto before = framesReceived();
    std::vector<std::uint8_t> tooLong(57);
    EXPECT_EQ(session_.readBlock(0, tooLong), Status::BadArgument);
    EXPECT_EQ(session_.writeBlock(0, tooLong), Status::BadArgument);
    EXPECT_EQ(framesReceived(), before);
}

TEST_F(SessionTest, ChunkedUploadsSplitAt56Bytes) {
    for (std::size_t size : {0u, 1u, 56u, 57u, 512u}) {
        const std::vector<std::uint8_t> data(size, 0x5A);
        const auto before = framesReceived();
        ASSERT_TRUE(session_.writePointerImage(data)) << size;
        const auto expected = expectedChunks(23, 0, size);
        EXPECT_EQ(framesReceived() - before, expected.size()) << size;
        EXPECT_EQ(lastHeaders(requests(), expected.size()), expected) << size;
    }
}

TEST_F(SessionTest, KeyPage2IsReadFromOffset252InTenChunks) {
    KeyBlock page{};
    ASSERT_TRUE(session_.readKeyPage(2, page));
    EXPECT_EQ(lastHeaders(requests(), 10), expectedChunks(8, 252, 512));
    EXPECT_EQ(lastHeaders(requests(), 1), (std::vector<ChunkHeader>{{8, 8, 756}}));
}

TEST_F(SessionTest, BlockLengthIsClampedToTheBuffer) {
    session_.blockLength = 600;
    KeyBlock keys{};
    const auto before = framesReceived();
    ASSERT_TRUE(session_.readDefaultKeys(keys));
    EXPECT_EQ(framesReceived() - before, 10u);

    session_.blockLength = 30;
    ASSERT_TRUE(session_.readDefaultKeys(keys));
    EXPECT_EQ(lastHeaders(requests(), 1), (std::vector<ChunkHeader>{{7, 30, 0}}));
}

TEST_F(SessionTest, PageFiveIsRefusedBeforeAnyTraffic) {
    KeyBlock page{};
    const auto before = framesReceived();
    EXPECT_EQ(session_.readKeyPage(5, page), Status::BadArgument);
    EXPECT_EQ(session_.writeKeyPage(5, page), Status::BadArgument);
    session_.connected = 0;
    EXPECT_EQ(session_.readKeyPage(7, page), Status::BadArgument);
    EXPECT_EQ(framesReceived(), before);
}

TEST_F(SessionTest, StreamingPausedSendsNothingAndSucceeds) {
    const std::vector<std::uint8_t> frame(60, 0x11);
    session_.streamEnabled = 0;
    const auto before = framesReceived();
    EXPECT_TRUE(session_.streamFrame(frame));
    EXPECT_EQ(framesReceived(), before);
    session_.streamEnabled = 1;
    EXPECT_TRUE(session_.streamFrame(frame));
    EXPECT_EQ(framesReceived() - before, 2u);
}

TEST_F(SessionTest, ResetAndLightingNoticeCarryAZeroChecksum) {
    struct Case {
        Result (DeviceSession::*send)();
        std::uint8_t command;
    };
    for (const Case& c :
         {Case{&DeviceSession::lightingNotice, 19}, Case{&DeviceSession::resetDevice, 13}}) {
        EXPECT_TRUE((session_.*c.send)());
        const auto request = requests().back();
        EXPECT_EQ(request[0], 4);
        EXPECT_EQ(request[1], 0);
        EXPECT_EQ(request[2], 0);
        EXPECT_EQ(request[3], c.command);
        EXPECT_TRUE(std::all_of(request.begin() + 4, request.end(), [](auto b) { return b == 0; }));
    }
}

TEST_F(SessionTest, RejectionStatusEndsAChunkedReadKeepingEarlierChunks) {
    KeyBlock expected{};
    ASSERT_TRUE(session_.readDefaultKeys(expected));

    struct Case {
        std::uint8_t status;
        Status result;
    };
    for (const Case& c : {Case{0xFF, Status::Rejected}, Case{0xFE, Status::Malformed}}) {
        // The third chunk's reply carries the status.
        int replies = 0;
        session_.setFrameObserver([&](FrameEvent event, std::span<const std::uint8_t>) {
            if (event == FrameEvent::Taken && ++replies == 2) {
                sim_->replyWithStatus(kModel, c.status, 1);
            }
        });
        KeyBlock keys;
        keys.fill(0xA5);
        const Result result = session_.readDefaultKeys(keys);
        EXPECT_EQ(result, c.result);
        // The detail names the chunk that was refused.
        EXPECT_EQ(result.detail(), "command 7 at 0x0070");
        session_.setFrameObserver({});
        EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + 112, expected.begin()));
        EXPECT_TRUE(std::all_of(keys.begin() + 112, keys.end(), [](auto b) { return b == 0xA5; }));
    }
}

TEST_F(SessionTest, UnansweredFrameIsWrittenFourTimesThenGivesZero) {
    sim_->dropReplies(kModel, 4);
    const auto before = framesReceived();
    EXPECT_EQ(session_.beginTransfer(), Status::NoReply);
    EXPECT_EQ(framesReceived() - before, 4u);
    // The next command is not disturbed.
    EXPECT_TRUE(session_.beginTransfer());
}

TEST_F(SessionTest, AReplyOnTheLastAttemptIsEnough) {
    sim_->dropReplies(kModel, 3);
    const auto before = framesReceived();
    EXPECT_TRUE(session_.endTransfer());
    EXPECT_EQ(framesReceived() - before, 4u);
}

TEST_F(SessionTest, DisconnectedSessionSendsNothing) {
    session_.connected = 0;
    session_.syncActive = 1;
    const auto before = framesReceived();
    const std::vector<std::uint8_t> data(8, 1);
    EXPECT_EQ(session_.writeBlock(0, data), Status::NotConnected);
    EXPECT_EQ(session_.syncActive, 0);
    EXPECT_EQ(session_.endTransfer(), Status::NotConnected);
    EXPECT_EQ(session_.resetDevice(), Status::NotConnected);
    EXPECT_TRUE(session_.writeMacroImage({})); // nothing to send
    EXPECT_EQ(framesReceived(), before);
}

TEST_F(SessionTest, TraceSeesEveryRequestAndReply) {
    std::vector<std::pair<FrameEvent, std::size_t>> seen;
    session_.setFrameObserver([&](FrameEvent event, std::span<const std::uint8_t> bytes) {
        seen.emplace_back(event, bytes.size());
    });
    ASSERT_TRUE(session_.beginTransfer());
    session_.setFrameObserver({});
    ASSERT_TRUE(session_.endTransfer());
    EXPECT_THAT(seen, ::testing::ElementsAre(std::pair{FrameEvent::Sent, 64u},
                                             std::pair{FrameEvent::Taken, 64u}));
}

TEST_F(SessionTest, TraceMarksTheLateReplyItDrops) {
    // Command 1's reply comes after its first attempt gave up: the second
    // attempt takes it, and the reply to that second attempt, arriving
    // later, is dropped by command 2 as stale before command 2's own.
    sim_->spikeReplies(kModel, std::chrono::milliseconds(400), 1);
    std::vector<FrameEvent> seen;
    session_.setFrameObserver(
        [&](FrameEvent event, std::span<const std::uint8_t>) { seen.push_back(event); });
    ASSERT_TRUE(session_.beginTransfer());
    ASSERT_TRUE(session_.endTransfer());
    session_.setFrameObserver({});
    EXPECT_THAT(seen, ::testing::ElementsAre(FrameEvent::Sent, FrameEvent::Sent, FrameEvent::Taken,
                                             FrameEvent::Sent, FrameEvent::DroppedStale,
                                             FrameEvent::Taken));
}

} // namespace
} // namespace quellix::device
