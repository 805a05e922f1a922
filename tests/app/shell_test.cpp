// The main window's background, language and menus, on the headless
// backend with the shipped skin: "main.ini" and the machine key store are
// files of a temporary folder, so a "restart" is a new window on the same
// files.

#include <gtest/gtest.h>

#include <fstream>

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/headless.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/hid/device.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/ini.h"
#include "quellix/ui/key_labels.h"
#include "quellix/ui/skin_menu_page.h"
#include "temp_dir.h"

namespace quellix::app {
namespace {

using dui::UserDriver;

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetUpResources(toolkit, SHIPPED_SKIN_DIR)); }
    void TearDown() override { Close(); }

    ui::ShellSettings Settings() const {
        return {folder.path() / "main.ini", platform::MachineKeyStore(folder.path() / "store.ini")};
    }
    void SetStoreLanguage(const char* value) {
        ASSERT_TRUE(Settings().keyStore.writeString(platform::kProductKeyPath,
                                                    platform::kLanguageValueName, value));
    }
    std::string Ini(const char* key) const {
        return platform::getPrivateProfileString(ui::kSkinSection, key, "(absent)",
                                                 folder.path() / "main.ini");
    }

    // Starts the program's main window on the settings files (a start).
    void Open() {
        Close();
        window = std::make_unique<CMainWnd>();
        window->SetDeviceSource(noDevicesSource());
        auto page = std::make_unique<ui::SkinMenuPage>(*window, Settings());
        this->page = page.get();
        window->SetPage(ui::Feature::SkinAndMenu, std::move(page));
        ASSERT_NE(window->Create(dui::kNullWindow, kMainWindowTitle, kMainWindowStyle, 0, 0, 0,
                                 kMainWindowWidth, kMainWindowHeight),
                  dui::kNullWindow);
        window->CenterWindow();
        window->ShowWindow(true);
        backend.Pump();
        // The start-up sequence hid the window (no device); the user's
        // window is shown again to use its buttons.
        window->ShowWindow(true);
    }
    void Close() {
        dui::CMenuWnd::DestroyMenu();
        if (window && dui::IsWindow(window->GetHWND())) {
            window->DestroyWindow();
        }
        window.reset();
        page = nullptr;
        backend.Pump();
    }
    dui::CControlUI& Root() { return *window->FindControl("root"); }
    std::string MenuItemText(const char* name) {
        for (dui::CMenuWnd* menu : dui::CMenuWnd::OpenMenus()) {
            if (auto* item = menu->FindControl(name)) {
                return item->GetText();
            }
        }
        return "(no such item)";
    }
    std::vector<std::string> MenuItems() {
        std::vector<std::string> names;
        for (dui::CMenuWnd* menu : dui::CMenuWnd::OpenMenus()) {
            dui::CMenuUI* items = menu->GetMenuUI();
            for (int i = 0; items != nullptr && i < items->GetCount(); ++i) {
                names.push_back(items->GetItemAt(i)->GetName());
            }
        }
        return names;
    }
    // The open skin chooser.
    dui::WindowImplBase* SkinFrame() {
        for (dui::CWindowWnd* w : toolkit.windows()) {
            if (w->GetWindowClassName() == "UISkinFrame") {
                return dynamic_cast<dui::WindowImplBase*>(w);
            }
        }
        return nullptr;
    }
    // Clicks a control of the skin chooser by index among the same name.
    bool ClickInChooser(const std::string& name, int index = 0) {
        dui::WindowImplBase* frame = SkinFrame();
        if (frame == nullptr) {
            return false;
        }
        std::vector<dui::CControlUI*> all;
        frame->GetPaintManager().GetRoot()->FindControl(
            [&](dui::CControlUI* c) {
                if (c->GetName() == name) {
                    all.push_back(c);
                }
                return false;
            },
            dui::UIFIND_ALL);
        if (index >= int(all.size())) {
            return false;
        }
        return UserDriver(*frame, backend).Click(all[std::size_t(index)]);
    }
    void OpenChooser() {
        ASSERT_TRUE(UserDriver(*window, backend).Click("skinbtn"));
        ASSERT_NE(SkinFrame(), nullptr);
    }

    // No device: the workers look at an empty simulator directory.
    platform::test::TempDir noDevices;
    hid::DeviceSource noDevicesSource() const {
        return hid::DeviceSource::simulator(noDevices.path());
    }
    platform::test::TempDir folder;
    dui::HeadlessBackend backend;
    dui::Toolkit toolkit{backend};
    std::unique_ptr<CMainWnd> window;
    ui::SkinMenuPage* page = nullptr;
};

