#include "page_navigation.h"

#include <initializer_list>
#include <string>

#include "quellix/dui/container.h"

namespace quellix::app {

namespace {

class Controls {
public:
    explicit Controls(dui::CPaintManagerUI& pm) : pm_(pm) {}

    void select(const char* tabs, int page) {
        if (auto* layout = pm_.FindControl<dui::CTabLayoutUI>(tabs)) {
            layout->SelectItem(page);
        }
    }
    int selected(const char* tabs) {
        auto* layout = pm_.FindControl<dui::CTabLayoutUI>(tabs);
        return layout != nullptr ? layout->GetCurSel() : -1;
    }
    void show(const char* name, bool visible) {
        if (auto* control = pm_.FindControl(name)) {
            control->SetVisible(visible);
        }
    }
    bool shown(const char* name) {
        auto* control = pm_.FindControl(name);
        return control != nullptr && control->IsVisible();
    }
    void enable(std::initializer_list<const char*> names, bool enabled) {
        for (const char* name : names) {
            if (auto* control = pm_.FindControl(name)) {
                control->SetEnabled(enabled);
            }
        }
    }

private:
    dui::CPaintManagerUI& pm_;
};

// The keyboard's profile panel controls that its sub-pages enable or not.
constexpr std::initializer_list<const char*> kKeyboardProfilePanel = {
    "kb_profile_fun_spread_btn", "kb_profile_select_tab", "kb_profile_fun_spead_tab",
    "kb_key_profile_edit", "kb_deng_profile_edit"};

// The mouse page's profile panel after its lighting, keys and performance
// sub-pages.
void mouseProfileTail(Controls& c) {
    c.enable({"ms_device_profile_edit"}, true);
    if (!c.shown("ms_device_profile_edit")) {
        c.show("ms_device_profile_edit", true);
    }
    c.show("ms_profile_fun_spread_btn", true);
    c.enable({"ms_profile_fun_spread_btn", "ms_profile_select_tab", "ms_profile_fun_spead_tab"},
             true);
}

struct MainTab {
    std::string_view sender;
    int page;
};
constexpr MainTab kMainTabs[] = {
    {"kb_tab", 0}, {"ms_tab", 1}, {"mp_tab", 2}, {"ani_tab", 3}, {"split_tab", 4},
};

} // namespace

void navigatePages(dui::CPaintManagerUI& pm, std::string_view sender) {
    Controls c(pm);
    for (const MainTab& tab : kMainTabs) {
        if (sender == tab.sender) {
            c.select("tab_switch", tab.page);
            return;
        }
    }
    if (sender == "kb_deng_Op_tab") {
        c.select("kb_tab_switch", 0);
        c.select("kb_profile_select_tab", 0);
        c.show("kb_profile_select_tab", true);
        c.select("kb_profile_fun_spead_tab", 0);
        c.show("kb_profile_fun_spead_tab", false);
        c.show("kb_profile_fun_spread_btn", true);
        c.show("kb_key_profile_edit", false);
        c.show("kb_deng_profile_edit", true);
        c.enable(kKeyboardProfilePanel, true);
    } else if (sender == "kb_macro_Op_tab") {
        c.select("kb_tab_switch", 1);
        c.enable(kKeyboardProfilePanel, false);
    } else if (sender == "kb_key_Op_tab") {
        // Keys already shown keep their function panel.
        if (c.selected("kb_tab_switch") != 2) {
            c.show("kb_tab_function", false);
            c.enable({"kb_tab_function"}, false);
            c.select("kb_tab_switch", 2);
        }
        c.select("kb_profile_select_tab", 1);
        c.show("kb_profile_select_tab", true);
        c.select("kb_profile_fun_spead_tab", 1);
        c.show("kb_profile_fun_spead_tab", false);
        c.show("kb_deng_profile_edit", false);
        c.show("kb_key_profile_edit", true);
        c.show("kb_profile_fun_spread_btn", true);
        c.enable(kKeyboardProfilePanel, true);
    } else if (sender == "kb_cursor_Op_tab") {
        c.select("kb_tab_switch", 3);
    } else if (sender == "ms_deng_Op_tab") {
        c.select("ms_tab_switch", 0);
        mouseProfileTail(c);
    } else if (sender == "ms_macro_Op_tab") {
        c.select("ms_tab_switch", 1);
        c.enable({"ms_profile_fun_spread_btn", "ms_profile_select_tab", "ms_profile_fun_spead_tab",
                  "ms_device_profile_edit"},
                 false);
    } else if (sender == "ms_key_Op_tab") {
        if (c.selected("ms_tab_switch") != 2) {
            c.show("ms_tab_function", true);
            c.select("ms_tab_switch", 2);
        }
        mouseProfileTail(c);
    } else if (sender == "ms_rich_Op_tab") {
        c.select("ms_tab_switch", 3);
        mouseProfileTail(c);
    } else if (sender == "ms_cursor_Op_tab") {
        c.select("ms_tab_switch", 4);
    }
}

} // namespace quellix::app
