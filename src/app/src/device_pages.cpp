#include "quellix/app/device_pages.h"

#include "quellix/app/device_link.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/list.h"
#include "quellix/platform/debug.h"
#include "quellix/profiles/families.h"
#include "quellix/ui/failure_message.h"
#include "quellix/ui/pallet_dialog.h"

#include <charconv>
#include <string>

namespace quellix::app {

using device::DeviceKind;

namespace {

// Stage labels: the active stage in red, the others in white.
constexpr dui::DWORD kActiveStageColour = 0xFFFF0000;
constexpr dui::DWORD kStageColour = 0xFFFFFFFF;
constexpr int kStageLabels = 6;

std::string numbered(const char* prefix, int i, const char* suffix) {
    return prefix + std::to_string(i) + suffix;
}

// The number after the last underscore of a control name, or -1.
int trailingNumber(const std::string& name) {
    const auto at = name.rfind('_');
    int n = -1;
    if (at == std::string::npos ||
        std::from_chars(name.data() + at + 1, name.data() + name.size(), n).ec != std::errc()) {
        return -1;
    }
    return n;
}

// The leading decimal number of a text; 0 when it has none.
int leadingNumber(const std::string& text) {
    int n = 0;
    const char* first = text.data();
    while (first != text.data() + text.size() && *first == ' ') {
        ++first;
    }
    std::from_chars(first, text.data() + text.size(), n);
    return n;
}

config::Rgb rgbOf(dui::DWORD argb) {
    return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
            static_cast<std::uint8_t>(argb)};
}

// "ms_DPI3_slider" -> 3; -1 for any other name.
int dpiSliderStage(const std::string& name) {
    if (name.size() == 14 && name.starts_with("ms_DPI") && name.ends_with("_slider")) {
        const int stage = name[6] - '0';
        return stage >= 1 && stage <= static_cast<int>(config::kDpiStages) ? stage : -1;
    }
    return -1;
}

constexpr const char* kDeviceFailed = "message_device_failed";
constexpr const char* kSaveFailed = "message_save_failed";

// The failure of a step the user asked for, shown with its reason.
void showFailure(CMainWnd& window, const char* whatKey, const Result& result) {
    ui::ShowFailure(window.GetHWND(), whatKey, result);
}

} // namespace

// ---------------------------------------------------------------- pad

PadDevicePage::PadDevicePage(CMainWnd& window, ConfigCalls& calls, platform::Clock& clock)
    : window_(window), calls_(calls), clock_(clock) {}

void PadDevicePage::OnNotify(dui::TNotifyUI& msg) {
    if (msg.pSender == nullptr) {
        return;
    }
    const std::string& name = msg.pSender->GetName();
    if (msg.sType == dui::DUI_MSGTYPE_CLICK && name == "mp_one_profile_default") {
        Reset();
    } else if (msg.sType == dui::DUI_MSGTYPE_ITEMSELECT && name == "mp_deng_combo_profile") {
        if (auto* combo = dynamic_cast<dui::CComboUI*>(msg.pSender)) {
            SelectSlot(combo->GetCurSel());
        }
    }
}

bool PadDevicePage::OnMessage(dui::UINT msg, dui::WPARAM, dui::LPARAM) {
    switch (msg) {
    case kMsgPadImageChanged:
        calls_.readPadImage(calls_.session(DeviceKind::MousePad));
        Refresh(device::DeviceKind::MousePad);
        return true;
    case kMsgPadResync: {
        // The pad's own notice: nobody is waiting, so failures are logged.
        FirstFailure failure;
        failure.note(
            config::resyncPadRecord(calls_.configs().pad, calls_.session(DeviceKind::MousePad)));
        failure.note(calls_.savePadLighting());
        notices_.note(failure.result());
        Refresh(device::DeviceKind::MousePad);
        return true;
    }
    default:
        return false;
    }
}

void PadDevicePage::Refresh(device::DeviceKind kind) {
    window_.Page(ui::Feature::Lighting).Refresh(kind);
}

