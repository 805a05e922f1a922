#include "quellix/ui/colour_presets.h"

#include <array>
#include <charconv>

namespace quellix::ui {

namespace {

constexpr std::array<std::uint32_t, kPresetColourCount> kPresets = {
    0xFFFF0000, 0xFF00F6FF, 0xFF6CFF00, 0xFF7E00FF, 0xFF008AFF, 0xFF2400FF, 0xFFADFE00, 0xFFFE5400,
    0xFFFE8300, 0xFF8300E7, 0xFFB700AC, 0xFFFEB300, 0xFFFEF500, 0xFFFF0000, 0xFFFF00F6, 0xFF21B309,
    0xFF48B1FA, 0xFFFA48A4, 0xFFFDFDFC, 0xFF4900E7, 0xFFFFC480, 0xFF000000, 0xFF1B48A3, 0xFF1B1A77,
    0xFF4877A3, 0xFF76A348, 0xFFACD55B, 0xFF7576D2, 0xFF7675FF, 0xFF4776A4,
};

} // namespace

std::optional<std::uint32_t> presetColour(int n) {
    if (n < 0 || n >= kPresetColourCount) {
        return std::nullopt;
    }
    return kPresets[std::size_t(n)];
}

std::optional<int> numberAfterPrefix(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(prefix.size());
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size() || digits[0] == '-' ||
        digits[0] == '+') {
        return std::nullopt;
    }
    return value;
}

} // namespace quellix::ui
