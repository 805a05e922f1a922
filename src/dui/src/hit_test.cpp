#include "quellix/dui/hit_test.h"

#include <cstdint>

#include "quellix/dui/controls.h"
#include "quellix/dui/paint_manager.h"

namespace quellix::dui {

LPARAM PointToParam(POINT point) {
    const auto x = std::uint16_t(std::int16_t(point.x));
    const auto y = std::uint16_t(std::int16_t(point.y));
    return LPARAM(std::uint32_t(x) | (std::uint32_t(y) << 16));
}

POINT PointFromParam(LPARAM param) {
    const auto bits = std::uint32_t(param);
    return {std::int16_t(bits & 0xFFFF), std::int16_t(bits >> 16)};
}

bool IsCaptionPoint(const CPaintManagerUI& manager, POINT client) {
    const RECT caption = manager.GetCaptionRect();
    const int width = manager.GetClientSize().cx;
    const bool inBand = client.x >= caption.left && client.x < width - caption.right &&
                        client.y >= caption.top && client.y < caption.bottom;
    if (!inBand) {
        return false;
    }
    CControlUI* control = manager.FindControl(client);
    if (control == nullptr) {
        return true;
    }
    const bool pressable =
        dynamic_cast<CButtonUI*>(control) != nullptr || dynamic_cast<CTextUI*>(control) != nullptr;
    return !pressable;
}

} // namespace quellix::dui
