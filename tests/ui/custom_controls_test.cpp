#include <gtest/gtest.h>

#include "quellix/dui/builder.h"
#include "quellix/dui/container.h"
#include "quellix/dui/headless.h"
#include "quellix/dui/toolkit.h"
#include "quellix/ui/custom_controls.h"
#include "quellix/ui/recording_canvas.h"

namespace quellix::ui {
namespace {

using Kind = CanvasOp::Kind;

class ControlsWindow : public dui::WindowImplBase {
public:
    dui::CDuiString GetWindowClassName() const override { return "Controls"; }
    dui::CDuiString GetSkinFile() override { return "controls.xml"; }
};

class CustomControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit.resources().SetResourcePath(UI_TEST_DATA);
        registerCustomControls(toolkit.factory());
        ASSERT_NE(window.Create(dui::kNullWindow, "controls", 0, 0, 10, 20, 400, 300),
                  dui::kNullWindow);
    }
    void TearDown() override { window.DestroyWindow(); }

    dui::HeadlessBackend backend;
    dui::Toolkit toolkit{backend};
    ControlsWindow window;
};

TEST_F(CustomControlsTest, LayoutsCreateTheRegisteredClasses) {
    EXPECT_EQ(window.FindControl("progress")->GetClass(), "CircleProgress");
    EXPECT_EQ(window.FindControl("key")->GetClass(), "DeviceKeyButton");
    EXPECT_EQ(window.FindControl("host")->GetClass(), "Wnd");
    // The chart keeps the toolkit control's class name.
    EXPECT_EQ(window.FindControl("chart")->GetClass(), "Control");
    EXPECT_NE(window.FindControl<CChartViewUI>("chart"), nullptr);
}

TEST_F(CustomControlsTest, CircleProgressPaintsItsRingFromTheModel) {
    auto* progress = window.FindControl<CCircleProgressUI>("progress");
    ASSERT_NE(progress, nullptr);
    RecordingCanvas canvas;
    progress->paint(canvas, toRect(progress->GetPos()));
    const auto pies = canvas.of(Kind::Pie);
    ASSERT_EQ(pies.size(), 2u);
    EXPECT_EQ(pies[0].colour, 0xFF202020u);
    EXPECT_DOUBLE_EQ(pies[1].start, 90);
    EXPECT_DOUBLE_EQ(pies[1].sweep, 90);
    EXPECT_EQ(pies[1].colour, 0xFF0199CBu);
    EXPECT_EQ(progress->paintMode(), ICustomPainted::Mode::ReplaceBody);
}

TEST_F(CustomControlsTest, DeviceKeyButtonDrawsLightAndKeySetOnlyWhenAsked) {
    auto* key = window.FindControl<CDeviceKeyButtonUI>("key");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetLightImage(), "file='light.png'");
    EXPECT_EQ(key->GetKeySetImage(), "set.png");
    EXPECT_EQ(key->GetNameTextColor(), 0xFF00FFu);
    EXPECT_EQ(key->GetNormalImage(), "k.png"); // other attributes are the button's

    // Light off and key-set mark hidden: nothing beyond the button itself.
    RecordingCanvas plain;
    key->paint(plain, toRect(key->GetPos()));
    EXPECT_TRUE(plain.ops.empty());

    key->SetLightOn(true);
    key->SetLightColor(0x00FF8000);
    key->SetLightLevel(120);
    key->SetKeySetHidden(false);
    RecordingCanvas lit;
    const Rect rect = toRect(key->GetPos());
    key->paint(lit, {rect.left, rect.top, rect.left + 5, rect.bottom});
    ASSERT_EQ(lit.ops.size(), 2u);
    EXPECT_EQ(lit.ops[0].text, "file='light.png'");
    EXPECT_EQ(lit.ops[0].rect, rect);
    EXPECT_EQ(lit.ops[0].clip, (Rect{rect.left, rect.top, rect.left + 5, rect.bottom}));
    EXPECT_EQ(lit.ops[0].tint, (ImageTint{true, 0x00FF8000, 120}));
    EXPECT_EQ(lit.ops[1].text, "set.png");
    EXPECT_EQ(lit.ops[1].tint, ImageTint{});
}

TEST_F(CustomControlsTest, DeviceKeyButtonDefaultsAndBadColour) {
    CDeviceKeyButtonUI key;
    EXPECT_FALSE(key.IsLightOn());
    EXPECT_EQ(key.GetLightColor(), 0x000000FFu);
    EXPECT_EQ(key.GetLightLevel(), 200);
    EXPECT_TRUE(key.IsKeySetHidden());
    EXPECT_THROW(key.SetAttribute("gmnametextcolor", "#zz"), dui::ParseError);
    EXPECT_THROW(key.SetAttribute("gmnametextcolor", ""), dui::ParseError);
    key.SetAttribute("GMNameTextColor", "00ff00");
    EXPECT_EQ(key.GetNameTextColor(), 0x00FF00u);
}

TEST_F(CustomControlsTest, ChartReadsItsAttributesAndDrawsOnlyTheBaseWithoutItems) {
    auto* chart = window.FindControl<CChartViewUI>("chart");
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->GetView(), CChartViewUI::View::Histogram);
    EXPECT_FALSE(chart->GetChartStyle().showText);
    chart->SetAttribute("view", "bars"); // unknown: unchanged
    EXPECT_EQ(chart->GetView(), CChartViewUI::View::Histogram);
    EXPECT_EQ(chart->GetAttribute("view"), "bars"); // the control saw it first

    RecordingCanvas canvas;
    const Rect rect = toRect(chart->GetPos());
    chart->paint(canvas, rect);
    ASSERT_EQ(canvas.ops.size(), 1u);
    EXPECT_EQ(canvas.ops[0].text, "base.png");
    EXPECT_EQ(canvas.ops[0].rect, (Rect{rect.left, rect.bottom - 12, rect.right, rect.bottom}));

    // Outside the repainted part nothing is drawn.
    RecordingCanvas elsewhere;
    chart->paint(elsewhere, {0, 1000, 10, 1010});
    EXPECT_TRUE(elsewhere.ops.empty());
}

class FakeHostedWindow : public IHostedWindow {
public:
    bool child = true;
    dui::HWND owner = dui::kNullWindow;
    std::vector<dui::RECT> places;
    bool shown = false;
    bool isChildOf(dui::HWND window) const override { return child && window == owner; }
    void place(const dui::RECT& rect) override { places.push_back(rect); }
    void setShown(bool s) override { shown = s; }
};

TEST_F(CustomControlsTest, HostedWindowFollowsTheControl) {
    auto* host = window.FindControl<CWndUI>("host");
    ASSERT_NE(host, nullptr);
    FakeHostedWindow child;
    child.owner = window.GetHWND();
    host->Attach(&child);
    const dui::RECT pos{5, 6, 55, 66};
    host->SetPos(pos);
    EXPECT_EQ(child.places.back(), pos);
    EXPECT_TRUE(child.shown);
    host->SetVisible(false);
    EXPECT_FALSE(child.shown);

    // A window that is not a child is placed in screen coordinates.
    FakeHostedWindow popup;
    popup.child = false;
    host->Attach(&popup);
    host->SetVisible(true);
    host->SetPos(pos);
    EXPECT_EQ(popup.places.back(), (dui::RECT{15, 26, 65, 86}));
    EXPECT_TRUE(popup.shown);
    host->Attach(nullptr);
}

} // namespace
} // namespace quellix::ui
