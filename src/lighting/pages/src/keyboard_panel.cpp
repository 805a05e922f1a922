// The keyboard's page: two mode combos (one per kind of keyboard), the
// control groups its effects show, the configuration bytes it writes to
// the keyboard, the custom per-key colours and the ripple seeds placed by
// clicks on the keyboard picture.

#include "kind_panel.h"

#include "quellix/config/keyboard_config.h"
#include "quellix/lighting/seeds.h"
#include "quellix/lighting/wavefront.h"
#include "quellix/ui/colour_presets.h"

#include <vector>

namespace quellix::lighting::pages {

namespace {

namespace kf = config::keyboard_field;
using config::KeyboardWrite;

constexpr const char* kMainCombo = "kb_deng_combo_modeSelect";
constexpr const char* kOneColourCombo = "kb_deng_onecolor_combo_modeSelect";
constexpr const char* kCustomSetCombo = "kb_deng_combo_curtom_count";
constexpr const char* kCustomPreview = "kb_Deng_custom_colordp_btn";

class KeyboardPanel final : public KindPanel {
public:
    explicit KeyboardPanel(LightingHost& host) : KindPanel(device::DeviceKind::Keyboard, host) {}

    void Refresh() override {
        const unsigned variant = Variant();
        const ModeCombo combo = ComboOf(variant);
        ShowCombo(variant);
        const LightingFields fields = Fields();
        SelectMode(combo, fields.mode);
        ShowNormalGroup();
        if (const auto row = layoutRow(combo, fields.mode, Apply::Refresh)) {
            ApplyLayouts(*row);
        }
        if (const auto row = keyboardRow(combo, fields.mode)) {
            ApplyExtras(*row, Apply::Refresh);
        }
        refreshKeyboardMode(host_.Engine().keyboard, variant, fields.mode);
        ShowSliders(fields);
        auto* palette = ControlAs<dui::CColorPaletteUI>("deng_Color_Pallet");
        if (variant == 1) {
            SelectInPalette(kOneColourShown);
            ShowColour(kOneColourShown);
            SetCheck("Deng_7color_check", false, false);
        } else {
            ShowRecordColour(fields);
            SetCheck("Deng_7color_check", fields.multicolor != 0, false);
            if (fields.mode == kKeyboardCustomMode) {
                ShowCustomColour();
            }
        }
        if (palette != nullptr) {
            // The one-colour keyboard has no colour to pick; the others'
            // palette goes with its layout.
            const auto* layout = Control("deng_color_layout");
            palette->SetEnabled(variant != 1 && (layout == nullptr || layout->IsEnabled()));
        }
        SetCheck("Deng_FXL_check", fields.direction != 0, false);
        SetCheck("Deng_FXR_check", fields.direction == 0, false);
        const bool six = Record()[kf::kStyle].load() != 0;
        SetCheck("Deng_style_one_check", !six, false);
        SetCheck("Deng_style_six_check", six, false);
        if (auto* sets = dynamic_cast<dui::CComboUI*>(Named(kCustomSetCombo))) {
            sets->SelectItem(CustomSet(), false, false);
        }
    }

protected:
    void ModeChosen(ModeCombo combo, int mode) override {
        if (mode < 0) {
            return;
        }
        const unsigned variant = Variant();
        changeKeyboardMode(host_.Engine().keyboard, variant, static_cast<std::uint8_t>(mode));
        if (combo == ModeCombo::KeyboardOne) {
            for (device::DeviceKind kind : device::kAllDeviceKinds) {
                host_.Session(kind).syncActive = 0;
            }
        } else {
            LeaveSync();
        }
        ShowNormalGroup();
        if (const auto row = layoutRow(combo, mode, Apply::Change)) {
            ApplyLayouts(*row);
        }
        if (const auto row = keyboardRow(combo, mode)) {
            ApplyExtras(*row, Apply::Change);
            WriteDeviceMode(row->deviceMode);
        }
        if (variant == 1) {
            SelectInPalette(kOneColourModeChange);
            ShowColour(kOneColourModeChange);
        } else if (combo == ModeCombo::Keyboard && mode == kKeyboardCustomMode) {
            ShowCustomColour();
        } else {
            const std::uint32_t colour = argbOf(Fields().colour());
            SelectInPalette(colour);
            ShowColour(colour);
        }
        Store(field::kMode, static_cast<std::uint8_t>(mode));
        MarkChanged();
        SaveProfiles();
    }

