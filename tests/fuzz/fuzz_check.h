#pragma once
// What the fuzz targets share: a broken promise ends the run the way
// libFuzzer reports (abort), and the input as the text the parsers take.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace quellix::fuzz {

inline void require(bool condition) {
    if (!condition)
        std::abort();
}

inline std::string inputText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace quellix::fuzz
