// The main window's routing of control notifications: the tables by
// notification type and name, and the page navigation as a user clicks
// through the tabs of the real window.

#include "live_window.h"

#include "quellix/app/notify_routes.h"
#include "quellix/dui/container.h"

#include <gmock/gmock.h>

namespace quellix::app::test {
namespace {

using device::DeviceKind;
using sim::Model;
using ui::Feature;

RouteStep F(Feature f) {
    return RouteStep::to(f);
}
RouteStep L(LocalStep s) {
    return RouteStep::own(s);
}

TEST(NotifyRoutes, NamesSplitAtTheirLastUnderscore) {
    struct Case {
        const char* name;
        const char* prefix;
        int number;
    };
    for (const auto& c : {Case{"ms_key_3", "ms_key_", 3}, Case{"kb_dkey_125", "kb_dkey_", 125},
                          Case{"ms_key_butt_keysave", "ms_key_butt_", -1},
                          Case{"ms_key_", "ms_key_", -1}, Case{"ms_key_-1", "ms_key_", -1},
                          Case{"plain", "plain", -1}, Case{"ms_key_3x", "ms_key_", -1}}) {
        const SplitName split = splitName(c.name);
        EXPECT_EQ(split.prefix, c.prefix) << c.name;
        EXPECT_EQ(split.number, c.number) << c.name;
    }
}

TEST(NotifyRoutes, EachTypeAndSenderReachesItsFeature) {
    const RouteStep guard = L(LocalStep::MacroEditGuard);
    const RouteStep hooksOff = F(Feature::InputCapture);
    const RouteStep navigate = L(LocalStep::Navigate);
    struct Case {
        const char* type;
        const char* name;
        Route route;
    };
    const Case cases[] = {
        // selectchanged: the first rows end the routing ...
        {"selectchanged", "ms_gun_op_2", {F(Feature::PointerPatterns)}},
        {"selectchanged", "ms_bullet_op_0", {F(Feature::PointerPatterns)}},
        {"selectchanged", "ms_macro_mouse_move", {}},
        {"selectchanged", "ms_key_4", {F(Feature::KeyAssignment)}},
        {"selectchanged", "kb_macro_btn_redio", {F(Feature::Macros)}},
        {"selectchanged", "ms_Deng_FXR_check", {F(Feature::Lighting)}},
        // ... one goes on through the guard and the navigation ...
        {"selectchanged", "mp_Deng_FXL_check", {F(Feature::Lighting), guard, hooksOff}},
        // ... the tabs navigate after the guard and the hooks.
        {"selectchanged", "kb_tab", {guard, hooksOff, navigate}},
        {"selectchanged", "ms_rich_Op_tab", {guard, hooksOff, navigate}},
        {"selectchanged",
         "mp_deng_profile_link_check",
         {guard, hooksOff, F(Feature::ProfileLinks)}},
        {"selectchanged", "kb_Deng_style_six_check", {guard, hooksOff, F(Feature::Lighting)}},
        {"selectchanged", "unknown_option", {guard, hooksOff}},
        // click: prefixes, then names.
        {"click", "kb_key_17", {L(LocalStep::ShowKeyboardKeyPanel), F(Feature::KeyAssignment)}},
        {"click", "kb_dkey_0", {F(Feature::Lighting)}},
        {"click", "ms_DPIcolor_btn_4", {F(Feature::MouseDevice)}},
        {"click", "ms_DPIcolor_btn_5", {}},
        {"click", "mp_Deng_color_btn_7", {F(Feature::Lighting)}},
        {"click", "ms_profile_2", {F(Feature::MouseDevice)}},
        {"click", "ms_bullet_op_1", {L(LocalStep::UnselectBullet)}},
        {"click", "menubtn", {F(Feature::SkinAndMenu)}},
        {"click",
         "kb_key_butt_keycanlc",
         {L(LocalStep::CancelKeyboardKeyEdit), F(Feature::InputCapture)}},
        {"click",
         "ms_key_butt_prosave",
         {L(LocalStep::ShowProgress), F(Feature::PointerPatterns), F(Feature::MacroUpload),
          L(LocalStep::HideProgressSoon)}},
        {"click",
         "kb_key_butt_prosave",
         {L(LocalStep::ShowProgress), F(Feature::MacroUpload), L(LocalStep::HideProgressSoon)}},
        {"click", "ms_deng_profile_link_btn", {F(Feature::ProfileLinks)}},
        {"click", "kb_key_cancle_link_btn", {F(Feature::ProfileLinks)}},
        {"click", "ms_deng_profile_edit_save_btn", {F(Feature::Profiles)}},
        {"click", "ms_pro_device_import_btn", {F(Feature::Profiles)}},
        {"click", "kb_pro_key_frob_btn", {}},
        {"click", "kb_macro_inset_delay", {F(Feature::Macros)}},
        {"click", "mp_one_profile_default", {F(Feature::PadDevice)}},
        {"click", "ms_deng_same_mode", {F(Feature::Lighting)}},
        {"click", "cmdbtn", {L(LocalStep::TraceUserData)}},
        {"click", "qq_btn", {}},
        {"click", "renew_device", {L(LocalStep::TraceRenewDevice)}},
        // the other types.
        {"itemselect", "kb_deng_onecolor_combo_modeSelect", {F(Feature::Lighting)}},
        {"itemselect", "ms_report_fct_combo", {F(Feature::MouseDevice)}},
        {"itemselect", "mp_deng_combo_profile", {F(Feature::PadDevice)}},
        {"itemselect", "kb_macro_combo_upordown", {F(Feature::Macros)}},
        {"itemselect", "ms_tab_function_3", {F(Feature::KeyAssignment)}},
        {"itemselect", "ms_key_profile_combo", {F(Feature::Profiles)}},
        {"itemclick", "kb_macro_action", {F(Feature::Macros)}},
        {"valuechanged", "mp_deng_speed_slider", {F(Feature::Lighting)}},
        {"valuechanged", "ms_DPI4_slider", {F(Feature::MouseDevice)}},
        {"valuechanged", "ms_DPI5_slider", {}},
        {"movevaluechanged", "ms_DPI6_slider", {F(Feature::MouseDevice)}},
        {"movevaluechanged", "ms_deng_light_slider", {}},
        {"colorchanged", "kb_deng_Color_Pallet", {F(Feature::Lighting)}},
        {"colorchanged", "Pallet1", {}},
        {"textchanged", "kb_key_fct_edit_25", {F(Feature::KeyAssignment)}},
        {"textchanged", "kb_key_fct_edit_13", {}},
        {"textchanged", "mp_Deng_edit_G", {F(Feature::Lighting)}},
        {"textchanged", "ms_gunlun_speed_edit", {F(Feature::MouseDevice)}},
        {"textchanged", "kb__macro_edit_ActionDelay", {F(Feature::Macros)}},
        {"textchanged", "ms_mouse_y_down_edit", {F(Feature::Macros)}},
        {"textchanged", "ms_cursor_delay_eidt", {F(Feature::PointerPatterns)}},
        {"killfocus", "ms_gunlun_speed_edit", {F(Feature::MouseDevice)}},
        {"setfocus", "ms_cursor_Op_tab", {L(LocalStep::HideProfileSpreadTab)}},
        {"msenter", "ms_key_6", {F(Feature::KeyAssignment)}},
        {"msleave", "ms_key_7", {}},
        {"msenter", "ms_DPIcolor_btn_6", {L(LocalStep::DpiColourBorderOn)}},
        {"msleave", "ms_DPIcolor_btn_1", {L(LocalStep::DpiColourBorderOff)}},
        {"windowsize", "anything", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(routeNotification(c.type, c.name), c.route) << c.type << " " << c.name;
    }
}

// The real window with all three devices, so that every tab is there.
class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (Model model : {Model::Keyboard, Model::Mouse, Model::MousePad}) {
            live.simulator().plug(model);
        }
        capture = &live.record(Feature::InputCapture);
        live.Open();
        ASSERT_TRUE(live.WaitFor([&] {
            return live.Connected(DeviceKind::Keyboard) && live.Connected(DeviceKind::Mouse) &&
                   live.Connected(DeviceKind::MousePad) && live.window().IsWindowVisible();
        }));
    }
    dui::UserDriver user() { return dui::UserDriver(live.window(), live.backend()); }
    int Selected(const char* tabs) {
        return live.window().FindControl<dui::CTabLayoutUI>(tabs)->GetCurSel();
    }
    bool Enabled(const char* name) { return live.window().FindControl(name)->IsEnabled(); }

