#include "arguments.h"

#include <array>
#include <charconv>
#include <utility>

namespace quellix::tools {

std::optional<device::DeviceKind> parseKind(std::string_view text) {
    if (const auto kind = device::kindFromWord(text)) {
        return kind;
    }
    return device::kindFromPrefix(text);
}

std::optional<std::uint32_t> parseNumber(std::string_view text, std::uint32_t max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

} // namespace quellix::tools
