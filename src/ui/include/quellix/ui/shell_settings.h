#pragma once
// Where the shell keeps its choices: "main.ini" in the data root (section
// "SKINIMAGE": the remembered background and the language) and the
// machine-wide key store (the language every start begins with).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "quellix/platform/key_store.h"

namespace quellix::ui {

inline constexpr const char* kSkinSection = "SKINIMAGE";
inline constexpr const char* kSkinFlagsKey = "FLAGS";
inline constexpr const char* kSkinImageKey = "IMAGE";
inline constexpr const char* kLanguageKey = "LANGUAGE";
inline constexpr const char* kDefaultBackground = "common/background.png";

// The two interface languages: the menu item that picks one, the toolkit's
// language id, its language file, and the values "main.ini" and the key
// store keep for it.
struct LanguageChoice {
    std::string_view menuItem;
    std::string_view resourceLanguage;
    std::string_view languageFile;
    std::string_view iniValue;
    std::string_view storeValue;
};
inline constexpr LanguageChoice kEnglish{"lan_en", "en", "lan_en.xml", "0", "1010"};
inline constexpr LanguageChoice kChinese{"lan_cn", "cn_zh", "lan_cn.xml", "1", "2020"};
inline constexpr LanguageChoice kLanguageChoices[] = {kEnglish, kChinese};

// The choice a menu item names, or nullptr.
const LanguageChoice* LanguageForMenuItem(std::string_view item);
// The choice "main.ini" names by its "LANGUAGE" number, or nullptr (other
// numbers keep the language already loaded).
const LanguageChoice* LanguageForIniValue(int value);
// The "LANGUAGE" value to note from the key store's value: Chinese when it
// reads as the number 2020, English otherwise (absent or unreadable too).
std::string_view IniLanguageFromStore(const std::optional<std::string>& storeValue);

// The answers of the main window's text query: two fixed keys (any case)
// by the toolkit's current language; nothing for any other key.
std::optional<std::string> QueryShellText(std::string_view key, std::string_view language);

struct ShellSettings {
    std::filesystem::path mainIni;
    platform::MachineKeyStore keyStore;

    // "main.ini" in the data root and the system's key store.
    static ShellSettings system();

    int readInt(const char* key) const;
    std::string readString(const char* key) const;
    bool write(const char* key, std::string_view value) const;
};

} // namespace quellix::ui