    void SetColour(std::uint32_t argb, bool take) override {
        if (!take) {
            KindPanel::SetColour(argb, false);
        } else if (PaintsCustomColour()) {
            SetCustomColour(argb);
            SaveProfiles();
        } else {
            TakeColour(argb);
        }
    }

    void PresetClicked(std::uint32_t argb) override {
        SelectInPalette(argb);
        SetColour(argb, true);
    }

    void ChannelTyped(Channel channel, dui::CEditUI& edit) override {
        const std::uint8_t value = ReadTypedChannel(edit);
        if (PaintsCustomColour()) {
            SetCustomColour(withChannel(CustomColour(), channel, value), false);
            SaveProfiles();
            return;
        }
        // The multicolour check goes off quietly: its own handling would
        // write to the keyboard.  The typed colour is kept in the profile
        // like a picked one; the keyboard itself gets it with the next
        // picked colour.
        TakeChannel(channel, value, false);
    }

    void MulticolourChanged(bool on) override {
        const std::uint8_t flag = on ? 1 : 0;
        Store(field::kMulticolor, flag);
        Store(kf::kMulticolourA, flag);
        Store(kf::kMulticolourB, flag);
        if (!on) {
            TakeColour(PreviewColour());
        }
        const KeyboardWrite writes[] = {{static_cast<std::uint16_t>(kf::kMulticolourA), 1, {flag}},
                                        {static_cast<std::uint16_t>(kf::kMulticolourB), 1, {flag}}};
        ShowDeviceFailure(config::writeKeyboardConfig(Session(), writes));
        MarkChanged();
        SaveProfiles();
    }

    bool OtherSelectChanged(const std::string& name, dui::COptionUI& option) override {
        if (name == "kb_Deng_style_one_check" || name == "kb_Deng_style_six_check") {
            if (option.IsSelected()) {
                ChooseStyle(name == "kb_Deng_style_six_check");
            }
            return true;
        }
        if (name == "kb_Deng_all_bright_check" || name == "kb_Deng_all_kill_check") {
            const bool fill = name == "kb_Deng_all_bright_check";
            option.Selected(true, false);
            SetCheck(fill ? "Deng_all_kill_check" : "Deng_all_bright_check", false, false);
            if (fill) {
                FillUnpainted();
            } else {
                ClearSet();
            }
            SaveProfiles();
            return true;
        }
        return false;
    }

    bool OtherItemSelect(const std::string& name, int index) override {
        if (name != kCustomSetCombo) {
            return false;
        }
        if (index >= 0 && index < static_cast<int>(config::kKeyColourSets)) {
            host_.Configs().keyboard.custom.store(0, static_cast<std::uint8_t>(index));
            SaveProfiles();
        }
        return true;
    }

    bool OtherClick(const std::string& name) override {
        const auto key = ui::numberAfterPrefix(name, "kb_dkey_");
        if (!key) {
            return false;
        }
        if (*key < 0 || *key >= static_cast<int>(config::kPictureKeys)) {
            return true;
        }
        const std::uint8_t mode = Fields().mode;
        if (mode == kKeySeedMode) {
            placeKeySeed(host_.Engine().keyboard.effect.masks, static_cast<std::uint8_t>(*key));
            return true;
        }
        const unsigned variant = Variant();
        const bool painting =
            variant == 1 ? mode == kOneColourCustomMode : mode == kKeyboardCustomMode;
        if (painting) {
            PaintKey(*key);
            SaveProfiles();
        }
        return true;
    }

