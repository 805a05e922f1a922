#pragma once
// The private-profile functions the settings, catalogues, macro and pattern
// files are read and written with, with the Windows semantics the rest of
// the program relies on (parse and match rules: ini_document.h).
//
// - A read of an absent file, section or key returns the caller's default.
// - Values come back as through a 260-character buffer: at most 259 UTF-16
//   code units, cut before a character that would not fit, never inside one.
//   Trailing blanks of a default are removed, as Windows does.
// - A write creates the file (UTF-16LE with BOM), the section and the key as
//   needed and keeps the encoding of an existing file.  The new content
//   replaces the file atomically (temporary file in the same directory,
//   fsync, rename), so a failed write leaves the old file as it was.  A file
//   that exists but cannot be read is never replaced.
// - A key of nullopt deletes the section, a value of nullopt deletes the key.
// - Each call runs alone against the other calls of this process (like the
//   platform serialising each private-profile call); read-modify-write
//   sequences of several calls are not atomic.
//
// Lists (section names, keys, section entries) are returned whole, without a
// buffer limit.

#include "quellix/platform/result.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace quellix::platform {

// Size of the read buffer of the callers, terminating zero included.
inline constexpr std::size_t kProfileBufferChars = 260;
// Files larger than this are not INI files of this program; reads return
// the default and writes refuse to replace them.
inline constexpr std::size_t kProfileMaxFileBytes = 16 * 1024 * 1024;

std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue,
                                    const std::filesystem::path& path);

// A value as the integer read takes it: optional blanks, optional sign,
// digits up to the first other character (0 when there are none),
// saturated to the int range.
int leadingInteger(std::string_view text);

// The value's leadingInteger, or defaultValue when the key is absent.
int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& path);

bool writePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value,
                               const std::filesystem::path& path);
// Same, telling why a write failed (BadArgument for names or values that
// cannot be stored, otherwise the file system's error).
Result writeProfileString(std::string_view section, std::optional<std::string_view> key,
                          std::optional<std::string_view> value, const std::filesystem::path& path);

inline bool deletePrivateProfileKey(std::string_view section, std::string_view key,
                                    const std::filesystem::path& path) {
    return writePrivateProfileString(section, key, std::nullopt, path);
}
inline bool deletePrivateProfileSection(std::string_view section,
                                        const std::filesystem::path& path) {
    return writePrivateProfileString(section, std::nullopt, std::nullopt, path);
}

std::vector<std::string> getPrivateProfileSectionNames(const std::filesystem::path& path);
std::vector<std::string> getPrivateProfileKeys(std::string_view section,
                                               const std::filesystem::path& path);
// Key and value pairs of the first matching section (values as read, uncut).
std::vector<std::pair<std::string, std::string>>
getPrivateProfileSection(std::string_view section, const std::filesystem::path& path);

// Exact value, or nullopt when the file, section or key is absent (for
// callers that must tell an absent value from an empty one).
std::optional<std::string> findPrivateProfileString(std::string_view section, std::string_view key,
                                                    const std::filesystem::path& path);

// The first bytes of a string of at most maxUnits UTF-16 code units, cut at
// a character boundary (invalid UTF-8 bytes count one unit each).
std::string_view truncateToUtf16Units(std::string_view utf8, std::size_t maxUnits);

} // namespace quellix::platform