void PadDevicePage::SelectSlot(int n) {
    const auto change =
        config::selectPadSlot(calls_.configs().pad, calls_.session(DeviceKind::MousePad), n);
    showFailure(window_, kDeviceFailed, change.result);
    if (change.selection == config::SlotSelection::Switched) {
        Refresh(device::DeviceKind::MousePad);
    }
}

void PadDevicePage::Reset() {
    const Result reset = config::resetPadDevice(calls_.session(DeviceKind::MousePad), clock_);
    showFailure(window_, kDeviceFailed, reset);
    window_.SendMessage(kMsgPadImageChanged, 0, 0);
}

// ---------------------------------------------------------------- mouse

MouseDevicePage::MouseDevicePage(CMainWnd& window, ConfigCalls& calls,
                                 platform::DesktopSettings& desktop)
    : window_(window), calls_(calls), desktop_(desktop) {}

void MouseDevicePage::OnNotify(dui::TNotifyUI& msg) {
    if (msg.pSender == nullptr) {
        return;
    }
    const std::string& name = msg.pSender->GetName();
    if (msg.sType == dui::DUI_MSGTYPE_CLICK) {
        if (name.starts_with("ms_profile_")) {
            SelectSlot(trailingNumber(name));
        } else if (name == "ms_one_profile_default") {
            Reset();
        } else if (name.starts_with("ms_DPIcolor_btn_")) {
            const int stage = trailingNumber(name);
            if (stage >= 1 && stage <= static_cast<int>(config::kDpiStages)) {
                PickDpiColour(stage, *msg.pSender);
            }
        } else if (name == "ms_gunlun_speed_up_btn") {
            WheelSpeedStep(+1);
        } else if (name == "ms_gunlun_speed_down_btn") {
            WheelSpeedStep(-1);
        }
    } else if (name == "ms_point_speed_slider") {
        if (msg.sType == dui::DUI_MSGTYPE_VALUECHANGED) {
            if (auto* slider = dynamic_cast<dui::CSliderUI*>(msg.pSender)) {
                PointerSpeedChanged(slider->GetValue());
            }
        }
    } else if (name == "ms_gunlun_speed_edit") {
        if (msg.sType == dui::DUI_MSGTYPE_TEXTCHANGED) {
            WheelSpeedTyped();
        } else if (msg.sType == dui::DUI_MSGTYPE_KILLFOCUS) {
            WheelSpeedLeft();
        }
    } else if (const int stage = dpiSliderStage(name); stage > 0) {
        if (auto* slider = dynamic_cast<dui::CSliderUI*>(msg.pSender)) {
            if (msg.sType == dui::DUI_MSGTYPE_VALUECHANGED) {
                DpiReleased(stage, slider->GetValue());
            } else if (msg.sType == dui::DUI_MSGTYPE_MOVEVALUECHANGED) {
                DpiMoved(stage, slider->GetValue());
            }
        }
    } else if (msg.sType == dui::DUI_MSGTYPE_ITEMSELECT && name == "ms_report_fct_combo") {
        if (auto* combo = dynamic_cast<dui::CComboUI*>(msg.pSender)) {
            ReportRateChosen(combo->GetCurSel());
        }
    }
}

bool MouseDevicePage::OnMessage(dui::UINT msg, dui::WPARAM, dui::LPARAM) {
    switch (msg) {
    case kMsgMouseImageChanged:
        calls_.readMouseImage(calls_.session(DeviceKind::Mouse));
        Refresh(device::DeviceKind::Mouse);
        return true;
    case kMsgMouseSlotChanged: {
        // The mouse's own notice: nobody is waiting, so failures are logged.
        FirstFailure failure;
        failure.note(
            config::reloadMouseSlot(calls_.configs().mouse, calls_.session(DeviceKind::Mouse)));
        failure.note(calls_.saveMouseDevice());
        notices_.note(failure.result());
        Refresh(device::DeviceKind::Mouse);
        return true;
    }
    default:
        return false;
    }
}

