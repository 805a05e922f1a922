#include "test_window.h"

namespace quellix::dui::test {

TestWindow::TestWindow(CDuiString skin, CDuiString className)
    : skin_(std::move(skin)), className_(std::move(className)) {}

void TestWindow::InitWindow() {
    initWindowCalled = true;
}

void TestWindow::Notify(TNotifyUI& msg) {
    notes.push_back(msg.sType + ":" + (msg.pSender != nullptr ? msg.pSender->GetName() : ""));
    if (onNotify)
        onNotify(msg);
}

LRESULT TestWindow::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    messages.push_back({msg, wParam, lParam});
    handled = false;
    if (onMessage)
        return onMessage(msg, wParam, lParam, handled);
    return 0;
}

CControlUI* TestWindow::CreateControl(const CDuiString& className) {
    if (EqualsNoCase(className, "MS_Deng_UI")) {
        CDialogBuilder builder;
        return builder.Create("Mouse_deng.xml", {}, nullptr, &m_pm);
    }
    return nullptr;
}

std::optional<CDuiString> TestWindow::QueryControlText(const CDuiString& key, const CDuiString&) {
    if (EqualsNoCase(key, "titletext"))
        return CResourceManager::GetInstance()->GetLanguage() == "en" ? "Duilib Demo v1.1"
                                                                      : "mouse";
    return std::nullopt;
}

void TestWindow::OnFinalMessage(HWND) {
    finalMessageCalled = true;
    if (deleteOnFinal) {
        if (deletedFlag != nullptr)
            *deletedFlag = true;
        delete this;
    }
}

std::vector<std::string> TestWindow::NotesOfType(const std::string& type) const {
    std::vector<std::string> out;
    for (const auto& note : notes)
        if (note.rfind(type + ":", 0) == 0)
            out.push_back(note);
    return out;
}

std::vector<Message> TestWindow::MessagesOf(UINT msg) const {
    std::vector<Message> out;
    for (const auto& m : messages)
        if (m.msg == msg)
            out.push_back(m);
    return out;
}

DuiTest::DuiTest() {
    toolkit.resources().SetResourcePath(QUELLIX_DUI_TEST_DATA);
    EXPECT_TRUE(toolkit.resources().LoadResource("res.xml")) << toolkit.resources().GetLastError();
}

TestWindow& DuiTest::Open(const CDuiString& skin, const CDuiString& className) {
    windows.push_back(std::make_unique<TestWindow>(skin, className));
    TestWindow& window = *windows.back();
    EXPECT_NE(window.Create(kNullWindow, "test", UI_WNDSTYLE_FRAME, 0, 0, 0, 400, 300),
              kNullWindow);
    backend.Pump();
    return window;
}

} // namespace quellix::dui::test
