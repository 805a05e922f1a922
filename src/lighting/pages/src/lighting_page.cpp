#include "quellix/lighting/pages/lighting_page.h"

#include "kind_panel.h"

namespace quellix::lighting::pages {

namespace {

constexpr std::string_view kSameModeButton = "_deng_same_mode";

} // namespace

LightingPage::LightingPage(LightingHost& host)
    : host_(host), panels_{makeKeyboardPanel(host), makeMousePanel(host), makePadPanel(host)} {}

LightingPage::~LightingPage() = default;

void LightingPage::OnNotify(dui::TNotifyUI& msg) {
    if (msg.pSender == nullptr) {
        return;
    }
    const std::string& name = msg.pSender->GetName();
    for (const auto& panel : panels_) {
        const std::string_view prefix = device::kindPrefix(panel->kind());
        if (msg.sType == dui::DUI_MSGTYPE_CLICK && name.starts_with(prefix) &&
            std::string_view(name).substr(prefix.size()) == kSameModeButton) {
            SameMode(panel->kind());
            return;
        }
        if (panel->OnNotify(msg)) {
            return;
        }
    }
}

void LightingPage::Refresh(device::DeviceKind kind) {
    if (device::kindIndex(kind) < panels_.size()) {
        panels_[device::kindIndex(kind)]->Refresh();
    }
}

void LightingPage::SameMode(device::DeviceKind source) {
    // Bytes 1..8 of the lighting fields: mode .. blue.
    const std::span<platform::SharedByte> from = recordOf(host_, source);
    const std::span<platform::SharedByte> sync = host_.SyncRecord();
    for (std::size_t i = 0; i < kSyncRecordBytes && i < sync.size(); ++i) {
        sync[i].store(from[1 + i].load());
    }
    for (device::DeviceKind kind : device::kAllDeviceKinds) {
        if (kind == source) {
            continue;
        }
        const std::span<platform::SharedByte> to = recordOf(host_, kind);
        for (std::size_t i = 1; i <= kSyncRecordBytes; ++i) {
            to[i].store(from[i].load());
        }
    }
    for (const auto& panel : panels_) {
        if (panel->kind() != source) {
            panel->Refresh();
            panel->SaveProfiles();
        }
    }
    // Edits made before this moment are in the synchronised effect: marks
    // the timer has not seen yet must not end it at its next tick.
    for (device::DeviceKind kind : device::kAllDeviceKinds) {
        host_.ForgetChanged(kind);
        host_.Session(kind).syncActive = 1;
    }
    host_.SyncActivated();
}

} // namespace quellix::lighting::pages
