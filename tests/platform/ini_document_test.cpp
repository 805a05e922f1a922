// Parse, look-up and edit rules of INI text, without files.
#include "quellix/platform/ini.h"
#include "quellix/platform/ini_document.h"

#include <gtest/gtest.h>

namespace quellix::platform {
namespace {

constexpr std::string_view kCatalogue = "; written by hand\r\n"
                                        "[PROFILECOUNT]\r\n"
                                        "count=2\r\n"
                                        "\r\n"
                                        "[ ProfileName ]\r\n"
                                        "  0 =  Game one  \r\n"
                                        "1=\"  quoted  \"\r\n"
                                        "garbage line without equals\r\n"
                                        "=no key\r\n"
                                        "[broken header\r\n"
                                        "2='single'\r\n"
                                        "名字=中文值\r\n"
                                        "[profilename]\r\n"
                                        "0=shadowed duplicate section\r\n";

struct LookupCase {
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(IniDocument, LooksUpValuesLikeThePrivateProfileFunctions) {
    const IniDocument doc = IniDocument::parse(kCatalogue);
    const LookupCase cases[] = {
        {"PROFILECOUNT", "count", "2"},
        {"profilecount", "COUNT", "2"},       // ASCII case ignored
        {"ProfileName", "0", "Game one"},     // name and value trimmed
        {"  PROFILENAME ", " 0", "Game one"}, // caller's names trimmed too
        {"ProfileName", "1", "  quoted  "},   // quotes removed, inside kept
        {"ProfileName", "2", "single"},       // malformed header skipped
        {"ProfileName", "名字", "中文值"},    // UTF-8 keys compared bytewise
        {"ProfileName", "garbage line without equals", std::nullopt},
        {"ProfileName", "", std::nullopt},
        {"ProfileName", "3", std::nullopt},
        {"Missing", "count", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(doc.value(c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST(IniDocument, ListsSectionsOnceAndKeysOfTheFirstSection) {
    const IniDocument doc = IniDocument::parse(kCatalogue);
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"PROFILECOUNT", "ProfileName"}));
    EXPECT_EQ(doc.keys("PROFILENAME"), (std::vector<std::string>{"0", "1", "2", "名字"}));
    auto entries = doc.entries("profilename");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1], (std::pair<std::string, std::string>{"1", "  quoted  "}));
}

TEST(IniDocument, EditsTouchOnlyTheirLines) {
    IniDocument doc = IniDocument::parse(kCatalogue);
    ASSERT_TRUE(doc.setValue("profilecount", "COUNT", "3"));  // keeps "count" spelling
    ASSERT_TRUE(doc.setValue("PROFILECOUNT", "select", "1")); // before the blank line
    ASSERT_TRUE(doc.setValue("New", "k", "v"));
    std::string text = doc.serialize();
    EXPECT_NE(text.find("[PROFILECOUNT]\r\ncount=3\r\nselect=1\r\n\r\n[ ProfileName ]"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("garbage line without equals\r\n=no key\r\n[broken header\r\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("[New]\r\nk=v\r\n"));

    ASSERT_TRUE(doc.removeKey("ProfileName", "1"));
    EXPECT_FALSE(doc.removeKey("ProfileName", "1"));
    EXPECT_EQ(doc.value("ProfileName", "1"), std::nullopt);
    ASSERT_TRUE(doc.removeSection("PROFILENAME")); // first one only
    EXPECT_EQ(doc.value("ProfileName", "0"), "shadowed duplicate section");
}

TEST(IniDocument, RefusesTextThatWouldNotReadBack) {
    IniDocument doc;
    const std::tuple<const char*, std::string, std::string> refused[] = {
        {"S", "", "v"},         {"S", "  ", "v"},     {"S", "a=b", "v"},
        {"S", "[k", "v"},       {"S", ";k", "v"},     {"S", "k", "two\nlines"},
        {"S", "k", "cr\rhere"}, {"S\n[T]", "k", "v"}, {"S", "k", std::string("nul\0x", 5)},
    };
    for (const auto& [section, key, value] : refused)
        EXPECT_FALSE(doc.setValue(section, key, value)) << key << "=" << value;
    EXPECT_EQ(doc.serialize(), "\xFF\xFE"); // nothing written but the BOM
}

TEST(IniDocument, KeepsTheEncodingItWasReadIn) {
    // "[S]\nk=é\n" in each encoding; LF endings are kept as well.
    const std::pair<TextEncoding, std::string> encodings[] = {
        {TextEncoding::Utf8, "[S]\nk=\xC3\xA9\n"},
        {TextEncoding::Utf8Bom, "\xEF\xBB\xBF[S]\nk=\xC3\xA9\n"},
        {TextEncoding::Utf16LeBom, std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xE9\0\n\0", 18)},
        {TextEncoding::Utf16BeBom, std::string("\xFE\xFF\0[\0S\0]\0\n\0k\0=\0\xE9\0\n", 18)},
    };
    for (const auto& [encoding, bytes] : encodings) {
        IniDocument doc = IniDocument::parse(bytes);
        EXPECT_EQ(doc.encoding(), encoding);
        EXPECT_EQ(doc.value("s", "K"), "é");
        EXPECT_EQ(doc.serialize(), bytes);
    }
}

TEST(IniDocument, Utf16RoundTripKeepsSurrogatePairsAndLoneSurrogates) {
    // "k=" U+1F600 (pair D83D DE00), a lone DC00, then an odd trailing byte.
    const std::string bytes("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x3D\xD8\x00\xDE\x00\xDC\r\0\n\0\x07",
                            27);
    IniDocument doc = IniDocument::parse(bytes);
    EXPECT_EQ(doc.value("S", "k"), "\xF0\x9F\x98\x80\xED\xB0\x80");
    EXPECT_EQ(doc.serialize(), bytes);
}

struct TruncationCase {
    std::string text;
    std::size_t maxUnits;
    std::string expected;
};

TEST(Utf16Truncation, CutsAtCharacterBoundaries) {
    const TruncationCase cases[] = {
        {"abc", 2, "ab"},
        {"中文字", 2, "中文"},         // 3 bytes, 1 unit each
        {"a\xF0\x9F\x98\x80", 2, "a"}, // pair does not fit
        {"a\xF0\x9F\x98\x80", 3, "a\xF0\x9F\x98\x80"},
        {"\xFF\xFE"
         "b",
         2, "\xFF\xFE"},             // invalid bytes: 1 each
        {"\xE4\xB8", 5, "\xE4\xB8"}, // truncated sequence
    };
    for (const auto& c : cases)
        EXPECT_EQ(truncateToUtf16Units(c.text, c.maxUnits), c.expected) << c.text;
}

} // namespace
} // namespace quellix::platform
