// The hot-plug wait: a change in the directory and the hang-up of an open
// device's descriptor end it, input arriving on that descriptor does not,
// and the stop event wins over both.

#include "quellix/platform/directory_watch.h"
#include "quellix/platform/event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <unistd.h>

namespace quellix::platform {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using Wake = DirectoryWatch::Wake;

class DirectoryWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quellix-watch-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair_), 0);
    }
    void TearDown() override {
        for (int fd : pair_)
            if (fd >= 0)
                ::close(fd);
        fs::remove_all(dir_);
    }
    void hangUpPeer() {
        ::close(pair_[1]);
        pair_[1] = -1;
    }

    fs::path dir_;
    int pair_[2] = {-1, -1}; // [0] plays the open device, [1] the device side
    Event stop{Event::Reset::Manual};
};

TEST_F(DirectoryWatchTest, EndsAtAChangeOrAHangUpButNotAtInput) {
    DirectoryWatch watch(dir_.string());
    ASSERT_TRUE(watch.active());
    // Quiet: the whole timeout passes, also with the device's reply queued.
    const char reply[4] = {4, 0, 0, 0};
    ASSERT_EQ(::send(pair_[1], reply, sizeof reply, 0), ssize_t(sizeof reply));
    EXPECT_EQ(watch.wait(stop, milliseconds(30), pair_[0]), Wake::Timeout);

    std::ofstream(dir_ / "hidraw7") << "";
    EXPECT_EQ(watch.wait(stop, milliseconds(20000), pair_[0]), Wake::Changed);
    // The notification was consumed.
    EXPECT_EQ(watch.wait(stop, milliseconds(10)), Wake::Timeout);

    hangUpPeer();
    EXPECT_EQ(watch.wait(stop, milliseconds(20000), pair_[0]), Wake::Changed);

    stop.set();
    EXPECT_EQ(watch.wait(stop, milliseconds(20000), pair_[0]), Wake::Stop);
}

TEST_F(DirectoryWatchTest, WithoutADirectoryTheHangUpStillEndsTheWait) {
    DirectoryWatch watch((dir_ / "missing").string());
    EXPECT_FALSE(watch.active());
    EXPECT_EQ(watch.wait(stop, milliseconds(10)), Wake::Timeout);
    hangUpPeer();
    EXPECT_EQ(watch.wait(stop, milliseconds(20000), pair_[0]), Wake::Changed);
}

} // namespace
} // namespace quellix::platform
