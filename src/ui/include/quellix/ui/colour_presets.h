#pragma once
// The 30 preset colours offered by the preset buttons of the lighting pages
// and the colour palette dialog, indexed by the number in the button's name.

#include <cstdint>
#include <optional>
#include <string_view>

namespace quellix::ui {

inline constexpr int kPresetColourCount = 30;

// The preset colour n (ARGB), or nothing for a number outside 0..29.
std::optional<std::uint32_t> presetColour(int n);

// The number after the last "_" of a control name when the name starts with
// `prefix` and ends in decimal digits only ("ms_dpi_color_png_3" -> 3).
std::optional<int> numberAfterPrefix(std::string_view name, std::string_view prefix);

} // namespace quellix::ui
