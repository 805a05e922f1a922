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
#include <functional>
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

// Kills a child running `writeForever` at random moments, `kKills` times;
// after every kill the file must hold `a` or `b` whole.  Counts which.
struct Seen {
    int a = 0;
    int b = 0;
};
::testing::AssertionResult wholeAfterEveryKill(const std::filesystem::path& file,
                                               const std::function<void()>& writeForever,
                                               const std::string& a, const std::string& b,
                                               unsigned seed, Seen& seen) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pauseUs(0, 12000);
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        if (child < 0) {
            return ::testing::AssertionFailure() << "fork failed";
        }
        if (child == 0) {
            writeForever();
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(pauseUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = readAll(file);
        if (now != a && now != b) {
            return ::testing::AssertionFailure()
                   << "after kill " << kill << " the file holds " << now.size() << " other bytes";
        }
        (now == a ? seen.a : seen.b)++;
    }
    return ::testing::AssertionSuccess();
}

TEST(ProfileKill, EverySavedFileIsWholeAfterSigkill) {
    platform::test::TempDir dir;
    const auto path = dir / "kb.led";
    const std::vector<std::uint8_t> a(1958, 0x11), b(1958, 0x22);
    ASSERT_TRUE(writeProfileFile(path, ProfileKind::Keyboard, a));
    Seen seen;
    ASSERT_TRUE(wholeAfterEveryKill(
        path,
        [&] {
            for (;;) {
                // Killed at any point: what a save returns is never seen.
                ignoreResult(writeProfileFile(path, ProfileKind::Keyboard, b));
                ignoreResult(writeProfileFile(path, ProfileKind::Keyboard, a));
            }
        },
        encodeProfile(ProfileKind::Keyboard, a), encodeProfile(ProfileKind::Keyboard, b), 20261210,
        seen));
    std::cout << kKills << " kills: " << seen.a << " old, " << seen.b << " new contents\n";
}

// A catalogue large enough that one write takes a while: every write
// replaces the whole file, so a kill would catch a partial write often.
constexpr int kCatalogueEntries = 400;

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

    Seen seen;
    ASSERT_TRUE(wholeAfterEveryKill(
        catalogue.file(),
        [&] {
            for (;;) {
                ignoreResult(catalogue.setName(kCatalogueEntries / 2, b));
                ignoreResult(catalogue.setName(kCatalogueEntries / 2, a));
            }
        },
        fileA, fileB, 20261211, seen));
    const CatalogueView view = catalogue.read();
    EXPECT_EQ(view.count, kCatalogueEntries);
    EXPECT_EQ(view.links.back().program,
              "/opt/programs/program" + std::to_string(kCatalogueEntries - 1));
    std::cout << kKills << " kills: " << seen.a << " old, " << seen.b << " new catalogues\n";
}

} // namespace
} // namespace quellix::profiles
