#include "quellix/platform/paths.h"

#include "quellix/platform/atomic_file.h"
#include "quellix/platform/debug.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace quellix::platform {

namespace fs = std::filesystem;

namespace {

std::string withSlash(const fs::path& dir) {
    std::string text = dir.string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

// Creates `dir` and its parents; an existing non-directory is an error.
std::error_code ensureDirectory(const fs::path& dir) {
    std::error_code error;
    fs::create_directories(dir, error);
    if (error)
        return error;
    if (!fs::is_directory(dir, error))
        return error ? error : std::make_error_code(std::errc::not_a_directory);
    return {};
}

std::optional<std::string> processEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

std::optional<std::string> readSmallFile(const fs::path& path) {
    std::string bytes;
    if (!readWholeFile(path, 64 * 1024, bytes))
        return std::nullopt;
    return bytes;
}

fs::path passwordHome() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_dir)
        return result->pw_dir;
    return "/tmp";
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::optional<fs::path> parseUserDirsDocuments(std::string_view userDirs, const fs::path& home) {
    constexpr std::string_view kName = "XDG_DOCUMENTS_DIR";
    std::optional<fs::path> found;
    while (!userDirs.empty()) {
        auto end = userDirs.find('\n');
        std::string_view line = trim(userDirs.substr(0, end));
        userDirs.remove_prefix(end == std::string_view::npos ? userDirs.size() : end + 1);
        if (!line.starts_with(kName))
            continue;
        line = trim(line.substr(kName.size()));
        if (!line.starts_with('='))
            continue;
        line = trim(line.substr(1));
        if (line.size() < 2 || line.front() != '"' || line.back() != '"')
            continue;
        std::string_view value = line.substr(1, line.size() - 2);
        // The file's format allows only "$HOME/..." and absolute paths.
        if (value == "$HOME" || value.starts_with("$HOME/")) {
            std::string_view rest = value.substr(5);
            while (rest.starts_with('/'))
                rest.remove_prefix(1);
            found = rest.empty() ? home : home / rest;
        } else if (value.starts_with('/')) {
            found = fs::path(value);
        }
    }
    return found; // the last valid line wins, as in the shell that sources it
}

fs::path
findDocumentsDir(const EnvironmentLookup& environment,
                 const std::function<std::optional<std::string>(const fs::path&)>& readFile) {
    auto env = [&](const char* name) {
        return environment ? environment(name) : processEnvironment(name);
    };
    if (auto dir = env("QUELLIX_DOCUMENTS_DIR"))
        return *dir;
    if (auto dir = env("XDG_DOCUMENTS_DIR"))
        return *dir;
    fs::path home = env("HOME").value_or(passwordHome().string());
    fs::path config = env("XDG_CONFIG_HOME").value_or((home / ".config").string());
    auto userDirs =
        readFile ? readFile(config / "user-dirs.dirs") : readSmallFile(config / "user-dirs.dirs");
    if (userDirs)
        if (auto dir = parseUserDirsDocuments(*userDirs, home))
            return *dir;
    return home / "Documents";
}

DataDirectories::DataDirectories(fs::path documentsDir) : documentsDir_(std::move(documentsDir)) {}

std::string DataDirectories::dataRoot(std::error_code& error) const {
    fs::path root = documentsDir_ / kProductFolderName;
    error = ensureDirectory(root);
    return withSlash(root);
}

std::string DataDirectories::kindDir(std::string_view prefix, std::error_code& error) const {
    std::string root = dataRoot(error);
    std::string dir = root + std::string(prefix) + '/';
    if (!error)
        error = ensureDirectory(dir);
    return dir;
}

std::string DataDirectories::reported(std::string path, const std::error_code& error) const {
    if (error)
        debugOutputf("cannot create data directory %s: %s", path.c_str(), error.message().c_str());
    return path;
}

std::string DataDirectories::dataRoot() const {
    std::error_code error;
    std::string path = dataRoot(error);
    return reported(std::move(path), error);
}
std::string DataDirectories::mousePadDir() const {
    std::error_code error;
    std::string path = mousePadDir(error);
    return reported(std::move(path), error);
}
std::string DataDirectories::mouseDir() const {
    std::error_code error;
    std::string path = mouseDir(error);
    return reported(std::move(path), error);
}
std::string DataDirectories::keyboardDir() const {
    std::error_code error;
    std::string path = keyboardDir(error);
    return reported(std::move(path), error);
}

std::string programDirectory() {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return withSlash(executable.parent_path());
}

ProgramData findProgramData(const fs::path& programDir, const fs::path& installedDataDir) {
    const auto hasSkin = [](const fs::path& dir) {
        std::error_code error;
        return !dir.empty() && fs::is_directory(dir / "skin", error);
    };
    const auto installed = [](const fs::path& dataDir) {
        return ProgramData{dataDir / "skin", dataDir / "defaults"};
    };
    if (hasSkin(programDir)) {
        return {programDir / "skin", programDir};
    }
    // "/usr/bin/" and "/usr/bin" both lead to "/usr/share/quellix".
    const fs::path folder = programDir.has_filename() ? programDir : programDir.parent_path();
    const fs::path shared = folder.parent_path() / "share" / "quellix";
    if (!programDir.empty() && hasSkin(shared)) {
        return installed(shared.lexically_normal());
    }
    if (hasSkin(installedDataDir)) {
        return installed(installedDataDir);
    }
    return {programDir / "skin", programDir};
}

const ProgramData& programData() {
    static const ProgramData data = [] {
        fs::path dir = programDirectory();
        if (dir.empty()) {
            std::error_code error;
            dir = fs::current_path(error) / "";
        }
#ifdef QUELLIX_DATA_DIR
        const fs::path installedDataDir = QUELLIX_DATA_DIR;
#else
        const fs::path installedDataDir;
#endif
        return findProgramData(dir, installedDataDir);
    }();
    return data;
}

const DataDirectories& dataDirectories() {
    static const DataDirectories directories(findDocumentsDir());
    return directories;
}

} // namespace quellix::platform
