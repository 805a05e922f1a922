// The main window's layout, with its sub-layouts expanded, holds every control
// the program addresses by name, with the page structure the navigation uses.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin_tree.h"

namespace quellix::skintest {
namespace {

class MainLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tree_ = new Control(loadLayout("main.xml")); }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }
    static const Control& tree() { return *tree_; }

    static const Control* find(const std::string& name) { return findByName(*tree_, name); }

    static std::vector<std::string> childClasses(const std::string& name) {
        std::vector<std::string> out;
        if (const Control* c = find(name)) {
            for (const auto& child : c->children) {
                out.push_back(child.className);
            }
        }
        return out;
    }

    static size_t itemCount(const std::string& name) {
        const Control* c = find(name);
        return c ? c->children.size() : 0;
    }

private:
    static inline Control* tree_ = nullptr;
};

std::vector<std::string> numbered(const std::string& prefix, int from, int to,
                                  const std::string& suffix = "") {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i) {
        out.push_back(prefix + std::to_string(i) + suffix);
    }
    return out;
}

std::vector<std::string> requiredNames() {
    std::vector<std::string> names = {
        "root",
        "closebtn",
        "maxbtn",
        "restorebtn",
        "minbtn",
        "skinbtn",
        "menubtn",
        "kb_tab",
        "ms_tab",
        "mp_tab",
        "ani_tab",
        "split_tab",
        "tab_switch",
        "setting_progress",
        "str_test",
        "kb_tab_switch",
        "ms_tab_switch",
        "kb_deng_Op_tab",
        "kb_macro_Op_tab",
        "kb_key_Op_tab",
        "kb_cursor_Op_tab",
        "ms_deng_Op_tab",
        "ms_macro_Op_tab",
        "ms_key_Op_tab",
        "ms_rich_Op_tab",
        "ms_cursor_Op_tab",
        "mp_deng_Op_tab",
        "kb_profile_select_tab",
        "ms_profile_select_tab",
        "kb_profile_fun_spead_tab",
        "ms_profile_fun_spead_tab",
        "mp_profile_fun_spead_tab",
        "kb_profile_fun_spread_btn",
        "ms_profile_fun_spread_btn",
        "mp_profile_fun_spread_btn",
        "kb_tab_function",
        "ms_tab_function",
        "kb_tab_function_26",
        "ms_tab_function_26",
        // Lighting page specifics.
        "ms_deng_mode_switch",
        "ms_deng_combo_modeSelect0",
        "ms_deng_combo_modeSelect1",
        "ms_deng_combo_modeSelect2",
        "mp_deng_combo_modeSelect",
        "kb_deng_combo_modeSelect",
        "kb_deng_onecolor_combo_modeSelect",
        "kb_deng_combo_curtom_count",
        "ms_Deng_FXL_btn",
        "ms_Deng_FXR_btn",
        "kb_Deng_label_FXL",
        "kb_Deng_label_FXR",
        "kb_deng_color_display_layout",
        "kb_deng_custom_tool_layout",
        "kb_deng_custom_select_layout",
        "kb_deng_custom_color_layout",
        "kb_deng_style_tool_layout",
        "kb_deng_rgb_layout",
        "kb_deng_color_lump",
        "kb_Deng_custom_colordp_btn",
        "kb_Deng_all_bright_check",
        "kb_Deng_all_kill_check",
        "kb_Deng_style_one_check",
        "kb_Deng_style_six_check",
        // Mouse pad slots and device settings.
        "mp_deng_combo_profile",
        "mp_one_profile_default",
        "ms_one_profile_default",
        "ms_report_fct_combo",
        "ms_point_speed_slider",
        "ms_sensor_height_slider",
        "ms_gunlun_speed_edit",
        "ms_gunlun_speed_up_btn",
        "ms_gunlun_speed_down_btn",
        // Pointer patterns.
        "cursor_edit_layout",
        "bullet_select_index",
        "bullet_selected_prev",
        "bullet_selected_next",
        "ms_cursor_x_eidt",
        "ms_cursor_y_eidt",
        "ms_cursor_delay_eidt",
        "ms_cursor_x_check",
        "ms_cursor_y_check",
        "ms_bulletdate_save_btn",
        "ms_bulletdate_reset_btn",
        "ms_bulletdate_import_btn",
        "ms_bulletdate_export_btn",
        // Keys.
        "ms_key_butt_keysave",
        "ms_key_butt_prosave",
        "kb_key_butt_prosave",
    };
    auto add = [&](const std::vector<std::string>& more) {
        names.insert(names.end(), more.begin(), more.end());
    };
    for (std::string p : {"mp", "ms", "kb"}) {
        for (const char* suffix :
             {"_deng_fx_layout", "_deng_color_layout", "_deng_7colorselect_layout",
              "_deng_speed_layout", "_deng_same_mode", "_deng_light_slider", "_deng_speed_slider",
              "_deng_Color_Pallet", "_Deng_colordp_btn", "_Deng_edit_R", "_Deng_edit_G",
              "_Deng_edit_B", "_Deng_7color_check", "_Deng_FXL_check", "_Deng_FXR_check"}) {
            names.push_back(p + suffix);
        }
        add(numbered(p + "_Deng_color_btn_", 0, 29));
    }
    const std::pair<std::string, std::string> families[] = {
        {"mp_deng", "mp_pro_deng"},     {"kb_deng", "kb_pro_deng"}, {"kb_key", "kb_pro_key"},
        {"ms_device", "ms_pro_device"}, {"ms_deng", "ms_pro_deng"}, {"ms_key", "ms_pro_key"},
    };
    for (const auto& [p, b] : families) {
        for (const char* op : {"_add_btn", "_sub_btn", "_copy_btn", "_import_btn", "_export_btn",
                               "_reset_btn", "_edit_btn"}) {
            names.push_back(b + op);
        }
        for (const char* suffix :
             {"_profile_combo", "_profile_edit", "_profile_name_edit", "_profile_edit_save_btn",
              "_profile_link_check", "_profile_link_btn", "_profile_link_edit",
              "_profile_link_name_hor"}) {
            names.push_back(p + suffix);
        }
    }
    add({"ms_device_cancle_link_btn", "mp_deng_cancle_link_btn", "kb_deng_cancle_link_btn",
         "kb_key_cancle_link_btn"});
    for (std::string x : {"ms", "kb"}) {
        for (const char* suffix : {"_MacroName",
                                   "_MacroMouseEvent",
                                   "_MacroName_list",
                                   "_Macro_list",
                                   "_macro_edit_macroname",
                                   "_macro_tab_saveorcancel",
                                   "_tab_macro_edit",
                                   "_macro_keyboard_event",
                                   "_macro_mouse_click",
                                   "_macro_mouse_roller",
                                   "_macro_mouse_move",
                                   "_macro_check_time",
                                   "_macro_combo_keyselect",
                                   "_macro_combo_mouselect",
                                   "_macro_combo_upordown",
                                   "__macro_edit_ActionDelay",
                                   "__macro_edit_mou_action_delay",
                                   "_macro_edit_mou_pointer_skewing",
                                   "_macro_tab_mou_pointer_skewing",
                                   "_mouse_x_left_edit",
                                   "_mouse_x_right_edit",
                                   "_mouse_y_up_edit",
                                   "_mouse_y_down_edit",
                                   "_macro_btn_shubiao",
                                   "_macro_btn_redio",
                                   "_macro_btn_name_add",
                                   "_macro_btn_name_sub",
                                   "_macro_btn_down",
                                   "_macro_btn_up",
                                   "_macro_btn_uptop",
                                   "_macro_btn_downbottom",
                                   "_macro_btn_delete",
                                   "_macro_btn_deleteall",
                                   "_macro_btn_cancel",
                                   "_macro_btn_save",
                                   "_macro_btn_import",
                                   "_macro_btn_export",
                                   "_macro_btn_savemacroname",
                                   "_key_fct_combo",
                                   "_key_fct_combo_11",
                                   "_key_fct_combo_12",
                                   "_key_fct_combo_13",
                                   "_key_fct_combo_14",
                                   "_key_fct_combo_21",
                                   "_key_fct_combo_22",
                                   "_key_fct_combo_23",
                                   "_key_fct_combo_24",
                                   "_key_fct_combo_31",
                                   "_key_fct_edit_11",
                                   "_key_fct_edit_12",
                                   "_key_fct_edit_15",
                                   "_key_fct_edit_16",
                                   "_key_fct_edit_17",
                                   "_key_fct_edit_18",
                                   "_key_fct_edit_19",
                                   "_key_fct_edit_20",
                                   "_key_fct_edit_21",
                                   "_key_fct_edit_25",
                                   "_key_butt_keydefalut",
                                   "_key_butt_keycanlc"}) {
            names.push_back(x + suffix);
        }
        for (const char* part : {"leftkey", "moudlekey", "rightkey", "forwardkey", "backkey"}) {
            for (const char* suffix : {"_btn", "_tab", "down_btn", "up_btn"}) {
                names.push_back(x + "_macro_inset_" + part + suffix);
            }
        }
        for (const char* move : {"moveleftkey", "moverightkey", "moveupkey", "movedownkey"}) {
            names.push_back(x + "_macro_inset_" + move + "_btn");
        }
    }
    names.push_back("ms_key_fct_combo_25");
    add(numbered("ms_key_", 0, 6));
    add(numbered("ms_key_", 0, 6, "_0"));
    add(numbered("ms_profile_", 0, 4));
    add(numbered("ms_DPIcolor_btn_", 1, 6));
    for (const char* suffix : {"_slider", "_min", "_max", "_label_rank", "_label_value"}) {
        add(numbered("ms_DPI", 1, 6, suffix));
    }
    add(numbered("ms_gun_op_", 0, 3));
    add(numbered("ms_bullet_op_", 0, 29));
    add(numbered("ms_dkey_", 0, 19));
    add(numbered("mp_dkey_", 0, 14));
    add(numbered("ms_tab_function_", 0, 10));
    add(numbered("kb_tab_function_", 0, 9));
    return names;
}

