#pragma once
// The colour arithmetic of the lighting pages: ARGB colours as the
// controls hold them, the record's channels, and the rule for what a
// channel edit's text means.

#include "quellix/lighting/colour.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellix::lighting::pages {

// 0xFF000000 | red << 16 | green << 8 | blue.
constexpr std::uint32_t argbOf(Rgb c) {
    return 0xFF000000u | std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
}
constexpr Rgb rgbOf(std::uint32_t argb) {
    return {std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb)};
}

enum class Channel : std::uint8_t { Red, Green, Blue };
constexpr std::uint8_t channelOf(std::uint32_t argb, Channel channel) {
    return std::uint8_t(argb >> (16 - 8 * int(channel)));
}
// `argb` with one channel replaced and alpha 0xFF.
constexpr std::uint32_t withChannel(std::uint32_t argb, Channel channel, std::uint8_t value) {
    const int shift = 16 - 8 * int(channel);
    return 0xFF000000u | (argb & ~(0xFFu << shift) & 0xFFFFFFu) | std::uint32_t(value) << shift;
}

// What a channel edit's text stands for.
struct ChannelText {
    std::uint8_t value = 0;
    // The text the edit must show instead of what was typed (a value above
    // 255 shows "255").
    std::optional<std::string> corrected;
};
// The text read as a decimal number: no number reads as 0, above 255 is
// 255, a negative number keeps its low 8 bits.
ChannelText readChannelText(std::string_view text);

} // namespace quellix::lighting::pages
