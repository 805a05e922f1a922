#pragma once
// The message box: every user-facing message is shown by its language key.
//
// Results: 1 when "confirm_btn" closed the box, 0 when "cancel_btn" or
// "closebtn" did (or the box could not be built).

#include "quellix/dui/window.h"

namespace quellix::ui {

class CMsgWnd : public dui::WindowImplBase {
public:
    static constexpr dui::UINT kResultConfirm = 1;
    static constexpr dui::UINT kResultCancel = 0;
    static constexpr dui::UINT kAutoCloseTimer = 1;
    static constexpr dui::UINT kAutoCloseMs = 500;
    // The message the box that closes itself shows (a device disappeared).
    static constexpr const char* kAutoCloseKey = "message_text_20";

    // Shows the message modally over `parent` and returns the result.  On
    // another thread the box is shown on the UI thread and the caller waits
    // (0 when the UI has shut down); a thread that holds a lock the UI may
    // need must use PostMessageBox instead.
    static dui::UINT MessageBox(dui::HWND parent, const dui::CDuiString& key,
                                bool isResourceKey = true);
    // Shows the message without waiting for it (any thread).
    static void PostMessageBox(dui::HWND parent, const dui::CDuiString& key);
    // Shows a literal text (already in the user's language) without waiting.
    static void PostMessageText(dui::HWND parent, const dui::CDuiString& text);
    // Shows "message_text_20" for about half a second, then closes with 0.
    static void ShowAutoClose(dui::HWND parent);

    dui::CDuiString GetWindowClassName() const override { return "MsgWnd"; }
    dui::CDuiString GetSkinFile() override { return "XML_MSG"; }
    void InitWindow() override;
    void Notify(dui::TNotifyUI& msg) override;
    dui::LRESULT HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                     bool& handled) override;

    // Puts the message (a language key or, with isResourceKey false, a
    // literal) and an optional title into the box.
    void SetMessage(const dui::CDuiString& text, bool isResourceKey,
                    const dui::CDuiString& title = {});
    int GetAutoCloseTicks() const { return autoCloseTicks_; }

protected:
    void OnFinalMessage(dui::HWND) override;

private:
    static CMsgWnd* CreateBox(dui::HWND parent, const dui::CDuiString& key, bool isResourceKey);
    static dui::UINT RunBox(dui::HWND parent, const dui::CDuiString& key, bool isResourceKey,
                            bool autoClose);

    dui::CControlUI* closeButton_ = nullptr;
    int autoCloseTicks_ = 0;
};

} // namespace quellix::ui
