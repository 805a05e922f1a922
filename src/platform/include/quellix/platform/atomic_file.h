#pragma once
// Whole-file reads and crash-safe whole-file replacement, for every file
// that holds user data.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace quellix::platform {

// Writes `bytes` to a temporary file in the same directory, flushes it to
// disk, gives it the old file's permission bits (0644 less the umask for a
// new file) and renames it over `path`.  A symbolic link is followed, so
// the file it points to is replaced.  A file the caller may not write is
// refused (a rename would otherwise replace it).  On failure the old file is untouched,
// the temporary file is removed and the error is returned.
std::error_code replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole regular file; std::errc::file_too_large beyond maxBytes.
std::error_code readWholeFile(const std::filesystem::path& path, std::size_t maxBytes,
                              std::string& bytes);

} // namespace quellix::platform
