// The catalogue reader and the rules for profile names: reads of damaged
// catalogues, the names Add and Copy choose, the names refused as file
// names, and how links move when a profile is deleted.

#include "quellix/platform/ini.h"
#include "quellix/platform/ini_document.h"
#include "quellix/profiles/catalogue.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <climits>

namespace quellix::profiles {
namespace {

CatalogueView readText(std::string_view text, Family family = Family::PadLighting) {
    return readCatalogue(platform::IniDocument::parse(text), family);
}

TEST(CatalogueRead, DamagedCataloguesReadSafely) {
    struct Case {
        const char* what;
        const char* text;
        int count;
        std::vector<std::string> names;
        int selection;
    };
    const Case cases[] = {
        {"empty file", "", 0, {}, 0},
        {"names without a count", "[PROFILEDENGNAME]\n0=a\n", 0, {}, 0},
        {"count beyond the names",
         "[PROFILEDENGCOUNT]\ncount=3\n[PROFILEDENGNAME]\n1=b\n",
         3,
         {"0", "b", "0"},
         0},
        {"negative count", "[PROFILEDENGCOUNT]\ncount=-5\n", 0, {}, 0},
        {"count with text after it",
         "[PROFILEDENGCOUNT]\ncount=2x\n[PROFILEDENGNAME]\n0=a\n1=b\n",
         2,
         {"a", "b"},
         0},
        {"first of two keys wins",
         "[PROFILEDENGCOUNT]\ncount=1\n[PROFILEDENGNAME]\n0=first\n0=second\n",
         1,
         {"first"},
         0},
        {"selection kept as written", "[PROFILEDENGSELECT]\nselect=7\n", 0, {}, 7},
        {"other family's sections ignored",
         "[PROFILECOUNT]\ncount=2\n[PROFILENAME]\n0=k\n",
         0,
         {},
         0},
        {"names with separators read as written",
         "[PROFILEDENGCOUNT]\ncount=2\n[PROFILEDENGNAME]\n0=../x\n1=a/b\n",
         2,
         {"../x", "a/b"},
         0},
    };
    for (const Case& c : cases) {
        const CatalogueView view = readText(c.text);
        EXPECT_EQ(view.count, c.count) << c.what;
        EXPECT_EQ(view.names, c.names) << c.what;
        EXPECT_EQ(view.selection, c.selection) << c.what;
        EXPECT_EQ(view.links.size(), view.names.size()) << c.what;
    }
}

TEST(CatalogueRead, HugeCountIsCut) {
    const CatalogueView view = readText("[PROFILEDENGCOUNT]\ncount=99999999999\n");
    EXPECT_TRUE(view.cut);
    EXPECT_EQ(view.count, kMaxCatalogueEntries);
    EXPECT_EQ(view.names.size(), static_cast<std::size_t>(kMaxCatalogueEntries));
}

TEST(CatalogueRead, LongNamesAreCutAsTheReadBufferCutsThem) {
    const std::string longName(300, 'n');
    const CatalogueView view =
        readText("[PROFILEDENGCOUNT]\ncount=1\n[PROFILEDENGNAME]\n0=" + longName + "\n");
    ASSERT_EQ(view.names.size(), 1u);
    EXPECT_EQ(view.names[0], std::string(259, 'n'));
}

TEST(CatalogueRead, LeadingNumber) {
    const std::pair<const char*, int> cases[] = {
        {"", 0},
        {"12", 12},
        {"-3", -3},
        {"+4", 4},
        {"7abc", 7},
        {"abc", 0},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(platform::leadingInteger(text), value) << text;
    }
}

TEST(CatalogueFile, WritesReadBackAndMissingFileReadsEmpty) {
    platform::test::TempDir dir;
    const Catalogue catalogue(Family::MouseKeys, dir.path());
    EXPECT_EQ(catalogue.file(), dir / "msProfile.ini");
    EXPECT_EQ(catalogue.read().count, 0);
    EXPECT_EQ(catalogue.name(0), "0");
    ASSERT_TRUE(catalogue.setCount(2));
    ASSERT_TRUE(catalogue.setName(0, "a"));
    ASSERT_TRUE(catalogue.setName(1, "b"));
    ASSERT_TRUE(catalogue.setLink(1, {"1", "/usr/bin/xterm"}));
    ASSERT_TRUE(catalogue.setSelection(1));
    const CatalogueView view = catalogue.read();
    EXPECT_EQ(view.names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(view.links[1], (LinkEntry{"1", "/usr/bin/xterm"}));
    EXPECT_EQ(view.links[0], (LinkEntry{"0", "0"}));
    EXPECT_EQ(view.selection, 1);
    EXPECT_EQ(catalogue.linkFlag(1), 1);
    // The mouse device family shares the file but not its sections.
    EXPECT_EQ(Catalogue(Family::MouseDevice, dir.path()).read().count, 0);
    EXPECT_EQ(catalogue.profilePath("a"), dir / "a.pro");
    EXPECT_TRUE(catalogue.profilePath("../a").empty());
}

TEST(ProfileNames, RefusedNames) {
    const std::string atLimit(NAME_MAX - 4, 'a'); // + ".led" is exactly NAME_MAX
    struct Case {
        std::string name;
        NameProblem problem;
    };
    const Case cases[] = {
        {"profile1", NameProblem::None},
        {"my profile", NameProblem::None},
        {"配置", NameProblem::None},
        {"a.b", NameProblem::None},
        {atLimit, NameProblem::None},
        {atLimit + "a", NameProblem::TooLong},
        {"", NameProblem::Empty},
        {".", NameProblem::DotName},
        {"..", NameProblem::DotName},
        {"a/b", NameProblem::Separator},
        {"../etc/passwd", NameProblem::Separator},
        {"/", NameProblem::Separator},
        {std::string("a\0b", 3), NameProblem::ControlCharacter},
        {"a\nb", NameProblem::ControlCharacter},
        {"tab\t", NameProblem::ControlCharacter},
        {" lead", NameProblem::EdgeBlankOrQuote},
        {"trail ", NameProblem::EdgeBlankOrQuote},
        {"\"quoted\"", NameProblem::EdgeBlankOrQuote},
        {"'q'", NameProblem::EdgeBlankOrQuote},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkProfileName(c.name, ".led"), c.problem) << c.name;
    }
}

TEST(ProfileNames, AddAndCopyChooseFreeNames) {
    using Names = std::vector<std::string>;
    const std::pair<Names, std::string> adds[] = {
        {{}, "profile1"},
        {{"profile1", "profile3"}, "profile2"},
        {{"Profile1"}, "profile2"},
        {{"PROFILE1", "profile2"}, "profile3"},
    };
    for (const auto& [names, expected] : adds) {
        EXPECT_EQ(nextFreeName(names), expected);
    }
    const std::tuple<std::string, Names, std::string> copies[] = {
        {"a", {"a"}, "a copy"},
        {"a", {"a", "a copy"}, "a copy copy"},
        {"a", {"a", "A COPY"}, "a copy copy"},
        {"profile1 copy", {"profile1 copy"}, "profile1 copy copy"},
    };
    for (const auto& [source, names, expected] : copies) {
        EXPECT_EQ(copyName(source, names), expected);
    }
}

TEST(ProfileLinks, DeleteMovesTheLinksAfterTheDeletedProfile) {
    const LinkEntry a{"0", " "}, b{"1", "/usr/bin/b"}, c{"1", "/usr/bin/c"};
    using Links = std::vector<LinkEntry>;
    const std::tuple<Links, int, Links> cases[] = {
        {{a, b, c}, 1, {a, c}}, {{a, b, c}, 0, {b, c}}, {{a, b, c}, 2, {a, b}},
        {{b}, 0, Links{}},      {Links{}, 0, Links{}},
    };
    for (const auto& [links, removed, expected] : cases) {
        EXPECT_EQ(linksAfterDelete(links, removed), expected) << removed;
    }
}

TEST(ProfileLinks, ProgramFileName) {
    EXPECT_EQ(programFileName("/usr/bin/xterm"), "xterm");
    EXPECT_EQ(programFileName("xterm"), "xterm");
    EXPECT_TRUE(hasDirectory("/usr/bin/xterm"));
    EXPECT_FALSE(hasDirectory("xterm"));
}

} // namespace
} // namespace quellix::profiles
