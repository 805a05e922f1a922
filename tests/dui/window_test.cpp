// Windows: modal runs and their codes, window timers on the manual clock,
// destruction order, messages to windows that are gone, menus, the tray
// icon, registered messages and file dialogs.

#include "test_window.h"

namespace quellix::dui::test {
namespace {

// A message box as the dialogs use it: confirm closes with 1, cancel and
// close with 0; a timer 1 closes it after 500 ms when asked.
class MsgBox : public TestWindow {
public:
    MsgBox() : TestWindow("XML_MSG", "MsgWnd") {
        onNotify = [this](TNotifyUI& msg) {
            if (msg.sType != DUI_MSGTYPE_CLICK)
                return;
            const CDuiString& name = msg.pSender->GetName();
            if (name == "confirm_btn")
                Close(1);
            else if (name == "cancel_btn" || name == "closebtn")
                Close(0);
        };
        onMessage = [this](UINT m, WPARAM w, LPARAM, bool&) -> LRESULT {
            if (m == WM_TIMER && w == 1) {
                KillTimer(1);
                Close(0);
            }
            return 0;
        };
    }
};

UINT RunBox(HWND owner, const CDuiString& key, bool selfClosing = false) {
    auto* box = new MsgBox;
    box->deleteOnFinal = true;
    box->Create(owner, "", UI_WNDSTYLE_DIALOG, WS_EX_TOOLWINDOW);
    box->CenterWindow();
    box->FindControl("MessageText")->SetText(key);
    if (selfClosing)
        box->SetTimer(1, 500);
    return box->ShowModal();
}

ModalScript ClickScript(const char* button) {
    return {[button](WindowImplBase& w, HeadlessBackend& b) {
                EXPECT_TRUE(UserDriver(w, b).Click(button));
            },
            99};
}

TEST_F(DuiTest, ModalRunsReturnTheCodeTheWindowWasClosedWith) {
    toolkit.resources().LoadLanguage("lan_en.xml");
    TestWindow& main = Open("XML_MAIN");
    backend.OnNextModal("MsgWnd", ClickScript("confirm_btn"));
    backend.OnNextModal("MsgWnd", ClickScript("cancel_btn"));
    backend.OnNextModal("MsgWnd", ClickScript("closebtn"));
    backend.AnswerNextModal("MsgWnd", 7); // closed from outside with 7
    EXPECT_EQ(RunBox(main.GetHWND(), "message_text_1"), 1u);
    EXPECT_EQ(RunBox(main.GetHWND(), "message_text_1"), 0u);
    EXPECT_EQ(RunBox(main.GetHWND(), "message_text_1"), 0u);
    EXPECT_EQ(RunBox(main.GetHWND(), "message_text_1"), 7u);
    ASSERT_EQ(backend.ModalHistory().size(), 4u);
    EXPECT_EQ(backend.ModalHistory()[0].messageText, "Device not connected");
    EXPECT_EQ(backend.ModalHistory()[3].result, 7u);
    // Every box deleted itself; only the main window is left.
    EXPECT_EQ(toolkit.windows().size(), 1u);
}

TEST_F(DuiTest, SelfClosingBoxEndsAfterItsTimer) {
    TestWindow& main = Open("XML_MAIN");
    std::int64_t closedAt = -1;
    backend.OnNextModal("MsgWnd", {[&](WindowImplBase&, HeadlessBackend& b) {
                                       b.AdvanceTime(499);
                                       EXPECT_EQ(toolkit.windows().size(), 2u);
                                       b.AdvanceTime(1);
                                       closedAt = b.NowMs();
                                   },
                                   5});
    EXPECT_EQ(RunBox(main.GetHWND(), "message_text_20", true), 0u);
    EXPECT_EQ(closedAt, 500);
}

TEST_F(DuiTest, WindowTimersFireInOrderAndStopWhenKilled) {
    TestWindow& window = Open("XML_MAIN");
    std::vector<std::pair<std::int64_t, WPARAM>> ticks;
    window.onMessage = [&](UINT msg, WPARAM w, LPARAM, bool&) -> LRESULT {
        if (msg == WM_TIMER) {
            ticks.emplace_back(backend.NowMs(), w);
            if (w == 1)
                window.KillTimer(1); // a one-shot, as the program uses them
            if (w == 10) {           // restarts itself with another period
                window.KillTimer(10);
                window.SetTimer(10, 50);
            }
        }
        return 0;
    };
    window.SetTimer(10, 100);
    window.SetTimer(1, 100);
    window.SetTimer(2, 40);
    backend.AdvanceTime(200);
    std::vector<std::pair<std::int64_t, WPARAM>> expected = {
        {40, 2}, {80, 2}, {100, 10}, {100, 1}, {120, 2}, {150, 10}, {160, 2}, {200, 2}, {200, 10}};
    EXPECT_EQ(ticks, expected);
    EXPECT_FALSE(window.HasTimer(1));
    EXPECT_TRUE(window.HasTimer(2));
}

TEST_F(DuiTest, DestroyRunsTheCustomHandlerFirstThenFinalMessage) {
    bool deleted = false;
    auto* window = new TestWindow("XML_MAIN");
    window->deleteOnFinal = true;
    window->deletedFlag = &deleted;
    HWND handle = window->Create(kNullWindow, "x", UI_WNDSTYLE_FRAME, 0);
    window->SetTimer(3, 10);
    std::vector<UINT> order;
    window->onMessage = [&](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
        if (msg == WM_DESTROY || msg == WM_NCDESTROY)
            order.push_back(msg);
        if (msg == WM_DESTROY)
            handled = true; // the shutdown sequence marks it handled
        return 0;
    };
    // A click on "closebtn" that closes the window from inside a notification.
    window->onNotify = [window](TNotifyUI& msg) {
        if (msg.sType == DUI_MSGTYPE_CLICK)
            window->Close(IDOK);
    };
    backend.Pump();
    ASSERT_TRUE(UserDriver(*window, backend).Click("closebtn"));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(order, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(handle));
    backend.AdvanceTime(100); // its timer died with it
}

TEST_F(DuiTest, MessagesToWindowsThatAreGoneAreDropped) {
    TestWindow& window = Open("XML_MAIN");
    HWND handle = window.GetHWND();
    PostMessage(handle, WM_USER + 5, 1, 2);
    backend.Pump();
    ASSERT_EQ(window.MessagesOf(WM_USER + 5).size(), 1u);
    PostMessage(handle, WM_USER + 5, 3, 4);
    window.DestroyWindow();
    backend.Pump();
    EXPECT_EQ(window.MessagesOf(WM_USER + 5).size(), 1u);
    EXPECT_EQ(SendMessage(handle, WM_USER + 5), 0);
}

TEST_F(DuiTest, ChosenMenuItemReachesTheOwnerAsMessage1145) {
    toolkit.resources().LoadLanguage("lan_en.xml");
    TestWindow& window = Open("XML_MAIN");
    MenuCmd received;
    window.onMessage = [&](UINT msg, WPARAM w, LPARAM l, bool& handled) -> LRESULT {
        if (msg == WM_MENUCLICK) {
            received = *MenuCmdFromMessage(w, l);
            handled = true;
        }
        return 0;
    };
    backend.SetCursorPos({300, 200});
    CMenuWnd* menu =
        CMenuWnd::CreateMenu(nullptr, "menu.xml", {300, 175}, &window.GetPaintManager(), nullptr,
                             eMenuAlignment_Left | eMenuAlignment_Top);
    ASSERT_NE(menu, nullptr);
    auto* exit = new CMenuElementUI;
    exit->SetName("exit");
    exit->SetText("Close");
    ASSERT_TRUE(menu->GetMenuUI()->AddAt(exit, 0));
    menu->ResizeMenu();
    EXPECT_EQ(menu->GetWindowRect(), (RECT{300, 175, 450, 175 + 4 + 30 + 24 + 24}));

    ASSERT_TRUE(UserDriver::ChooseMenuItem("lan_en", backend));
    EXPECT_EQ(received.szName, "lan_en");
    EXPECT_EQ(received.szUserData, "en");
    EXPECT_EQ(received.szText, "English");
    EXPECT_TRUE(CMenuWnd::OpenMenus().empty()); // the menu closed and deleted itself
    EXPECT_FALSE(UserDriver::ChooseMenuItem("lan_cn", backend));
}

TEST_F(DuiTest, DestroyingAWindowDestroysTheWindowsItOwnsFirst) {
    TestWindow& window = Open("XML_MAIN");
    CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, "menu.xml", {0, 0}, &window.GetPaintManager());
    ASSERT_NE(menu, nullptr);
    const HWND menuHandle = menu->GetHWND();
    bool menuAliveAtDestroy = false;
    window.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
        if (msg == WM_DESTROY)
            menuAliveAtDestroy = IsWindow(menuHandle);
        return 0;
    };
    window.DestroyWindow();
    EXPECT_FALSE(menuAliveAtDestroy);
    EXPECT_FALSE(IsWindow(menuHandle));
    EXPECT_TRUE(CMenuWnd::OpenMenus().empty()); // and it deleted itself
}

