// A process killed at random moments while it saves a profile over and over
// leaves the file with either the old or the new contents, never a mix or a
// truncated file.

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

} // namespace
} // namespace quellix::profiles
