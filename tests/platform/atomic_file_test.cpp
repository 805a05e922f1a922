// Temporary files that killed saves left behind are cleared, and only those.

#include "quellix/platform/atomic_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quellix::platform {
namespace {

TEST(AtomicFile, StaleTemporariesOfKilledSavesAreRemovedAndNothingElse) {
    test::TempDir dir;
    test::writeBytes(dir / ".qx-tmp-a1B2c3", "half a profile");
    test::writeBytes(dir / ".qx-tmp-zzzzzz", "");
    test::writeBytes(dir / "profile1.led", "a profile");
    test::writeBytes(dir / ".qx-tmp-toolong", "not one of ours");
    std::filesystem::create_directory(dir / ".qx-tmp-folder");
    std::filesystem::create_directory(dir / ".qx-tmp-dir123");
    std::filesystem::create_symlink(dir / "profile1.led", dir / ".qx-tmp-link12");
    EXPECT_EQ(removeStaleTemporaries(dir.path()), 2);
    EXPECT_FALSE(std::filesystem::exists(dir / ".qx-tmp-a1B2c3"));
    EXPECT_FALSE(std::filesystem::exists(dir / ".qx-tmp-zzzzzz"));
    for (const char* kept : {"profile1.led", ".qx-tmp-toolong", ".qx-tmp-folder", ".qx-tmp-dir123",
                             ".qx-tmp-link12"}) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(dir / kept))) << kept;
    }
    // A save still works, and leaves nothing behind.
    EXPECT_TRUE(replaceFileAtomically(dir / "profile1.led", "new"));
    EXPECT_EQ(removeStaleTemporaries(dir.path()), 0);
    EXPECT_EQ(removeStaleTemporaries(dir / "missing"), 0);
}

} // namespace
} // namespace quellix::platform
