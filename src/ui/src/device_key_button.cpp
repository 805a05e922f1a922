#include <algorithm>
#include <charconv>

#include "quellix/ui/custom_controls.h"

namespace quellix::ui {

namespace {

std::uint32_t parseHexColour(std::string_view text) {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        throw dui::ParseError("not a hexadecimal colour: '" + std::string(text) + "'");
    }
    return value;
}

Rect intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

} // namespace

void CDeviceKeyButtonUI::SetAttribute(const dui::CDuiString& name, const dui::CDuiString& value) {
    if (dui::EqualsNoCase(name, "lightimage")) {
        lightImage_ = value;
        Invalidate();
    } else if (dui::EqualsNoCase(name, "keysetimage")) {
        keySetImage_ = value;
        Invalidate();
    } else if (dui::EqualsNoCase(name, "gmnametextcolor")) {
        nameTextColour_ = parseHexColour(value);
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

void CDeviceKeyButtonUI::SetLightOn(bool on) {
    if (lightOn_ != on) {
        lightOn_ = on;
        Invalidate();
    }
}

void CDeviceKeyButtonUI::SetLightColor(std::uint32_t rgb) {
    rgb &= 0x00FFFFFF;
    if (lightColour_ != rgb) {
        lightColour_ = rgb;
        Invalidate();
    }
}

void CDeviceKeyButtonUI::SetLightLevel(int level) {
    level = std::clamp(level, 0, 255);
    if (lightLevel_ != level) {
        lightLevel_ = level;
        Invalidate();
    }
}

void CDeviceKeyButtonUI::SetKeySetHidden(bool hidden) {
    if (keySetHidden_ != hidden) {
        keySetHidden_ = hidden;
        Invalidate();
    }
}

void CDeviceKeyButtonUI::paint(ICanvas& canvas, const Rect& paintRect) {
    const Rect rect = toRect(GetPos());
    const Rect clip = intersection(rect, paintRect);
    if (lightOn_ && !lightImage_.empty()) {
        canvas.drawImage(lightImage_, rect, clip,
                         {.enabled = true, .colour = lightColour_, .level = lightLevel_});
    }
    if (!keySetHidden_ && !keySetImage_.empty()) {
        canvas.drawImage(keySetImage_, rect, clip, {});
    }
}

} // namespace quellix::ui