TEST_F(MainLayout, WindowIsTheMainWindowSize) {
    pugi::xml_document doc;
    ASSERT_TRUE(parseFile(skinDir() / "main.xml", doc));
    EXPECT_STREQ(doc.child("Window").attribute("size").value(), "800,572");
}

TEST_F(MainLayout, HoldsEveryNamedControl) {
    for (const std::string& name : requiredNames()) {
        EXPECT_NE(find(name), nullptr) << name;
    }
}

// The program finds controls by name; a second control of the same name would
// hide the first one's page from it.
TEST_F(MainLayout, NamesAreUnique) {
    std::map<std::string, int> count;
    for (const Control* c : flatten(tree())) {
        if (!c->name().empty()) {
            ++count[c->name()];
        }
    }
    for (const auto& [name, n] : count) {
        EXPECT_EQ(n, 1) << name << " appears " << n << " times";
    }
}

TEST_F(MainLayout, PagesFollowTheNavigationOrder) {
    auto pages = find("tab_switch");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->children.size(), 5u);
    EXPECT_EQ(pages->children[0].name(), "kb_page");
    EXPECT_EQ(pages->children[1].name(), "ms_page");
    EXPECT_EQ(pages->children[2].name(), "mp_page");
    EXPECT_EQ(childClasses("ms_tab_switch"),
              (std::vector<std::string>{"MS_Deng_UI", "MS_Macro_UI", "MS_Key_UI", "MS_DPI_UI",
                                        "MS_CURSOR_UI"}));
    auto kb = childClasses("kb_tab_switch");
    ASSERT_EQ(kb.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(kb.begin(), kb.begin() + 3),
              (std::vector<std::string>{"kb_Deng_UI", "kb_Macro_UI", "kb_Key_UI"}));
    EXPECT_EQ(childClasses("ms_deng_mode_switch").size(), 3u);
    EXPECT_EQ(childClasses("kb_profile_select_tab").size(), 2u);
    EXPECT_EQ(childClasses("kb_profile_fun_spead_tab").size(), 2u);
    EXPECT_EQ(childClasses("ms_tab_macro_edit").size(), 3u);
}

