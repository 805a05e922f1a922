#include "quellix/profiles/pages/profile_pages.h"

#include "quellix/dui/paint_manager.h"

#include <initializer_list>

namespace quellix::profiles::pages {

namespace {

// The start-up fills, kind by kind: keyboard, mouse, mouse pad.
const std::initializer_list<std::initializer_list<Family>> kFillOrder = {
    {Family::KeyboardLighting, Family::KeyboardKeys},
    {Family::MouseDevice, Family::MouseLighting, Family::MouseKeys},
    {Family::PadLighting},
};

// The spread buttons and the operations panel each opens.
struct Spread {
    std::string_view button;
    std::string_view panel;
};
constexpr Spread kSpreads[] = {
    {"kb_profile_fun_spread_btn", "kb_profile_fun_spead_tab"},
    {"ms_profile_fun_spread_btn", "ms_profile_fun_spead_tab"},
    {"mp_profile_fun_spread_btn", "mp_profile_fun_spead_tab"},
};

// An operation button's suffix after the family's button prefix.
struct Operation {
    std::string_view suffix;
    void (FamilyPanel::*run)();
};
constexpr Operation kOperations[] = {
    {"_add_btn", &FamilyPanel::Add},
    {"_sub_btn", &FamilyPanel::Delete},
    {"_copy_btn", &FamilyPanel::Copy},
    {"_import_btn", &FamilyPanel::Import},
    {"_export_btn", &FamilyPanel::Export},
    {"_reset_btn", &FamilyPanel::Reset},
    {"_edit_btn", &FamilyPanel::ToggleEditRow},
};

bool named(std::string_view name, std::string_view prefix, std::string_view suffix) {
    return name.size() == prefix.size() + suffix.size() && name.starts_with(prefix) &&
           name.ends_with(suffix);
}

} // namespace

ProfilePanels::ProfilePanels(ProfileHost& host)
    : panels_{{FamilyPanel(Family::PadLighting, host), FamilyPanel(Family::KeyboardLighting, host),
               FamilyPanel(Family::KeyboardKeys, host), FamilyPanel(Family::MouseDevice, host),
               FamilyPanel(Family::MouseLighting, host), FamilyPanel(Family::MouseKeys, host)}} {}

FamilyPanel* ProfilePanels::PanelOfControl(std::string_view name) {
    for (FamilyPanel& panel : panels_) {
        const FamilyControls& c = panel.controls();
        if (name == c.list || name.starts_with(std::string(c.button) + "_") ||
            name.starts_with(std::string(c.prefix) + "_")) {
            return &panel;
        }
    }
    return nullptr;
}

void ProfilePanels::FillAll() {
    for (const auto& kind : kFillOrder) {
        for (Family family : kind) {
            if (!Panel(family).Fill()) {
                break; // the kind's later families wait for the next start
            }
        }
    }
}

void ProfilesPage::StartUp(ui::StartUpStep step) {
    if (step == ui::StartUpStep::Remembered) {
        panels_->FillAll();
    }
}

void ProfilesPage::OnNotify(dui::TNotifyUI& msg) {
    if (msg.pSender == nullptr) {
        return;
    }
    const std::string name = msg.pSender->GetName();
    if (msg.sType == dui::DUI_MSGTYPE_CLICK) {
        for (const Spread& spread : kSpreads) {
            if (name == spread.button) {
                if (auto* panel =
                        msg.pSender->GetManager()->FindControl(std::string(spread.panel))) {
                    panel->SetVisible(!panel->IsVisible());
                }
                return;
            }
        }
    }
    FamilyPanel* panel = panels_->PanelOfControl(name);
    if (panel == nullptr) {
        return;
    }
    const FamilyControls& c = panel->controls();
    if (msg.sType == dui::DUI_MSGTYPE_ITEMSELECT && name == c.list) {
        if (auto* list = dynamic_cast<dui::CComboUI*>(msg.pSender)) {
            panel->Select(list->GetCurSel());
        }
        return;
    }
    if (msg.sType != dui::DUI_MSGTYPE_CLICK) {
        return;
    }
    if (named(name, c.prefix, "_profile_edit_save_btn")) {
        panel->Rename();
        return;
    }
    for (const Operation& op : kOperations) {
        if (named(name, c.button, op.suffix)) {
            (panel->*op.run)();
            return;
        }
    }
}

void ProfileLinksPage::OnNotify(dui::TNotifyUI& msg) {
    if (msg.pSender == nullptr) {
        return;
    }
    const std::string name = msg.pSender->GetName();
    FamilyPanel* panel = panels_->PanelOfControl(name);
    if (panel == nullptr) {
        return;
    }
    const FamilyControls& c = panel->controls();
    if (msg.sType == dui::DUI_MSGTYPE_SELECTCHANGED &&
        named(name, c.prefix, "_profile_link_check")) {
        panel->LinkCheckChanged();
    } else if (msg.sType == dui::DUI_MSGTYPE_CLICK) {
        if (named(name, c.prefix, "_profile_link_btn")) {
            panel->LinkButtonClicked();
        } else if (c.cancelLinkButton && named(name, c.prefix, "_cancle_link_btn")) {
            panel->CancelLinkClicked();
        }
    }
}

} // namespace quellix::profiles::pages
