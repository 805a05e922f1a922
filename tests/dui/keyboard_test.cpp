// Keyboard use without a pointer: Tab order over the controls a user can
// operate, Space/Enter as a click, arrows on sliders and combos.

#include "test_window.h"

namespace quellix::dui::test {
namespace {

class KeyboardTest : public DuiTest {
protected:
    KeyboardTest() : window(Open("keyboard.xml")), pm(window.GetPaintManager()) {}

    CDuiString FocusName() const {
        return pm.GetFocus() != nullptr ? pm.GetFocus()->GetName() : CDuiString("(none)");
    }
    std::vector<CDuiString> TabThrough(NavigationKey key, int count) {
        std::vector<CDuiString> names;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(pm.KeyDown(key));
            names.push_back(FocusName());
        }
        return names;
    }

    TestWindow& window;
    CPaintManagerUI& pm;
};

TEST_F(KeyboardTest, TabVisitsEnabledVisibleControlsInLayoutOrderAndWraps) {
    const std::vector<CDuiString> order = {"first",  "check", "tab_a", "tab_b",
                                           "slider", "combo", "edit",  "first"};
    EXPECT_EQ(TabThrough(NavigationKey::Tab, 8), order);
    // Shift+Tab walks back the same way.
    EXPECT_EQ(TabThrough(NavigationKey::BackTab, 3),
              (std::vector<CDuiString>{"edit", "combo", "slider"}));
    EXPECT_EQ(window.NotesOfType("setfocus").size(), 11u);
}

TEST_F(KeyboardTest, ControlsThatBecomeUsableJoinTheOrder) {
    window.FindControl("disabled")->SetEnabled(true);
    window.FindControl("hidden")->SetVisible(true);
    EXPECT_EQ(TabThrough(NavigationKey::Tab, 3),
              (std::vector<CDuiString>{"first", "disabled", "hidden"}));
    // From nothing focused, Shift+Tab starts at the end.
    pm.SetFocus(nullptr);
    EXPECT_EQ(TabThrough(NavigationKey::BackTab, 1), std::vector<CDuiString>{"edit"});
}

TEST_F(KeyboardTest, SpaceAndEnterDoWhatAClickDoes) {
    pm.SetFocus(window.FindControl("first"));
    window.notes.clear();
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Space));
    EXPECT_EQ(window.NotesOfType("click"), std::vector<std::string>{"click:first"});

    pm.SetFocus(window.FindControl("check"));
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Enter));
    EXPECT_TRUE(pm.FindControl<CCheckBoxUI>("check")->GetCheck());
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Space));
    EXPECT_FALSE(pm.FindControl<CCheckBoxUI>("check")->GetCheck());

    pm.SetFocus(window.FindControl("tab_b"));
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Space));
    EXPECT_TRUE(pm.FindControl<COptionUI>("tab_b")->IsSelected());
    EXPECT_FALSE(pm.FindControl<COptionUI>("tab_a")->IsSelected());

    // Nothing to press: an edit keeps the key, no focus does nothing.
    pm.SetFocus(window.FindControl("edit"));
    EXPECT_FALSE(pm.KeyDown(NavigationKey::Space));
    pm.SetFocus(nullptr);
    EXPECT_FALSE(pm.KeyDown(NavigationKey::Enter));
}

TEST_F(KeyboardTest, PressRefusesWhatAUserCouldNotClick) {
    for (const char* name : {"disabled", "hidden", "blocked"}) {
        EXPECT_FALSE(pm.Press(window.FindControl(name))) << name;
    }
    EXPECT_TRUE(window.NotesOfType("click").empty());
}

TEST_F(KeyboardTest, ArrowsStepTheSliderByItsStepAndTellTheRelease) {
    auto* slider = pm.FindControl<CSliderUI>("slider");
    pm.SetFocus(slider);
    window.notes.clear();
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Right));
    EXPECT_EQ(slider->GetValue(), 7);
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Up));
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Up)); // held at the maximum
    EXPECT_EQ(slider->GetValue(), 10);
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Down));
    EXPECT_EQ(slider->GetValue(), 8);
    EXPECT_EQ(window.NotesOfType("valuechanged").size(), 4u);
}

TEST_F(KeyboardTest, ArrowsMoveTheComboSelectionPastDisabledElements) {
    auto* combo = pm.FindControl<CComboUI>("combo");
    pm.SetFocus(combo);
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Down)); // none selected: the first
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Down)); // "two" is disabled
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetText(), "three");
    EXPECT_FALSE(pm.KeyDown(NavigationKey::Down)); // nothing after the last
    EXPECT_TRUE(pm.KeyDown(NavigationKey::Left));
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(window.NotesOfType("itemselect").size(), 3u);
    // The focus stays on the combo, not its elements.
    EXPECT_EQ(pm.GetFocus(), combo);
}

// Records what the paint manager reports to its observer.
class RecordingObserver : public IControlObserver {
public:
    void ControlChanged(CControlUI& control, ControlChange change) override {
        changes.emplace_back(control.GetName(), change);
    }
    void ControlRemoved(CControlUI& control) override { removed.push_back(control.GetName()); }
    std::vector<std::pair<CDuiString, ControlChange>> changes;
    std::vector<CDuiString> removed;
};

TEST_F(KeyboardTest, TheObserverHearsFocusStateValueTextAndRemovals) {
    RecordingObserver observer;
    pm.SetObserver(&observer);
    pm.KeyDown(NavigationKey::Tab);
    window.FindControl("check")->SetEnabled(false);
    pm.FindControl<CSliderUI>("slider")->SetValue(1);
    window.FindControl("title")->SetText("Other");
    window.FindControl("hidden")->SetVisible(true);
    using C = ControlChange;
    const std::vector<std::pair<CDuiString, ControlChange>> expected = {{"first", C::Focus},
                                                                        {"check", C::State},
                                                                        {"slider", C::Value},
                                                                        {"title", C::Text},
                                                                        {"hidden", C::Visibility}};
    EXPECT_EQ(observer.changes, expected);

    auto* row = static_cast<CContainerUI*>(window.FindControl("first")->GetParent());
    row->Remove(window.FindControl("first"));
    EXPECT_EQ(observer.removed, std::vector<CDuiString>{"first"});
    pm.SetObserver(nullptr);
}

} // namespace
} // namespace quellix::dui::test