TEST_F(ShellTest, LanguageAtStartFollowsTheKeyStore) {
    struct Case {
        const char* store; // nullptr: no value; "unreadable": a store that cannot be read
        const char* ini;
        const char* language;
        const char* tip; // the close button's tooltip in that language
    };
    for (const auto& c : {Case{"2020", "1", "cn_zh", "关闭"}, Case{"1010", "0", "en", "Close"},
                          Case{nullptr, "0", "en", "Close"}, Case{"2020abc", "1", "cn_zh", "关闭"},
                          Case{"unreadable", "0", "en", "Close"}}) {
        std::filesystem::remove_all(folder.path() / "store.ini");
        if (c.store == nullptr) {
        } else if (std::string(c.store) == "unreadable") {
            std::filesystem::create_directory(folder.path() / "store.ini");
        } else {
            SetStoreLanguage(c.store);
        }
        Open();
        EXPECT_EQ(Ini(ui::kLanguageKey), c.ini) << (c.store ? c.store : "absent");
        EXPECT_EQ(toolkit.resources().GetLanguage(), c.language);
        EXPECT_EQ(toolkit.resources().GetText("tip_close"), c.tip);
    }
}

TEST_F(ShellTest, ChoosingALanguageSwitchesAtOnceAndIsRemembered) {
    Open();
    ASSERT_EQ(toolkit.resources().GetLanguage(), "en");
    const auto mark = platform::debugSequence();
    ASSERT_TRUE(UserDriver(*window, backend).Click("menubtn"));
    ASSERT_TRUE(UserDriver::ChooseMenuItem("lan_cn", backend));
    EXPECT_EQ(toolkit.resources().GetLanguage(), "cn_zh");
    EXPECT_EQ(toolkit.resources().GetText("tip_close"), "关闭");
    EXPECT_EQ(Ini(ui::kLanguageKey), "1");
    EXPECT_EQ(
        Settings().keyStore.readString(platform::kProductKeyPath, platform::kLanguageValueName),
        "2020");
    bool stored = false;
    for (const auto& line : platform::debugLinesSince(mark)) {
        stored = stored || line == "写成功！";
    }
    EXPECT_TRUE(stored);

    // The next start is Chinese.
    Open();
    EXPECT_EQ(toolkit.resources().GetLanguage(), "cn_zh");

    // English from the tray menu.
    ASSERT_TRUE(backend.ClickTray(dui::WM_RBUTTONUP));
    ASSERT_TRUE(UserDriver::ChooseMenuItem("lan_en", backend));
    EXPECT_EQ(toolkit.resources().GetLanguage(), "en");
    EXPECT_EQ(Ini(ui::kLanguageKey), "0");
    Open();
    EXPECT_EQ(toolkit.resources().GetLanguage(), "en");
}