TEST_F(MainLayout, SubLayoutsOfTheWindowExist) {
    for (const char* cls :
         {"kb_Key_UI", "kb_Deng_UI", "kb_Macro_UI", "MS_Deng_UI", "MS_Macro_UI", "MS_Key_UI",
          "MP_deng_UI", "MS_DPI_UI", "MS_CURSOR_UI", "kb_CURSOR_UI"}) {
        auto file = subLayoutFor(cls);
        ASSERT_TRUE(file) << cls;
        EXPECT_NO_THROW(loadLayout(*file)) << *file;
    }
}

TEST_F(MainLayout, HelpersHaveTheirClassesAndStartHidden) {
    const Control* progress = find("setting_progress");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->className, "CircleProgress");
    EXPECT_EQ(progress->attr("visible"), "false");
    const Control* strTest = find("str_test");
    ASSERT_NE(strTest, nullptr);
    EXPECT_EQ(strTest->className, "Label");
    EXPECT_EQ(strTest->attr("visible"), "false");
    EXPECT_EQ(find("ms_tab_function")->attr("visible"), "false");
    EXPECT_EQ(find("ms_macro_tab_saveorcancel")->attr("visible"), "false");
}

// Controls whose kind the program relies on, recognised by their names.
TEST_F(MainLayout, ControlsHaveTheKindTheirNameSays) {
    for (const Control* c : flatten(tree())) {
        const std::string name = c->name();
        auto endsWith = [&](const std::string& s) {
            return name.size() >= s.size() &&
                   name.compare(name.size() - s.size(), s.size(), s) == 0;
        };
        if (endsWith("_slider")) {
            EXPECT_EQ(c->className, "Slider") << name;
        } else if (endsWith("_Color_Pallet")) {
            EXPECT_EQ(c->className, "ColorPalette") << name;
        } else if (name.find("_dkey_") != std::string::npos) {
            EXPECT_EQ(c->className, "DeviceKeyButton") << name;
        } else if (endsWith("_Op_tab") || name.find("_bullet_op_") != std::string::npos ||
                   name.find("_gun_op_") != std::string::npos) {
            EXPECT_EQ(c->className, "Option") << name;
        } else if (name.find("_combo") != std::string::npos && !endsWith("_layout")) {
            EXPECT_EQ(c->className, "Combo") << name;
        }
    }
}

