// The diagnostic ring: what tests read back of the program's trace lines.
#include "quellix/platform/debug.h"

#include <gtest/gtest.h>

#include <thread>

namespace quellix::platform {
namespace {

TEST(DebugOutput, LinesSinceAMarkArriveInOrder) {
    auto mark = debugSequence();
    debugOutput("鼠标垫设备侦测线程设定退出");
    debugOutputf("软件标示：%d", 49374);
    EXPECT_EQ(debugLinesSince(mark),
              (std::vector<std::string>{"鼠标垫设备侦测线程设定退出", "软件标示：49374"}));
}

TEST(DebugOutput, RingKeepsTheNewestLinesAndCutsLongOnes) {
    auto mark = debugSequence();
    for (std::size_t i = 0; i < kDebugRingLines + 10; ++i)
        debugOutput(std::to_string(i));
    auto lines = debugLinesSince(mark);
    ASSERT_EQ(lines.size(), kDebugRingLines);
    EXPECT_EQ(lines.front(), "10");
    EXPECT_EQ(lines.back(), std::to_string(kDebugRingLines + 9));

    std::string longLine = "x";
    for (std::size_t i = 0; i < kDebugLineMaxBytes; ++i)
        longLine += "名"; // 3 bytes; the cut must not split one
    mark = debugSequence();
    debugOutput(longLine);
    auto kept = debugLinesSince(mark).at(0);
    EXPECT_EQ(kept.size(), 1 + (kDebugLineMaxBytes - 1) / 3 * 3);

    clearDebugLines();
    EXPECT_TRUE(debugLines().empty());
}

TEST(DebugOutputThreads, ConcurrentWritersLoseNoLine) {
    auto mark = debugSequence();
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                debugOutput("worker " + std::to_string(t));
        });
    for (auto& w : writers)
        w.join();
    EXPECT_EQ(debugSequence() - mark, 400u);
    EXPECT_EQ(debugLinesSince(mark).size(), 400u);
}

} // namespace
} // namespace quellix::platform
