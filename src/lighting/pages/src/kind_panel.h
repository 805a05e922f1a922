#pragma once
// One device kind's lighting page.  The pad's page is the model; the
// mouse's and the keyboard's differ in what their edits save, reset and
// write, and override those steps.  Everything runs on the UI thread.

#include "quellix/config/slot_layout.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/list.h"
#include "quellix/dui/notify.h"
#include "quellix/lighting/lighting_fields.h"
#include "quellix/lighting/pages/colour_values.h"
#include "quellix/lighting/pages/lighting_host.h"
#include "quellix/lighting/pages/mode_tables.h"

#include <memory>
#include <string>
#include <string_view>

namespace quellix::lighting::pages {

// Bytes of the lighting fields in a slot record.
namespace field = config::field;

// Slider positions are 0..4; the speed slider runs against `speed`.
inline constexpr int kSliderTop = 4;

class KindPanel {
public:
    KindPanel(device::DeviceKind kind, LightingHost& host);
    virtual ~KindPanel() = default;
    KindPanel(const KindPanel&) = delete;
    KindPanel& operator=(const KindPanel&) = delete;

    device::DeviceKind kind() const { return kind_; }
    // A notification for one of this page's controls; false when the page
    // has nothing to do with it.
    bool OnNotify(dui::TNotifyUI& msg);
    // From the record to the controls.
    virtual void Refresh() = 0;
    // Saves the kind's lighting into its current profiles (the mouse's
    // lighting and device profiles).
    virtual void SaveProfiles() = 0;

protected:
    // --- the steps the kinds share ---
    virtual void ModeChosen(ModeCombo combo, int mode) = 0;
    void SliderChanged(bool brightness, int value);
    // Whether a slider's move is saved (the mouse keeps it until its next
    // saved edit).
    virtual bool SlidersSave() const { return true; }
    // Shows `argb` in the preview and the channel edits; with `take` it
    // also becomes the record's colour.
    virtual void SetColour(std::uint32_t argb, bool take);
    virtual void PresetClicked(std::uint32_t argb);
    virtual void ChannelTyped(Channel channel, dui::CEditUI& edit);
    virtual void MulticolourChanged(bool on);
    virtual void DirectionChanged(bool left);
    // Controls only one kind has; true when handled.
    virtual bool OtherClick(const std::string&) { return false; }
    virtual bool OtherSelectChanged(const std::string&, dui::COptionUI&) { return false; }
    virtual bool OtherItemSelect(const std::string&, int) { return false; }

    // The channel edit's value (its text corrected when above 255).
    std::uint8_t ReadTypedChannel(dui::CEditUI& edit) const;
    // A typed channel becomes the preview's, the palette's and the record's.
    void TakeChannel(Channel channel, std::uint8_t value, bool notifyMulticolour);

    // --- helpers ---
    std::string Name(std::string_view suffix) const { return prefix_ + std::string(suffix); }
    dui::CControlUI* Control(std::string_view suffix) const;
    template <class T> T* ControlAs(std::string_view suffix) const {
        return dynamic_cast<T*>(Control(suffix));
    }
    dui::CControlUI* Named(const std::string& name) const { return host_.FindControl(name); }
    std::span<platform::SharedByte> Record() const;
    LightingFields Fields() const { return readLightingFields(Record()); }
    void Store(std::size_t byte, std::uint8_t value) const { Record()[byte].store(value); }
    void StoreColour(Rgb colour) const;
    void MarkChanged() const { host_.MarkChanged(kind_); }
    // Saves one profile file; a failure is shown with its reason.
    void SaveTo(Save what) const {
        host_.ShowFailure("message_save_failed", host_.SaveProfile(what));
    }
    // A device write the user caused; a failure is shown with its reason.
    void ShowDeviceFailure(const Result& result) const {
        host_.ShowFailure("message_device_failed", result);
    }
    void LeaveSync() const { host_.Session(kind_).syncActive = 0; }

    // Enables or disables the page's layouts and same-mode button.
    void ApplyLayouts(const LayoutRow& row) const;
    // Combo at `mode` (quiet), sliders, palette, colour display, checks.
    void SelectMode(ModeCombo combo, int mode) const;
    void ShowSliders(const LightingFields& fields) const;
    void ShowRecordColour(const LightingFields& fields);
    void ShowChecks(const LightingFields& fields) const;
    // The preview's colour and the channel edits.
    void ShowColour(std::uint32_t argb) const;
    // The R, G and B edits show the colour's channels.
    void ShowChannels(std::uint32_t argb) const;
    std::uint32_t PreviewColour() const;
    void SelectInPalette(std::uint32_t argb) const;
    void SetCheck(std::string_view suffix, bool on, bool notify) const;

    device::DeviceKind kind_;
    LightingHost& host_;
    std::string prefix_;
};

// The kind's slot record (its first bytes are the lighting fields).
std::span<platform::SharedByte> recordOf(LightingHost& host, device::DeviceKind kind);

// Enables or disables a control and everything it holds.
void setEnabledWithChildren(dui::CControlUI& control, bool enabled);

std::unique_ptr<KindPanel> makePadPanel(LightingHost& host);
std::unique_ptr<KindPanel> makeMousePanel(LightingHost& host);
std::unique_ptr<KindPanel> makeKeyboardPanel(LightingHost& host);

} // namespace quellix::lighting::pages
