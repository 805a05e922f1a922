#include "quellix/app/lighting_previews.h"

#include "quellix/ui/custom_controls.h"

namespace quellix::app {

void showCellOnPreview(dui::CControlUI* button, lighting::Cell cell, bool active) {
    auto* key = dynamic_cast<ui::CDeviceKeyButtonUI*>(button);
    if (key == nullptr) {
        return;
    }
    key->SetLightOn(active);
    key->SetLightColor(previewColour(cell.colour));
    key->SetLightLevel(cell.level);
}

bool shownWithItsContainers(const dui::CControlUI* control) {
    if (control == nullptr) {
        return false;
    }
    for (const dui::CControlUI* c = control; c != nullptr; c = c->GetParent()) {
        if (!c->IsVisible()) {
            return false;
        }
    }
    return true;
}

const char* previewLayoutName(device::DeviceKind kind) {
    constexpr const char* kLayouts[] = {"kb_lights_layout", "ms_lights_layout", "mp_lights_layout"};
    return kLayouts[device::kindIndex(kind)];
}

} // namespace quellix::app
