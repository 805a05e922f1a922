#include "quellix/app/notify_routes.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <string>

namespace quellix::app {

namespace {

using ui::Feature;

// How a row recognises its sender.
struct Match {
    enum How : std::uint8_t { Exact, Prefix, StartsWith, EndsWith } how;
    std::string_view text;

    bool operator()(std::string_view name) const {
        switch (how) {
        case Exact:
            return name == text;
        case Prefix: // the part before the number, see splitName
            return splitName(name).prefix == text;
        case StartsWith:
            return name.starts_with(text);
        case EndsWith:
            return name.ends_with(text);
        }
        return false;
    }
};

constexpr Match exact(std::string_view t) {
    return {Match::Exact, t};
}
constexpr Match prefix(std::string_view t) {
    return {Match::Prefix, t};
}
constexpr Match startsWith(std::string_view t) {
    return {Match::StartsWith, t};
}
constexpr Match endsWith(std::string_view t) {
    return {Match::EndsWith, t};
}

// A row's destination: a feature, a local step, or deliberately nothing.
struct Target {
    enum Kind : std::uint8_t { ToFeature, Local, Nothing } kind;
    Feature feature = Feature::Count;
    LocalStep local = LocalStep::Navigate;
};
constexpr Target to(Feature f) {
    return {Target::ToFeature, f, LocalStep::Navigate};
}
constexpr Target own(LocalStep s) {
    return {Target::Local, Feature::Count, s};
}
constexpr Target nothing() {
    return {Target::Nothing, Feature::Count, LocalStep::Navigate};
}

struct Row {
    Match match;
    Target target;
};

void append(Route& route, const Target& target) {
    if (target.kind == Target::ToFeature) {
        route.push_back(RouteStep::to(target.feature));
    } else if (target.kind == Target::Local) {
        route.push_back(RouteStep::own(target.local));
    }
}

// The first row that matches, if any.
template <std::size_t N>
const Row* firstMatch(const std::array<Row, N>& rows, std::string_view name) {
    for (const Row& row : rows) {
        if (row.match(name)) {
            return &row;
        }
    }
    return nullptr;
}

constexpr std::string_view kNavigationSenders[] = {
    "kb_tab",          "ms_tab",          "mp_tab",         "ani_tab",          "split_tab",
    "kb_deng_Op_tab",  "kb_macro_Op_tab", "kb_key_Op_tab",  "kb_cursor_Op_tab", "ms_deng_Op_tab",
    "ms_macro_Op_tab", "ms_key_Op_tab",   "ms_rich_Op_tab", "ms_cursor_Op_tab",
};

// "selectchanged", before the macro-edit guard; the first match ends the
// routing (the one exception is handled in routeSelectChanged).
constexpr std::array kSelectFirst = {
    Row{prefix("ms_gun_op_"), to(Feature::PointerPatterns)},
    Row{prefix("ms_bullet_op_"), to(Feature::PointerPatterns)},
    Row{exact("ms_macro_check_time"), nothing()},
    Row{exact("ms_macro_keyboard_event"), nothing()},
    Row{exact("ms_macro_mouse_click"), nothing()},
    Row{exact("ms_macro_mouse_roller"), nothing()},
    Row{exact("ms_macro_mouse_move"), nothing()},
    Row{exact("ms_cursor_x_check"), to(Feature::PointerPatterns)},
    Row{exact("ms_cursor_y_check"), to(Feature::PointerPatterns)},
    Row{prefix("ms_key_"), to(Feature::KeyAssignment)},
    Row{exact("ms_macro_btn_shubiao"), to(Feature::Macros)},
    Row{exact("kb_macro_btn_shubiao"), to(Feature::Macros)},
    Row{exact("ms_Deng_7color_check"), to(Feature::Lighting)},
    Row{exact("mp_Deng_7color_check"), to(Feature::Lighting)},
    Row{exact("kb_Deng_7color_check"), to(Feature::Lighting)},
    Row{exact("kb_Deng_FXL_check"), to(Feature::Lighting)},
    Row{exact("kb_Deng_FXR_check"), to(Feature::Lighting)},
    Row{exact("ms_Deng_FXL_check"), to(Feature::Lighting)},
    Row{exact("ms_Deng_FXR_check"), to(Feature::Lighting)},
    Row{exact("mp_Deng_FXR_check"), to(Feature::Lighting)},
    Row{exact("ms_macro_btn_redio"), to(Feature::Macros)},
    Row{exact("kb_macro_btn_redio"), to(Feature::Macros)},
};

// "selectchanged", after the page navigation.
constexpr std::array kSelectLast = {
    Row{exact("kb_deng_profile_link_check"), to(Feature::ProfileLinks)},
    Row{exact("kb_key_profile_link_check"), to(Feature::ProfileLinks)},
    Row{exact("ms_device_profile_link_check"), to(Feature::ProfileLinks)},
    Row{exact("ms_deng_profile_link_check"), to(Feature::ProfileLinks)},
    Row{exact("ms_key_profile_link_check"), to(Feature::ProfileLinks)},
    Row{exact("mp_deng_profile_link_check"), to(Feature::ProfileLinks)},
    Row{exact("kb_Deng_all_kill_check"), to(Feature::Lighting)},
    Row{exact("kb_Deng_all_bright_check"), to(Feature::Lighting)},
    Row{exact("kb_Deng_style_one_check"), to(Feature::Lighting)},
    Row{exact("kb_Deng_style_six_check"), to(Feature::Lighting)},
};

Route routeSelectChanged(std::string_view name) {
    Route route;
    if (const Row* row = firstMatch(kSelectFirst, name)) {
        append(route, row->target);
        return route;
    }
    if (name == "mp_Deng_FXL_check") {
        route.push_back(RouteStep::to(Feature::Lighting)); // and on
    }
    route.push_back(RouteStep::own(LocalStep::MacroEditGuard));
    route.push_back(RouteStep::to(Feature::InputCapture)); // hooks off, capture ends
    if (isNavigationSender(name)) {
        route.push_back(RouteStep::own(LocalStep::Navigate));
    }
    if (const Row* row = firstMatch(kSelectLast, name)) {
        append(route, row->target);
    }
    return route;
}

// Profile operation buttons: "<family>_<operation>".
bool isProfileOperationButton(std::string_view name) {
    constexpr std::string_view families[] = {"kb_pro_deng_", "kb_pro_key_",    "mp_pro_deng_",
                                             "ms_pro_deng_", "ms_pro_device_", "ms_pro_key_"};
    constexpr std::string_view operations[] = {"_add_btn",    "_sub_btn",  "_import_btn",
                                               "_export_btn", "_copy_btn", "_reset_btn",
                                               "_edit_btn"};
    const bool family = std::any_of(std::begin(families), std::end(families),
                                    [&](std::string_view f) { return name.starts_with(f); });
    const bool operation = std::any_of(std::begin(operations), std::end(operations),
                                       [&](std::string_view o) { return name.ends_with(o); });
    return family && operation;
}

// "click": names as they stand, after the prefixes.
constexpr std::array kClickNames = {
    Row{exact("ms_bulletdate_save_btn"), to(Feature::PointerPatterns)},
    Row{exact("ms_bulletdate_reset_btn"), to(Feature::PointerPatterns)},
    Row{exact("bullet_selected_prev"), to(Feature::PointerPatterns)},
    Row{exact("bullet_selected_next"), to(Feature::PointerPatterns)},
    Row{exact("ms_bulletdate_import_btn"), to(Feature::PointerPatterns)},
    Row{exact("ms_bulletdate_export_btn"), to(Feature::PointerPatterns)},
    Row{exact("menubtn"), to(Feature::SkinAndMenu)},
    Row{exact("ms_key_butt_keysave"), to(Feature::KeyAssignment)},
    Row{exact("ms_key_butt_keydefalut"), to(Feature::KeyAssignment)},
    Row{exact("kb_key_butt_keydefalut"), to(Feature::KeyAssignment)},
    Row{exact("ms_device_cancle_link_btn"), to(Feature::ProfileLinks)},
    Row{exact("mp_deng_cancle_link_btn"), to(Feature::ProfileLinks)},
    Row{exact("kb_deng_cancle_link_btn"), to(Feature::ProfileLinks)},
    Row{exact("kb_key_cancle_link_btn"), to(Feature::ProfileLinks)},
    Row{endsWith("_profile_link_btn"), to(Feature::ProfileLinks)},
    Row{endsWith("_profile_edit_save_btn"), to(Feature::Profiles)},
    Row{exact("kb_profile_fun_spread_btn"), to(Feature::Profiles)},
    Row{exact("mp_profile_fun_spread_btn"), to(Feature::Profiles)},
    Row{exact("ms_profile_fun_spread_btn"), to(Feature::Profiles)},
    Row{startsWith("ms_macro_btn_"), to(Feature::Macros)},
    Row{startsWith("kb_macro_btn_"), to(Feature::Macros)},
    Row{startsWith("ms_macro_inset_"), to(Feature::Macros)},
    Row{startsWith("kb_macro_inset_"), to(Feature::Macros)},
    Row{exact("ms_gunlun_speed_up_btn"), to(Feature::MouseDevice)},
    Row{exact("ms_gunlun_speed_down_btn"), to(Feature::MouseDevice)},
    Row{exact("ms_one_profile_default"), to(Feature::MouseDevice)},
    Row{exact("mp_one_profile_default"), to(Feature::PadDevice)},
    Row{exact("ms_Deng_FXL_btn"), to(Feature::Lighting)},
    Row{exact("ms_Deng_FXR_btn"), to(Feature::Lighting)},
    Row{exact("kb_deng_same_mode"), to(Feature::Lighting)},
    Row{exact("mp_deng_same_mode"), to(Feature::Lighting)},
    Row{exact("ms_deng_same_mode"), to(Feature::Lighting)},
    Row{exact("cmdbtn"), own(LocalStep::TraceUserData)},
    Row{exact("dpi_btn"), own(LocalStep::DpiFromUserData)},
    Row{exact("popwnd_btn"), nothing()},
    Row{exact("modal_popwnd_btn"), nothing()},
    Row{exact("qqgroup_btn"), nothing()},
    Row{exact("qq_btn"), nothing()},
    Row{exact("renew_device"), own(LocalStep::TraceRenewDevice)},
};

Route routeClick(std::string_view name) {
    const SplitName split = splitName(name);
    if (split.prefix == "kb_key_" && split.number >= 0) {
        return {RouteStep::own(LocalStep::ShowKeyboardKeyPanel),
                RouteStep::to(Feature::KeyAssignment)};
    }
    if (split.prefix == "kb_dkey_" && split.number >= 0) {
        return {RouteStep::to(Feature::Lighting)};
    }
    if (split.prefix == "ms_DPIcolor_btn_" && split.number >= 1 && split.number <= 4) {
        return {RouteStep::to(Feature::MouseDevice)};
    }
    if (split.number >= 0) {
        if (split.prefix == "ms_Deng_color_btn_" || split.prefix == "mp_Deng_color_btn_" ||
            split.prefix == "kb_Deng_color_btn_") {
            return {RouteStep::to(Feature::Lighting)};
        }
        if (split.prefix == "ms_profile_") {
            return {RouteStep::to(Feature::MouseDevice)};
        }
        if (split.prefix == "ms_bullet_op_") {
            return {RouteStep::own(LocalStep::UnselectBullet)};
        }
    }
    if (name == "ms_key_butt_keycanlc") {
        return {RouteStep::own(LocalStep::CancelMouseKeyEdit),
                RouteStep::to(Feature::InputCapture)};
    }
    if (name == "kb_key_butt_keycanlc") {
        return {RouteStep::own(LocalStep::CancelKeyboardKeyEdit),
                RouteStep::to(Feature::InputCapture)};
    }
    // Uploads: the progress indicator around the transfers.
    if (name == "ms_key_butt_prosave") {
        return {RouteStep::own(LocalStep::ShowProgress), RouteStep::to(Feature::PointerPatterns),
                RouteStep::to(Feature::MacroUpload), RouteStep::own(LocalStep::HideProgressSoon)};
    }
    if (name == "kb_key_butt_prosave") {
        return {RouteStep::own(LocalStep::ShowProgress), RouteStep::to(Feature::MacroUpload),
                RouteStep::own(LocalStep::HideProgressSoon)};
    }
    if (isProfileOperationButton(name)) {
        return {RouteStep::to(Feature::Profiles)};
    }
    Route route;
    if (const Row* row = firstMatch(kClickNames, name)) {
        append(route, row->target);
    }
    return route;
}

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

Route routeItemSelect(std::string_view name) {
    if (isOneOf(name, {"ms_deng_combo_modeSelect0", "ms_deng_combo_modeSelect1",
                       "ms_deng_combo_modeSelect2", "mp_deng_combo_modeSelect",
                       "kb_deng_combo_modeSelect", "kb_deng_onecolor_combo_modeSelect",
                       "kb_deng_combo_curtom_count"})) {
        return {RouteStep::to(Feature::Lighting)};
    }
    if (name == "ms_report_fct_combo") {
        return {RouteStep::to(Feature::MouseDevice)};
    }
    if (name == "mp_deng_combo_profile") {
        return {RouteStep::to(Feature::PadDevice)};
    }
    for (std::string_view family : {"ms_", "kb_"}) {
        if (name.starts_with(family) &&
            isOneOf(name.substr(family.size()),
                    {"MacroName_list", "Macro_list", "macro_combo_keyselect",
                     "macro_combo_mouselect", "macro_combo_upordown"})) {
            return {RouteStep::to(Feature::Macros)};
        }
    }
    if (name.starts_with("ms_key_fct_combo") || name.starts_with("ms_tab_function_") ||
        name.starts_with("kb_key_fct_combo")) {
        return {RouteStep::to(Feature::KeyAssignment)};
    }
    if (isOneOf(name,
                {"kb_deng_profile_combo", "kb_key_profile_combo", "mp_deng_profile_combo",
                 "ms_device_profile_combo", "ms_deng_profile_combo", "ms_key_profile_combo"})) {
        return {RouteStep::to(Feature::Profiles)};
    }
    return {};
}

bool isDpiSlider(std::string_view name, int last) {
    for (int i = 1; i <= last; ++i) {
        if (name == "ms_DPI" + std::to_string(i) + "_slider") {
            return true;
        }
    }
    return false;
}

Route routeTextChanged(std::string_view name) {
    const SplitName split = splitName(name);
    if (split.prefix == "ms_key_fct_edit_" || split.prefix == "kb_key_fct_edit_") {
        const int n = split.number;
        if (n == 11 || n == 12 || (n >= 15 && n <= 20) || n == 25) {
            return {RouteStep::to(Feature::KeyAssignment)};
        }
        return {};
    }
    for (std::string_view family : {"ms_", "mp_", "kb_"}) {
        if (name.starts_with(family) &&
            isOneOf(name.substr(family.size()), {"Deng_edit_R", "Deng_edit_G", "Deng_edit_B"})) {
            return {RouteStep::to(Feature::Lighting)};
        }
    }
    if (name == "ms_gunlun_speed_edit") {
        return {RouteStep::to(Feature::MouseDevice)};
    }
    for (std::string_view family : {"ms_", "kb_"}) {
        if (name.starts_with(family) &&
            isOneOf(name.substr(family.size()),
                    {"_macro_edit_ActionDelay", "_macro_edit_mou_action_delay",
                     "macro_edit_mou_pointer_skewing", "mouse_x_left_edit", "mouse_x_right_edit",
                     "mouse_y_up_edit", "mouse_y_down_edit"})) {
            return {RouteStep::to(Feature::Macros)};
        }
    }
    if (isOneOf(name, {"ms_cursor_x_eidt", "ms_cursor_y_eidt", "ms_cursor_delay_eidt"})) {
        return {RouteStep::to(Feature::PointerPatterns)};
    }
    return {};
}

Route routePointer(std::string_view type, std::string_view name) {
    const SplitName split = splitName(name);
    if (split.prefix == "ms_key_" && split.number >= 0 && split.number <= 6) {
        return {RouteStep::to(Feature::KeyAssignment)};
    }
    if (split.prefix == "ms_DPIcolor_btn_" && split.number >= 1 && split.number <= 6) {
        return {RouteStep::own(type == "msenter" ? LocalStep::DpiColourBorderOn
                                                 : LocalStep::DpiColourBorderOff)};
    }
    return {};
}

} // namespace

SplitName splitName(std::string_view name) {
    const std::size_t cut = name.rfind('_');
    if (cut == std::string_view::npos) {
        return {name, -1};
    }
    SplitName split{name.substr(0, cut + 1), -1};
    const std::string_view digits = name.substr(cut + 1);
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
        digits.front() != '-' && digits.front() != '+') {
        split.number = number;
    }
    return split;
}

