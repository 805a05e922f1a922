// Building windows from layouts: sub-layouts through CreateControl, includes,
// the factory, styles and defaults, geometry, and bad layouts.

#include "test_window.h"

namespace quellix::dui::test {
namespace {

TEST_F(DuiTest, MainLayoutBuildsWithSubLayoutFromCreateControlInAnyCase) {
    TestWindow& window = Open("XML_MAIN");
    EXPECT_TRUE(window.initWindowCalled);
    EXPECT_TRUE(window.GetBuildErrors().empty()) << window.GetBuildErrors().front();
    // <ms_deng_ui/> in the layout reached CreateControl("ms_deng_ui"), which
    // built "Mouse_deng.xml" for the class name "MS_Deng_UI".
    auto* same = window.FindControl<CButtonUI>("ms_deng_same_mode");
    ASSERT_NE(same, nullptr);
    auto* tab = window.FindControl<CTabLayoutUI>("tab_switch");
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->GetItemAt(1)->GetName(), "ms_deng_page");
    EXPECT_EQ(tab->GetCurSel(), 1); // selectedid
    // <Include source="picture.xml"/> became page 2.
    EXPECT_EQ(tab->GetItemAt(2)->GetName(), "picture");
}

TEST_F(DuiTest, MissingControlsYieldNoneAndWrongTypesToo) {
    TestWindow& window = Open("XML_MAIN");
    EXPECT_EQ(window.FindControl("no_such_control"), nullptr);
    EXPECT_EQ(window.FindControl(""), nullptr);
    EXPECT_EQ(window.FindControl<CSliderUI>("closebtn"), nullptr);
    EXPECT_NE(window.FindControl<CButtonUI>("closebtn"), nullptr);
}

TEST_F(DuiTest, WindowAttributesFontsDefaultsAndStylesApply) {
    TestWindow& window = Open("XML_MAIN");
    CPaintManagerUI& pm = window.GetPaintManager();
    EXPECT_EQ(pm.GetInitSize(), (SIZE{400, 300}));
    EXPECT_EQ(window.GetWindowRect().width(), 400);
    EXPECT_EQ(pm.GetCaptionRect(), (RECT{0, 0, 0, 40}));
    EXPECT_EQ(pm.GetRoundCorner(), (SIZE{8, 8}));
    EXPECT_TRUE(pm.GetFont(1).bold);
    EXPECT_EQ(pm.GetFont(1).size, 14);
    EXPECT_EQ(window.FindControl<CLabelUI>("title")->GetTextColor(), 0xFFE6E9EFu);

    // A style named at run time, before and after the item joins the tree.
    auto* combo = window.FindControl<CComboUI>("mode_combo");
    auto* item = new CListLabelElementUI;
    item->SetAttribute("style", "item_style");
    ASSERT_TRUE(combo->Add(item));
    EXPECT_EQ(item->GetBkColor(), 0xFF202020u);
    EXPECT_EQ(item->GetFixedHeight(), 30);
}

TEST_F(DuiTest, LayoutStacksFixedAndStretchedChildrenAndPlacesFloats) {
    TestWindow& window = Open("XML_MAIN");
    window.GetPaintManager().UpdateLayout();
    EXPECT_EQ(window.FindControl("caption")->GetPos(), (RECT{0, 0, 400, 40}));
    // Title stretches, the close button keeps its width; childpadding 4.
    EXPECT_EQ(window.FindControl("closebtn")->GetPos(), (RECT{370, 0, 400, 40}));
    EXPECT_EQ(window.FindControl("title")->GetPos(), (RECT{0, 0, 366, 40}));
    // The tab layout takes what the fixed rows leave: 300 - 40 - 30 - 60 - 20.
    EXPECT_EQ(window.FindControl("tab_switch")->GetPos(), (RECT{0, 70, 400, 220}));
    // Float keys sit at their pos inside the picture (page 2 of the tab).
    window.FindControl<CTabLayoutUI>("tab_switch")->SelectItem(2);
    window.GetPaintManager().UpdateLayout();
    EXPECT_EQ(window.FindControl("mp_dkey_0")->GetPos(), (RECT{10, 90, 40, 120}));
    EXPECT_EQ(window.FindControl("mp_dkey_1")->GetPos(), (RECT{50, 90, 70, 100}));
    EXPECT_EQ(window.GetPaintManager().FindControl(POINT{15, 95}), window.FindControl("mp_dkey_0"));
}

TEST_F(DuiTest, FactoryCreatesRegisteredClassesByEitherName) {
    struct Custom : CButtonUI {
        CDuiString GetClass() const override { return "CircleProgress"; }
    };
    toolkit.factory().RegistControl("CCircleProgressUI", [] { return new Custom; });
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(
        builder.Create("<VerticalLayout><CircleProgress name='a'/><ccircleprogressui "
                       "name='b'/></VerticalLayout>"));
    ASSERT_NE(root, nullptr) << builder.GetLastErrorMessage();
    auto* layout = dynamic_cast<CContainerUI*>(root.get());
    EXPECT_EQ(layout->GetItemAt(0)->GetClass(), "CircleProgress");
    EXPECT_EQ(layout->GetItemAt(1)->GetClass(), "CircleProgress");
}

TEST_F(DuiTest, BadAttributeIsReportedWithLineAndTheRestStillBuilds) {
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create("bad_attribute.xml"));
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(builder.GetErrors().size(), 1u);
    const CDuiString& error = builder.GetErrors()[0];
    EXPECT_NE(error.find("bad_attribute.xml:4"), CDuiString::npos) << error;
    EXPECT_NE(error.find("bad_label"), CDuiString::npos) << error;
    EXPECT_NE(error.find("bkcolor"), CDuiString::npos) << error;
    auto* layout = dynamic_cast<CContainerUI*>(root.get());
    EXPECT_EQ(layout->GetItemAt(1)->GetRawText(), "still here");
}

