#pragma once
// Profile files: a 16-byte header (magic AA 55, the writer's device kind)
// followed by a payload whose length is fixed by the profile's family and is
// not stored in the file.
//
// Loads read a file exactly: a file that is shorter or longer than header
// plus payload, or whose magic or kind is wrong, is refused and the caller's
// buffer is left untouched.  File-to-file transfers (import, copy, the
// factory defaults) read leniently: any file with the magic is accepted, cut
// to the payload size or filled with the zeros the caller put there.
// Saves replace the file atomically, so a crash or a full disk leaves the
// old file.

#include "quellix/platform/result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quellix/device/device_kind.h"

namespace quellix::profiles {

inline constexpr std::size_t kHeaderBytes = 16;
inline constexpr std::uint8_t kMagic0 = 0xAA;
inline constexpr std::uint8_t kMagic1 = 0x55;

// The kind a profile belongs to.  The header stores it as the kind's code
// in the device table (device::kindCode: keyboard 1, mouse 2, mouse pad 3).
using ProfileKind = device::DeviceKind;

enum class ReadMode {
    Exact,   // loads: size, magic and kind must all be right
    Lenient, // file-to-file transfers: the magic is enough
};

// What the debug output says about a failed read ("配置文件丢失" for a
// file that cannot be read, "配置文件格式错误" for a bad one); empty for
// success.
std::string_view readDiagnostic(const Result& result);
inline constexpr std::string_view kWriteFailedDiagnostic = "文件打开失败";

// Decodes the bytes of a whole file into `payload` (payload.size() is the
// family's payload length).  `kind` is only checked in Exact mode.  BadFile
// with what is wrong when the bytes are not such a profile.
Result decodeProfile(std::string_view file, ReadMode mode, ProfileKind kind,
                     std::span<std::uint8_t> payload);
// Header and payload as one buffer.
std::string encodeProfile(ProfileKind kind, std::span<const std::uint8_t> payload);

// Reads the file at `path` (see decodeProfile): a FileError when it cannot be
// read, BadFile (with the path) when it is not such a profile.
Result readProfileFile(const std::filesystem::path& path, ReadMode mode, ProfileKind kind,
                       std::span<std::uint8_t> payload);
// Writes header and payload through a temporary file and a rename.  On
// failure writes the diagnostic line (with the reason) to the debug output,
// keeps the old file and returns why.
Result writeProfileFile(const std::filesystem::path& path, ProfileKind kind,
                        std::span<const std::uint8_t> payload);

// ASCII letters compared without case, every other byte exactly.
bool equalsNoCase(std::string_view a, std::string_view b);

// `directory` + `name`, matched without regard to case when no file of
// exactly that name exists (key loads ask for ".PRO" where saves write
// ".pro").  Returns the exact spelling when nothing matches.
std::filesystem::path resolveNoCase(const std::filesystem::path& directory, std::string_view name);

// A file decoded for display: its kind word and the families whose size
// and kind it has.
struct ProfileDescription {
    std::uint16_t kind = 0;
    std::size_t payloadBytes = 0;
    std::vector<std::string_view> families; // empty: no family fits
    std::vector<std::uint8_t> payload;
};
// BadFile, saying why, when the bytes are not a profile file (shorter than
// the header or without the magic).
Outcome<ProfileDescription> describeProfile(std::string_view file);

} // namespace quellix::profiles
