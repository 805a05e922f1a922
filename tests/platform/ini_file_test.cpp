// The private-profile functions on real files.
#include "quellix/platform/ini.h"

#include "temp_dir.h"
#include "unprivileged.h"

#include "result_print.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace quellix::platform {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

std::string utf16le(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

class PrivateProfileFile : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path ini = dir / "main.ini";
};

TEST_F(PrivateProfileFile, AbsentFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(getPrivateProfileString("SKINIMAGE", "FLAGS", "0", ini), "0");
    EXPECT_EQ(getPrivateProfileInt("SKINIMAGE", "FLAGS", 7, ini), 7);
    ASSERT_TRUE(writePrivateProfileString("SKINIMAGE", "FLAGS", "1", ini));
    EXPECT_EQ(getPrivateProfileString("SKINIMAGE", "IMAGE", "0", ini), "0");
    EXPECT_EQ(getPrivateProfileString("OTHER", "FLAGS", "dflt  ", ini), "dflt");
    EXPECT_EQ(findPrivateProfileString("SKINIMAGE", "IMAGE", ini), std::nullopt);
}

TEST_F(PrivateProfileFile, WriteCreatesAUtf16FileWithSectionAndKey) {
    ASSERT_TRUE(writePrivateProfileString("SKINIMAGE", "LANGUAGE", "1", ini));
    ASSERT_TRUE(writePrivateProfileString("skinimage", "IMAGE", "common/背景.png", ini));
    EXPECT_EQ(readBytes(ini), utf16le(u"\uFEFF[SKINIMAGE]\r\nLANGUAGE=1\r\n"
                                      u"IMAGE=common/背景.png\r\n"));
    EXPECT_EQ(getPrivateProfileString("SkinImage", "image", "0", ini), "common/背景.png");
    EXPECT_EQ(getPrivateProfileInt("SKINIMAGE", "language", 0, ini), 1);
    EXPECT_EQ(getPrivateProfileSectionNames(ini), std::vector<std::string>{"SKINIMAGE"});
    EXPECT_EQ(getPrivateProfileKeys("SKINIMAGE", ini),
              (std::vector<std::string>{"LANGUAGE", "IMAGE"}));
}

TEST_F(PrivateProfileFile, Utf8FilesStayUtf8) {
    for (std::string_view bom : {"", "\xEF\xBB\xBF"}) {
        writeBytes(ini, std::string(bom) + "[MACRONAME]\n0=宏一\n");
        ASSERT_TRUE(writePrivateProfileString("MACRONAME", "1", "宏二", ini));
        EXPECT_EQ(readBytes(ini), std::string(bom) + "[MACRONAME]\n0=宏一\n1=宏二\n");
        EXPECT_EQ(getPrivateProfileString("macroname", "0", "0", ini), "宏一");
    }
}

TEST_F(PrivateProfileFile, ValuesComeBackThroughA260CharacterBuffer) {
    const std::string ascii(300, 'a');
    std::string chinese;
    for (int i = 0; i < 300; ++i)
        chinese += "名";
    std::string pairs = std::string(258, 'b') + "\xF0\x9F\x98\x80"; // pair would be units 259-260
    const std::pair<std::string, std::string> cases[] = {
        {ascii, std::string(259, 'a')},
        {chinese, chinese.substr(0, 259 * 3)},
        {pairs, std::string(258, 'b')},
    };
    for (const auto& [written, expected] : cases) {
        ASSERT_TRUE(writePrivateProfileString("S", "k", written, ini));
        EXPECT_EQ(getPrivateProfileString("S", "k", "0", ini), expected);
        EXPECT_EQ(findPrivateProfileString("S", "k", ini), written); // stored whole
    }
    EXPECT_EQ(getPrivateProfileString("S", "absent", ascii, ini).size(), 259u);
}

TEST_F(PrivateProfileFile, IntegerReads) {
    const std::pair<const char*, int> cases[] = {
        {"42", 42}, {"-3", -3}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"99999999999", INT_MAX},
    };
    for (const auto& [text, expected] : cases) {
        ASSERT_TRUE(writePrivateProfileString("S", "n", text, ini));
        EXPECT_EQ(getPrivateProfileInt("S", "n", -1, ini), expected) << text;
    }
}

