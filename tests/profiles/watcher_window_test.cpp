// The profile watchers in the real main window, against a simulated mouse
// pad: a profile linked to the program in front is selected and applied,
// the user's profile comes back when the program leaves, the selection key
// names the user's profile throughout, and the shutdown ends the watchers.

#include "pad_window_fixture.h"

#include "quellix/platform/debug.h"
#include "quellix/platform/paths.h"
#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/profile_file.h"

#include <algorithm>

namespace quellix::profiles {
namespace {

class WatcherWindowTest : public test::PadWindowTest {
protected:
    void Open() {
        test::PadWindowTest::Open([this](app::CMainWnd& window) {
            app::ProfileWatcherSetup watchers;
            watchers.timing = {std::chrono::milliseconds(0), std::chrono::milliseconds(20)};
            // Every watcher sees the program the test puts in front.
            watchers.openForeground = [front = front_] {
                return std::make_unique<platform::FixedForegroundProgram>(front);
            };
            window.SetProfileWatcherSetup(std::move(watchers));
        });
    }

    platform::FixedForegroundProgram front_;
};

TEST_F(WatcherWindowTest, LinkedPadProfileFollowsTheProgramInFront) {
    const std::filesystem::path dir = platform::mousePadDir();
    const Catalogue catalogue(Family::PadLighting, dir);
    const char* names[] = {"calm", "game", "mine"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(catalogue.setName(i, names[i]));
        ASSERT_TRUE(catalogue.setLink(i, {"0", " "}));
        ASSERT_TRUE(writeProfileFile(dir / (std::string(names[i]) + ".led"), ProfileKind::MousePad,
                                     std::vector<std::uint8_t>(64, 0x11 * (i + 1))));
    }
    ASSERT_TRUE(catalogue.setCount(3));
    ASSERT_TRUE(catalogue.setLink(1, {"1", "/opt/Games/alpha"}));
    ASSERT_TRUE(catalogue.setSelection(2));
    front_.setExecutable("/usr/bin/editor");
    Open();
    simulator_.plug(sim::Model::MousePad);
    ASSERT_TRUE(WaitFor([&] { return PadConnected() && RecordByte() == 0x33; }));

    front_.setExecutable("/opt/games/ALPHA");
    ASSERT_TRUE(WaitFor([&] { return List().GetCurSel() == 1 && RecordByte() == 0x22; }));
    EXPECT_EQ(window_->FindControl("mp_deng_profile_name_edit")->GetText(), "game");
    EXPECT_EQ(catalogue.selection(), 2);

    // The user picks another profile while the program is in front: the
    // linked one comes back at the next pass, the user's choice is kept.
    List().SelectItem(0);
    ASSERT_TRUE(WaitFor([&] { return List().GetCurSel() == 1 && RecordByte() == 0x22; }));
    EXPECT_EQ(catalogue.selection(), 0);

    front_.setExecutable("/usr/bin/editor");
    ASSERT_TRUE(WaitFor([&] { return List().GetCurSel() == 0 && RecordByte() == 0x11; }));
    EXPECT_EQ(catalogue.selection(), 0);

    const auto since = platform::debugSequence();
    window_->DestroyWindow();
    const auto lines = platform::debugLinesSince(since);
    for (const WatcherInfo& watcher : kWatchers) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(watcher.name) + ": stopped"),
                  lines.end())
            << watcher.name;
    }
}

} // namespace
} // namespace quellix::profiles
