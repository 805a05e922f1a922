// The profile watchers: which profile a pass selects for the program in
// front, that the selection key keeps naming the user's own choice, that an
// unknown program changes nothing, and that a watcher ends on its stop event
// or when its list is gone.

#include "quellix/platform/debug.h"
#include "quellix/platform/event.h"
#include "quellix/platform/foreground_program.h"
#include "quellix/profiles/watcher.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

namespace quellix::profiles {
namespace {

using platform::ProgramInFront;

LinkEntry linked(std::string program) {
    return {"1", std::move(program)};
}
const LinkEntry kNotLinked{"0", " "};

TEST(WatcherChoice, LinkedProgramOrRememberedSelection) {
    struct Case {
        const char* what;
        int items;
        std::vector<LinkEntry> links;
        const char* executable;
        int remembered;
        std::optional<int> chosen;
    };
    const Case cases[] = {
        {"linked program in front",
         3,
         {kNotLinked, linked("/usr/bin/a"), kNotLinked},
         "/usr/bin/a",
         0,
         1},
        {"lowest linked position wins",
         4,
         {kNotLinked, kNotLinked, linked("/usr/bin/a"), linked("/usr/bin/a")},
         "/usr/bin/a",
         0,
         2},
        {"letter case ignored", 2, {kNotLinked, linked("/Opt/Game/GAME")}, "/opt/game/game", 0, 1},
        {"other program: remembered comes back",
         3,
         {kNotLinked, linked("/usr/bin/a"), kNotLinked},
         "/usr/bin/b",
         2,
         2},
        {"file name alone does not match",
         2,
         {kNotLinked, linked("/usr/bin/a")},
         "/usr/local/bin/a",
         0,
         0},
        {"flag not 1 is no link", 2, {kNotLinked, {"2", "/usr/bin/a"}}, "/usr/bin/a", 0, 0},
        {"flag reads 1 as an integer read",
         2,
         {kNotLinked, {"1 ", "/usr/bin/a"}},
         "/usr/bin/a",
         0,
         1},
        {"empty list selects nothing", 0, {linked("/usr/bin/a")}, "/usr/bin/a", 0, std::nullopt},
        {"link beyond the list is not seen",
         1,
         {kNotLinked, linked("/usr/bin/a")},
         "/usr/bin/a",
         0,
         0},
        {"list longer than the links", 3, {kNotLinked}, "/usr/bin/a", 2, 2},
        {"remembered beyond the list", 2, {kNotLinked, kNotLinked}, "/usr/bin/a", 5, std::nullopt},
        {"negative remembered", 2, {kNotLinked, kNotLinked}, "/usr/bin/a", -1, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(watcherChoice(c.items, c.links, c.executable, c.remembered), c.chosen) << c.what;
    }
}

TEST(WatcherTable, OneWatcherPerFamilyButMouseLighting) {
    std::vector<Family> watched;
    for (const WatcherInfo& watcher : kWatchers) {
        watched.push_back(watcher.family);
    }
    std::sort(watched.begin(), watched.end());
    EXPECT_EQ(watched,
              (std::vector<Family>{Family::PadLighting, Family::KeyboardLighting,
                                   Family::KeyboardKeys, Family::MouseDevice, Family::MouseKeys}));
}

// The list as the panel keeps it: a quiet selection that changes the
// selection runs Select, which applies the profile and writes the key.
// `exclusive` stands for the UI thread: the test's "user" takes the same
// lock for its own selections.
class FakeList final : public WatchedList {
public:
    FakeList(const Catalogue& catalogue, int items) : catalogue_(catalogue), items_(items) {}

    bool exclusive(const std::function<void()>& work) override {
        std::unique_lock lock(mutex_);
        if (windowGone_) {
            return false;
        }
        work();
        ++passes_;
        passed_.notify_all();
        return true;
    }
    std::optional<int> itemCount() override {
        return listGone_ ? std::nullopt : std::optional<int>(items_);
    }
    bool selectQuietly(int position) override {
        if (position == selected_ || position < 0 || position >= items_) {
            return false;
        }
        select(position);
        return true;
    }

    // The user picks a profile in the list.
    void userSelects(int position) {
        std::lock_guard lock(mutex_);
        select(position);
    }
    void waitForPasses(int passes) {
        std::unique_lock lock(mutex_);
        passed_.wait(lock, [&] { return passes_ >= passes; });
    }
    void loseList() { listGone_ = true; }
    void closeWindow() {
        std::lock_guard lock(mutex_);
        windowGone_ = true;
    }
    int passes() {
        std::lock_guard lock(mutex_);
        return passes_;
    }
    int selected() const { return selected_; }
    // Profiles applied to the device, in order.
    const std::vector<int>& applied() const { return applied_; }

private:
    void select(int position) {
        selected_ = position;
        applied_.push_back(position);
        EXPECT_TRUE(catalogue_.setSelection(position));
    }

    const Catalogue& catalogue_;
    int items_;
    int selected_ = -1;
    std::vector<int> applied_;
    bool listGone_ = false;
    bool windowGone_ = false;
    int passes_ = 0;
    std::mutex mutex_;
    std::condition_variable passed_;
};

class WatcherPass : public ::testing::Test {
protected:
    // Three profiles; profile 1 linked to program A, the user's choice 2.
    void SetUp() override {
        ASSERT_TRUE(catalogue.setCount(3));
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(catalogue.setName(i, "profile" + std::to_string(i + 1)));
            ASSERT_TRUE(catalogue.setLink(i, kNotLinked));
        }
        ASSERT_TRUE(catalogue.setLink(1, linked(kProgramA)));
        ASSERT_TRUE(catalogue.setSelection(2));
        list.userSelects(2);
    }
    std::string catalogueBytes() const { return platform::test::readBytes(catalogue.file()); }

    static ProgramInFront inFront(const char* executable) { return {executable, {}}; }

    static constexpr const char* kProgramA = "/opt/a/Alpha";
    static constexpr const char* kProgramB = "/opt/b/beta";
    platform::test::TempDir dir;
    Catalogue catalogue{Family::PadLighting, dir.path()};
    FakeList list{catalogue, 3};
};

TEST_F(WatcherPass, LinkedProgramSelectsItsProfileAndTheKeyKeepsTheUsersChoice) {
    const auto since = platform::debugSequence();
    EXPECT_EQ(watcherPass(list, catalogue, inFront(kProgramA)), PassResult::Continue);
    EXPECT_EQ(list.selected(), 1);
    EXPECT_EQ(catalogue.selection(), 2);
    // The next passes with the same program in front touch nothing.
    watcherPass(list, catalogue, inFront("/OPT/A/ALPHA"));
    EXPECT_EQ(list.applied(), (std::vector<int>{2, 1}));

    // The program leaves the front: the user's profile comes back, once.
    watcherPass(list, catalogue, inFront(kProgramB));
    watcherPass(list, catalogue, inFront(kProgramB));
    EXPECT_EQ(list.selected(), 2);
    EXPECT_EQ(list.applied(), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(catalogue.selection(), 2);
    EXPECT_EQ(platform::debugLinesSince(since),
              (std::vector<std::string>{
                  "mouse-pad lighting profile 1 selected: /opt/a/Alpha is in front",
                  "mouse-pad lighting profile 2 selected again: no linked program in front"}));
}

TEST_F(WatcherPass, UsersChoiceWhileTheLinkedProgramIsInFrontComesBackLater) {
    watcherPass(list, catalogue, inFront(kProgramA));
    list.userSelects(0);
    watcherPass(list, catalogue, inFront(kProgramA));
    EXPECT_EQ(list.selected(), 1);
    EXPECT_EQ(catalogue.selection(), 0);
    watcherPass(list, catalogue, inFront(kProgramB));
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(catalogue.selection(), 0);
}

TEST_F(WatcherPass, UnknownProgramKeepsTheSelectionAndWritesNothing) {
    watcherPass(list, catalogue, inFront(kProgramA));
    const std::string before = catalogueBytes();
    EXPECT_EQ(watcherPass(list, catalogue, ProgramInFront{{}, "no window is active"}),
              PassResult::Continue);
    // The linked profile stays while nothing is known: no revert either.
    EXPECT_EQ(list.selected(), 1);
    EXPECT_EQ(list.applied(), (std::vector<int>{2, 1}));
    EXPECT_EQ(catalogueBytes(), before);
}

TEST_F(WatcherPass, EmptyListSelectsNothing) {
    FakeList empty(catalogue, 0);
    const std::string before = catalogueBytes();
    EXPECT_EQ(watcherPass(empty, catalogue, inFront(kProgramA)), PassResult::Continue);
    EXPECT_EQ(empty.selected(), -1);
    EXPECT_TRUE(empty.applied().empty());
    EXPECT_EQ(catalogueBytes(), before);
}

TEST_F(WatcherPass, MissingListOrWindowEndsTheWatcher) {
    FakeList withoutList(catalogue, 3);
    withoutList.loseList();
    EXPECT_EQ(watcherPass(withoutList, catalogue, inFront(kProgramA)), PassResult::ListGone);
    FakeList closed(catalogue, 3);
    closed.closeWindow();
    EXPECT_EQ(watcherPass(closed, catalogue, inFront(kProgramA)), PassResult::ListGone);
    EXPECT_EQ(catalogue.selection(), 2);
}

TEST_F(WatcherPass, MissingCatalogueRevertsToTheFirstProfile) {
    std::filesystem::remove(catalogue.file());
    watcherPass(list, catalogue, inFront(kProgramA));
    EXPECT_EQ(list.selected(), 0);
}

// ------------------------------------------------------------ the thread

constexpr WatcherTiming kNoPause{std::chrono::milliseconds(0), std::chrono::milliseconds(0)};

bool hasLine(std::uint64_t since, const std::string& line) {
    const auto lines = platform::debugLinesSince(since);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(WatcherPass, StopEndsTheWatcherWithinItsPause) {
    platform::FixedForegroundProgram foreground;
    foreground.setExecutable(kProgramA);
    platform::Event stop(platform::Event::Reset::Manual);
    const auto since = platform::debugSequence();
    const WatcherInfo& info = kWatchers[4];
    // The real pause of about two seconds: the stop event must cut it short.
    std::thread watcher([&] { runWatcher(info, list, catalogue, foreground, stop); });
    list.waitForPasses(1);
    EXPECT_EQ(list.selected(), 1);
    stop.set();
    watcher.join();
    EXPECT_TRUE(hasLine(since, std::string(info.name) + ": stopped"));
}

TEST_F(WatcherPass, StopBeforeTheFirstPassMakesNoPass) {
    platform::FixedForegroundProgram foreground;
    foreground.setExecutable(kProgramA);
    platform::Event stop(platform::Event::Reset::Manual, true);
    runWatcher(kWatchers[0], list, catalogue, foreground, stop, kNoPause);
    EXPECT_EQ(list.selected(), 2);
}

TEST_F(WatcherPass, WatcherEndsWhenTheListIsGone) {
    platform::FixedForegroundProgram foreground;
    platform::Event stop(platform::Event::Reset::Manual);
    list.loseList();
    const auto since = platform::debugSequence();
    runWatcher(kWatchers[1], list, catalogue, foreground, stop, kNoPause);
    EXPECT_TRUE(hasLine(since, "keyboard key profile watcher: the profile list is gone, ending"));
}

TEST_F(WatcherPass, UnknownProgramIsReportedOnceNotEveryPass) {
    platform::FixedForegroundProgram foreground; // knows no program
    platform::Event stop(platform::Event::Reset::Manual);
    const auto since = platform::debugSequence();
    std::thread watcher(
        [&] { runWatcher(kWatchers[2], list, catalogue, foreground, stop, kNoPause); });
    list.waitForPasses(20);
    stop.set();
    watcher.join();
    const auto lines = platform::debugLinesSince(since);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "文件名字访问失败"), 1);
    EXPECT_EQ(list.applied(), (std::vector<int>{2}));
}

// The user keeps choosing profiles while a watcher passes without pause
// and the programs in front change: when the user stops, the key names the
// user's last choice and that profile comes back once no linked program is
// in front.  A write-back of a key read before the user's choice would lose
// it now and then.
TEST_F(WatcherPass, UsersChoicesSurviveConcurrentPasses) {
    platform::FixedForegroundProgram foreground;
    platform::Event stop(platform::Event::Reset::Manual);
    std::thread watcher(
        [&] { runWatcher(kWatchers[4], list, catalogue, foreground, stop, kNoPause); });
    std::mt19937 random(1211);
    int last = 2;
    for (int round = 0; round < 300; ++round) {
        foreground.setExecutable(round % 3 == 0 ? kProgramB : kProgramA);
        last = static_cast<int>(random() % 3);
        list.userSelects(last);
    }
    foreground.setExecutable(kProgramB);
    list.waitForPasses(list.passes() + 2);
    stop.set();
    watcher.join();
    EXPECT_EQ(catalogue.selection(), last);
    EXPECT_EQ(list.selected(), last);
}

} // namespace
} // namespace quellix::profiles
