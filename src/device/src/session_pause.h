#pragma once
// The one fixed pause of the protocol (before command 2).

#include <cstdint>

namespace quellix::device {

void pauseFor(std::uint32_t milliseconds);

} // namespace quellix::device
