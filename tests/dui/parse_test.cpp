// Values as layouts and callers write them: colours, rectangles, image
// descriptions and file-dialog filters, good and bad.

#include "quellix/dui/file_dialog.h"
#include "quellix/dui/image_desc.h"
#include "quellix/dui/types.h"

#include <gtest/gtest.h>

namespace quellix::dui {
namespace {

TEST(ParseColor, AcceptsTheLayoutSpellings) {
    struct Case {
        const char* text;
        DWORD expected;
    } cases[] = {
        {"#FF14161B", 0xFF14161B},   {"0xFF0199CB", 0xFF0199CB}, {"#0199CB", 0xFF0199CB},
        {" #00000000 ", 0x00000000}, {"4294967295", 0xFFFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseColor(c.text), c.expected) << c.text;
}

TEST(ParseColor, RejectsMalformedText) {
    for (const char* text : {"", "#", "#GG000000", "#FFF", "0x1FFFFFFFF", "red", "#FF14161B00"})
        EXPECT_THROW(ParseColor(text), ParseError) << text;
}

TEST(ParseRect, ReadsFourNumbersAndRejectsJunk) {
    EXPECT_EQ(ParseRect("1,2,3,4"), (RECT{1, 2, 3, 4}));
    EXPECT_EQ(ParseRect("10,20"), (RECT{10, 20, 0, 0}));
    EXPECT_EQ(ParseRect(" -5, 6 ,7,8"), (RECT{-5, 6, 7, 8}));
    for (const char* text : {"1,2,x,4", "1,2,3,4,5", "1;2;3;4"})
        EXPECT_THROW(ParseRect(text), ParseError) << text;
}

TEST(ParseImageDescription, ReadsKeysAndBareNames) {
    ImageDescription d = ParseImageDescription(
        "file='ms/key_left_normal.png' source='0,0,20,10' corner='2,2,2,2' fade='128'");
    EXPECT_EQ(d.file, "ms/key_left_normal.png");
    EXPECT_EQ(d.source, (RECT{0, 0, 20, 10}));
    EXPECT_EQ(d.corner, (RECT{2, 2, 2, 2}));
    EXPECT_EQ(d.fade, 128);
    EXPECT_EQ(ParseImageDescription("common/background.png").file, "common/background.png");
    EXPECT_TRUE(ParseImageDescription("").empty());
}

TEST(ParseImageDescription, RejectsBrokenDescriptions) {
    for (const char* text : {"file='x.png", "file=x.png source='1,2'", "file='x.png' fade='300'",
                             "file='x.png' source='a,b,c,d'"})
        EXPECT_THROW(ParseImageDescription(text), ParseError) << text;
}

TEST(ParseFileFilter, ReadsBothPlatformSpellings) {
    using namespace std::string_literals;
    auto nul = ParseFileFilter("Profile(*.PRO)\0*.PRO\0All(*.*)\0*.*;*.bak\0\0"s);
    ASSERT_EQ(nul.size(), 2u);
    EXPECT_EQ(nul[0], (FileFilter{"Profile(*.PRO)", {"*.PRO"}}));
    EXPECT_EQ(nul[1], (FileFilter{"All(*.*)", {"*.*", "*.bak"}}));

    auto pipes = ParseFileFilter("(*.png) | *.png |(*.*)|*.*||");
    ASSERT_EQ(pipes.size(), 2u);
    EXPECT_EQ(pipes[0], (FileFilter{"(*.png)", {"*.png"}}));
    EXPECT_EQ(pipes[1], (FileFilter{"(*.*)", {"*.*"}}));

    EXPECT_THROW(ParseFileFilter(""), ParseError);
    EXPECT_THROW(ParseFileFilter("(*.mac) ||"), ParseError);
}

TEST(ApplyDefaultExtension, AddsItOnlyWhenMissing) {
    EXPECT_EQ(ApplyDefaultExtension("/tmp/a", "mac"), "/tmp/a.mac");
    EXPECT_EQ(ApplyDefaultExtension("/tmp/a.MAC", "mac"), "/tmp/a.MAC");
    EXPECT_EQ(ApplyDefaultExtension("/tmp/a", ""), "/tmp/a");
}

} // namespace
} // namespace quellix::dui
