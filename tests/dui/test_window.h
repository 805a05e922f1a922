#pragma once
// A layout-built window that records what reaches it, and a fixture with a
// fresh headless toolkit pointed at tests/dui/data.

#include "quellix/dui/dui.h"
#include "quellix/dui/headless.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quellix::dui::test {

struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(CDuiString skin, CDuiString className = "TestWnd");

    CDuiString GetWindowClassName() const override { return className_; }
    CDuiString GetSkinFile() override { return skin_; }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The sub-layouts of the main window: "MS_Deng_UI" (any case) -> "Mouse_deng.xml".
    CControlUI* CreateControl(const CDuiString& className) override;
    std::optional<CDuiString> QueryControlText(const CDuiString& key,
                                               const CDuiString& type) override;
    void OnFinalMessage(HWND) override;

    // "type:sender" of every notification, in order.
    std::vector<std::string> notes;
    std::vector<Message> messages;
    bool initWindowCalled = false;
    bool finalMessageCalled = false;
    // Optional reactions.
    std::function<void(TNotifyUI&)> onNotify;
    std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> onMessage;
    // Set by a test to make OnFinalMessage delete the window.
    bool deleteOnFinal = false;
    bool* deletedFlag = nullptr;

    std::vector<std::string> NotesOfType(const std::string& type) const;
    std::vector<Message> MessagesOf(UINT msg) const;

private:
    CDuiString skin_;
    CDuiString className_;
};

class DuiTest : public ::testing::Test {
protected:
    DuiTest();
    // Creates a visible window from a layout and runs its "windowinit".
    TestWindow& Open(const CDuiString& skin, const CDuiString& className = "TestWnd");

    HeadlessBackend backend;
    Toolkit toolkit{backend};
    std::vector<std::unique_ptr<TestWindow>> windows;
};

} // namespace quellix::dui::test
