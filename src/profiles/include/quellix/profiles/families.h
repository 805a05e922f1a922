#pragma once
// The six profile families: where their catalogue keeps them, their file
// extension, payload size and kind word, and the factory default file.

#include "quellix/profiles/profile_file.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace quellix::profiles {

enum class Family : std::uint8_t {
    PadLighting,
    KeyboardLighting,
    KeyboardKeys,
    MouseDevice,
    MouseLighting,
    MouseKeys,
    Count
};
inline constexpr std::size_t kFamilyCount = static_cast<std::size_t>(Family::Count);

struct FamilyInfo {
    std::string_view name;             // for messages: "mouse-pad lighting", ...
    std::string_view catalogue;        // "mpProfile.ini", ...
    std::string_view nameSection;      // "PROFILEDENGNAME", ...
    std::string_view selectionSection; // "PROFILEDENGSELECT", ...
    std::string_view extension;        // as saves write it
    std::string_view loadExtension;    // as loads ask for it
    std::size_t payloadBytes;
    ProfileKind kind;
};

const FamilyInfo& familyInfo(Family family);

// The catalogue's current profile: the selection key (absent: 0).
int selectedPosition(Family family, const std::filesystem::path& directory);
// The name at a catalogue position (absent: "0").
std::string nameAt(Family family, const std::filesystem::path& directory, int position);
// The file a load of position i reads (extension matched without case).
// Both paths are empty when the catalogue's name is not a plain file name
// (it holds a separator or is "." or ".."): such a profile is neither read
// nor written.
std::filesystem::path loadPath(Family family, const std::filesystem::path& directory, int position);
// The file a save writes: the selected position's name + extension.
std::filesystem::path savePath(Family family, const std::filesystem::path& directory);

// The factory default file of a family in the program directory; the
// keyboard families take the keyboard variant (0..2).
std::string_view defaultFileName(Family family, int keyboardVariant = 0);

} // namespace quellix::profiles
