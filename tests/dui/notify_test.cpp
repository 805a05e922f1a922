// Which changes raise notifications: user input always, programmatic
// changes only where the caller asks for them.

#include "test_window.h"

namespace quellix::dui::test {
namespace {

using Notes = std::vector<std::string>;

class NotifyTest : public DuiTest {
protected:
    NotifyTest() : window(Open("XML_MAIN")), user(window, backend) { window.notes.clear(); }
    TestWindow& window;
    UserDriver user;
};

TEST_F(NotifyTest, WindowInitArrivesOnceAfterInitWindow) {
    TestWindow& other = Open("XML_MAIN");
    EXPECT_EQ(other.NotesOfType("windowinit"), (Notes{"windowinit:root"}));
    other.ShowWindow(false);
    other.ShowWindow(true);
    backend.Pump();
    EXPECT_EQ(other.NotesOfType("windowinit").size(), 1u);
    other.ResizeClient(500, 300);
    EXPECT_EQ(other.NotesOfType("windowsize"), (Notes{"windowsize:root"}));
}

TEST_F(NotifyTest, OptionSelectionRaisesSelectChangedOnlyWhenAsked) {
    auto* link = window.FindControl<CCheckBoxUI>("link_check");
    link->SetCheck(true, false);
    EXPECT_TRUE(link->GetCheck());
    EXPECT_TRUE(window.notes.empty());
    link->SetCheck(false);
    EXPECT_EQ(window.notes, (Notes{"selectchanged:link_check"}));
    link->SetCheck(false); // no change, no notification
    EXPECT_EQ(window.notes.size(), 1u);
}

TEST_F(NotifyTest, GroupedOptionsKeepOneSelectedAndOnlyTheNewOneNotifies) {
    auto* kb = window.FindControl<COptionUI>("kb_tab");
    auto* ms = window.FindControl<COptionUI>("ms_tab");
    ASSERT_TRUE(kb->IsSelected());
    ASSERT_TRUE(user.Click("ms_tab"));
    EXPECT_TRUE(ms->IsSelected());
    EXPECT_FALSE(kb->IsSelected());
    EXPECT_EQ(window.notes,
              (Notes{"msenter:ms_tab", "setfocus:ms_tab", "click:ms_tab", "selectchanged:ms_tab"}));
    window.notes.clear();
    kb->Selected(true, false);
    EXPECT_FALSE(ms->IsSelected());
    EXPECT_TRUE(window.notes.empty());
}

TEST_F(NotifyTest, ComboSelectionNotifiesExactlyAsTheCallerAsks) {
    auto* combo = window.FindControl<CComboUI>("mode_combo");
    struct Step {
        int index;
        bool trigger;
        int expectSel;
        bool expectNote;
    } steps[] = {
        {1, false, 1, false},  // quiet
        {2, true, 2, true},    // with notification
        {2, true, 2, false},   // already selected: nothing
        {-1, true, -1, false}, // clears quietly
        {9, true, 2, true},    // past the end: the last one
    };
    for (const auto& s : steps) {
        window.notes.clear();
        combo->SelectItem(s.index, false, s.trigger);
        EXPECT_EQ(combo->GetCurSel(), s.expectSel) << s.index;
        EXPECT_EQ(window.NotesOfType("itemselect").size(), s.expectNote ? 1u : 0u) << s.index;
    }
    EXPECT_EQ(combo->GetText(), "mode_c");
}

TEST_F(NotifyTest, ItemSelectHandlerRunsBeforeSelectItemReturns) {
    auto* combo = window.FindControl<CComboUI>("mode_combo");
    int seenInside = -2;
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == DUI_MSGTYPE_ITEMSELECT) {
            seenInside = combo->GetCurSel();
            EXPECT_EQ(msg.wParam, 1u);
            EXPECT_EQ(msg.lParam, -1);
        }
    };
    combo->SelectItem(1);
    EXPECT_EQ(seenInside, 1);
}

TEST_F(NotifyTest, RemovingTheSelectedItemClearsTheSelectionQuietly) {
    auto* combo = window.FindControl<CComboUI>("mode_combo");
    combo->SelectItem(1, false, false);
    ASSERT_TRUE(combo->RemoveAt(1));
    EXPECT_EQ(combo->GetCurSel(), -1);
    EXPECT_EQ(combo->GetCount(), 2);
    EXPECT_TRUE(window.notes.empty());
    combo->SelectItem(1, false, false);
    combo->RemoveAt(0); // an earlier item: the selection follows its element
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(combo->GetListItem(0)->IsSelected(), true);
}

TEST_F(NotifyTest, ClickingAListElementRaisesItemClickThenItemSelect) {
    ASSERT_TRUE(user.ClickItem("name_list", 1));
    EXPECT_EQ(window.NotesOfType("itemclick"), (Notes{"itemclick:macro_action"}));
    EXPECT_EQ(window.NotesOfType("itemselect"), (Notes{"itemselect:name_list"}));
    // A click on a label inside the container element reaches the element.
    window.notes.clear();
    window.FindControl<CListUI>("name_list")->SelectItem(-1);
    ASSERT_TRUE(user.Click("action_name"));
    EXPECT_EQ(window.NotesOfType("itemclick"), (Notes{"itemclick:macro_action"}));
    EXPECT_EQ(window.FindControl<CListUI>("name_list")->GetCurSel(), 1);
}