void MouseDevicePage::Refresh(device::DeviceKind kind) {
    if (kind == device::DeviceKind::Mouse) {
        RefreshDevice();
    }
    window_.Page(ui::Feature::Lighting).Refresh(kind);
}

void MouseDevicePage::Report(const char* whatKey, const Result& result) {
    if (window_.Refreshing()) {
        // A control the refresh set raised the edit's notification: nobody
        // asked for it, so its failure is logged, not put in front of the user.
        notices_.note(result);
    } else {
        showFailure(window_, whatKey, result);
    }
}

void MouseDevicePage::ReportEdit(const Result& device, const Result& saved) {
    Report(device ? kSaveFailed : kDeviceFailed, device ? saved : device);
}

void MouseDevicePage::RefreshDevice() {
    window_.BeginRefresh();
    RefreshControls();
}

void MouseDevicePage::RefreshControls() {
    auto& mouse = calls_.configs().mouse;
    config::MouseSlotSettings settings;
    device::DeviceInfoBlock info;
    {
        std::lock_guard hold(calls_.session(DeviceKind::Mouse).lock);
        settings = config::decodeMouseRecord(mouse.record);
        info = mouse.info;
    }
    if (auto* combo = window_.FindControl<dui::CComboUI>("ms_report_fct_combo")) {
        combo->SelectItem(settings.reportRate, false);
    }
    if (const auto range = config::knownSensor(config::sensorId(info))) {
        for (int i = 1; i <= kStageLabels; ++i) {
            if (auto* label = window_.FindControl(numbered("ms_DPI", i, "_min"))) {
                label->SetText(std::string(range->minimum));
            }
            if (auto* label = window_.FindControl(numbered("ms_DPI", i, "_max"))) {
                label->SetText(std::string(i == 1 ? range->firstMax : range->otherMax));
            }
        }
    }
    const std::uint16_t base = config::dpiBase(info);
    for (int i = 1; i <= static_cast<int>(config::kDpiStages); ++i) {
        const int level = settings.dpiLevels[static_cast<std::size_t>(i - 1)];
        if (auto* slider = window_.FindControl<dui::CSliderUI>(numbered("ms_DPI", i, "_slider"))) {
            slider->SetMinValue(0);
            slider->SetMaxValue(config::maxDpiPosition(info));
            slider->SetValue(level);
        }
        if (auto* label = window_.FindControl(numbered("ms_DPI", i, "_label_value"))) {
            label->SetText(std::to_string(config::dpiValue(base, level)));
        }
        const config::Rgb c = settings.dpiColours[static_cast<std::size_t>(i - 1)];
        if (auto* button = window_.FindControl(numbered("ms_DPIcolor_btn_", i, ""))) {
            button->SetBkColor(0xFF000000u | dui::DWORD(c.red) << 16 | dui::DWORD(c.green) << 8 |
                               c.blue);
        }
    }
    // A stage beyond the six colours stage 1 and leaves stages 5 and 6 alone.
    const int active = settings.dpiStage <= 5 ? settings.dpiStage + 1 : 1;
    const int last = settings.dpiStage <= 5 ? kStageLabels : 4;
    for (int k = 1; k <= last; ++k) {
        const dui::DWORD colour = k == active ? kActiveStageColour : kStageColour;
        for (const char* suffix : {"_label_rank", "_label_value"}) {
            if (auto* label = window_.FindControl<dui::CLabelUI>(numbered("ms_DPI", k, suffix))) {
                label->SetTextColor(colour);
            }
        }
    }
    if (auto* slider = window_.FindControl<dui::CSliderUI>("ms_point_speed_slider")) {
        slider->SetValue(mouse.pointerSpeed.load() / 2 - 1);
    }
    if (auto* edit = window_.FindControl("ms_gunlun_speed_edit")) {
        edit->SetText(std::to_string(mouse.wheelSpeed.load()));
        if (!desktop_.supportsWheelLines()) {
            edit->SetToolTip(kWheelUnsupportedTip);
        }
    }
}

