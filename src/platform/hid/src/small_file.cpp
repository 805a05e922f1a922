// Reading the small files a HID source describes its devices with (sysfs
// uevent and report descriptors, the simulator's .rdesc files).

#include "source.h"

#include <fstream>

namespace quellix::hid::detail {

std::optional<std::string> readSmallFile(const std::string& file, std::size_t limit) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string content(limit + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad())
        return std::nullopt;
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > limit)
        return std::nullopt;
    return content;
}

} // namespace quellix::hid::detail
