// The link controls of the profile panels: the check, the link button and
// the cancel-link button, and how a selection shows a profile's link.

#include "panel_fixture.h"
#include "quellix/platform/ini.h"

#include <sys/stat.h>

namespace quellix::profiles::pages::test {
namespace {

class LinkTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        for (const char* name : {"alpha", "beta"}) {
            platform::test::writeBytes(data_ / name, "#!/bin/sh\n");
            ::chmod((data_ / name).c_str(), 0755);
        }
        platform::test::writeBytes(data_ / "notes.txt", "text");
        ::chmod((data_ / "notes.txt").c_str(), 0644);
    }
    std::string program(const char* name) { return (data_ / name).string(); }

    // Profiles a, b, c of a family with the given links, position 1 selected.
    void start(Family family, const std::vector<LinkEntry>& links) {
        writeCatalogue(family, {"a", "b", "c"}, links);
        panel(family).Fill();
        panel(family).SelectQuietly(1);
        boxes();
        takeCalls();
    }
    std::string prefix(Family family) { return std::string(familyControls(family).prefix); }
};

const LinkEntry kNone{"0", " "};

TEST_F(LinkTest, CheckingLinksTheChosenProgramOnce) {
    struct Case {
        const char* what;
        std::vector<LinkEntry> links; // before, positions 0..2
        std::optional<std::string> answer;
        std::vector<const char*> boxes;
        bool linked; // position 1 afterwards
    };
    const LinkEntry alphaAt0{"1", program("alpha")};
    const Case cases[] = {
        {"a free program", {kNone, kNone, kNone}, program("alpha"), {}, true},
        {"a program another profile links",
         {alphaAt0, kNone, kNone},
         program("alpha"),
         {"message_text_13"},
         false},
        {"the same program in other case",
         {alphaAt0, kNone, kNone},
         program("ALPHA"),
         {"message_text_13"},
         false},
        {"the dialog cancelled", {kNone, kNone, kNone}, std::nullopt, {}, false},
        {"a file that is no program",
         {kNone, kNone, kNone},
         program("notes.txt"),
         {kNotProgramMessage},
         false},
    };
    for (const Case& c : cases) {
        start(Family::PadLighting, c.links);
        backend_.QueueFileDialogAnswer(c.answer);
        ASSERT_TRUE(click("mp_deng_profile_link_check")) << c.what;
        std::vector<std::string> expected;
        for (const char* key : c.boxes) {
            expected.push_back(dui::CResourceManager::GetInstance()->GetText(key));
        }
        EXPECT_EQ(boxes(), expected) << c.what;
        const Catalogue cat(Family::PadLighting, data_.path());
        EXPECT_EQ(checked(Family::PadLighting), c.linked) << c.what;
        EXPECT_EQ(cat.linkFlag(1), c.linked ? 1 : 0) << c.what;
        EXPECT_EQ(cat.program(1), c.linked ? program("alpha") : "") << c.what;
        EXPECT_EQ(text("mp_deng_profile_link_edit"), c.linked ? "alpha" : " ") << c.what;
        EXPECT_EQ(visible("mp_deng_profile_link_name_hor"), c.linked) << c.what;
        // The other profiles keep their links.
        EXPECT_EQ(cat.linkFlag(0), platform::leadingInteger(c.links[0].flag)) << c.what;
    }
    const auto& request = backend_.FileDialogRequests().back();
    EXPECT_EQ(request.initialDirectory, "/usr/bin");
    EXPECT_FALSE(request.save);
}

TEST_F(LinkTest, ChoosingTheProgramAProfileLinksAlreadyUnlinksIt) {
    start(Family::KeyboardKeys, {kNone, {"1", program("alpha")}, kNone});
    EXPECT_TRUE(checked(Family::KeyboardKeys));
    // The user clears the check, then checks it again with the same program.
    click("kb_key_profile_link_check");
    EXPECT_EQ(Catalogue(Family::KeyboardKeys, data_.path()).linkFlag(1), 0);
    ASSERT_TRUE(Catalogue(Family::KeyboardKeys, data_.path()).setLink(1, {"1", program("alpha")}));
    backend_.QueueFileDialogAnswer(program("alpha"));
    click("kb_key_profile_link_check");
    EXPECT_EQ(boxes(), std::vector<std::string>{
                           dui::CResourceManager::GetInstance()->GetText("message_text_13")});
    EXPECT_FALSE(checked(Family::KeyboardKeys));
    EXPECT_EQ(Catalogue(Family::KeyboardKeys, data_.path()).linkFlag(1), 0);
}