TEST_F(ShellTest, WithoutRightsOnTheKeyStoreTheChoiceLastsUntilTheNextStart) {
    SetStoreLanguage("2020");
    Open();
    ASSERT_EQ(toolkit.resources().GetLanguage(), "cn_zh");
    // The store cannot be written now (a folder in its place fails the
    // write whoever runs the test, as /etc does for a user).
    const auto store = folder.path() / "store.ini";
    std::filesystem::remove(store);
    std::filesystem::create_directory(store);

    page->ChooseLanguage(ui::kEnglish);
    EXPECT_EQ(toolkit.resources().GetLanguage(), "en");
    EXPECT_EQ(toolkit.resources().GetText("tip_close"), "Close");
    EXPECT_EQ(Ini(ui::kLanguageKey), "0");

    // The store kept its value; the next start follows it: Chinese again.
    std::filesystem::remove(store);
    SetStoreLanguage("2020");
    Open();
    EXPECT_EQ(toolkit.resources().GetLanguage(), "cn_zh");
}

TEST_F(ShellTest, MenusAndTheirItems) {
    Open();
    backend.SetCursorPos({300, 400});
    ASSERT_TRUE(UserDriver(*window, backend).Click("menubtn"));
    EXPECT_EQ(MenuItems(), (std::vector<std::string>{"lan_en", "lan_cn", "About_setting", "exit"}));
    const dui::RECT settingsMenu = dui::CMenuWnd::OpenMenus().at(0)->GetWindowRect();
    EXPECT_EQ(settingsMenu.left, 300);
    EXPECT_EQ(settingsMenu.top, 400);
    EXPECT_EQ(page->LastMenu(), dui::CMenuWnd::OpenMenus().at(0)->GetHWND());

    // About opens the about window.
    ASSERT_TRUE(UserDriver::ChooseMenuItem("About_setting", backend));
    bool about = false;
    for (dui::CWindowWnd* w : toolkit.windows()) {
        about = about || w->GetWindowClassName() == "UICOPYRIGHT";
    }
    EXPECT_TRUE(about);

    // The tray menu opens just above the pointer with its exit item on top,
    // in the language of the interface.
    for (const auto& [choice, exitText] :
         {std::pair{ui::kEnglish, "Exit"}, std::pair{ui::kChinese, "退出"}}) {
        page->ChooseLanguage(choice);
        ASSERT_TRUE(backend.ClickTray(dui::WM_RBUTTONUP));
        EXPECT_EQ(MenuItems(),
                  (std::vector<std::string>{"exit", "lan_en", "lan_cn", "About_setting"}));
        EXPECT_EQ(MenuItemText("exit"), exitText);
        EXPECT_EQ(dui::CMenuWnd::OpenMenus().at(0)->GetWindowRect().top, 400 - 25);
        dui::CMenuWnd::DestroyMenu();
    }

    // An item the program does not know shows its own text.
    const dui::MenuCmd unknown{"Menu_Other", "", "Some text", false};
    backend.AnswerNextModal("MsgWnd", 1);
    window->HandleMessage(dui::WM_MENUCLICK, reinterpret_cast<dui::WPARAM>(&unknown), 0);
    ASSERT_FALSE(backend.ModalHistory().empty());
    EXPECT_EQ(backend.ModalHistory().back().messageText, "Some text");
    const std::size_t boxes = backend.ModalHistory().size();
    for (const char* quiet : {"qianting", "Menu_Import", "Menu_Export"}) {
        const dui::MenuCmd item{quiet, "", quiet, false};
        window->HandleMessage(dui::WM_MENUCLICK, reinterpret_cast<dui::WPARAM>(&item), 0);
    }
    EXPECT_EQ(backend.ModalHistory().size(), boxes);

    // The tray menu's exit item closes the main window.
    ASSERT_TRUE(backend.ClickTray(dui::WM_RBUTTONUP));
    const dui::HWND handle = window->GetHWND();
    ASSERT_TRUE(UserDriver::ChooseMenuItem("exit", backend));
    backend.Pump();
    EXPECT_FALSE(dui::IsWindow(handle));
    EXPECT_TRUE(backend.IsQuitRequested());
}

