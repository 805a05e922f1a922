// Sessions under cancellation, removal and traffic from several threads.

#include "session_sim_fixture.h"

#include "result_print.h"

#include <gmock/gmock.h>

#include <atomic>
#include <thread>
#include <vector>

namespace quellix::device {
namespace {

using SessionThreadsTest = testing::SimulatedMouseSession;

TEST_F(SessionThreadsTest, CancelledReplyWaitCountsAsAFailedAttempt) {
    sim_->dropReplies(kModel, 4);
    const auto before = framesReceived();
    std::atomic<bool> done{false};
    // Another thread cancels the reply wait of every attempt, the way a
    // thread that reopens the device does.  A wait seen pending after the
    // device got request k belongs to attempt k.
    std::thread canceller([&] {
        for (std::uint64_t attempt = 1; attempt <= 4 && !done; ++attempt) {
            while (!done && !(framesReceived() - before >= attempt &&
                              session_.hid.readPending.load() == 1)) {
                std::this_thread::yield();
            }
            cancelPending(session_.hid);
        }
    });
    const Result result = session_.beginTransfer();
    done = true;
    canceller.join();
    EXPECT_EQ(result, Status::NoReply);
    EXPECT_EQ(framesReceived() - before, 4u);
    EXPECT_TRUE(session_.beginTransfer());
}

TEST_F(SessionThreadsTest, UnplugInTheMiddleOfAChunkedReadFailsAndKeepsEarlierChunks) {
    KeyBlock expected{};
    ASSERT_TRUE(session_.readDefaultKeys(expected));

    sim_->unplugAfterFrames(kModel, 3); // the third chunk goes unanswered
    KeyBlock keys;
    keys.fill(0xA5);
    const Result result = session_.readDefaultKeys(keys);
    EXPECT_THAT(result.status(),
                ::testing::AnyOf(Status::HungUp, Status::NoReply, Status::WriteFailed));
    EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + 112, expected.begin()));
    EXPECT_TRUE(std::all_of(keys.begin() + 112, keys.end(), [](auto b) { return b == 0xA5; }));
    EXPECT_FALSE(sim_->isPlugged(kModel));
    // Further commands fail the same way instead of hanging.
    EXPECT_THAT(session_.beginTransfer().status(),
                ::testing::AnyOf(Status::HungUp, Status::NoReply, Status::WriteFailed));
}

TEST_F(SessionThreadsTest, RepliesGoToTheirOwnRequestsUnderConcurrentTraffic) {
    std::thread streamer([&] {
        const std::vector<std::uint8_t> ledFrame(60, 0x33);
        for (int i = 0; i < 150; ++i) {
            EXPECT_TRUE(session_.streamFrame(ledFrame));
        }
    });
    for (int i = 0; i < 100; ++i) {
        std::vector<std::uint8_t> data(40, static_cast<std::uint8_t>(i));
        data.front() = 0xC0;
        ASSERT_TRUE(session_.writeBlock(192, data));
        std::vector<std::uint8_t> back(40);
        ASSERT_TRUE(session_.readBlock(192, back));
        ASSERT_EQ(back, data) << "round " << i;
    }
    streamer.join();
}

} // namespace
} // namespace quellix::device
