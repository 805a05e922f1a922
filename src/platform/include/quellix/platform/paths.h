#pragma once
// The data directories: the user's documents folder, the product folder in
// it (the data root, holding "main.ini") and one folder per device kind for
// catalogues and the user's profile, macro and pattern files.  Every path
// ends with "/"; every call creates the directories it needs.
//
// The documents folder is, first found wins: $QUELLIX_DOCUMENTS_DIR (tests
// and portable set-ups), $XDG_DOCUMENTS_DIR, the XDG_DOCUMENTS_DIR line of
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs), $HOME/Documents.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace quellix::platform {

inline constexpr std::string_view kProductFolderName = "Quellix T417 Gaming Mouse pad";

class DataDirectories {
public:
    explicit DataDirectories(std::filesystem::path documentsDir);

    const std::filesystem::path& documentsDir() const { return documentsDir_; }

    // The path is returned even when creating it failed; `error` tells why.
    std::string dataRoot(std::error_code& error) const;
    std::string mousePadDir(std::error_code& error) const { return kindDir("mp", error); }
    std::string mouseDir(std::error_code& error) const { return kindDir("ms", error); }
    std::string keyboardDir(std::error_code& error) const { return kindDir("kb", error); }

    // Failures are written to the debug output; the file operations in the
    // directory then fail on their own.
    std::string dataRoot() const;
    std::string mousePadDir() const;
    std::string mouseDir() const;
    std::string keyboardDir() const;

private:
    std::string kindDir(std::string_view prefix, std::error_code& error) const;
    std::string reported(std::string path, const std::error_code& error) const;

    std::filesystem::path documentsDir_;
};

using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// Resolves the documents folder as described above.  `environment` and
// `readFile` default to the process environment and the file system.
std::filesystem::path findDocumentsDir(
    const EnvironmentLookup& environment = {},
    const std::function<std::optional<std::string>(const std::filesystem::path&)>& readFile = {});

// The XDG_DOCUMENTS_DIR entry of a user-dirs.dirs text ("$HOME/..." or an
// absolute path, in double quotes), or nullopt when there is none.
std::optional<std::filesystem::path> parseUserDirsDocuments(std::string_view userDirs,
                                                            const std::filesystem::path& home);

// The folder of the running executable, ending with "/".  Empty when it
// cannot be found.
std::string programDirectory();

// Where the program's read-only data lies: the skin folder (holding
// "res.xml") and the folder of the factory default files.
struct ProgramData {
    std::filesystem::path skinDir;
    std::filesystem::path defaultsDir;
};

// The data of a program in `programDir`, first found wins:
//   - beside the program: programDir/skin/ and the default files in
//     programDir itself (the build tree);
//   - programDir/../share/quellix/skin/ and .../defaults/ (an install under
//     any prefix);
//   - installedDataDir/skin/ and installedDataDir/defaults/ (the data folder
//     the build was configured for).
// A layout counts as found when its skin folder exists.  When none is
// found, beside the program, so that what is missing is named there.
ProgramData findProgramData(const std::filesystem::path& programDir,
                            const std::filesystem::path& installedDataDir);

// findProgramData for the running executable (the current folder when it
// cannot be found) and the configured data folder, resolved at first use.
const ProgramData& programData();

// The process-wide directories, resolved from the environment at first use.
const DataDirectories& dataDirectories();
inline std::string dataRoot() {
    return dataDirectories().dataRoot();
}
inline std::string mousePadDir() {
    return dataDirectories().mousePadDir();
}
inline std::string mouseDir() {
    return dataDirectories().mouseDir();
}
inline std::string keyboardDir() {
    return dataDirectories().keyboardDir();
}

} // namespace quellix::platform
