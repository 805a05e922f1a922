#pragma once
// CPaintManagerUI: one per window.  Owns the window's control tree, finds
// controls by name, delivers notifications to the listeners, keeps option
// groups, focus and hot (hovered) control, fonts, per-class default
// attributes and named styles, control timers, the DPI value, and turns
// pointer and key input (from the view or a test) into control events.

#include "quellix/dui/control.h"
#include "quellix/dui/notify.h"

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace quellix::dui {

class CWindowWnd;
class COptionUI;

// What changed in a control, for a view that mirrors the controls to
// assistive technology.
enum class ControlChange { Focus, State, Value, Text, Visibility };

// Told about controls that change or leave the tree.  ControlRemoved comes
// while the control still exists but is no longer in the tree (or is being
// deleted): the observer drops what it keeps for it and reads nothing else.
class IControlObserver {
public:
    virtual ~IControlObserver() = default;
    virtual void ControlChanged(CControlUI& control, ControlChange change) = 0;
    virtual void ControlRemoved(CControlUI& control) = 0;
};

// Keys the toolkit handles itself: focus traversal and operating the
// focused control without a pointer.
enum class NavigationKey { Tab, BackTab, Space, Enter, Left, Right, Up, Down };

struct TFontInfo {
    CDuiString name;
    int size = 12;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    friend bool operator==(const TFontInfo&, const TFontInfo&) = default;
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // --- DuiLib-style process-wide calls, on the current Toolkit ---
    static void SetInstance(void*) {}
    static void SetResourcePath(const CDuiString& path);
    static CDuiString GetResourcePath();
    // Runs the event loop until PostQuitMessage; returns its exit code.
    static int MessageLoop();
    // Messages of a nested loop; not needed with the dispatcher.
    static bool TranslateMessage(void*) { return false; }

    void Init(CWindowWnd* window);
    CWindowWnd* GetPaintWindow() const { return window_; }
    HWND GetPaintWindowHandle() const;

    // Takes ownership of the tree (deleting any previous one).
    bool AttachDialog(CControlUI* root);
    CControlUI* GetRoot() const { return root_.get(); }
    // Called by controls when they join or leave this manager's tree.
    void ControlAttached(CControlUI* control);
    void ControlDetached(CControlUI* control);
    void NameChanged();
    // Deletes a removed control once the current event has returned.
    void DelayedCleanup(std::unique_ptr<CControlUI> control);

    // First control with that exact name in tree order; nullptr when none.
    CControlUI* FindControl(const CDuiString& name) const;
    template <class T> T* FindControl(const CDuiString& name) const {
        return dynamic_cast<T*>(FindControl(name));
    }
    // Topmost visible, enabled control under a client point.
    CControlUI* FindControl(POINT point) const;
    CControlUI* FindSubControlByName(CControlUI* parent, const CDuiString& name) const;

    // Notifications: listeners are called in the order they were added.
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    // Synchronous by default: the listeners run before this returns.  An
    // asynchronous notification is posted through the dispatcher and
    // dropped if the sender is gone by then.
    void SendNotify(TNotifyUI& msg, bool async = false);
    void SendNotify(CControlUI* control, const CDuiString& type, WPARAM wParam = 0,
                    LPARAM lParam = 0, bool async = false);

    // Option groups.
    void AddOptionGroup(const CDuiString& group, COptionUI* option);
    void RemoveOptionGroup(const CDuiString& group, COptionUI* option);
    std::vector<COptionUI*> GetOptionGroup(const CDuiString& group) const;

    // Focus and hover.  SetFocus raises "killfocus" on the old control and
    // "setfocus" on the new one.
    CControlUI* GetFocus() const { return focus_; }
    void SetFocus(CControlUI* control);
    CControlUI* GetHot() const { return hot_; }
    // Moves the hover to a control: "msleave" for the old, "msenter" for the new.
    void SetHot(CControlUI* control);

    // Control timers: the control receives UIEVENT_TIMER with wParam = id.
    bool SetTimer(CControlUI* control, UINT id, UINT elapseMs);
    bool KillTimer(CControlUI* control, UINT id);
    void KillTimer(CControlUI* control);

    // Fonts by id; the default font is used for id -1 or an unknown id.
    void AddFont(int id, const TFontInfo& font, bool isDefault = false);
    const TFontInfo& GetFont(int id) const;
    const TFontInfo& GetDefaultFont() const { return defaultFont_; }

    // <Default name="Button" value="attr list"/> applies to every new control of that class.
    void AddDefaultAttributeList(const CDuiString& className, const CDuiString& list);
    CDuiString GetDefaultAttributeList(const CDuiString& className) const;
    // <Style name="x" value="attr list"/> applied by the attribute style="x".
    void AddStyle(const CDuiString& name, const CDuiString& list);
    std::optional<CDuiString> GetStyle(const CDuiString& name) const;

    // Window attributes from the layout's <Window> element.
    SIZE GetInitSize() const { return initSize_; }
    void SetInitSize(SIZE size) { initSize_ = size; }
    RECT GetCaptionRect() const { return caption_; }
    void SetCaptionRect(RECT rc) { caption_ = rc; }
    SIZE GetRoundCorner() const { return roundCorner_; }
    void SetRoundCorner(SIZE size) { roundCorner_ = size; }
    SIZE GetMinInfo() const { return minInfo_; }
    void SetMinInfo(SIZE size) { minInfo_ = size; }
    SIZE GetMaxInfo() const { return maxInfo_; }
    void SetMaxInfo(SIZE size) { maxInfo_ = size; }
    DWORD GetWindowBkColor() const { return windowBkColor_; }
    void SetWindowAttribute(const CDuiString& name, const CDuiString& value);

    // DPI (scale of the layout's sizes; 96 = 100 %).
    int GetDPI() const { return dpi_; }
    void SetDPI(int dpi);
    void ResetDPIAssets() {}

    // Layout: the root fills the client area.
    SIZE GetClientSize() const { return clientSize_; }
    void SetClientSize(SIZE size);
    // The layout must be redone: the window is repainted, and the paint
    // lays it out again first.
    void NeedUpdate();
    bool IsUpdateNeeded() const { return needUpdate_; }
    void UpdateLayout();

    void Invalidate();
    void Invalidate(const RECT& rc);

    // At most one observer (the view's accessibility bridge); nullptr removes it.
    void SetObserver(IControlObserver* observer) { observer_ = observer; }
    IControlObserver* GetObserver() const { return observer_; }
    // Called by controls when something an observer mirrors has changed.
    void ReportChange(CControlUI* control, ControlChange change) {
        if (observer_ != nullptr && control != nullptr)
            observer_->ControlChanged(*control, change);
    }

    // What a click on the control does, wherever the pointer is: hover,
    // focus, then the button pressed and released over its centre.  False
    // when a user could not click it (hidden, disabled, blocked).
    bool Press(CControlUI* control);
    // Whether Tab stops at the control: a control the user operates,
    // interactive and taking keyboard input.
    static bool IsFocusable(const CControlUI& control);
    // Moves the focus to the next (or previous) focusable control in tree
    // order, wrapping around; the control now focused, or nullptr.
    CControlUI* FocusNext(bool forward = true);
    // Tab/Shift+Tab traverse, Space/Enter press the focused control,
    // arrows step a focused slider or the selection of a focused combo or
    // list.  False when the key did nothing (the view may use it).
    bool KeyDown(NavigationKey key);

    // Pointer and key input in client coordinates, from the view or tests.
    void MouseMove(POINT point);
    void MouseLeave();
    void ButtonDown(POINT point);
    void ButtonUp(POINT point);
    void RightButtonDown(POINT point);
    void DoubleClick(POINT point);
    void Wheel(POINT point, int delta);
    // Typed text goes to the focused control.
    void Char(const CDuiString& text);

    // "windowinit" once, then "windowsize" on size changes; called by the window.
    void SendWindowInit();
    bool IsWindowInitSent() const { return windowInitSent_; }

private:
    void RebuildNameMap() const;
    void DispatchEvent(CControlUI* control, EventType type, POINT point, WPARAM wParam = 0,
                       CDuiString text = {});

    CWindowWnd* window_ = nullptr;
    IControlObserver* observer_ = nullptr;
    std::unique_ptr<CControlUI> root_;
    mutable std::unordered_map<CDuiString, CControlUI*> names_;
    mutable bool namesDirty_ = true;
    std::vector<INotifyUI*> notifiers_;
    std::map<CDuiString, std::vector<COptionUI*>> optionGroups_;
    CControlUI* focus_ = nullptr;
    CControlUI* hot_ = nullptr;
    CControlUI* captured_ = nullptr;
    std::map<int, TFontInfo> fonts_;
    TFontInfo defaultFont_{"DejaVu Sans", 12};
    std::map<CDuiString, CDuiString> defaultAttributes_;
    std::map<CDuiString, CDuiString> styles_;
    SIZE initSize_{};
    RECT caption_{};
    SIZE roundCorner_{};
    SIZE minInfo_{};
    SIZE maxInfo_{};
    DWORD windowBkColor_ = 0;
    int dpi_ = 96;
    SIZE clientSize_{};
    bool needUpdate_ = true;
    bool layingOut_ = false;
    bool windowInitSent_ = false;
    std::vector<std::unique_ptr<CControlUI>> graveyard_;
    bool cleanupPosted_ = false;
    std::shared_ptr<bool> alive_;
};

} // namespace quellix::dui
