#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "quellix/dui/headless.h"
#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/copyright.h"
#include "quellix/ui/msg_wnd.h"
#include "quellix/ui/pallet_dialog.h"

namespace quellix::ui {
namespace {

using dui::HeadlessBackend;
using dui::UserDriver;
using dui::WindowImplBase;

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { UseSkin(UI_TEST_DATA); }
    void UseSkin(const std::string& dir) {
        toolkit.resources().SetResourcePath(dir);
        toolkit.resources().LoadResource("res.xml");
        toolkit.resources().LoadLanguage(std::string(UI_TEST_DATA) + "/lan_en.xml");
    }

    HeadlessBackend backend;
    dui::Toolkit toolkit{backend};
};

// A script that clicks one control; a box left open closes with 99.
dui::ModalScript clickScript(const std::string& name) {
    return {[name](WindowImplBase& window, HeadlessBackend& backend) {
                UserDriver(window, backend).Click(name);
            },
            99};
}

TEST_F(DialogTest, MessageBoxResultsByButton) {
    struct Case {
        const char* button;
        dui::UINT result;
    };
    for (const auto& c : {Case{"confirm_btn", 1}, Case{"cancel_btn", 0}, Case{"closebtn", 0},
                          Case{"other_btn", 99}}) {
        backend.OnNextModal("MsgWnd", clickScript(c.button));
        EXPECT_EQ(CMsgWnd::MessageBox(dui::kNullWindow, "message_text_1"), c.result) << c.button;
        EXPECT_EQ(backend.ModalHistory().back().messageText, "Device not connected");
    }
}

TEST_F(DialogTest, MessageBoxWithoutLayoutCountsAsCancel) {
    UseSkin(std::string(UI_TEST_DATA) + "/nopalette");
    EXPECT_EQ(CMsgWnd::MessageBox(dui::kNullWindow, "message_text_1"), CMsgWnd::kResultCancel);
    EXPECT_TRUE(backend.ModalHistory().empty());
}

TEST_F(DialogTest, SelfClosingBoxClosesAfterHalfASecond) {
    bool openBefore = false;
    bool openAfter = true;
    backend.OnNextModal("MsgWnd", {[&](WindowImplBase& window, HeadlessBackend& b) {
                                       const dui::HWND handle = window.GetHWND();
                                       b.AdvanceTime(499);
                                       openBefore = dui::IsWindow(handle);
                                       b.AdvanceTime(1);
                                       openAfter = dui::IsWindow(handle);
                                   },
                                   99});
    CMsgWnd::ShowAutoClose(dui::kNullWindow);
    EXPECT_TRUE(openBefore);
    EXPECT_FALSE(openAfter);
    ASSERT_EQ(backend.ModalHistory().size(), 1u);
    EXPECT_EQ(backend.ModalHistory()[0].result, 0u);
    EXPECT_EQ(backend.ModalHistory()[0].messageText, "The device was removed");
}

TEST_F(DialogTest, MessageBoxAskedOnAWorkerRunsOnTheUiThread) {
    backend.OnNextModal("MsgWnd", clickScript("confirm_btn"));
    std::atomic<bool> done{false};
    std::atomic<dui::UINT> result{7};
    std::thread worker([&] {
        result = CMsgWnd::MessageBox(dui::kNullWindow, "message_text_1");
        done = true;
    });
    while (!done) {
        toolkit.dispatcher().waitForWork(std::chrono::milliseconds(10));
        backend.Pump();
    }
    worker.join();
    EXPECT_EQ(result.load(), 1u);
}

TEST_F(DialogTest, PaletteShowsInitialColourAndConfirmsAPreset) {
    backend.SetCursorPos({500, 400});
    dui::DWORD shownAtStart = 0, selectedAtStart = 0, shownAfterPreset = 0;
    std::string imageAtStart = "unchanged";
    dui::RECT placed{};
    backend.OnNextModal(
        "UIPalletDialog",
        {[&](WindowImplBase& window, HeadlessBackend& b) {
             auto* show = window.FindControl("color_show_btn");
             shownAtStart = show->GetBkColor();
             imageAtStart = show->GetBkImage();
             selectedAtStart = window.FindControl<dui::CColorPaletteUI>("Pallet")->GetSelectColor();
             placed = window.GetWindowRect();
             UserDriver user(window, b);
             user.Click("ms_dpi_color_png_3");
             shownAfterPreset = show->GetBkColor();
             user.Click("okbtn");
         },
         99});
    const auto seq = platform::debugSequence();
    const auto choice = CPalletDialog::PickColour(dui::kNullWindow, 0xFF112233);
    EXPECT_EQ(shownAtStart, 0xFF112233u);
    EXPECT_EQ(selectedAtStart, 0xFF112233u);
    EXPECT_EQ(imageAtStart, "");
    EXPECT_EQ(placed.left, 480);
    EXPECT_EQ(placed.top, 420);
    EXPECT_EQ(shownAfterPreset, 0xFF7E00FFu);
    EXPECT_EQ(choice.result, CPalletDialog::kResultOk);
    EXPECT_EQ(choice.colour, 0xFF7E00FFu);
    const auto lines = platform::debugLinesSince(seq);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "hongse"), lines.end());
}

