#include "quellix/platform/shared_bytes.h"

#include <gtest/gtest.h>

#include <array>

namespace quellix::platform {
namespace {

TEST(SharedBytes, StartZeroAndCopyInAndOut) {
    SharedArray<4> bytes;
    EXPECT_EQ(bytes.snapshot(), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    const std::array<std::uint8_t, 6> longer = {1, 2, 3, 4, 5, 6};
    bytes.copyIn(longer); // only the first four fit
    EXPECT_EQ(bytes.snapshot(), (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    std::array<std::uint8_t, 2> shorter{};
    bytes.copyOut(shorter);
    EXPECT_EQ(shorter, (std::array<std::uint8_t, 2>{1, 2}));
}

TEST(SharedBytes, CounterWrapsAsAByte) {
    SharedByte b{250};
    EXPECT_EQ(b.addAndGet(11), 5);
    Shared<std::int8_t> signedByte{-1};
    EXPECT_EQ(signedByte.load(), -1);
}

} // namespace
} // namespace quellix::platform