TEST_F(PrivateProfileFile, NullKeyDeletesTheSectionNullValueTheKey) {
    ASSERT_TRUE(writePrivateProfileString("A", "x", "1", ini));
    ASSERT_TRUE(writePrivateProfileString("A", "y", "2", ini));
    ASSERT_TRUE(writePrivateProfileString("B", "x", "3", ini));
    ASSERT_TRUE(deletePrivateProfileKey("a", "X", ini));
    EXPECT_EQ(getPrivateProfileKeys("A", ini), std::vector<std::string>{"y"});
    ASSERT_TRUE(writePrivateProfileString("a", std::nullopt, std::nullopt, ini));
    EXPECT_EQ(getPrivateProfileSectionNames(ini), std::vector<std::string>{"B"});
    EXPECT_TRUE(deletePrivateProfileSection("gone", ini));
    const auto missing = dir / "missing.ini";
    EXPECT_TRUE(deletePrivateProfileKey("A", "x", missing));
    EXPECT_FALSE(std::filesystem::exists(missing)); // deleting creates nothing
}

TEST_F(PrivateProfileFile, RefusedInputAndUnreadableFilesLeaveTheFileAlone) {
    writeBytes(ini, "[S]\r\nk=old\r\n");
    EXPECT_EQ(writeProfileString("S", "k", "a\r\nevil=1", ini), Status::BadArgument);
    EXPECT_EQ(readBytes(ini), "[S]\r\nk=old\r\n");

    const auto folder = dir / "folder.ini";
    std::filesystem::create_directory(folder);
    EXPECT_EQ(writeProfileString("S", "k", "v", folder).errorNumber(), EISDIR);
    EXPECT_EQ(getPrivateProfileString("S", "k", "dflt", folder), "dflt");

    EXPECT_EQ(writeProfileString("S", "k", "v", dir / "no/such/dir.ini"), Status::FileError);
}

// Restores the file size limit and SIGXFSZ disposition it changed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    sighandler_t previous_;
};

TEST_F(PrivateProfileFile, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string original = "[S]\r\nk=old\r\n";
    writeBytes(ini, original);
    {
        FileSizeLimit limit(64); // the new content cannot be written
        EXPECT_EQ(writeProfileString("S", "k", std::string(200, 'x'), ini).errorNumber(), EFBIG);
    }
    EXPECT_EQ(readBytes(ini), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(PrivateProfileFile, ReadOnlyDirectoryRefusesTheWriteAndKeepsTheFile) {
    writeBytes(ini, "[S]\r\nk=old\r\n");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(test::runUnprivileged(dir.path(),
                                    [&]() -> std::string {
                                        if (writePrivateProfileString("S", "k", "new", ini))
                                            return "the write succeeded";
                                        if (getPrivateProfileString("S", "k", "0", ini) != "old")
                                            return "the old value is gone";
                                        return {};
                                    }),
              "");
}

TEST_F(PrivateProfileFile, ReadOnlyFileIsNotReplaced) {
    writeBytes(ini, "[S]\r\nk=old\r\n");
    std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
    EXPECT_EQ(test::runUnprivileged(dir.path(),
                                    [&]() -> std::string {
                                        const Result error =
                                            writeProfileString("S", "k", "new", ini);
                                        if (error)
                                            return "the write succeeded";
                                        if (error.errorNumber() != EACCES)
                                            return "wrong error: " + error.describe();
                                        if (getPrivateProfileString("S", "k", "0", ini) != "old")
                                            return "the old value is gone";
                                        return {};
                                    }),
              "");
}

TEST_F(PrivateProfileFile, WriteKeepsPermissionsAndFollowsLinks) {
    writeBytes(ini, "[S]\r\nk=old\r\n");
    std::filesystem::permissions(ini, std::filesystem::perms(0600));
    const auto link = dir / "link.ini";
    std::filesystem::create_symlink(ini, link);
    ASSERT_TRUE(writePrivateProfileString("S", "k", "new", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(getPrivateProfileString("S", "k", "0", ini), "new");
    EXPECT_EQ(std::filesystem::status(ini).permissions(), std::filesystem::perms(0600));
}

} // namespace
} // namespace quellix::platform