TEST_F(DialogTest, PalettePickCloseAndUnknownPreset) {
    // A colour picked on the palette is shown and confirmed.
    backend.OnNextModal("UIPalletDialog", {[](WindowImplBase& window, HeadlessBackend& b) {
                            UserDriver user(window, b);
                            user.PickColor("Pallet", 0xFF00FF00);
                            user.Click("okbtn");
                        }});
    auto choice = CPalletDialog::PickColour(dui::kNullWindow, 0xFF112233);
    EXPECT_EQ(choice.result, 1u);
    EXPECT_EQ(choice.colour, 0xFF00FF00u);

    // A preset number outside the table changes nothing; "closebtn" cancels.
    dui::DWORD shown = 0;
    backend.OnNextModal("UIPalletDialog", {[&](WindowImplBase& window, HeadlessBackend& b) {
                            UserDriver user(window, b);
                            user.Click("ms_dpi_color_png_30");
                            shown = window.FindControl("color_show_btn")->GetBkColor();
                            user.Click("closebtn");
                        }});
    choice = CPalletDialog::PickColour(dui::kNullWindow, 0xFF112233);
    EXPECT_EQ(shown, 0xFF112233u);
    EXPECT_EQ(choice.result, CPalletDialog::kResultCancel);
}

TEST_F(DialogTest, PaletteWithoutPaletteControlKeepsTheOldColour) {
    UseSkin(std::string(UI_TEST_DATA) + "/nopalette");
    backend.OnNextModal("UIPalletDialog", clickScript("okbtn"));
    EXPECT_EQ(CPalletDialog::PickColour(dui::kNullWindow, 0xFF112233).result,
              CPalletDialog::kResultCancel);
}

TEST_F(DialogTest, PaletteCaptionBandDragsExceptOnButtons) {
    struct Case {
        dui::POINT client;
        dui::LRESULT hit;
    };
    std::vector<dui::LRESULT> hits;
    backend.OnNextModal(
        "UIPalletDialog", {[&](WindowImplBase& window, HeadlessBackend&) {
            const dui::RECT rc = window.GetWindowRect();
            const auto closeRc = window.FindControl("closebtn")->GetPos();
            for (const dui::POINT p : {dui::POINT{10, 10}, closeRc.centre(), dui::POINT{10, 100}}) {
                hits.push_back(window.HandleMessage(WM_NCHITTEST, 0,
                                                    PointToParam({rc.left + p.x, rc.top + p.y})));
            }
        }});
    CPalletDialog::PickColour(dui::kNullWindow, 0);
    EXPECT_EQ(hits, (std::vector<dui::LRESULT>{HTCAPTION, HTCLIENT, HTCLIENT}));
}

class AboutOwner : public WindowImplBase {
public:
    dui::CDuiString GetWindowClassName() const override { return "Owner"; }
    dui::CDuiString GetSkinFile() override { return "msg.xml"; }
};

TEST_F(DialogTest, AboutWindowOpensTheWebAddressAndCloses) {
    AboutOwner owner;
    owner.Create(dui::kNullWindow, "owner", 0, 0, 100, 100, 800, 572);
    Ccopyright* about = Ccopyright::Show(owner);
    ASSERT_NE(about, nullptr);
    const dui::HWND handle = about->GetHWND();
    EXPECT_TRUE(about->IsWindowVisible());
    EXPECT_EQ(about->GetTitle(), "关于");
    UserDriver user(*about, backend);
    EXPECT_TRUE(user.Click("NetText"));
    EXPECT_EQ(backend.OpenedUrls(), std::vector<dui::CDuiString>{kMakerUrl});
    EXPECT_TRUE(user.Click("closebtn"));
    EXPECT_FALSE(dui::IsWindow(handle)); // closed and deleted itself
    owner.DestroyWindow();
}

TEST(AboutPlacement, FollowsTheMainWindowButStaysOnTheWorkArea) {
    const dui::RECT work{0, 0, 1920, 1040};
    EXPECT_EQ(Ccopyright::PlaceFor({100, 100, 900, 672}, {360, 240}, work), (dui::POINT{200, 256}));
    // Twice a far-right left edge would leave the screen.
    EXPECT_EQ(Ccopyright::PlaceFor({1500, 100, 2300, 672}, {360, 240}, work),
              (dui::POINT{1560, 256}));
    EXPECT_EQ(Ccopyright::PlaceFor({0, 0, 800, 100}, {360, 240}, work), (dui::POINT{0, 0}));
}

} // namespace
} // namespace quellix::ui
