#pragma once
// The machine-wide key store: string values under a key path, shared by all
// users of the machine, like the registry's HKEY_LOCAL_MACHINE.  It is one
// INI file (sections are key paths, entries are value names), by default
// /etc/quellix/machine.ini, writable only by root; $QUELLIX_MACHINE_STORE
// names another file (tests).
//
// Reads always work: an absent file, key or value reads as not found.  A
// write that the user may not make (or that fails otherwise) changes
// nothing and returns the error; nothing throws.

#include "quellix/platform/result.h"
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quellix::platform {

// The key of the product's machine-wide settings and its language value.
inline constexpr std::string_view kProductKeyPath = "SOFTWARE\\Quellix T417 Gaming Mouse pad";
inline constexpr std::string_view kLanguageValueName = "LANGUAGE";

class MachineKeyStore {
public:
    explicit MachineKeyStore(std::filesystem::path file) : file_(std::move(file)) {}
    // The store at $QUELLIX_MACHINE_STORE, else /etc/quellix/machine.ini.
    static MachineKeyStore system();

    const std::filesystem::path& file() const { return file_; }

    // Key paths and value names match without regard to ASCII case.
    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view valueName) const;
    // Creates the store's folder, file and key as needed.
    Result writeString(std::string_view keyPath, std::string_view valueName,
                       std::string_view value);

private:
    std::filesystem::path file_;
};

} // namespace quellix::platform