void MouseDevicePage::PickDpiColour(int stage, dui::CControlUI& button) {
    const auto choice = ui::CPalletDialog::PickColour(window_.GetHWND(), button.GetBkColor());
    if (choice.result != ui::CPalletDialog::kResultOk) {
        return;
    }
    button.SetBkColor(choice.colour);
    {
        std::lock_guard hold(calls_.session(DeviceKind::Mouse).lock);
        config::setDpiColour(calls_.configs().mouse, stage, rgbOf(choice.colour));
    }
    window_.MarkLightingChanged(DeviceKind::Mouse);
    Report(kSaveFailed, calls_.saveMouseDevice());
}

void MouseDevicePage::PointerSpeedChanged(int value) {
    const int v = std::max(value, 0);
    calls_.configs().mouse.pointerSpeed.store(static_cast<std::uint8_t>((v + 1) * 2));
    SaveSpeeds();
}

void MouseDevicePage::SaveSpeeds() {
    FirstFailure failure;
    failure.note(calls_.saveMouseDevice());
    failure.note(calls_.saveMouseLighting());
    Report(kSaveFailed, failure.result());
}

void MouseDevicePage::WheelSpeedStep(int delta) {
    auto* edit = window_.FindControl("ms_gunlun_speed_edit");
    if (edit == nullptr) {
        return;
    }
    int v = leadingNumber(edit->GetText());
    if (delta > 0) {
        v = std::min(std::max(v, kMinWheelSpeed) + 1, kMaxWheelSpeed);
    } else {
        v = std::min(v, kMaxWheelSpeed);
        v = v >= 2 ? v - 1 : kMinWheelSpeed;
    }
    edit->SetText(std::to_string(v));
    ApplyWheelSpeed(v);
    SaveSpeeds();
}

void MouseDevicePage::WheelSpeedTyped() {
    auto* edit = window_.FindControl("ms_gunlun_speed_edit");
    if (edit == nullptr) {
        return;
    }
    const int typed = leadingNumber(edit->GetText());
    const int v = std::clamp(typed, kMinWheelSpeed, kMaxWheelSpeed);
    if (v != typed) {
        edit->SetText(std::to_string(v));
    }
    ApplyWheelSpeed(v);
}

void MouseDevicePage::WheelSpeedLeft() {
    auto* edit = window_.FindControl("ms_gunlun_speed_edit");
    if (edit == nullptr) {
        return;
    }
    // The edit's text was already brought into 1..100 while it was typed.
    const int v = std::clamp(leadingNumber(edit->GetText()), kMinWheelSpeed, kMaxWheelSpeed);
    ApplyWheelSpeed(v);
    Report(kSaveFailed, calls_.saveMouseDevice());
}

void MouseDevicePage::ApplyWheelSpeed(int lines) {
    calls_.configs().mouse.wheelSpeed.store(static_cast<std::uint8_t>(lines));
    if (!desktop_.setWheelLines(lines)) {
        platform::debugOutputf("wheel speed %d kept with the profiles; the desktop has no "
                               "wheel-lines setting",
                               lines);
    }
}

void MouseDevicePage::Reset() {
    if (auto* slider = window_.FindControl<dui::CSliderUI>("ms_point_speed_slider")) {
        slider->SetValue(kResetPointerSlider);
    }
    desktop_.setPointerSpeed(kResetPointerSpeed);
    if (auto* edit = window_.FindControl("ms_gunlun_speed_edit")) {
        edit->SetText(std::to_string(kResetWheelLines));
    }
    desktop_.setWheelLines(kResetWheelLines);
    Report(kDeviceFailed, config::resetMouseDevice(calls_.session(DeviceKind::Mouse)));
}

void MouseDevicePage::SelectSlot(int n) {
    const auto change =
        config::selectMouseSlot(calls_.configs().mouse, calls_.session(DeviceKind::Mouse), n);
    Report(kDeviceFailed, change.result);
    if (change.selection == config::SlotSelection::Switched) {
        if (auto* tab = window_.FindControl("ms_tab_function")) {
            tab->SetVisible(false);
        }
        Refresh(device::DeviceKind::Mouse);
    }
}

