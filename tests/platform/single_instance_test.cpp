// One instance per user: a second start hands its message to the first.
#include "quellix/platform/single_instance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace quellix::platform {
namespace {

// A name no other test process uses (ctest runs suites in parallel).
std::string uniqueName(const char* base) {
    static std::atomic<int> counter{0};
    return std::string(base) + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

TEST(SingleInstanceThreads, SecondInstanceDeliversItsMessageToThePrimary) {
    const std::string name = uniqueName("TOLVARDRVER");
    auto primary = SingleInstance::acquire(name);
    ASSERT_EQ(primary->role(), SingleInstance::Role::Primary);
    std::mutex mutex;
    std::vector<std::string> received;
    Event delivered(Event::Reset::Auto);
    primary->listen([&](std::string message) {
        std::lock_guard lock(mutex);
        received.push_back(std::move(message));
        delivered.set();
    });

    for (int start = 0; start < 2; ++start) {
        auto secondary = SingleInstance::acquire(name);
        ASSERT_EQ(secondary->role(), SingleInstance::Role::Secondary);
        EXPECT_TRUE(secondary->notifyPrimary("MARWENIK_001"));
    }
    std::lock_guard lock(mutex);
    EXPECT_EQ(received, (std::vector<std::string>{"MARWENIK_001", "MARWENIK_001"}));
}

TEST(SingleInstanceThreads, MessageSentBeforeListeningIsKept) {
    const std::string name = uniqueName("TOLVARDRVER");
    auto primary = SingleInstance::acquire(name);
    ASSERT_TRUE(primary->isPrimary());
    Event delivered(Event::Reset::Manual);
    std::string received;
    std::thread secondStart([&] {
        auto secondary = SingleInstance::acquire(name);
        secondary->notifyPrimary("MARWENIK_001");
    });
    primary->listen([&](std::string message) {
        received = std::move(message);
        delivered.set();
    });
    ASSERT_TRUE(delivered.wait(kInfinite));
    secondStart.join();
    EXPECT_EQ(received, "MARWENIK_001");
}

TEST(SingleInstanceThreads, NameIsFreeAgainWhenThePrimaryEnds) {
    const std::string name = uniqueName("TOLVARDRVER");
    auto first = SingleInstance::acquire(name);
    ASSERT_TRUE(first->isPrimary());
    EXPECT_TRUE(SingleInstance::acquire(uniqueName("OTHER"))->isPrimary());
    first.reset();
    EXPECT_TRUE(SingleInstance::acquire(name)->isPrimary());
}

TEST(SingleInstanceThreads, OfManySimultaneousStartsExactlyOneIsPrimary) {
    const std::string name = uniqueName("TOLVARDRVER");
    constexpr int kStarts = 6;
    std::vector<std::unique_ptr<SingleInstance>> instances(kStarts);
    std::vector<std::thread> starts;
    for (int i = 0; i < kStarts; ++i)
        starts.emplace_back([&, i] { instances[i] = SingleInstance::acquire(name); });
    for (auto& t : starts)
        t.join();
    int primaries = 0, secondaries = 0;
    for (auto& instance : instances) {
        primaries += instance->role() == SingleInstance::Role::Primary;
        secondaries += instance->role() == SingleInstance::Role::Secondary;
    }
    EXPECT_EQ(primaries, 1);
    EXPECT_EQ(secondaries, kStarts - 1);
}

TEST(SingleInstance, NamesDependOnTheUser) {
    EXPECT_EQ(SingleInstance::socketName("TOLVARDRVER"),
              "quellix-instance-TOLVARDRVER-" + std::to_string(::getuid()));
}

} // namespace
} // namespace quellix::platform