// The program selects combo items by index; each combo needs at least the
// entries the program's tables give it.
TEST_F(MainLayout, CombosHoldTheEntriesTheProgramIndexes) {
    const std::map<std::string, size_t> minimum = {
        {"mp_deng_combo_modeSelect", 10},  {"ms_deng_combo_modeSelect0", 6},
        {"ms_deng_combo_modeSelect1", 6},  {"ms_deng_combo_modeSelect2", 7},
        {"kb_deng_combo_modeSelect", 19},  {"kb_deng_onecolor_combo_modeSelect", 11},
        {"kb_deng_combo_curtom_count", 5}, {"mp_deng_combo_profile", 5},
        {"ms_key_fct_combo", 11},          {"kb_key_fct_combo", 10},
        {"ms_key_fct_combo_11", 5},        {"ms_key_fct_combo_12", 2},
        {"ms_key_fct_combo_13", 2},        {"ms_key_fct_combo_14", 3},
        {"ms_key_fct_combo_21", 18},       {"ms_key_fct_combo_22", 3},
        {"ms_key_fct_combo_24", 5},        {"ms_key_fct_combo_25", 4},
        {"ms_key_fct_combo_31", 9},        {"ms_macro_combo_mouselect", 14},
        {"ms_macro_combo_upordown", 2},    {"ms_report_fct_combo", 4},
    };
    for (const auto& [name, n] : minimum) {
        EXPECT_GE(itemCount(name), n) << name;
    }
}

TEST_F(MainLayout, LightingSlidersRunOverTheFiveSteps) {
    for (std::string p : {"mp", "ms", "kb"}) {
        for (const char* slider : {"_deng_light_slider", "_deng_speed_slider"}) {
            const Control* c = find(p + slider);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->attr("min"), "0") << p + slider;
            EXPECT_EQ(c->attr("max"), "4") << p + slider;
        }
    }
}

} // namespace
} // namespace quellix::skintest
