// A process killed at random moments while it saves a profile (or writes a
// catalogue entry) over and over leaves the file with either the old or the
// new contents, never a mix or a truncated file.

#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/profile_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace quellix::profiles {
namespace {

constexpr int kKills = 300;

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

[[noreturn]] void saveForever(const std::filesystem::path& path, const std::vector<std::uint8_t>& a,
                              const std::vector<std::uint8_t>& b) {
    for (;;) {
        writeProfileFile(path, ProfileKind::Keyboard, b);
        writeProfileFile(path, ProfileKind::Keyboard, a);
    }
}

TEST(ProfileKill, EverySavedFileIsWholeAfterSigkill) {
    platform::test::TempDir dir;
    const auto path = dir / "kb.led";
    const std::vector<std::uint8_t> a(1958, 0x11), b(1958, 0x22);
    const std::string fileA = encodeProfile(ProfileKind::Keyboard, a);
    const std::string fileB = encodeProfile(ProfileKind::Keyboard, b);
    ASSERT_TRUE(writeProfileFile(path, ProfileKind::Keyboard, a));

    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> pauseUs(0, 12000);
    int sawA = 0, sawB = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveForever(path, a, b);
        }
        ::usleep(static_cast<useconds_t>(pauseUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = readAll(path);
        ASSERT_TRUE(now == fileA || now == fileB)
            << "after kill " << kill << " the file holds " << now.size() << " other bytes";
        (now == fileA ? sawA : sawB)++;
    }
    std::cout << kKills << " kills: " << sawA << " old, " << sawB << " new contents\n";
}

// A catalogue large enough that one write takes a while: every write
// replaces the whole file, so a kill would catch a partial write often.
constexpr int kCatalogueEntries = 400;

[[noreturn]] void renameForever(const Catalogue& catalogue, const std::string& a,
                                const std::string& b) {
    for (;;) {
        catalogue.setName(kCatalogueEntries / 2, b);
        catalogue.setName(kCatalogueEntries / 2, a);
    }
}

TEST(CatalogueKill, EveryCatalogueIsWholeAfterSigkill) {
    platform::test::TempDir dir;
    const Catalogue catalogue(Family::KeyboardKeys, dir.path());
    ASSERT_TRUE(catalogue.setCount(kCatalogueEntries));
    for (int i = 0; i < kCatalogueEntries; ++i) {
        ASSERT_TRUE(catalogue.setName(i, "profile" + std::to_string(i + 1)));
        ASSERT_TRUE(catalogue.setLink(i, {"1", "/opt/programs/program" + std::to_string(i)}));
    }
    const std::string a(120, 'a'), b(120, 'b');
    ASSERT_TRUE(catalogue.setName(kCatalogueEntries / 2, b));
    const std::string fileB = readAll(catalogue.file());
    ASSERT_TRUE(catalogue.setName(kCatalogueEntries / 2, a));
    const std::string fileA = readAll(catalogue.file());

    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> pauseUs(0, 12000);
    int sawA = 0, sawB = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            renameForever(catalogue, a, b);
        }
        ::usleep(static_cast<useconds_t>(pauseUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = readAll(catalogue.file());
        ASSERT_TRUE(now == fileA || now == fileB)
            << "after kill " << kill << " the catalogue holds " << now.size() << " other bytes";
        (now == fileA ? sawA : sawB)++;
    }
    const CatalogueView view = catalogue.read();
    EXPECT_EQ(view.count, kCatalogueEntries);
    EXPECT_EQ(view.links.back().program,
              "/opt/programs/program" + std::to_string(kCatalogueEntries - 1));
    std::cout << kKills << " kills: " << sawA << " old, " << sawB << " new catalogues\n";
}

} // namespace
} // namespace quellix::profiles
