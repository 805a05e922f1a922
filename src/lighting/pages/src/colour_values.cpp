#include "quellix/lighting/pages/colour_values.h"

#include <charconv>

namespace quellix::lighting::pages {

ChannelText readChannelText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error == std::errc::result_out_of_range) {
        // More digits than any number holds: as far beyond 255 as it gets.
        n = text.starts_with('-') ? -1 : 256;
    } else if (error != std::errc()) {
        n = 0;
    }
    if (n > 255) {
        return {255, std::string("255")};
    }
    return {static_cast<std::uint8_t>(n & 0xFF), std::nullopt};
}

} // namespace quellix::lighting::pages