    void SaveProfiles() override { SaveTo(Save::KeyboardLighting); }

private:
    device::DeviceSession& Session() const { return host_.Session(device::DeviceKind::Keyboard); }

    // 0, 1 or 2; an unknown keyboard is shown as variant 0.
    unsigned Variant() const {
        const unsigned v = host_.Configs().keyboard.variant.load();
        return v < config::kKeyboardVariants ? v : 0;
    }
    static ModeCombo ComboOf(unsigned variant) {
        return variant == 1 ? ModeCombo::KeyboardOne : ModeCombo::Keyboard;
    }
    bool PaintsCustomColour() const {
        const auto* main = dynamic_cast<dui::CComboUI*>(Named(kMainCombo));
        return Variant() != 1 && main != nullptr && main->GetCurSel() == kKeyboardCustomMode;
    }

    void ShowCombo(unsigned variant) const {
        if (auto* main = Named(kMainCombo)) {
            main->SetVisible(variant != 1);
        }
        if (auto* one = Named(kOneColourCombo)) {
            one->SetVisible(variant == 1);
        }
    }

    void ShowNormalGroup() const {
        for (std::string_view name : kNormalGroup) {
            SetShown(name, true);
        }
        for (std::string_view name : kCustomGroup) {
            SetShown(name, false);
        }
        SetShown(kStyleGroup, false);
    }

    void ApplyExtras(const KeyboardRow& row, Apply apply) const {
        if (row.labels) {
            if (auto* left = Named("kb_Deng_label_FXL")) {
                left->SetText(std::string(row.labels->left));
            }
            if (auto* right = Named("kb_Deng_label_FXR")) {
                right->SetText(std::string(row.labels->right));
            }
        }
        switch (row.group) {
        case KeyboardGroup::Normal:
            break;
        case KeyboardGroup::Custom:
            for (std::string_view name : kNormalGroup) {
                SetShown(name, false);
            }
            for (std::string_view name : kCustomGroup) {
                SetShown(name, true);
            }
            break;
        case KeyboardGroup::Style:
            SetShown("kb_deng_fx_layout", false);
            SetShown(kStyleGroup, true);
            break;
        }
        if (row.enableColourLump && apply == Apply::Change) {
            SetEnabled("kb_deng_color_lump", true);
        }
        if (row.oneColourCustom) {
            SetEnabled("kb_deng_custom_select_layout", true);
            SetEnabled("kb_deng_rgb_layout", false);
            SetEnabled("kb_deng_color_lump", false);
            if (apply == Apply::Refresh) {
                SetEnabled("kb_deng_color_layout", true);
            }
        }
    }

    // The device's own effects of modes 15 and 16 are chosen by their
    // number at slot offset 1, with the flags they use.
    void WriteDeviceMode(std::uint8_t deviceMode) {
        if (deviceMode == 0) {
            return;
        }
        std::vector<KeyboardWrite> writes{{1, 1, {deviceMode}}};
        auto recordByte = [&](std::size_t offset) {
            writes.push_back({static_cast<std::uint16_t>(offset), 1, {Record()[offset].load()}});
        };
        if (deviceMode == 6) {
            recordByte(kf::kStyle);
            recordByte(kf::kMulticolourA);
        } else {
            recordByte(kf::kMulticolourB);
        }
        ShowDeviceFailure(config::writeKeyboardConfig(Session(), writes));
    }

    // The picked colour goes to the keyboard (both of its colours, the
    // frame stream paused), then into the record.
    void TakeColour(std::uint32_t argb) {
        const Rgb c = rgbOf(argb);
        ShowDeviceFailure(config::writeKeyboardColour(Session(), config::Rgb{c.r, c.g, c.b}));
        KindPanel::SetColour(argb, true);
    }

