// The real main window with its profile panels, against a simulated mouse
// pad: the remembered profile is selected and applied when the pad is
// plugged, and again when it is plugged back after an unplug.

#include "pad_window_fixture.h"

#include "quellix/platform/paths.h"
#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/profile_file.h"

namespace quellix::profiles {
namespace {

using RestoreTest = test::PadWindowTest;

TEST_F(RestoreTest, RememberedPadProfileComesBackWhenThePadIsPluggedAgain) {
    const std::filesystem::path dir = platform::mousePadDir();
    const Catalogue catalogue(Family::PadLighting, dir);
    ASSERT_TRUE(catalogue.setCount(2));
    ASSERT_TRUE(catalogue.setName(0, "first"));
    ASSERT_TRUE(catalogue.setName(1, "second"));
    ASSERT_TRUE(catalogue.setSelection(1));
    ASSERT_TRUE(writeProfileFile(dir / "first.led", ProfileKind::MousePad,
                                 std::vector<std::uint8_t>(64, 0x11)));
    ASSERT_TRUE(writeProfileFile(dir / "second.led", ProfileKind::MousePad,
                                 std::vector<std::uint8_t>(64, 0x22)));
    Open();
    // Filled at start, nothing selected before the pad is there.
    ASSERT_EQ(List().GetCount(), 2);
    EXPECT_EQ(List().GetCurSel(), -1);

    simulator_.plug(sim::Model::MousePad);
    ASSERT_TRUE(WaitFor([&] { return PadConnected() && List().GetCurSel() == 1; }));
    EXPECT_EQ(RecordByte(), 0x22);
    EXPECT_EQ(window_->FindControl("mp_deng_profile_name_edit")->GetText(), "second");

    simulator_.unplug(sim::Model::MousePad);
    ASSERT_TRUE(WaitFor([&] { return !PadConnected(); }));
    // Meanwhile the state is something else (as another device's work or
    // an edit would leave it).
    window_->Configs().pad.record.store(0, 0x33);

    simulator_.plug(sim::Model::MousePad);
    ASSERT_TRUE(WaitFor([&] { return PadConnected() && RecordByte() == 0x22; }));
    EXPECT_EQ(List().GetCurSel(), 1);
    EXPECT_EQ(catalogue.selection(), 1);
}

} // namespace
} // namespace quellix::profiles
