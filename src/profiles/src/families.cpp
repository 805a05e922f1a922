#include "quellix/profiles/families.h"

#include "quellix/platform/ini.h"

namespace quellix::profiles {

namespace {

constexpr std::array<FamilyInfo, kFamilyCount> kFamilies = {{
    {"mouse-pad lighting", "mpProfile.ini", "PROFILEDENGNAME", "PROFILEDENGSELECT", ".led", ".led",
     64, ProfileKind::MousePad},
    {"keyboard lighting", "kbProfile.ini", "PROFILEDENGNAME", "PROFILEDENGSELECT", ".led", ".led",
     1958, ProfileKind::Keyboard},
    {"keyboard keys", "kbProfile.ini", "PROFILENAME", "PROFILESELECT", ".pro", ".PRO", 512,
     ProfileKind::Keyboard},
    {"mouse device", "msProfile.ini", "PROFILEDEVICENAME", "PROFILEDEVICESELECT", ".config",
     ".config", 576, ProfileKind::Mouse},
    {"mouse lighting", "msProfile.ini", "PROFILEDENGNAME", "PROFILEDENGSELECT", ".led", ".led", 64,
     ProfileKind::Mouse},
    {"mouse keys", "msProfile.ini", "PROFILENAME", "PROFILESELECT", ".pro", ".PRO", 512,
     ProfileKind::Mouse},
}};

// Per family; the keyboard families by variant.
constexpr std::string_view kDefaults[kFamilyCount][3] = {
    {"mpdengdefault.led", "mpdengdefault.led", "mpdengdefault.led"},
    {"kbdengdefault.led", "kb15dengdefault.led", "kb16dengdefault.led"},
    {"kbkeydefault.pro", "kbkey15default.pro", "kbkey16default.pro"},
    {"msdevicedefault.config", "msdevicedefault.config", "msdevicedefault.config"},
    {"msdengdefault.led", "msdengdefault.led", "msdengdefault.led"},
    {"mskeydefault.pro", "mskeydefault.pro", "mskeydefault.pro"},
};

// A catalogue name is a file base name: one that would leave the
// family's directory (a separator, "." or "..") names no file.
bool isFileBaseName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::filesystem::path cataloguePath(Family family, const std::filesystem::path& directory) {
    return directory / familyInfo(family).catalogue;
}

} // namespace

const FamilyInfo& familyInfo(Family family) {
    return kFamilies[static_cast<std::size_t>(family)];
}

int selectedPosition(Family family, const std::filesystem::path& directory) {
    return platform::getPrivateProfileInt(familyInfo(family).selectionSection, "select", 0,
                                          cataloguePath(family, directory));
}

std::string nameAt(Family family, const std::filesystem::path& directory, int position) {
    return platform::getPrivateProfileString(familyInfo(family).nameSection,
                                             std::to_string(position), "0",
                                             cataloguePath(family, directory));
}

std::filesystem::path loadPath(Family family, const std::filesystem::path& directory,
                               int position) {
    const std::string name = nameAt(family, directory, position);
    if (!isFileBaseName(name)) {
        return {};
    }
    return resolveNoCase(directory, name + std::string(familyInfo(family).loadExtension));
}

std::filesystem::path savePath(Family family, const std::filesystem::path& directory) {
    const std::string name = nameAt(family, directory, selectedPosition(family, directory));
    if (!isFileBaseName(name)) {
        return {};
    }
    return directory / (name + std::string(familyInfo(family).extension));
}

std::string_view defaultFileName(Family family, int keyboardVariant) {
    const int v = keyboardVariant >= 0 && keyboardVariant < 3 ? keyboardVariant : 0;
    return kDefaults[static_cast<std::size_t>(family)][v];
}

} // namespace quellix::profiles