TEST_F(NotifyTest, AHandlerMayRemoveTheElementThatRaisedTheNotification) {
    auto* list = window.FindControl<CListUI>("name_list");
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == DUI_MSGTYPE_ITEMCLICK)
            list->Remove(msg.pSender);
    };
    ASSERT_TRUE(user.ClickItem("name_list", 1));
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_TRUE(window.NotesOfType("itemselect").empty());
    EXPECT_EQ(window.FindControl("macro_action"), nullptr);
}

TEST_F(NotifyTest, AsyncNotificationsOfRemovedControlsAreDropped) {
    auto* list = window.FindControl<CListUI>("name_list");
    CPaintManagerUI& pm = window.GetPaintManager();
    pm.SendNotify(list->GetItemAt(0), DUI_MSGTYPE_CLICK, 0, 0, true);
    pm.SendNotify(window.FindControl("title"), DUI_MSGTYPE_CLICK, 0, 0, true);
    list->RemoveAt(0);
    EXPECT_TRUE(window.notes.empty());
    backend.Pump();
    EXPECT_EQ(window.notes, (Notes{"click:title"}));
}

TEST_F(NotifyTest, NothingCanBeDoneInAHiddenWindow) {
    window.ShowWindow(false);
    EXPECT_FALSE(user.Click("closebtn"));
    EXPECT_FALSE(user.Type("name_edit", "x"));
    EXPECT_FALSE(user.IsShown("closebtn"));
    EXPECT_TRUE(window.notes.empty());
}

TEST_F(NotifyTest, EditTypingNotifiesButSetTextDoesNot) {
    auto* edit = window.FindControl<CEditUI>("name_edit");
    edit->SetText("quiet");
    EXPECT_TRUE(window.notes.empty());
    ASSERT_TRUE(user.Type("name_edit", "typed by user"));
    EXPECT_EQ(edit->GetText(), "typed by"); // maxchar 8
    EXPECT_EQ(window.NotesOfType("textchanged"), (Notes{"textchanged:name_edit"}));
    EXPECT_EQ(window.NotesOfType("setfocus"), (Notes{"setfocus:name_edit"}));
    ASSERT_TRUE(user.Click("closebtn"));
    EXPECT_EQ(window.NotesOfType("killfocus"), (Notes{"killfocus:name_edit"}));
}

TEST_F(NotifyTest, SliderDragRaisesMoveValuesThenOneValueChanged) {
    auto* slider = window.FindControl<CSliderUI>("light_slider");
    slider->SetValue(0);
    EXPECT_TRUE(window.notes.empty());
    ASSERT_TRUE(user.DragSlider("light_slider", {1, 3, 3, 9}));
    EXPECT_EQ(window.NotesOfType("movevaluechanged").size(), 3u); // 1, 3, 4 (clamped)
    EXPECT_EQ(window.NotesOfType("valuechanged"), (Notes{"valuechanged:light_slider"}));
    EXPECT_EQ(slider->GetValue(), 4);
}

TEST_F(NotifyTest, PaletteHoverAndDisabledControls) {
    auto* palette = window.FindControl<CColorPaletteUI>("Pallet");
    palette->SetSelectColor(0xFF0199CB);
    EXPECT_TRUE(window.notes.empty());
    ASSERT_TRUE(user.PickColor("Pallet", 0xFF00FF00));
    EXPECT_EQ(window.notes, (Notes{"colorchanged:Pallet"}));
    EXPECT_EQ(palette->GetSelectColor(), 0xFF00FF00u);

    window.notes.clear();
    ASSERT_TRUE(user.Hover("closebtn"));
    ASSERT_TRUE(user.Hover("title"));
    EXPECT_EQ(window.notes, (Notes{"msenter:closebtn", "msleave:closebtn", "msenter:title"}));

    window.FindControl("closebtn")->SetEnabled(false);
    EXPECT_FALSE(user.Click("closebtn"));
    EXPECT_FALSE(user.IsEnabled("closebtn"));
    // Controls on a hidden tab page cannot be reached either.
    EXPECT_FALSE(user.IsShown("mode_combo"));
    EXPECT_FALSE(user.SelectItem("mode_combo", 0));
}

TEST_F(NotifyTest, ControlTimersTickOnTheManualClock) {
    CControlUI* title = window.FindControl("title");
    ASSERT_TRUE(window.GetPaintManager().SetTimer(title, 5, 30));
    backend.AdvanceTime(100);
    EXPECT_EQ(window.NotesOfType("timer").size(), 3u);
    window.GetPaintManager().KillTimer(title, 5);
    backend.AdvanceTime(100);
    EXPECT_EQ(window.NotesOfType("timer").size(), 3u);
}

} // namespace
} // namespace quellix::dui::test
