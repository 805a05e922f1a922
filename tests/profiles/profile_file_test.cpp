// The profile file format, its two primitives and the families' paths.

#include "../platform/unprivileged.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/ini.h"
#include "quellix/profiles/families.h"
#include "temp_dir.h"

#include "result_print.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <numeric>
#include <vector>

namespace quellix::profiles {
namespace {

using platform::test::TempDir;

std::string fileBytes(std::initializer_list<int> header, std::size_t payloadBytes,
                      std::uint8_t fill = 7) {
    std::string bytes(kHeaderBytes, '\0');
    std::size_t i = 0;
    for (int b : header) {
        bytes[i++] = static_cast<char>(b);
    }
    bytes.append(payloadBytes, static_cast<char>(fill));
    return bytes;
}

TEST(ProfileFile, EncodeWritesMagicKindAndPayload) {
    const std::vector<std::uint8_t> payload{1, 2, 3};
    const std::string bytes = encodeProfile(ProfileKind::MousePad, payload);
    ASSERT_EQ(bytes.size(), 19u);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), 0xAA);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[1]), 0x55);
    EXPECT_EQ(bytes[4], 3);
    EXPECT_EQ(bytes[5], 0);
    EXPECT_EQ(bytes[16], 1);
    EXPECT_EQ(bytes[18], 3);
}

TEST(ProfileFile, ExactReadsRefuseAnythingButTheFamilysFile) {
    struct Case {
        const char* name;
        std::string file;
        Status result;
    };
    const Case cases[] = {
        {"right", fileBytes({0xAA, 0x55, 0, 0, 3}, 64), Status::Ok},
        {"reserved bytes do not matter", fileBytes({0xAA, 0x55, 9, 9, 3, 0, 9}, 64), Status::Ok},
        {"magic the wrong way round", fileBytes({0x55, 0xAA, 0, 0, 3}, 64), Status::BadFile},
        {"other kind", fileBytes({0xAA, 0x55, 0, 0, 1}, 64), Status::BadFile},
        {"short", fileBytes({0xAA, 0x55, 0, 0, 3}, 63), Status::BadFile},
        {"header only", fileBytes({0xAA, 0x55, 0, 0, 3}, 0), Status::BadFile},
        {"long", fileBytes({0xAA, 0x55, 0, 0, 3}, 65), Status::BadFile},
        {"empty", std::string(), Status::BadFile},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> payload(64, 0xEE);
        EXPECT_EQ(decodeProfile(c.file, ReadMode::Exact, ProfileKind::MousePad, payload), c.result)
            << c.name;
        const std::uint8_t expected = c.result == Status::Ok ? 7 : 0xEE;
        EXPECT_EQ(payload[0], expected) << c.name << ": a refused file changes nothing";
    }
}

TEST(ProfileFile, LenientReadsTakeAnyFileWithTheMagic) {
    // A keyboard lighting file read as a pad profile: its first 64 bytes.
    std::vector<std::uint8_t> payload(64, 0);
    EXPECT_EQ(decodeProfile(fileBytes({0xAA, 0x55, 0, 0, 1}, 1958, 9), ReadMode::Lenient,
                            ProfileKind::MousePad, payload),
              Status::Ok);
    EXPECT_EQ(payload[63], 9);
    // A header alone gives the zeros the caller put there.
    std::vector<std::uint8_t> zeros(64, 0);
    EXPECT_EQ(
        decodeProfile(fileBytes({0xAA, 0x55}, 0), ReadMode::Lenient, ProfileKind::MousePad, zeros),
        Status::Ok);
    EXPECT_EQ(zeros, std::vector<std::uint8_t>(64, 0));
    EXPECT_EQ(
        decodeProfile(fileBytes({0x55, 0xAA}, 64), ReadMode::Lenient, ProfileKind::MousePad, zeros),
        Status::BadFile);
}

