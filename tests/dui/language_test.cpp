// Texts: language files, switching and reloading, the text-query callback,
// and resource lists.

#include "test_window.h"

namespace quellix::dui::test {
namespace {

TEST_F(DuiTest, TextsFollowTheLanguageAndUnknownKeysShowLiterally) {
    TestWindow& window = Open("XML_MAIN");
    toolkit.resources().SetTextQueryInterface(&window);
    UserDriver user(window, backend);
    ASSERT_TRUE(toolkit.resources().LoadLanguage("lan_cn.xml"));
    toolkit.resources().SetLanguage("cn_zh");
    EXPECT_EQ(user.TextOf("title"), "游戏鼠标垫");
    EXPECT_EQ(window.FindControl("closebtn")->GetToolTip(), "关闭窗口");
    EXPECT_EQ(user.TextOf("ms_deng_label"), "literal words");

    const int repaintsBefore = backend.InvalidateCount(window.GetHWND());
    toolkit.resources().SetLanguage("en");
    ASSERT_TRUE(toolkit.resources().LoadLanguage("lan_en.xml"));
    toolkit.resources().ReloadText();
    EXPECT_GT(backend.InvalidateCount(window.GetHWND()), repaintsBefore);
    EXPECT_EQ(user.TextOf("title"), "Gaming Mouse Pad");
    EXPECT_EQ(window.FindControl("title")->GetRawText(), "app_title");
    // Combo items resolve too; the combo shows its selected item.
    auto* combo = window.FindControl<CComboUI>("mode_combo");
    combo->SelectItem(1, false, false);
    EXPECT_EQ(combo->GetText(), "Breathing");
}

TEST_F(DuiTest, TranslationThroughAHiddenLabel) {
    // Code that needs a translated text sets the key on a hidden label and
    // reads the translation back.
    TestWindow& window = Open("XML_MAIN");
    ASSERT_TRUE(toolkit.resources().LoadLanguage("lan_en.xml"));
    CControlUI* probe = window.FindControl("str_test");
    probe->SetText("message_text_1");
    EXPECT_EQ(probe->GetText(), "Device not connected");
    probe->SetResourceText(false);
    EXPECT_EQ(probe->GetText(), "message_text_1");
}

TEST_F(DuiTest, TextQueryCallbackAnswersWhatTheLanguageFileLacks) {
    TestWindow& window = Open("XML_MAIN");
    toolkit.resources().SetTextQueryInterface(&window);
    CControlUI* title = window.FindControl("title");
    struct Case {
        const char* language;
        const char* key;
        const char* shown;
    } cases[] = {
        {"en", "titletext", "Duilib Demo v1.1"},
        {"cn_zh", "TITLETEXT", "mouse"},
        {"en", "app_title", "app_title"}, // no language file loaded, no answer
    };
    for (const auto& c : cases) {
        toolkit.resources().SetLanguage(c.language);
        title->SetText(c.key);
        EXPECT_EQ(title->GetText(), c.shown) << c.key;
    }
    // The language file wins over the callback.
    ASSERT_TRUE(toolkit.resources().LoadLanguageText(
        R"(<Language id="en"><Text key="titletext">From file</Text></Language>)"));
    title->SetText("titletext");
    EXPECT_EQ(title->GetText(), "From file");
}

TEST_F(DuiTest, WindowGoneClearsItselfAsTextQuery) {
    {
        TestWindow window("XML_MAIN");
        toolkit.resources().SetTextQueryInterface(&window);
    }
    EXPECT_EQ(toolkit.resources().GetTextQueryInterface(), nullptr);
    EXPECT_EQ(toolkit.resources().GetText("titletext"), "titletext");
}

TEST_F(DuiTest, BadLanguageFileKeepsTheTextsAlreadyLoaded) {
    ASSERT_TRUE(toolkit.resources().LoadLanguage("lan_en.xml"));
    struct Case {
        const char* file;
        const char* inError;
    } cases[] = {
        {"lan_broken.xml", "appears twice"},
        {"lan_missing.xml", "cannot be read"},
        {"main.xml", "<Language>"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(toolkit.resources().LoadLanguage(c.file)) << c.file;
        EXPECT_NE(toolkit.resources().GetLastError().find(c.inError), CDuiString::npos)
            << toolkit.resources().GetLastError();
        EXPECT_EQ(toolkit.resources().GetText("app_title"), "Gaming Mouse Pad") << c.file;
    }
    EXPECT_EQ(toolkit.resources().GetLanguageFileId(), "en");
}

TEST_F(DuiTest, ResourceIdsResolveToSkinFiles) {
    EXPECT_EQ(toolkit.resources().GetXmlFile("XML_MSG"), "msg.xml");
    EXPECT_EQ(toolkit.resources().GetXmlFile("XML_NONE"), std::nullopt);
    EXPECT_EQ(toolkit.resources().ResolveLayout("XML_MAIN"),
              std::filesystem::path(QUELLIX_DUI_TEST_DATA) / "main.xml");
    EXPECT_EQ(toolkit.resources().ResolveLayout("GmPalletDialog.xml"),
              std::filesystem::path(QUELLIX_DUI_TEST_DATA) / "GmPalletDialog.xml");
    EXPECT_FALSE(toolkit.resources().LoadResource("broken.xml"));
    EXPECT_EQ(toolkit.resources().GetXmlFile("XML_MSG"), "msg.xml"); // kept
}

} // namespace
} // namespace quellix::dui::test