void MouseDevicePage::DpiMoved(int stage, int value) {
    std::uint16_t base = 0;
    {
        // The detection worker may be reading the information block.
        std::lock_guard hold(calls_.session(DeviceKind::Mouse).lock);
        base = config::dpiBase(calls_.configs().mouse.info);
    }
    if (auto* label = window_.FindControl(numbered("ms_DPI", stage, "_label_value"))) {
        label->SetText(std::to_string(config::dpiValue(base, value)));
    }
}

void MouseDevicePage::DpiReleased(int stage, int value) {
    DpiMoved(stage, value);
    const Result written =
        config::writeDpiLevel(calls_.configs().mouse, calls_.session(DeviceKind::Mouse), stage,
                              static_cast<std::uint8_t>(value));
    window_.MarkLightingChanged(DeviceKind::Mouse);
    FirstFailure saved;
    saved.note(calls_.saveMouseDevice());
    saved.note(calls_.saveMouseLighting());
    ReportEdit(written, saved.result());
}

void MouseDevicePage::ReportRateChosen(int rate) {
    if (rate < 0) {
        return;
    }
    const Result written = config::writeReportRate(
        calls_.configs().mouse, calls_.session(DeviceKind::Mouse), static_cast<std::uint8_t>(rate));
    window_.MarkLightingChanged(DeviceKind::Mouse);
    ReportEdit(written, calls_.saveMouseLighting());
}

// ---------------------------------------------------------------- keyboard

KeyboardDevicePage::KeyboardDevicePage(CMainWnd& window, ConfigCalls& calls,
                                       std::filesystem::path defaultsDir)
    : window_(window), calls_(calls), defaultsDir_(std::move(defaultsDir)) {}

void KeyboardDevicePage::OnNotify(dui::TNotifyUI&) {}

bool KeyboardDevicePage::OnMessage(dui::UINT msg, dui::WPARAM, dui::LPARAM) {
    auto& session = calls_.session(DeviceKind::Keyboard);
    switch (msg) {
    case kMsgKeyboardImageChanged:
        calls_.readKeyboardImage(session);
        Refresh(device::DeviceKind::Keyboard);
        return true;
    case kMsgKeyboardSlotChanged: {
        // The keyboard's own notice: nobody is waiting, so failures are logged.
        FirstFailure failure;
        failure.note(config::reloadKeyboardSlot(calls_.configs().keyboard, session));
        failure.note(calls_.saveKeyboardLighting());
        notices_.note(failure.result());
        Refresh(device::DeviceKind::Keyboard);
        return true;
    }
    case kMsgKeyboardDefaultKeys: {
        auto& keyboard = calls_.configs().keyboard;
        Result result = config::readKeyboardDefaultKeys(keyboard, session);
        if (result) {
            device::KeyBlock keys;
            {
                std::lock_guard hold(session.lock);
                keys = keyboard.defaultKeys;
            }
            const int variant = keyboard.variant.load();
            result = profiles::writeProfileFile(
                defaultsDir_ / std::string(config::defaultKeyProfileFile(variant)),
                profiles::ProfileKind::Keyboard, keys);
        }
        defaultKeys_.note(result);
        return true;
    }
    default:
        return false;
    }
}

void KeyboardDevicePage::Refresh(device::DeviceKind kind) {
    window_.Page(ui::Feature::Lighting).Refresh(kind);
}

void InstallDevicePages(CMainWnd& window, ConfigCalls& calls, platform::Clock& clock,
                        platform::DesktopSettings& desktop,
                        const std::filesystem::path& defaultsDir) {
    window.SetPage(ui::Feature::PadDevice, std::make_unique<PadDevicePage>(window, calls, clock));
    window.SetPage(ui::Feature::MouseDevice,
                   std::make_unique<MouseDevicePage>(window, calls, desktop));
    window.SetPage(ui::Feature::KeyboardDevice,
                   std::make_unique<KeyboardDevicePage>(window, calls, defaultsDir));
}

} // namespace quellix::app