TEST_F(ShellTest, SkinChooserPicturesColoursAndRestart) {
    Open();
    const dui::RECT button = window->FindControl("skinbtn")->GetPos();
    OpenChooser();
    const dui::RECT chooser = SkinFrame()->GetWindowRect();
    EXPECT_EQ(chooser.right, window->GetWindowRect().left + button.right);
    EXPECT_EQ(chooser.top, window->GetWindowRect().top + button.bottom);
    EXPECT_EQ(chooser.width(), 300);

    // A picture: applied and remembered.
    ASSERT_TRUE(ClickInChooser("skin_image_btn", 2));
    EXPECT_EQ(Root().GetBkImage(), "skin/bg_ember.png");
    EXPECT_EQ(Root().GetBkColor(), 0u);
    EXPECT_EQ(Ini(ui::kSkinFlagsKey), "1");
    EXPECT_EQ(Ini(ui::kSkinImageKey), "skin/bg_ember.png");

    // A colour: applied, not remembered.
    ASSERT_TRUE(ClickInChooser("skin_color", 0));
    ASSERT_TRUE(ClickInChooser("skin_color_btn", 1));
    EXPECT_EQ(Root().GetBkColor(), 0xFF1A2230u);
    EXPECT_EQ(Root().GetBkImage(), "");
    EXPECT_EQ(Ini(ui::kSkinImageKey), "skin/bg_ember.png");

    // After a restart the remembered picture shows, not the colour.
    Open();
    EXPECT_EQ(Root().GetBkImage(), "skin/bg_ember.png");
    EXPECT_EQ(Root().GetBkColor(), 0u);

    // The default: applied and remembered with FLAGS 0, so the layout's own
    // background shows at the next start.
    OpenChooser();
    ASSERT_TRUE(ClickInChooser("skin_reset"));
    EXPECT_EQ(Root().GetBkImage(), "common/background.png");
    EXPECT_EQ(Ini(ui::kSkinFlagsKey), "0");
    Open();
    EXPECT_EQ(Root().GetBkImage(), "file='common/background.png'");
}

TEST_F(ShellTest, OwnPictureIsShownUntilTheEndAndBadFilesAreRefused) {
    Open();
    OpenChooser();
    ASSERT_TRUE(ClickInChooser("skin_image_btn", 1));
    const std::string remembered = "skin/bg_deepsea.png";
    ASSERT_EQ(Root().GetBkImage(), remembered);

    // Cancelled: nothing changes.
    OpenChooser();
    backend.QueueFileDialogAnswer(std::nullopt);
    ASSERT_TRUE(ClickInChooser("skin_Custom"));
    EXPECT_EQ(Root().GetBkImage(), remembered);
    ASSERT_FALSE(backend.FileDialogRequests().empty());
    const auto& request = backend.FileDialogRequests().back();
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.defaultExtension, "png");
    EXPECT_EQ(request.initialName, "*.png");

    // A file that is not a picture, and one that cannot be read: refused
    // with a message, the background stays.
    const auto notPicture = folder.path() / "notes.png";
    std::ofstream(notPicture) << "not a picture";
    for (const auto& bad : {notPicture, folder.path() / "missing.png"}) {
        OpenChooser();
        backend.QueueFileDialogAnswer(bad.string());
        backend.AnswerNextModal("MsgWnd", 1);
        ASSERT_TRUE(ClickInChooser("skin_Custom"));
        EXPECT_EQ(Root().GetBkImage(), remembered) << bad;
        EXPECT_EQ(backend.ModalHistory().back().messageText,
                  toolkit.resources().GetText("message_skin_picture"));
    }

    // A picture of the user's own: shown, not remembered.
    const auto own = folder.path() / "own.png";
    std::ofstream(own, std::ios::binary) << std::string("\x89PNG\r\n\x1a\n", 8) << "rest";
    OpenChooser();
    backend.QueueFileDialogAnswer(own.string());
    ASSERT_TRUE(ClickInChooser("skin_Custom"));
    EXPECT_EQ(Root().GetBkImage(), own.string());
    EXPECT_EQ(Ini(ui::kSkinImageKey), remembered);
    Open();
    EXPECT_EQ(Root().GetBkImage(), remembered);
}