    void ChooseStyle(bool six) {
        SetCheck(six ? "Deng_style_one_check" : "Deng_style_six_check", false, false);
        const std::uint8_t style = six ? 1 : 0;
        Store(kf::kStyle, style);
        const KeyboardWrite write[] = {{static_cast<std::uint16_t>(kf::kStyle), 1, {style}}};
        ShowDeviceFailure(config::writeKeyboardConfig(Session(), write));
        MarkChanged();
        // Kept in the profile as every other setting of the page is.
        SaveProfiles();
    }

    // ---- custom colours

    std::uint32_t CustomColour() const {
        const auto& custom = host_.Configs().keyboard.custom;
        return argbOf({custom.load(1), custom.load(2), custom.load(3)});
    }
    void SetCustomColour(std::uint32_t argb, bool showChannels = true) {
        auto& custom = host_.Configs().keyboard.custom;
        const Rgb c = rgbOf(argb);
        custom.store(1, c.r);
        custom.store(2, c.g);
        custom.store(3, c.b);
        if (auto* preview = Named(kCustomPreview)) {
            preview->SetBkColor(argb);
            preview->SetBkImage("");
        }
        SelectInPalette(argb);
        if (showChannels) {
            ShowChannels(argb);
        }
    }
    void ShowCustomColour() {
        const std::uint32_t colour = CustomColour();
        SelectInPalette(colour);
        SetCustomColour(colour);
    }
    std::size_t CustomSet() const {
        const std::uint8_t set = host_.Configs().keyboard.custom.load(0);
        return set < config::kKeyColourSets ? set : 0;
    }
    std::size_t SetStart() const { return CustomSet() * config::kKeyColourSetBytes; }

    void PaintKey(int pictureKey) {
        const unsigned variant = Variant();
        const std::uint8_t led = config::pictureToLed(static_cast<int>(variant))
                                     .at(static_cast<std::size_t>(pictureKey));
        if (led == config::kNoLed) {
            return;
        }
        auto& table = host_.Configs().keyboard.keyColours;
        if (variant == 1) {
            table.store(SetStart() + led, 255);
            return;
        }
        const auto& custom = host_.Configs().keyboard.custom;
        for (std::size_t i = 0; i < 3; ++i) {
            table.store(SetStart() + 3 * led + i, custom.load(1 + i));
        }
    }

    void FillUnpainted() {
        auto& table = host_.Configs().keyboard.keyColours;
        const auto& custom = host_.Configs().keyboard.custom;
        const std::size_t start = SetStart();
        const bool oneColour = Variant() == 1;
        for (std::size_t led = 0; led < config::kKeyboardLeds; ++led) {
            if (oneColour) {
                if (table.load(start + led) == 0) {
                    table.store(start + led, 255);
                }
                continue;
            }
            const std::size_t at = start + 3 * led;
            if (table.load(at) == 0 && table.load(at + 1) == 0 && table.load(at + 2) == 0) {
                for (std::size_t i = 0; i < 3; ++i) {
                    table.store(at + i, custom.load(1 + i));
                }
            }
        }
    }

    void ClearSet() {
        auto& table = host_.Configs().keyboard.keyColours;
        for (std::size_t i = 0; i < config::kKeyColourSetBytes; ++i) {
            table.store(SetStart() + i, 0);
        }
    }

    void SetShown(std::string_view name, bool shown) const {
        if (auto* control = Named(std::string(name))) {
            control->SetVisible(shown);
        }
    }
    void SetEnabled(std::string_view name, bool enabled) const {
        if (auto* control = Named(std::string(name))) {
            setEnabledWithChildren(*control, enabled);
        }
    }
};

} // namespace

std::unique_ptr<KindPanel> makeKeyboardPanel(LightingHost& host) {
    return std::make_unique<KeyboardPanel>(host);
}

} // namespace quellix::lighting::pages
