#include "kind_panel.h"

#include "quellix/dui/container.h"
#include "quellix/ui/colour_presets.h"

#include <algorithm>

namespace quellix::lighting::pages {

namespace {

constexpr std::string_view kChannelEdits[] = {"Deng_edit_R", "Deng_edit_G", "Deng_edit_B"};

} // namespace

// A disabled layout takes its controls with it: they look disabled and
// take no input.
void setEnabledWithChildren(dui::CControlUI& control, bool enabled) {
    control.SetEnabled(enabled);
    if (auto* container = dynamic_cast<dui::CContainerUI*>(&control)) {
        for (int i = 0; i < container->GetCount(); ++i) {
            if (dui::CControlUI* child = container->GetItemAt(i)) {
                setEnabledWithChildren(*child, enabled);
            }
        }
    }
}

KindPanel::KindPanel(device::DeviceKind kind, LightingHost& host)
    : kind_(kind), host_(host), prefix_(std::string(device::kindPrefix(kind)) + "_") {}

dui::CControlUI* KindPanel::Control(std::string_view suffix) const {
    return host_.FindControl(Name(suffix));
}

std::span<platform::SharedByte> recordOf(LightingHost& host, device::DeviceKind kind) {
    config::DeviceConfigs& configs = host.Configs();
    switch (kind) {
    case device::DeviceKind::Keyboard:
        return configs.keyboard.record.span();
    case device::DeviceKind::Mouse:
        return configs.mouse.record.span();
    case device::DeviceKind::MousePad:
        break;
    }
    return configs.pad.record.span();
}

std::span<platform::SharedByte> KindPanel::Record() const {
    return recordOf(host_, kind_);
}

bool KindPanel::OnNotify(dui::TNotifyUI& msg) {
    if (msg.pSender == nullptr || !msg.pSender->GetName().starts_with(prefix_)) {
        return false;
    }
    const std::string& name = msg.pSender->GetName();
    const std::string_view suffix = std::string_view(name).substr(prefix_.size());
    const std::string& type = msg.sType;

    if (type == dui::DUI_MSGTYPE_ITEMSELECT) {
        auto* combo = dynamic_cast<dui::CComboUI*>(msg.pSender);
        const int index = combo != nullptr ? combo->GetCurSel() : -1;
        if (const auto mode = comboNamed(name)) {
            ModeChosen(*mode, index);
            return true;
        }
        return OtherItemSelect(name, index);
    }
    if (type == dui::DUI_MSGTYPE_VALUECHANGED) {
        auto* slider = dynamic_cast<dui::CSliderUI*>(msg.pSender);
        if (slider != nullptr && (suffix == "deng_light_slider" || suffix == "deng_speed_slider")) {
            SliderChanged(suffix == "deng_light_slider", slider->GetValue());
            return true;
        }
        return false;
    }
    if (type == dui::DUI_MSGTYPE_COLORCHANGED) {
        if (auto* palette = dynamic_cast<dui::CColorPaletteUI*>(msg.pSender)) {
            SetColour(palette->GetSelectColor(), true);
            return true;
        }
        return false;
    }
    if (type == dui::DUI_MSGTYPE_TEXTCHANGED) {
        auto* edit = dynamic_cast<dui::CEditUI*>(msg.pSender);
        for (int c = 0; c < 3; ++c) {
            if (edit != nullptr && suffix == kChannelEdits[c]) {
                ChannelTyped(static_cast<Channel>(c), *edit);
                return true;
            }
        }
        return false;
    }
    if (type == dui::DUI_MSGTYPE_CLICK) {
        if (const auto n = ui::numberAfterPrefix(suffix, "Deng_color_btn_")) {
            if (const auto colour = ui::presetColour(*n)) {
                PresetClicked(*colour);
            }
            return true;
        }
        return OtherClick(name);
    }
    if (type == dui::DUI_MSGTYPE_SELECTCHANGED) {
        auto* option = dynamic_cast<dui::COptionUI*>(msg.pSender);
        if (option == nullptr) {
            return false;
        }
        if (suffix == "Deng_7color_check") {
            MulticolourChanged(option->IsSelected());
            return true;
        }
        if (suffix == "Deng_FXL_check" || suffix == "Deng_FXR_check") {
            // Only the option that became selected acts; its partner was
            // cleared without a notification.
            if (option->IsSelected()) {
                DirectionChanged(suffix == "Deng_FXL_check");
            }
            return true;
        }
        return OtherSelectChanged(name, *option);
    }
    return false;
}

// ---------------------------------------------------------------- edits

void KindPanel::SliderChanged(bool brightness, int value) {
    if (brightness) {
        Store(field::kBrightness, static_cast<std::uint8_t>(value));
    } else {
        Store(field::kSpeed, static_cast<std::uint8_t>(std::max(kSliderTop - value, 0)));
    }
    MarkChanged();
    if (SlidersSave()) {
        SaveProfiles();
    }
}

void KindPanel::SetColour(std::uint32_t argb, bool take) {
    ShowColour(argb);
    if (take) {
        SetCheck("Deng_7color_check", false, false);
        StoreColour(rgbOf(argb));
        Store(field::kMulticolor, 0);
        MarkChanged();
        SaveProfiles();
    }
}

void KindPanel::PresetClicked(std::uint32_t argb) {
    SetColour(argb, true);
}

void KindPanel::ChannelTyped(Channel channel, dui::CEditUI& edit) {
    // The check's own handling takes multicolour off and saves.
    TakeChannel(channel, ReadTypedChannel(edit), true);
}

std::uint8_t KindPanel::ReadTypedChannel(dui::CEditUI& edit) const {
    const ChannelText typed = readChannelText(edit.GetText());
    if (typed.corrected) {
        edit.SetText(*typed.corrected);
    }
    return typed.value;
}

void KindPanel::TakeChannel(Channel channel, std::uint8_t value, bool notifyMulticolour) {
    const std::uint32_t colour = withChannel(PreviewColour(), channel, value);
    if (auto* preview = Control("Deng_colordp_btn")) {
        preview->SetBkColor(colour);
    }
    SelectInPalette(colour);
    SetCheck("Deng_7color_check", false, notifyMulticolour);
    Store(field::kRed + static_cast<std::size_t>(channel), value);
    Store(field::kMulticolor, 0);
    MarkChanged();
    SaveProfiles();
}

void KindPanel::MulticolourChanged(bool on) {
    Store(field::kMulticolor, on ? 1 : 0);
    MarkChanged();
    SaveProfiles();
}

void KindPanel::DirectionChanged(bool left) {
    Store(field::kDirection, left ? 1 : 0);
    SetCheck(left ? "Deng_FXR_check" : "Deng_FXL_check", false, false);
    MarkChanged();
    SaveProfiles();
}

// ---------------------------------------------------------------- display

void KindPanel::StoreColour(Rgb colour) const {
    Store(field::kRed, colour.r);
    Store(field::kRed + 1, colour.g);
    Store(field::kRed + 2, colour.b);
}

void KindPanel::ApplyLayouts(const LayoutRow& row) const {
    const std::pair<Switch, std::string_view> layouts[] = {
        {row.fx, "deng_fx_layout"},
        {row.colour, "deng_color_layout"},
        {row.multicolour, "deng_7colorselect_layout"},
        {row.speed, "deng_speed_layout"},
        {row.same, "deng_same_mode"},
    };
    for (const auto& [state, suffix] : layouts) {
        if (state == Switch::Keep) {
            continue;
        }
        if (auto* control = Control(suffix)) {
            setEnabledWithChildren(*control, state == Switch::On);
        }
    }
}

void KindPanel::SelectMode(ModeCombo combo, int mode) const {
    if (auto* list = dynamic_cast<dui::CComboUI*>(Named(std::string(comboName(combo))))) {
        list->SelectItem(mode, false, false);
    }
}

void KindPanel::ShowSliders(const LightingFields& fields) const {
    if (auto* slider = ControlAs<dui::CSliderUI>("deng_light_slider")) {
        slider->SetValue(fields.brightness);
    }
    if (auto* slider = ControlAs<dui::CSliderUI>("deng_speed_slider")) {
        slider->SetValue(kSliderTop - fields.speed);
    }
}

void KindPanel::ShowRecordColour(const LightingFields& fields) {
    const std::uint32_t colour = argbOf(fields.colour());
    SelectInPalette(colour);
    SetColour(colour, false);
}

void KindPanel::ShowChecks(const LightingFields& fields) const {
    SetCheck("Deng_7color_check", fields.multicolor != 0, false);
    SetCheck("Deng_FXL_check", fields.direction != 0, false);
    SetCheck("Deng_FXR_check", fields.direction == 0, false);
}

void KindPanel::ShowColour(std::uint32_t argb) const {
    if (auto* preview = Control("Deng_colordp_btn")) {
        preview->SetBkColor(argb);
        preview->SetBkImage("");
    }
    ShowChannels(argb);
}

void KindPanel::ShowChannels(std::uint32_t argb) const {
    for (int c = 0; c < 3; ++c) {
        if (auto* edit = Control(kChannelEdits[c])) {
            edit->SetText(std::to_string(channelOf(argb, static_cast<Channel>(c))));
        }
    }
}

std::uint32_t KindPanel::PreviewColour() const {
    const auto* preview = Control("Deng_colordp_btn");
    return preview != nullptr ? preview->GetBkColor() : argbOf(Fields().colour());
}

void KindPanel::SelectInPalette(std::uint32_t argb) const {
    if (auto* palette = ControlAs<dui::CColorPaletteUI>("deng_Color_Pallet")) {
        palette->SetSelectColor(argb);
    }
}

void KindPanel::SetCheck(std::string_view suffix, bool on, bool notify) const {
    if (auto* option = ControlAs<dui::COptionUI>(suffix)) {
        option->Selected(on, notify);
    }
}

} // namespace quellix::lighting::pages
