// The shipped factory default files are whole profiles of their families.

#include "quellix/profiles/families.h"

#include <gtest/gtest.h>

#include <vector>

namespace quellix::profiles {
namespace {

TEST(Defaults, EveryFamilysDefaultFileLoadsExactly) {
    for (std::size_t f = 0; f < kFamilyCount; ++f) {
        const auto family = static_cast<Family>(f);
        const auto& info = familyInfo(family);
        for (int variant = 0; variant < 3; ++variant) {
            const std::filesystem::path path =
                std::filesystem::path(DEFAULTS_DIR) / defaultFileName(family, variant);
            std::vector<std::uint8_t> payload(info.payloadBytes, 0xEE);
            EXPECT_TRUE(readProfileFile(path, ReadMode::Exact, info.kind, payload)) << path;
            // Every lighting default is the wave at full brightness.
            if (info.extension == ".led") {
                EXPECT_EQ(payload[1], 0) << path;
                EXPECT_EQ(payload[2], 4) << path;
                EXPECT_EQ(payload[5], 1) << path;
            }
        }
    }
}

} // namespace
} // namespace quellix::profiles
