#include "quellix/ui/skin_menu_page.h"

#include "quellix/dui/menu.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/copyright.h"
#include "quellix/ui/msg_wnd.h"
#include "quellix/ui/skin_frame.h"

namespace quellix::ui {

namespace {

constexpr dui::DWORD kMenuAlignment = dui::eMenuAlignment_Left | dui::eMenuAlignment_Top;
constexpr const char* kMenuItemStyle = "menu_item";
// The tray menu opens this far above the pointer.
constexpr int kTrayMenuLift = 25;

// Menu items that do nothing.
constexpr std::string_view kInactiveItems[] = {"qianting", "Menu_Import", "Menu_Export"};

} // namespace

SkinMenuPage::SkinMenuPage(dui::WindowImplBase& mainWindow, ShellSettings settings)
    : window_(mainWindow), settings_(std::move(settings)) {
    SkinObserver().AddReceiver(this);
}

SkinMenuPage::~SkinMenuPage() {
    RemoveObserver();
}

void SkinMenuPage::OnNotify(dui::TNotifyUI& msg) {
    if (msg.sType != dui::DUI_MSGTYPE_CLICK || msg.pSender == nullptr) {
        return;
    }
    const std::string& name = msg.pSender->GetName();
    if (dui::EqualsNoCase(name, "skinbtn")) {
        CSkinFrame::Show(window_, msg.pSender, settings_);
    } else if (dui::EqualsNoCase(name, "menubtn")) {
        OpenSettingsMenu();
    }
}

bool SkinMenuPage::OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) {
    if (msg == dui::WM_TRAYICON_MESSAGE) {
        if (lParam == dui::WM_RBUTTONUP) {
            OpenTrayMenu();
            return true;
        }
        return false;
    }
    if (msg == dui::WM_MENUCLICK) {
        if (const dui::MenuCmd* command = dui::MenuCmdFromMessage(wParam, lParam)) {
            ExecuteMenuItem(command->szName, command->szText);
        }
        return true;
    }
    return false;
}

void SkinMenuPage::StartUp(StartUpStep step) {
    switch (step) {
    case StartUpStep::Remembered:
        ApplyRememberedBackground();
        break;
    case StartUpStep::MachineNotes:
        NoteLanguageFromKeyStore();
        break;
    case StartUpStep::WorkersRunning:
        LoadChosenLanguage();
        break;
    }
}

bool SkinMenuPage::Receive(SkinChangedParam param) {
    dui::CControlUI* root = window_.FindControl("root");
    if (root == nullptr) {
        return true;
    }
    if (param.bColor) {
        root->SetBkColor(param.bkcolor);
        root->SetBkImage("");
    } else {
        root->SetBkColor(0);
        root->SetBkImage(param.bgimage);
    }
    return true;
}

void SkinMenuPage::ApplyRememberedBackground() {
    if (settings_.readInt(kSkinFlagsKey) != 1) {
        return; // the layout's own background stays
    }
    const std::string picture = settings_.readString(kSkinImageKey);
    if (dui::CControlUI* root = window_.FindControl("root")) {
        root->SetBkColor(0);
        root->SetBkImage(picture);
    }
}

void SkinMenuPage::NoteLanguageFromKeyStore() {
    const auto stored =
        settings_.keyStore.readString(platform::kProductKeyPath, platform::kLanguageValueName);
    settings_.write(kLanguageKey, IniLanguageFromStore(stored));
}

void SkinMenuPage::LoadChosenLanguage() {
    const LanguageChoice* choice = LanguageForIniValue(settings_.readInt(kLanguageKey));
    if (choice == nullptr) {
        return; // the language loaded with the layout stays
    }
    dui::CResourceManager* resources = dui::CResourceManager::GetInstance();
    resources->SetLanguage(std::string(choice->resourceLanguage));
    if (!resources->LoadLanguage(std::string(choice->languageFile))) {
        platform::debugOutput(std::string(choice->languageFile) + ": " + resources->GetLastError());
    }
}

void SkinMenuPage::ChooseLanguage(const LanguageChoice& choice) {
    dui::CResourceManager* resources = dui::CResourceManager::GetInstance();
    resources->SetLanguage(std::string(choice.resourceLanguage));
    if (!resources->LoadLanguage(std::string(choice.languageFile))) {
        platform::debugOutput(std::string(choice.languageFile) + ": " + resources->GetLastError());
    }
    settings_.write(kLanguageKey, choice.iniValue);
    // Without the right to write the machine's store the choice lasts until
    // the program ends; the next start follows the store again.
    const Result stored = settings_.keyStore.writeString(
        platform::kProductKeyPath, platform::kLanguageValueName, choice.storeValue);
    if (stored) {
        platform::debugOutput("写成功！");
    } else {
        platform::debugOutput(settings_.keyStore.file().string() +
                              ": language not stored: " + stored.describe());
    }
    resources->ReloadText();
    window_.GetPaintManager().Invalidate();
    window_.GetPaintManager().NeedUpdate();
}

void SkinMenuPage::OpenSettingsMenu() {
    lastMenu_ = dui::kNullWindow;
    if (auto* menu =
            dui::CMenuWnd::CreateMenu(nullptr, "menu.xml", dui::GetCursorPos(),
                                      &window_.GetPaintManager(), nullptr, kMenuAlignment)) {
        lastMenu_ = menu->GetHWND();
    }
}

void SkinMenuPage::OpenTrayMenu() {
    dui::POINT at = dui::GetCursorPos();
    at.y -= kTrayMenuLift;
    lastMenu_ = dui::kNullWindow;
    auto* menu = dui::CMenuWnd::CreateMenu(nullptr, "menu1.xml", at, &window_.GetPaintManager(),
                                           nullptr, kMenuAlignment);
    if (menu == nullptr) {
        return;
    }
    lastMenu_ = menu->GetHWND();
    dui::CMenuUI* items = menu->GetMenuUI();
    if (items == nullptr) {
        return;
    }
    auto* exit = new dui::CMenuElementUI;
    exit->SetName("exit");
    exit->SetText(kExitItemText);
    items->AddAt(exit, 0);
    // The item looks like the layout's own items (when the layout has the style).
    try {
        exit->SetAttribute("style", kMenuItemStyle);
    } catch (const dui::ParseError& error) {
        platform::debugOutput(std::string("menu1.xml: ") + error.what());
    }
    menu->ResizeMenu();
}

void SkinMenuPage::ExecuteMenuItem(const dui::CDuiString& name, const dui::CDuiString& text) {
    if (const LanguageChoice* choice = LanguageForMenuItem(name)) {
        ChooseLanguage(*choice);
        return;
    }
    if (name == "About_setting") {
        Ccopyright::Show(window_);
        return;
    }
    if (name == "exit") {
        window_.Close(dui::IDOK);
        return;
    }
    for (std::string_view inactive : kInactiveItems) {
        if (name == inactive) {
            return;
        }
    }
    CMsgWnd::MessageBox(window_.GetHWND(), text);
}

} // namespace quellix::ui
