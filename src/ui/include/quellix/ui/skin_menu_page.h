#pragma once
// The main window's background, language and menus: the feature page
// behind the skin button, the menu button, the tray icon's right button
// and the chosen menu items (message 1145).
//
// - Background: the page receives every SkinObserver() broadcast and
//   applies it to the main window's control "root"; at start it applies
//   the picture "main.ini" remembers when "FLAGS" is 1.
// - Language: at start the key store's value is noted in "main.ini"
//   ("2020" Chinese, anything else English); once the workers run, the
//   language "main.ini" names is loaded.  The menu items "lan_en" and
//   "lan_cn" switch at once and remember the choice in both places.
// - Menus: "menu.xml" at the pointer for the menu button; "menu1.xml" just
//   above the pointer for the tray icon, with an "exit" item on top.

#include "quellix/dui/window.h"
#include "quellix/ui/feature_page.h"
#include "quellix/ui/shell_settings.h"
#include "quellix/ui/skin_observer.h"

namespace quellix::ui {

// The language key of the tray menu's exit item.
inline constexpr const char* kExitItemText = "menu_exit";

class SkinMenuPage final : public FeaturePage, private SkinChangedReceiver {
public:
    // `mainWindow` outlives the page; the page registers with SkinObserver()
    // at once and leaves it when it goes.
    SkinMenuPage(dui::WindowImplBase& mainWindow, ShellSettings settings);
    ~SkinMenuPage() override;

    void OnNotify(dui::TNotifyUI& msg) override;
    bool OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) override;
    void StartUp(StartUpStep step) override;

    // Picks a language (a kLanguageChoices entry): texts, "main.ini", key store.
    void ChooseLanguage(const LanguageChoice& choice);
    // The menu window opened last (it may be closed by now).
    dui::HWND LastMenu() const { return lastMenu_; }
    const ShellSettings& Settings() const { return settings_; }

private:
    bool Receive(SkinChangedParam param) override;
    void ApplyRememberedBackground();
    void NoteLanguageFromKeyStore();
    void LoadChosenLanguage();
    void OpenSettingsMenu();
    void OpenTrayMenu();
    void ExecuteMenuItem(const dui::CDuiString& name, const dui::CDuiString& text);

    dui::WindowImplBase& window_;
    ShellSettings settings_;
    dui::HWND lastMenu_ = dui::kNullWindow;
};

} // namespace quellix::ui