TEST(ProfileFile, MissingFileAndDiagnostics) {
    TempDir dir;
    std::vector<std::uint8_t> payload(64);
    const Result missing =
        readProfileFile(dir / "none.led", ReadMode::Exact, ProfileKind::MousePad, payload);
    EXPECT_EQ(missing, Status::FileError);
    EXPECT_EQ(missing.errorNumber(), ENOENT);
    EXPECT_EQ(missing.detail(), (dir / "none.led").string());
    platform::test::writeBytes(dir / "short.led", std::string("\xAA\x55", 2));
    const Result bad =
        readProfileFile(dir / "short.led", ReadMode::Exact, ProfileKind::MousePad, payload);
    EXPECT_EQ(bad, Status::BadFile);
    EXPECT_NE(bad.detail().find("short.led"), std::string::npos) << bad.detail();
    EXPECT_EQ(readDiagnostic(missing), "配置文件丢失");
    EXPECT_EQ(readDiagnostic(bad), "配置文件格式错误");
    EXPECT_EQ(readDiagnostic(Result::success()), "");
}

TEST(ProfileFile, WriteThenReadRoundTrips) {
    TempDir dir;
    std::vector<std::uint8_t> payload(576);
    std::iota(payload.begin(), payload.end(), 0);
    ASSERT_TRUE(writeProfileFile(dir / "a.config", ProfileKind::Mouse, payload));
    std::vector<std::uint8_t> back(576);
    EXPECT_TRUE(readProfileFile(dir / "a.config", ReadMode::Exact, ProfileKind::Mouse, back));
    EXPECT_EQ(back, payload);
}

TEST(ProfileFile, FailedSaveSaysSoAndKeepsTheOldFile) {
    TempDir dir;
    const std::vector<std::uint8_t> old(64, 1), fresh(64, 2);
    ASSERT_TRUE(writeProfileFile(dir / "p.led", ProfileKind::MousePad, old));
    EXPECT_EQ(
        platform::test::runUnprivileged(
            dir.path(),
            [&]() -> std::string {
                ::chmod(dir.path().c_str(), 0500); // no new files in it
                const auto mark = platform::debugSequence();
                const Result saved = writeProfileFile(dir / "p.led", ProfileKind::MousePad, fresh);
                ::chmod(dir.path().c_str(), 0700);
                if (saved) {
                    return "the save succeeded";
                }
                if (saved.errorNumber() != EACCES) {
                    return "wrong reason: " + saved.describe();
                }
                const auto lines = platform::debugLinesSince(mark);
                if (lines.empty() || lines.back().find("文件打开失败") == std::string::npos) {
                    return "no diagnostic line";
                }
                std::vector<std::uint8_t> back(64);
                if (!readProfileFile(dir / "p.led", ReadMode::Exact, ProfileKind::MousePad, back) ||
                    back != old) {
                    return "the old file is gone";
                }
                return {};
            }),
        "");
}

