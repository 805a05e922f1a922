// Results carry their reason unchanged; background failures are logged once
// per change of reason.

#include "quellix/platform/debug.h"
#include "quellix/platform/reason_log.h"
#include "quellix/platform/result.h"
#include "result_print.h"

#include <gmock/gmock.h>

#include <cerrno>

namespace quellix {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(Result, DescribesStatusSystemErrorAndDetail) {
    EXPECT_EQ(Result::success().describe(), "done");
    const Result file = Result::fromErrno(ENOSPC, "/data/ms/profile1.config");
    EXPECT_EQ(file, Status::FileError);
    EXPECT_THAT(file.describe(), HasSubstr("No space left on device"));
    EXPECT_THAT(file.describe(), HasSubstr("(/data/ms/profile1.config)"));
    // Context goes in front of the detail; a success stays plain.
    const Result read =
        Result::failure(Status::NoReply, "command 5 at 0x0040").context("reading slot 1");
    EXPECT_EQ(read.detail(), "reading slot 1, command 5 at 0x0040");
    EXPECT_TRUE(Result::success().context("reading slot 1"));
    EXPECT_EQ(Result::success().context("reading slot 1").detail(), "");
}

TEST(Result, FirstFailureKeepsTheEarliest) {
    FirstFailure steps;
    steps.note(Result::success());
    steps.note(Result::failure(Status::Rejected, "first"));
    steps.note(Result::failure(Status::NoReply, "second"));
    EXPECT_EQ(steps.result(), Status::Rejected);
    EXPECT_EQ(steps.result().detail(), "first");
}

TEST(ReasonLog, WritesOncePerChangeOfReason) {
    platform::ReasonLog log("pad lighting stream");
    const auto mark = platform::debugSequence();
    EXPECT_FALSE(log.note(Result::success())); // nothing to say at first
    EXPECT_TRUE(log.note(Result::failure(Status::NoReply, "command 18 at 0x0000")));
    // Another chunk, the same reason: quiet.
    EXPECT_FALSE(log.note(Result::failure(Status::NoReply, "command 18 at 0x0038")));
    EXPECT_TRUE(log.note(Result::failure(Status::HungUp)));
    EXPECT_TRUE(log.note(Result::success()));
    EXPECT_FALSE(log.note(Result::success()));
    EXPECT_THAT(platform::debugLinesSince(mark),
                ElementsAre(HasSubstr("pad lighting stream: the device did not answer"),
                            HasSubstr("pad lighting stream: the device was disconnected"),
                            "pad lighting stream: ok again"));
}

} // namespace
} // namespace quellix