TEST_F(DuiTest, LayoutsThatCannotBeBuiltFailWithAReason) {
    struct Case {
        const char* layout;
        const char* expectInError;
    } cases[] = {
        {"unknown_element.xml", "unknown control class"},
        {"broken.xml", "broken.xml:"},
        {"no_such_file.xml", "cannot read"},
        {"self_include.xml", "too deep"},
    };
    for (const auto& c : cases) {
        CDialogBuilder builder;
        EXPECT_EQ(builder.Create(c.layout), nullptr) << c.layout;
        ASSERT_FALSE(builder.GetErrors().empty()) << c.layout;
        bool found = false;
        for (const auto& e : builder.GetErrors())
            found = found || e.find(c.expectInError) != CDuiString::npos;
        EXPECT_TRUE(found) << c.layout << ": " << builder.GetErrors().front();
    }
}

TEST_F(DuiTest, WindowWithUnbuildableLayoutIsNotCreated) {
    TestWindow window("unknown_element.xml");
    EXPECT_EQ(window.Create(kNullWindow, "x", UI_WNDSTYLE_FRAME, 0), kNullWindow);
    EXPECT_FALSE(window.GetBuildErrors().empty());
    EXPECT_FALSE(window.initWindowCalled);
    EXPECT_TRUE(toolkit.windows().empty());
}

TEST_F(DuiTest, SetAttributeUsesTheLayoutParser) {
    TestWindow& window = Open("XML_MAIN");
    CControlUI* close = window.FindControl("closebtn");
    close->SetAttribute("bkcolor", "0xFF112233");
    close->SetAttribute("bkimage", "file='ms/key_left_normal.png'");
    close->SetAttribute("userdata", "1,2,3");
    EXPECT_EQ(close->GetBkColor(), 0xFF112233u);
    EXPECT_EQ(close->GetBkImage(), "file='ms/key_left_normal.png'");
    EXPECT_EQ(close->GetUserData(), "1,2,3");
    EXPECT_EQ(close->GetAttribute("userdata"), "1,2,3");
    EXPECT_THROW(close->SetAttribute("bordersize", "thick"), ParseError);
    EXPECT_EQ(close->GetBorderSize(), 0);
}

} // namespace
} // namespace quellix::dui::test