TEST_F(ShellTest, SkinChooserClosesWhenItLosesTheFocus) {
    Open();
    OpenChooser();
    const dui::HWND frame = SkinFrame()->GetHWND();
    SkinFrame()->HandleMessage(dui::WM_KILLFOCUS, 0, 0);
    backend.Pump();
    EXPECT_FALSE(dui::IsWindow(frame));
    // A new click opens a new one.
    OpenChooser();
    EXPECT_NE(SkinFrame()->GetHWND(), frame);
}

TEST_F(ShellTest, TextQueryAnswersTwoKeysByLanguage) {
    Open();
    struct Case {
        const char* key;
        const char* language;
        std::optional<std::string> text;
    };
    for (const auto& c :
         {Case{"titletext", "en", "Duilib Demo v1.1"}, Case{"TitleText", "cn_zh", "mouse"},
          Case{"hometext", "en", "{a}Home Page{/a}"}, Case{"HOMETEXT", "cn_zh", "{a}演示官网{/a}"},
          Case{"tip_close", "en", std::nullopt}}) {
        toolkit.resources().SetLanguage(c.language);
        EXPECT_EQ(window->QueryControlText(c.key, ""), c.text) << c.key << " " << c.language;
    }
}

TEST_F(ShellTest, HiddenStartRunsTheStartUpWithoutShowingTheWindow) {
    // The program's own settings files, in a private folder.
    static platform::test::TempDir settings;
    setenv("QUELLIX_DOCUMENTS_DIR", settings.path().c_str(), 0);
    setenv("QUELLIX_MACHINE_STORE", (settings.path() / "machine.ini").c_str(), 0);
    bool shownAtCreation = true;
    bool shownAfterStartUp = true;
    bool workersRan = false;
    bool pageInstalled = false;
    RunMainWindow(
        toolkit, nullptr, noDevicesSource(),
        [&](CMainWnd& main) {
            shownAtCreation = main.IsWindowVisible();
            // Runs after the start-up sequence that was posted before it.
            dui::PostTask([&] {
                shownAfterStartUp = main.IsWindowVisible();
                workersRan = main.WorkersRunning();
                pageInstalled = dynamic_cast<ui::SkinMenuPage*>(
                                    &main.Page(ui::Feature::SkinAndMenu)) != nullptr;
                main.DestroyWindow();
            });
        },
        true);
    EXPECT_FALSE(shownAtCreation);
    EXPECT_FALSE(shownAfterStartUp);
    EXPECT_TRUE(workersRan);
    EXPECT_TRUE(pageInstalled);
}

TEST(ShellTexts, ExitAndUnknownKeyLabelsComeFromBothLanguageFiles) {
    dui::HeadlessBackend backend;
    dui::Toolkit toolkit(backend);
    toolkit.resources().SetResourcePath(SHIPPED_SKIN_DIR);
    for (const auto& [file, exitText, unknownText] :
         {std::tuple{"lan_en.xml", "Exit", "Disabled"}, std::tuple{"lan_cn.xml", "退出", "禁用"}}) {
        ASSERT_TRUE(toolkit.resources().LoadLanguage(file));
        EXPECT_EQ(toolkit.resources().FindText(ui::kExitItemText), exitText) << file;
        EXPECT_EQ(toolkit.resources().FindText(ui::kUnknownKeyLabel), unknownText) << file;
    }
}

TEST(CommandLine, HiddenGlyphCheckAndBackground) {
    auto parsed = ParseCommandLine({"--hidden", "--check-glyphs", "--background=#FF102030"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_TRUE(parsed.options.hidden);
    EXPECT_TRUE(parsed.options.checkGlyphs);
    EXPECT_EQ(parsed.options.background, "#FF102030");
    EXPECT_FALSE(ParseCommandLine({"--background="}).error.empty());
    EXPECT_FALSE(ParseCommandLine({}).options.hidden);
}

} // namespace
} // namespace quellix::app