bool isNavigationSender(std::string_view name) {
    return std::find(std::begin(kNavigationSenders), std::end(kNavigationSenders), name) !=
           std::end(kNavigationSenders);
}

Route routeNotification(std::string_view type, std::string_view name) {
    if (type == "selectchanged") {
        return routeSelectChanged(name);
    }
    if (type == "click") {
        return routeClick(name);
    }
    if (type == "itemselect") {
        return routeItemSelect(name);
    }
    if (type == "itemclick") {
        if (name == "ms_macro_action" || name == "kb_macro_action" ||
            name.starts_with("ms_Macro_list")) {
            return {RouteStep::to(Feature::Macros)};
        }
        return {};
    }
    if (type == "valuechanged") {
        if (isOneOf(name,
                    {"ms_deng_light_slider", "ms_deng_speed_slider", "mp_deng_light_slider",
                     "mp_deng_speed_slider", "kb_deng_light_slider", "kb_deng_speed_slider"})) {
            return {RouteStep::to(Feature::Lighting)};
        }
        if (isDpiSlider(name, 4) || name == "ms_point_speed_slider") {
            return {RouteStep::to(Feature::MouseDevice)};
        }
        return {};
    }
    if (type == "movevaluechanged") {
        if (isDpiSlider(name, 6)) {
            return {RouteStep::to(Feature::MouseDevice)};
        }
        return {};
    }
    if (type == "colorchanged") {
        if (isOneOf(name,
                    {"ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"})) {
            return {RouteStep::to(Feature::Lighting)};
        }
        return {};
    }
    if (type == "textchanged") {
        return routeTextChanged(name);
    }
    if (type == "killfocus") {
        if (name == "ms_macro_edit_macroname") {
            return {RouteStep::to(Feature::Macros)};
        }
        if (name == "ms_gunlun_speed_edit") {
            return {RouteStep::to(Feature::MouseDevice)};
        }
        return {};
    }
    if (type == "setfocus") {
        if (isOneOf(name, {"ms_deng_Op_tab", "ms_key_Op_tab", "ms_rich_Op_tab", "ms_macro_Op_tab",
                           "ms_cursor_Op_tab"})) {
            return {RouteStep::own(LocalStep::HideProfileSpreadTab)};
        }
        return {};
    }
    if (type == "msenter" || type == "msleave") {
        return routePointer(type, name);
    }
    return {};
}

} // namespace quellix::app
