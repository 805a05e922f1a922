// Data directories and how the documents folder is found.
#include "quellix/platform/paths.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <map>

namespace quellix::platform {
namespace {

namespace fs = std::filesystem;

TEST(DataDirectories, EachCallCreatesWhatItNeeds) {
    test::TempDir dir;
    DataDirectories dirs(dir / "Documents"); // the documents folder is missing too
    std::error_code error;
    const std::string root = (dir / "Documents" / "Quellix T417 Gaming Mouse pad").string() + "/";
    EXPECT_EQ(dirs.keyboardDir(error), root + "kb/");
    EXPECT_FALSE(error);
    EXPECT_TRUE(fs::is_directory(root + "kb"));
    EXPECT_FALSE(fs::exists(root + "ms")); // only on its first use
    EXPECT_EQ(dirs.mouseDir(), root + "ms/");
    EXPECT_EQ(dirs.mousePadDir(), root + "mp/");
    EXPECT_EQ(dirs.dataRoot(), root);
    EXPECT_TRUE(fs::is_directory(root + "ms") && fs::is_directory(root + "mp"));
}

TEST(DataDirectories, CreationFailureIsReported) {
    test::TempDir dir;
    test::writeBytes(dir / "file", "not a folder");
    DataDirectories underFile(dir / "file");
    std::error_code error;
    underFile.mouseDir(error);
    EXPECT_TRUE(error);

    fs::create_directories(dir / "docs");
    test::writeBytes(dir / "docs" / std::string(kProductFolderName), "a file in the way");
    DataDirectories blocked(dir / "docs");
    blocked.dataRoot(error);
    EXPECT_TRUE(error);
}

TEST(ProgramDirectory, IsTheFolderOfThisExecutable) {
    const std::string dir = programDirectory();
    ASSERT_TRUE(dir.ends_with('/'));
    EXPECT_TRUE(fs::exists(dir + "platform_dirs_test"));
}

struct Environment {
    std::map<std::string, std::string> variables;
    std::map<fs::path, std::string> files;

    fs::path resolve() const {
        return findDocumentsDir(
            [this](const char* name) -> std::optional<std::string> {
                auto it = variables.find(name);
                return it == variables.end() ? std::nullopt : std::optional(it->second);
            },
            [this](const fs::path& path) -> std::optional<std::string> {
                auto it = files.find(path);
                return it == files.end() ? std::nullopt : std::optional(it->second);
            });
    }
};

TEST(DocumentsDir, FirstFoundSourceWins) {
    const std::string userDirs = "# written by xdg-user-dirs-update\n"
                                 "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                 "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    const std::pair<Environment, fs::path> cases[] = {
        {{{{"QUELLIX_DOCUMENTS_DIR", "/t"}, {"XDG_DOCUMENTS_DIR", "/x"}, {"HOME", "/h"}}, {}},
         "/t"},
        {{{{"XDG_DOCUMENTS_DIR", "/x"}, {"HOME", "/h"}}, {}}, "/x"},
        {{{{"HOME", "/h"}}, {{"/h/.config/user-dirs.dirs", userDirs}}}, "/h/Dokumente"},
        {{{{"HOME", "/h"}, {"XDG_CONFIG_HOME", "/c"}}, {{"/c/user-dirs.dirs", userDirs}}},
         "/h/Dokumente"},
        {{{{"HOME", "/h"}}, {}}, "/h/Documents"},
    };
    for (const auto& [environment, expected] : cases)
        EXPECT_EQ(environment.resolve(), expected);
}

TEST(DocumentsDir, UserDirsLinesAreParsedStrictly) {
    const std::pair<std::string, std::optional<fs::path>> cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "/home/u/Docs"},
        {"  XDG_DOCUMENTS_DIR = \"/srv/docs\"\r", "/srv/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"", "/home/u"},
        {"XDG_DOCUMENTS_DIR=\"relative\"", std::nullopt},
        {"XDG_DOCUMENTS_DIR=$HOME/unquoted", std::nullopt},
        {"XDG_DOCUMENTS_DIRX=\"/a\"", std::nullopt},
        {"# XDG_DOCUMENTS_DIR=\"/a\"", std::nullopt},
        {"XDG_DOCUMENTS_DIR=\"/first\"\nXDG_DOCUMENTS_DIR=\"/second\"", "/second"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseUserDirsDocuments(text, "/home/u"), expected) << text;
}

} // namespace
} // namespace quellix::platform