    LiveWindow live;
    RecordingPage* capture = nullptr;
};

TEST_F(NavigationTest, TabsSelectTheirPagesAndSetUpTheProfilePanel) {
    struct Case {
        std::vector<const char*> clicks;
        const char* layout;
        int page;
    };
    const Case cases[] = {
        {{"kb_tab"}, "tab_switch", 0},
        {{"ms_tab"}, "tab_switch", 1},
        {{"mp_tab"}, "tab_switch", 2},
        {{"kb_tab", "kb_macro_Op_tab"}, "kb_tab_switch", 1},
        {{"kb_tab", "kb_key_Op_tab"}, "kb_tab_switch", 2},
        {{"kb_tab", "kb_key_Op_tab", "kb_deng_Op_tab"}, "kb_tab_switch", 0},
        {{"ms_tab", "ms_macro_Op_tab"}, "ms_tab_switch", 1},
        {{"ms_tab", "ms_key_Op_tab"}, "ms_tab_switch", 2},
        {{"ms_tab", "ms_rich_Op_tab"}, "ms_tab_switch", 3},
        {{"ms_tab", "ms_cursor_Op_tab"}, "ms_tab_switch", 4},
        {{"ms_tab", "ms_cursor_Op_tab", "ms_deng_Op_tab"}, "ms_tab_switch", 0},
    };
    for (const Case& c : cases) {
        for (const char* name : c.clicks) {
            ASSERT_TRUE(user().Click(name)) << name;
            live.backend().Pump();
        }
        EXPECT_EQ(Selected(c.layout), c.page) << c.clicks.back();
    }

    // The keyboard's macro page disables its profile panel; the lighting
    // page brings it back with the lighting profile's list.
    user().Click("kb_tab");
    user().Click("kb_macro_Op_tab");
    EXPECT_FALSE(Enabled("kb_profile_select_tab"));
    EXPECT_FALSE(Enabled("kb_profile_fun_spread_btn"));
    user().Click("kb_key_Op_tab");
    EXPECT_TRUE(Enabled("kb_profile_select_tab"));
    EXPECT_EQ(Selected("kb_profile_select_tab"), 1);
    user().Click("kb_deng_Op_tab");
    EXPECT_EQ(Selected("kb_profile_select_tab"), 0);
    EXPECT_FALSE(live.Visible("kb_profile_fun_spead_tab"));
    // Likewise on the mouse.
    user().Click("ms_tab");
    user().Click("ms_macro_Op_tab");
    EXPECT_FALSE(Enabled("ms_profile_select_tab"));
    user().Click("ms_rich_Op_tab");
    EXPECT_TRUE(Enabled("ms_profile_select_tab"));
    EXPECT_TRUE(Enabled("ms_profile_fun_spread_btn"));

    // Every selection took the global capture off first.
    EXPECT_THAT(capture->events, ::testing::Contains("selectchanged kb_macro_Op_tab"));
}

TEST_F(NavigationTest, AnOpenMacroEditorKeepsItsPageAndSaysSo) {
    user().Click("ms_tab");
    user().Click("ms_macro_Op_tab");
    live.window().FindControl("ms_macro_tab_saveorcancel")->SetVisible(true);
    const auto boxesBefore = live.backend().ModalHistory().size();

    user().Click("kb_tab");
    live.backend().Pump();
    EXPECT_EQ(Selected("tab_switch"), 1);
    EXPECT_TRUE(live.Selected("ms_tab"));
    EXPECT_EQ(Selected("ms_tab_switch"), 1);
    ASSERT_GT(live.backend().ModalHistory().size(), boxesBefore);
    EXPECT_EQ(live.backend().ModalHistory().back().messageText,
              dui::CResourceManager::GetInstance()->GetText("message_text_3"));
}

} // namespace
} // namespace quellix::app::test
