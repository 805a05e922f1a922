#include "quellix/platform/ini.h"

#include <cerrno>

#include "quellix/platform/atomic_file.h"
#include "quellix/platform/ini_document.h"

#include <algorithm>
#include <climits>
#include <mutex>

namespace quellix::platform {

namespace {

// One private-profile call at a time in this process, so that a write's
// read-modify-replace is not interleaved with another thread's write of the
// same file.
std::mutex& profileMutex() {
    static std::mutex mutex;
    return mutex;
}

// The file's document, or nullopt when it cannot be read as one (absent,
// unreadable, too large).
std::optional<IniDocument> loadDocument(const std::filesystem::path& path, Result& error) {
    std::string bytes;
    error = readWholeFile(path, kProfileMaxFileBytes, bytes);
    if (!error)
        return std::nullopt;
    return IniDocument::parse(bytes);
}

std::string fitReadBuffer(std::string_view text) {
    return std::string(truncateToUtf16Units(text, kProfileBufferChars - 1));
}

std::string_view trimTrailingBlanks(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

int leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min<long long>(magnitude * 10 + (text[i] - '0'), 1LL << 32);
    long long value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<std::string> findPrivateProfileString(std::string_view section, std::string_view key,
                                                    const std::filesystem::path& path) {
    std::lock_guard lock(profileMutex());
    Result error;
    auto doc = loadDocument(path, error);
    if (!doc)
        return std::nullopt;
    return doc->value(section, key);
}

std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue,
                                    const std::filesystem::path& path) {
    if (auto value = findPrivateProfileString(section, key, path))
        return fitReadBuffer(*value);
    return fitReadBuffer(trimTrailingBlanks(defaultValue));
}

int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& path) {
    if (auto value = findPrivateProfileString(section, key, path))
        return leadingInteger(fitReadBuffer(*value));
    return defaultValue;
}

Result writeProfileString(std::string_view section, std::optional<std::string_view> key,
                          std::optional<std::string_view> value,
                          const std::filesystem::path& path) {
    const bool creates = key && value;
    if (creates && (!IniDocument::isWritableSectionName(section) ||
                    !IniDocument::isWritableKey(*key) || !IniDocument::isWritableValue(*value))) {
        return Result::failure(Status::BadArgument, path.string() + ": [" + std::string(section) +
                                                        "] " + std::string(*key) +
                                                        " cannot be stored");
    }
    std::lock_guard lock(profileMutex());
    Result read;
    auto doc = loadDocument(path, read);
    if (!doc) {
        if (read.errorNumber() != ENOENT)
            return read; // never replace a file that could not be read
        if (!creates)
            return Result::success(); // nothing to delete
        doc.emplace(TextEncoding::Utf16LeBom);
    }
    bool changed = !key     ? doc->removeSection(section)
                   : !value ? doc->removeKey(section, *key)
                            : doc->setValue(section, *key, *value);
    if (!changed && !creates)
        return Result::success();
    return replaceFileAtomically(path, doc->serialize());
}

bool writePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value,
                               const std::filesystem::path& path) {
    return writeProfileString(section, key, value, path).ok();
}

std::vector<std::string> getPrivateProfileSectionNames(const std::filesystem::path& path) {
    std::lock_guard lock(profileMutex());
    Result error;
    auto doc = loadDocument(path, error);
    return doc ? doc->sectionNames() : std::vector<std::string>{};
}

std::vector<std::string> getPrivateProfileKeys(std::string_view section,
                                               const std::filesystem::path& path) {
    std::lock_guard lock(profileMutex());
    Result error;
    auto doc = loadDocument(path, error);
    return doc ? doc->keys(section) : std::vector<std::string>{};
}

std::vector<std::pair<std::string, std::string>>
getPrivateProfileSection(std::string_view section, const std::filesystem::path& path) {
    std::lock_guard lock(profileMutex());
    Result error;
    auto doc = loadDocument(path, error);
    return doc ? doc->entries(section) : std::vector<std::pair<std::string, std::string>>{};
}

} // namespace quellix::platform
