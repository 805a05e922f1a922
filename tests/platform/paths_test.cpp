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

// The program's skin and factory defaults: beside it in the build tree,
// under <prefix>/share/quellix when installed (whatever the prefix), under
// the configured data folder when neither has them.
TEST(ProgramData, FoundBesideTheProgramInTheBuildTree) {
    test::TempDir dir;
    fs::create_directories(dir / "bin" / "skin");
    fs::create_directories(dir / "share" / "quellix" / "skin"); // an install beside it loses
    const ProgramData data = findProgramData(dir / "bin/", dir / "configured");
    EXPECT_EQ(data.skinDir, dir / "bin/" / "skin");
    EXPECT_EQ(data.defaultsDir, dir / "bin/");
}

TEST(ProgramData, FoundUnderTheInstallPrefixShareFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "prefix" / "bin");
    fs::create_directories(dir / "prefix" / "share" / "quellix" / "skin");
    fs::create_directories(dir / "configured" / "skin");
    const fs::path share = dir / "prefix" / "share" / "quellix";
    for (const fs::path& programDir : {dir / "prefix" / "bin/", dir / "prefix" / "bin"}) {
        const ProgramData data = findProgramData(programDir, dir / "configured");
        EXPECT_EQ(data.skinDir, share / "skin") << programDir;
        EXPECT_EQ(data.defaultsDir, share / "defaults") << programDir;
    }
}

TEST(ProgramData, FoundInTheConfiguredDataFolderOtherwise) {
    test::TempDir dir;
    fs::create_directories(dir / "elsewhere" / "bin");
    fs::create_directories(dir / "configured" / "skin");
    const ProgramData data = findProgramData(dir / "elsewhere" / "bin/", dir / "configured");
    EXPECT_EQ(data.skinDir, dir / "configured" / "skin");
    EXPECT_EQ(data.defaultsDir, dir / "configured" / "defaults");
}

TEST(ProgramData, NamesTheFolderBesideTheProgramWhenNothingIsFound) {
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    // A share folder without a skin, or a file named skin, is no install.
    fs::create_directories(dir / "share" / "quellix" / "defaults");
    test::writeBytes(dir / "bin" / "skin", "not a folder");
    const ProgramData data = findProgramData(dir / "bin/", dir / "missing");
    EXPECT_EQ(data.skinDir, dir / "bin/" / "skin");
    EXPECT_EQ(data.defaultsDir, dir / "bin/");
    const ProgramData noConfigured = findProgramData(dir / "bin/", fs::path());
    EXPECT_EQ(noConfigured.skinDir, dir / "bin/" / "skin");
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