TEST_F(DuiTest, TrayClicksReachTheOwnerAsMessage1025) {
    TestWindow& window = Open("XML_MAIN");
    CTrayIcon tray;
    tray.CreateTrayIcon(window.GetHWND(), 107, "Quellix mouse pad T417");
    EXPECT_TRUE(backend.IsTrayIconShown());
    EXPECT_EQ(backend.TrayTip(), "Quellix mouse pad T417");
    ASSERT_TRUE(backend.ClickTray(WM_LBUTTONUP));
    ASSERT_TRUE(backend.ClickTray(WM_RBUTTONUP));
    auto clicks = window.MessagesOf(WM_TRAYICON_MESSAGE);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].lParam, 514);
    EXPECT_EQ(clicks[1].lParam, 517);
    EXPECT_EQ(WM_TRAYICON_MESSAGE, 1025u);
    tray.DeleteTrayIcon();
    EXPECT_FALSE(backend.IsTrayIconShown());
    EXPECT_FALSE(backend.ClickTray(WM_LBUTTONUP));
}

TEST_F(DuiTest, ALayoutChangeRepaintsTheWindow) {
    TestWindow& window = Open("XML_MAIN");
    window.GetPaintManager().UpdateLayout(); // as a paint does
    auto* pages = window.FindControl<CTabLayoutUI>("tab_switch");
    ASSERT_NE(pages, nullptr);
    const int before = backend.InvalidateCount(window.GetHWND());
    // Another page is selected from code: nothing else asks for a repaint.
    pages->SelectItem(pages->GetCurSel() == 0 ? 1 : 0);
    EXPECT_GT(backend.InvalidateCount(window.GetHWND()), before);
    EXPECT_TRUE(window.GetPaintManager().IsUpdateNeeded());
}

