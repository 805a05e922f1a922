#pragma once
// The lighting pages of the three devices as one feature page: the main
// window routes their notifications here, and the device pages and the
// profile loads ask it for refreshes.  Same mode, which carries one page's
// effect to the other devices, lives here too.

#include "quellix/lighting/pages/lighting_host.h"
#include "quellix/ui/feature_page.h"

#include <array>
#include <memory>

namespace quellix::lighting::pages {

class KindPanel;

class LightingPage final : public ui::FeaturePage {
public:
    explicit LightingPage(LightingHost& host);
    ~LightingPage() override;

    void OnNotify(dui::TNotifyUI& msg) override;
    void Refresh(device::DeviceKind kind) override;

    // Copies `source`'s effect to the other two devices and lets the
    // synchronised worker drive all three.
    void SameMode(device::DeviceKind source);

private:
    LightingHost& host_;
    // Keyboard, mouse, mouse pad (the kinds' index order).
    std::array<std::unique_ptr<KindPanel>, 3> panels_;
};

} // namespace quellix::lighting::pages
