// The pad's page, and the mouse's with its differences: three mode combos,
// sliders that save nothing, two profiles to save and a travelling light
// that follows the direction.

#include "kind_panel.h"

#include "quellix/dui/container.h"
#include "quellix/lighting/seeds.h"

namespace quellix::lighting::pages {

namespace {

std::uint8_t modeByte(int mode) {
    return static_cast<std::uint8_t>(mode);
}

class PadPanel final : public KindPanel {
public:
    explicit PadPanel(LightingHost& host) : KindPanel(device::DeviceKind::MousePad, host) {}

    void Refresh() override {
        const LightingFields fields = Fields();
        SelectMode(ModeCombo::Pad, fields.mode);
        if (const auto row = layoutRow(ModeCombo::Pad, fields.mode, Apply::Refresh)) {
            ApplyLayouts(*row);
        }
        refreshPadMode(host_.Engine().pad, fields.mode);
        ShowSliders(fields);
        ShowRecordColour(fields);
        ShowChecks(fields);
    }

protected:
    void ModeChosen(ModeCombo combo, int mode) override {
        if (mode < 0) {
            return;
        }
        changePadMode(host_.Engine().pad, modeByte(mode));
        LeaveSync();
        if (const auto row = layoutRow(combo, mode, Apply::Change)) {
            ApplyLayouts(*row);
        }
        Store(field::kMode, modeByte(mode));
        MarkChanged();
        SaveProfiles();
    }

    void SaveProfiles() override { SaveTo(Save::PadLighting); }
};

class MousePanel final : public KindPanel {
public:
    explicit MousePanel(LightingHost& host) : KindPanel(device::DeviceKind::Mouse, host) {}

    void Refresh() override {
        if (auto* modes = dynamic_cast<dui::CTabLayoutUI*>(Named("ms_deng_mode_switch"))) {
            modes->SelectItem(2);
        }
        const LightingFields fields = Fields();
        SelectMode(ModeCombo::Mouse2, fields.mode);
        // The refresh runs the mode change for the shown mode (and so saves
        // both profiles).
        ChangeMode(ModeCombo::Mouse2, fields.mode);
        ShowSliders(fields);
        ShowRecordColour(fields);
        ShowChecks(fields);
    }

protected:
    void ModeChosen(ModeCombo combo, int mode) override {
        if (mode >= 0) {
            ChangeMode(combo, mode);
        }
    }

    bool SlidersSave() const override { return false; }

    void SetColour(std::uint32_t argb, bool take) override {
        if (take) {
            SetCheck("Deng_7color_check", false, true);
        }
        KindPanel::SetColour(argb, take);
    }

    void DirectionChanged(bool left) override {
        Store(field::kDirection, left ? 1 : 0);
        SetCheck(left ? "Deng_FXR_check" : "Deng_FXL_check", false, false);
        MouseLighting& mouse = host_.Engine().mouse;
        resetMouseAnimation(mouse);
        placeMouseTravellingLight(mouse, left ? 1 : 0);
        MarkChanged();
        if (left) {
            SaveProfiles();
        } else {
            SaveTo(Save::MouseLighting);
        }
    }

    bool OtherClick(const std::string& name) override {
        // The arrow buttons turn the effect the other way round from the
        // checks of the same side.
        if (name != "ms_Deng_FXL_btn" && name != "ms_Deng_FXR_btn") {
            return false;
        }
        Store(field::kDirection, name == "ms_Deng_FXL_btn" ? 0 : 1);
        MarkChanged();
        SaveTo(Save::MouseLighting);
        return true;
    }

    void SaveProfiles() override {
        SaveTo(Save::MouseLighting);
        SaveTo(Save::MouseDevice);
    }

private:
    void ChangeMode(ModeCombo combo, int mode) {
        changeMouseMode(host_.Engine().mouse, modeByte(mode), Fields().direction);
        LeaveSync();
        if (const auto row = layoutRow(combo, mode, Apply::Change)) {
            ApplyLayouts(*row);
        }
        const LayoutVisibility shown = mouseVisibility(combo, mode);
        if (auto* fx = Control("deng_fx_layout"); fx != nullptr && shown.fx) {
            fx->SetVisible(*shown.fx);
        }
        if (auto* speed = Control("deng_speed_layout"); speed != nullptr && shown.speed) {
            speed->SetVisible(*shown.speed);
        }
        Store(field::kMode, modeByte(mode));
        MarkChanged();
        SaveProfiles();
    }
};

} // namespace

std::unique_ptr<KindPanel> makePadPanel(LightingHost& host) {
    return std::make_unique<PadPanel>(host);
}

std::unique_ptr<KindPanel> makeMousePanel(LightingHost& host) {
    return std::make_unique<MousePanel>(host);
}

} // namespace quellix::lighting::pages