TEST_F(DuiTest, SysCommandsAndCentring) {
    TestWindow& window = Open("XML_MAIN");
    backend.SetWorkArea({0, 0, 1000, 800});
    window.CenterWindow();
    EXPECT_EQ(window.GetWindowRect(), (RECT{300, 250, 700, 550}));
    window.ShowWindow(false);
    window.SysCommand(SC_RESTORE); // restoring a hidden window shows it
    EXPECT_TRUE(window.IsWindowVisible());
    window.SysCommand(SC_MINIMIZE);
    EXPECT_TRUE(window.IsMinimized());
    window.SetTopmost(true);
    EXPECT_TRUE(window.IsTopmost());
}

TEST(RegisterWindowMessage, GivesOneStableIdPerName) {
    UINT id = RegisterWindowMessage("MARWENIK_001");
    EXPECT_GE(id, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("MARWENIK_001"), id);
    EXPECT_EQ(RegisterWindowMessage("marwenik_001"), id);
    EXPECT_NE(RegisterWindowMessage("SOMETHING_ELSE"), id);
}

TEST_F(DuiTest, FileDialogsAnswerFromTheScriptAndAddTheDefaultExtension) {
    using namespace std::string_literals;
    backend.QueueFileDialogAnswer("/tmp/profile");
    backend.QueueFileDialogAnswer(std::nullopt);
    auto request = MakeFileDialogRequest(true, "Profile(*.PRO)\0*.PRO\0"s, "PRO", "*.PRO",
                                         OFN_OVERWRITEPROMPT);
    EXPECT_EQ(ShowFileDialog(request), "/tmp/profile.PRO");
    EXPECT_EQ(ShowFileDialog(request), std::nullopt);
    ASSERT_EQ(backend.FileDialogRequests().size(), 2u);
    EXPECT_TRUE(backend.FileDialogRequests()[0].save);
    EXPECT_EQ(backend.FileDialogRequests()[0].filters[0].patterns[0], "*.PRO");
}

} // namespace
} // namespace quellix::dui::test
