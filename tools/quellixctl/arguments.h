#pragma once
// Parsing of the values commands take on the command line.

#include "quellix/device/device_kind.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace quellix::tools {

// keyboard|mouse|pad, or the prefixes kb|ms|mp.
std::optional<device::DeviceKind> parseKind(std::string_view text);

// A decimal or 0x-prefixed hexadecimal number no larger than `max`.
std::optional<std::uint32_t> parseNumber(std::string_view text, std::uint32_t max);

} // namespace quellix::tools
