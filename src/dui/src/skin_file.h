#pragma once
// Layouts, resource lists and language files are read whole.  The limit
// keeps a damaged file from exhausting memory; real skin files are a few
// dozen kilobytes.

#include <filesystem>
#include <string>
#include <system_error>

#include "quellix/platform/atomic_file.h"

namespace quellix::dui {

inline constexpr std::size_t kMaxSkinFileBytes = 16u << 20;

inline Result ReadSkinFile(const std::filesystem::path& path, std::string& text) {
    return platform::readWholeFile(path, kMaxSkinFileBytes, text);
}

} // namespace quellix::dui
