#include "quellix/ui/shell_settings.h"

#include <cctype>

#include "quellix/dui/types.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/ini.h"
#include "quellix/platform/paths.h"

namespace quellix::ui {

namespace {

// The leading decimal number of a text, as the platform's text-to-number
// conversion reads it (blanks, then an optional sign and digits).
long long leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1'000'000'000'000LL) {
            break; // far beyond any value compared with
        }
    }
    return negative ? -value : value;
}

} // namespace

const LanguageChoice* LanguageForMenuItem(std::string_view item) {
    for (const auto& choice : kLanguageChoices) {
        if (item == choice.menuItem) {
            return &choice;
        }
    }
    return nullptr;
}

const LanguageChoice* LanguageForIniValue(int value) {
    for (const auto& choice : kLanguageChoices) {
        if (std::to_string(value) == choice.iniValue) {
            return &choice;
        }
    }
    return nullptr;
}

std::string_view IniLanguageFromStore(const std::optional<std::string>& storeValue) {
    return storeValue && leadingNumber(*storeValue) == 2020 ? kChinese.iniValue : kEnglish.iniValue;
}

std::optional<std::string> QueryShellText(std::string_view key, std::string_view language) {
    const bool english = language == kEnglish.resourceLanguage;
    if (dui::EqualsNoCase(key, "titletext")) {
        return english ? "Duilib Demo v1.1" : "mouse";
    }
    if (dui::EqualsNoCase(key, "hometext")) {
        return english ? "{a}Home Page{/a}" : "{a}演示官网{/a}";
    }
    return std::nullopt;
}

ShellSettings ShellSettings::system() {
    return {std::filesystem::path(platform::dataRoot()) / "main.ini",
            platform::MachineKeyStore::system()};
}

int ShellSettings::readInt(const char* key) const {
    return platform::getPrivateProfileInt(kSkinSection, key, 0, mainIni);
}

std::string ShellSettings::readString(const char* key) const {
    return platform::getPrivateProfileString(kSkinSection, key, "0", mainIni);
}

bool ShellSettings::write(const char* key, std::string_view value) const {
    if (const Result written = platform::writeProfileString(kSkinSection, key, value, mainIni);
        !written) {
        platform::debugOutput(mainIni.string() + ": " + key +
                              " not written: " + written.describe());
        return false;
    }
    return true;
}

} // namespace quellix::ui