TEST(ProfileFile, OnlyARegularFileIsReadOrReplaced) {
    TempDir dir;
    const std::vector<std::uint8_t> payload(64, 3);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.led");
    std::filesystem::create_symlink(dir / "fifo", dir / "to-fifo.led");
    // A character device of the test's own, where the system lets it make one.
    const bool device = ::mknod((dir / "null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (device) {
        std::filesystem::create_symlink(dir / "null", dir / "to-device.config");
    }
    struct Case {
        const char* name;
        std::filesystem::file_type type; // what must still be there afterwards
        std::filesystem::path target;
    };
    std::vector<Case> cases = {
        {"fifo", std::filesystem::file_type::fifo, dir / "fifo"},
        {"folder.led", std::filesystem::file_type::directory, dir / "folder.led"},
        {"to-fifo.led", std::filesystem::file_type::fifo, dir / "fifo"},
    };
    if (device) {
        cases.push_back({"to-device.config", std::filesystem::file_type::character, dir / "null"});
    }
    for (const Case& c : cases) {
        // A read neither blocks on a FIFO nor takes anything but a file.
        std::vector<std::uint8_t> back(64, 0xEE);
        EXPECT_EQ(readProfileFile(dir / c.name, ReadMode::Lenient, ProfileKind::MousePad, back),
                  Status::FileError)
            << c.name;
        EXPECT_EQ(back[0], 0xEE) << c.name;
        const Result saved = writeProfileFile(dir / c.name, ProfileKind::MousePad, payload);
        EXPECT_EQ(saved, Status::FileError) << c.name;
        EXPECT_THAT(saved.errorNumber(), ::testing::AnyOf(EINVAL, EISDIR)) << c.name;
        EXPECT_EQ(std::filesystem::symlink_status(c.target).type(), c.type) << c.name;
    }
    // A link to a regular file is followed: the file it names is replaced.
    ASSERT_TRUE(writeProfileFile(dir / "real.led", ProfileKind::MousePad, payload));
    std::filesystem::create_symlink(dir / "real.led", dir / "link.led");
    EXPECT_TRUE(writeProfileFile(dir / "link.led", ProfileKind::MousePad, payload));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.led"));
}

TEST(Families, SizesKindsAndExtensions) {
    struct Case {
        Family family;
        std::size_t bytes;
        ProfileKind kind;
        std::string_view extension;
    };
    for (const Case c : {Case{Family::PadLighting, 64, ProfileKind::MousePad, ".led"},
                         Case{Family::MouseLighting, 64, ProfileKind::Mouse, ".led"},
                         Case{Family::MouseDevice, 576, ProfileKind::Mouse, ".config"},
                         Case{Family::MouseKeys, 512, ProfileKind::Mouse, ".pro"},
                         Case{Family::KeyboardLighting, 1958, ProfileKind::Keyboard, ".led"},
                         Case{Family::KeyboardKeys, 512, ProfileKind::Keyboard, ".pro"}}) {
        const auto& info = familyInfo(c.family);
        EXPECT_EQ(info.payloadBytes, c.bytes) << info.name;
        EXPECT_EQ(info.kind, c.kind) << info.name;
        EXPECT_EQ(info.extension, c.extension) << info.name;
    }
    EXPECT_EQ(defaultFileName(Family::KeyboardLighting, 1), "kb15dengdefault.led");
    EXPECT_EQ(defaultFileName(Family::PadLighting), "mpdengdefault.led");
}

TEST(Families, PathsComeFromTheCatalogue) {
    TempDir dir;
    // No catalogue: position 0, name "0".
    EXPECT_EQ(savePath(Family::PadLighting, dir.path()), dir / "0.led");
    const auto catalogue = dir / "msProfile.ini";
    platform::writePrivateProfileString("PROFILENAME", "1", "Games", catalogue);
    platform::writePrivateProfileString("PROFILESELECT", "select", "1", catalogue);
    EXPECT_EQ(savePath(Family::MouseKeys, dir.path()), dir / "Games.pro");
    // The key loads ask for ".PRO": the saved ".pro" is found.
    platform::test::writeBytes(dir / "Games.pro", "x");
    EXPECT_EQ(loadPath(Family::MouseKeys, dir.path(), 1), dir / "Games.pro");
    // A name that would leave the directory names no file.
    platform::writePrivateProfileString("PROFILENAME", "1", "../evil", catalogue);
    EXPECT_TRUE(savePath(Family::MouseKeys, dir.path()).empty());
    EXPECT_TRUE(loadPath(Family::MouseKeys, dir.path(), 1).empty());
}

TEST(Describe, NamesTheFamiliesAFileFits) {
    const auto d = describeProfile(fileBytes({0xAA, 0x55, 0, 0, 2}, 64));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->kind, 2);
    EXPECT_EQ(d->families, std::vector<std::string_view>{"mouse lighting"});
    const auto hello = describeProfile("hello");
    EXPECT_EQ(hello.result(), Status::BadFile);
    EXPECT_NE(hello.result().detail().find("header"), std::string::npos);
    const auto swapped = describeProfile(fileBytes({0x55, 0xAA}, 4));
    EXPECT_EQ(swapped.result(), Status::BadFile);
    EXPECT_NE(swapped.result().detail().find("magic"), std::string::npos);
}

} // namespace
} // namespace quellix::profiles
