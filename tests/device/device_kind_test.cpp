// The device table against the facts the devices and the files fix: ids on
// the bus, the kind codes stored in profile headers and information blocks,
// keyboard variants, interfaces and LED counts.  Written out here rather
// than read back from the table, so a slip in the table shows.

#include "quellix/device/device_kind.h"

#include <gtest/gtest.h>

#include <vector>

namespace quellix::device {
namespace {

struct KindFacts {
    DeviceKind kind;
    std::uint16_t code;
    std::string_view word;
    std::string_view prefix;
    std::vector<std::uint16_t> products; // session's own first
    bool listener;
    unsigned leds;
};

const KindFacts kFacts[] = {
    {DeviceKind::Keyboard, 1, "keyboard", "kb", {0x0632, 0x7513, 0x763E}, true, 126},
    {DeviceKind::Mouse, 2, "mouse", "ms", {0x5F01}, true, 20},
    {DeviceKind::MousePad, 3, "pad", "mp", {0x5F02}, false, 11},
};

TEST(DeviceTable, EachKindHasItsIdsCodesAndNames) {
    for (const KindFacts& f : kFacts) {
        SCOPED_TRACE(std::string(kindName(f.kind)));
        const DeviceKindInfo& info = kindInfo(f.kind);
        EXPECT_EQ(info.kind, f.kind);
        EXPECT_EQ(info.vendorId, 0x0C45);
        ASSERT_EQ(info.products.size(), f.products.size());
        for (std::size_t i = 0; i < f.products.size(); ++i) {
            EXPECT_EQ(info.products[i].productId, f.products[i]);
            EXPECT_EQ(kindOfProduct(0x0C45, f.products[i]), f.kind);
        }
        EXPECT_EQ(identityOf(f.kind), (DeviceIdentity{0x0C45, f.products.front(), 0x0092, 0xFF1C}));
        EXPECT_EQ(kindCode(f.kind), f.code);
        EXPECT_EQ(kindFromCode(f.code), f.kind);
        EXPECT_EQ(kindFromWord(f.word), f.kind);
        EXPECT_EQ(kindFromPrefix(f.prefix), f.kind);
        EXPECT_EQ(info.listenerInterface.present(), f.listener);
        if (f.listener) {
            EXPECT_EQ(info.listenerInterface, (HidUsage{0x0C, 0x01}));
        }
        EXPECT_EQ(info.ledCount, f.leds);
    }
}

TEST(DeviceTable, UnknownIdsAndNamesFindNoKind) {
    EXPECT_FALSE(kindOfProduct(0x0C45, 0x1234));
    EXPECT_FALSE(kindOfProduct(0x046D, 0x5F01)); // another vendor's product
    EXPECT_FALSE(kindFromCode(0));
    EXPECT_FALSE(kindFromCode(4));
    EXPECT_FALSE(kindFromWord("mouse pad"));
    EXPECT_FALSE(kindFromWord(""));
}

TEST(DeviceTable, KeyboardVariantsByProductId) {
    struct Case {
        std::uint16_t productId;
        std::optional<int> variant;
    };
    const Case cases[] = {
        {0x7513, 0}, {0x0632, 1}, {0x763E, 2}, {0x5F01, std::nullopt}, {0x0000, std::nullopt}};
    for (const Case& c : cases) {
        EXPECT_EQ(keyboardVariantFor(c.productId), c.variant) << std::hex << c.productId;
        if (c.variant) {
            EXPECT_EQ(keyboardProductOf(*c.variant), c.productId);
        }
    }
    EXPECT_FALSE(keyboardProductOf(3));
    EXPECT_EQ(keyboardVariantFor(0x0632), kOneColourKeyboardVariant);
}

} // namespace
} // namespace quellix::device