TEST_F(LinkTest, LinkButtonSharesProgramsOnlyInTheTwoMouseFamilies) {
    struct Case {
        Family family;
        bool shares;
    };
    for (const Case& c : {Case{Family::PadLighting, false}, Case{Family::MouseDevice, false},
                          Case{Family::MouseLighting, true}, Case{Family::MouseKeys, true}}) {
        start(c.family, {{"1", program("alpha")}, kNone, kNone});
        backend_.QueueFileDialogAnswer(program("alpha"));
        ASSERT_TRUE(click(prefix(c.family) + "_profile_link_btn"));
        EXPECT_EQ(boxes().size(), c.shares ? 0u : 1u) << familyInfo(c.family).name;
        EXPECT_EQ(Catalogue(c.family, data_.path()).linkFlag(1), c.shares ? 1 : 0);
        EXPECT_EQ(checked(c.family), c.shares);
        // A cancelled dialog changes nothing.
        backend_.QueueFileDialogAnswer(std::nullopt);
        click(prefix(c.family) + "_profile_link_btn");
        EXPECT_EQ(checked(c.family), c.shares);
    }
}

TEST_F(LinkTest, LinkButtonReplacesTheProgram) {
    start(Family::MouseDevice, {kNone, {"1", program("alpha")}, kNone});
    backend_.QueueFileDialogAnswer(program("beta"));
    click("ms_device_profile_link_btn");
    EXPECT_EQ(Catalogue(Family::MouseDevice, data_.path()).program(1), program("beta"));
    EXPECT_EQ(text("ms_device_profile_link_edit"), "beta");
    EXPECT_TRUE(checked(Family::MouseDevice));
}

TEST_F(LinkTest, CancelLinkRemovesTheLinkAndLeavesTheRowBlank) {
    start(Family::KeyboardLighting, {kNone, {"1", program("alpha")}, kNone});
    ASSERT_TRUE(visible("kb_deng_profile_link_name_hor"));
    click("kb_deng_cancle_link_btn");
    EXPECT_FALSE(checked(Family::KeyboardLighting));
    EXPECT_EQ(Catalogue(Family::KeyboardLighting, data_.path()).linkFlag(1), 0);
    EXPECT_EQ(text("kb_deng_profile_link_edit"), " ");
    EXPECT_TRUE(visible("kb_deng_profile_link_name_hor"));
}

TEST_F(LinkTest, SelectShowsEachProfilesLink) {
    start(Family::PadLighting, {{"1", program("alpha")}, kNone, {"1", "no-directory"}});
    struct Case {
        int position;
        bool linked;
        const char* shownName;
    };
    for (const Case& c : {Case{0, true, "alpha"}, Case{1, false, " "}, Case{0, true, "alpha"},
                          Case{2, false, " "}}) {
        panel(Family::PadLighting).SelectQuietly(c.position);
        EXPECT_EQ(checked(Family::PadLighting), c.linked) << c.position;
        EXPECT_EQ(text("mp_deng_profile_link_edit"), c.shownName) << c.position;
        EXPECT_EQ(visible("mp_deng_profile_link_name_hor"), c.linked) << c.position;
        // No program dialog opened on the way, and the profile was applied.
        EXPECT_TRUE(backend_.FileDialogRequests().empty());
        EXPECT_EQ(takeCalls().front().rfind("load " + std::to_string(c.position), 0), 0u);
    }
    // Showing the links changed none of them.
    const CatalogueView view = Catalogue(Family::PadLighting, data_.path()).read();
    EXPECT_EQ(view.links[0].flag, "1");
    EXPECT_EQ(view.links[2].flag, "1");
}

} // namespace
} // namespace quellix::profiles::pages::test
