#pragma once
// CControlUI: the base of every control in the retained control model.
//
// Controls live in a tree owned by their window's paint manager (the root)
// and their containers (the children).  All of it is UI-thread only.
// Texts and tooltips are stored as given (a literal or a language key) and
// resolved when read (see GetText); geometry is kept in window client
// coordinates and computed by the containers' layout pass (container.h).

#include "quellix/dui/types.h"

#include <functional>
#include <map>
#include <optional>

namespace quellix::dui {

class CPaintManagerUI;
class CContainerUI;

enum EventType {
    UIEVENT_MOUSEMOVE,
    UIEVENT_MOUSELEAVE,
    UIEVENT_MOUSEENTER,
    UIEVENT_BUTTONDOWN,
    UIEVENT_BUTTONUP,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_DBLCLICK,
    UIEVENT_SCROLLWHEEL,
    UIEVENT_KEYDOWN,
    UIEVENT_CHAR,
    UIEVENT_SETFOCUS,
    UIEVENT_KILLFOCUS,
    UIEVENT_TIMER,
};

struct TEventUI {
    EventType Type = UIEVENT_MOUSEMOVE;
    class CControlUI* pSender = nullptr;
    std::int64_t dwTimestamp = 0;
    POINT ptMouse{};
    CDuiString text; // UIEVENT_CHAR: the typed text
    UINT wKeyState = 0;
    WPARAM wParam = 0; // UIEVENT_TIMER: the timer id
    LPARAM lParam = 0;
};

// Search flags of FindControl.
inline constexpr UINT UIFIND_ALL = 0x0;
inline constexpr UINT UIFIND_VISIBLE = 0x1;
inline constexpr UINT UIFIND_ENABLED = 0x2;
inline constexpr UINT UIFIND_HITTEST = 0x4; // predicate gets only controls under the point
inline constexpr UINT UIFIND_TOP_FIRST = 0x8;

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // The class name ("Control", "Button", ...; custom controls return their own).
    virtual CDuiString GetClass() const { return "Control"; }

    const CDuiString& GetName() const { return name_; }
    virtual void SetName(const CDuiString& name);

    CPaintManagerUI* GetManager() const { return manager_; }
    CControlUI* GetParent() const { return parent_; }
    // Called by containers and the paint manager; runs DoInit once.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    virtual void DoInit() {}

    // Text as the user sees it: with resource text on (the default), a
    // stored language key is resolved through the resource manager (the
    // language file, then the text-query callback); otherwise, or when
    // neither knows the key, the stored text itself.
    virtual CDuiString GetText() const;
    virtual void SetText(const CDuiString& text);
    // The text as stored (the key, not its translation).
    const CDuiString& GetRawText() const { return text_; }
    bool IsResourceText() const { return resourceText_; }
    void SetResourceText(bool on);

    CDuiString GetToolTip() const;
    void SetToolTip(const CDuiString& tip);
    const CDuiString& GetRawToolTip() const { return toolTip_; }

    const CDuiString& GetUserData() const { return userData_; }
    void SetUserData(const CDuiString& data) { userData_ = data; }
    std::uintptr_t GetTag() const { return tag_; }
    void SetTag(std::uintptr_t tag) { tag_ = tag; }

    // Colours are 32-bit ARGB.
    DWORD GetBkColor() const { return bkColor_; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return bkColor2_; }
    void SetBkColor2(DWORD color);
    const CDuiString& GetBkImage() const { return bkImage_; }
    void SetBkImage(const CDuiString& image);
    DWORD GetBorderColor() const { return borderColor_; }
    void SetBorderColor(DWORD color);
    int GetBorderSize() const { return borderSize_; }
    void SetBorderSize(int size);
    SIZE GetBorderRound() const { return borderRound_; }
    void SetBorderRound(SIZE round);

    // The LED preview feature: an active flag, a colour and an alpha that
    // the view blends over the control (previews of lit keys).
    bool IsChangerActive() const { return changerActive_; }
    void SetChangerActive(bool active);
    DWORD GetChangerColor() const { return changerColor_; }
    void SetChangerColor(DWORD color);
    int GetChangerAlpha() const { return changerAlpha_; }
    void SetChangerAlpha(int alpha);

    // Geometry, in client coordinates of the window.
    const RECT& GetPos() const { return pos_; }
    virtual void SetPos(RECT rc, bool needInvalidate = true);
    int GetWidth() const { return pos_.width(); }
    int GetHeight() const { return pos_.height(); }
    RECT GetPadding() const { return padding_; }
    void SetPadding(RECT padding);
    // Offset of a float control inside its parent ("pos" attribute).
    RECT GetFloatPos() const { return floatPos_; }
    void SetFloatPos(RECT pos);
    int GetFixedWidth() const { return fixedWidth_; }
    void SetFixedWidth(int cx);
    int GetFixedHeight() const { return fixedHeight_; }
    void SetFixedHeight(int cy);
    int GetMinWidth() const { return minWidth_; }
    void SetMinWidth(int cx);
    int GetMaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int cx);
    int GetMinHeight() const { return minHeight_; }
    void SetMinHeight(int cy);
    int GetMaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int cy);
    bool IsFloat() const { return float_; }
    void SetFloat(bool isFloat = true);
    // The size the control asks for; 0 in a direction means "stretch".
    virtual SIZE EstimateSize(SIZE available) const;

    // Visible means: its own flag and every container above it shown.
    virtual bool IsVisible() const { return visible_ && internVisible_; }
    bool IsOwnVisible() const { return visible_; }
    virtual void SetVisible(bool visible = true);
    // Set by containers when they are shown or hidden.
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled = true);
    bool IsMouseEnabled() const { return mouseEnabled_; }
    virtual void SetMouseEnabled(bool enabled = true) { mouseEnabled_ = enabled; }
    bool IsKeyboardEnabled() const { return keyboardEnabled_; }
    virtual void SetKeyboardEnabled(bool enabled = true) { keyboardEnabled_ = enabled; }
    bool IsFocused() const;
    virtual void SetFocus();
    // The text after "cursor" in the layout ("hand", "arrow", ...).
    const CDuiString& GetCursor() const { return cursor_; }

    // Applies one layout attribute.  Throws ParseError for a malformed
    // value; an unknown name is only remembered (GetAttribute).
    virtual void SetAttribute(const CDuiString& name, const CDuiString& value);
    // name="value" pairs separated by spaces; '&quot;' style escapes are not
    // needed as values are quoted with " or '.
    void ApplyAttributeList(const CDuiString& list);
    // The last value given for an attribute (through layouts or SetAttribute).
    std::optional<CDuiString> GetAttribute(const CDuiString& name) const;

    // Raised by user input: a click on a button, a key on a focused item.
    // False when the control is hidden or disabled.
    virtual bool Activate();
    void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);

    // Depth-first search of this control and its descendants.
    using FindPredicate = std::function<bool(CControlUI*)>;
    virtual CControlUI* FindControl(const FindPredicate& pred, UINT flags, POINT point = {});

    void Invalidate();
    void NeedUpdate();
    void NeedParentUpdate();

    // Whether a user could act on the control now: visible, enabled, mouse
    // input on, and no ancestor that blocks its children's mouse input.
    bool IsInteractive() const;

protected:
    friend class CContainerUI;
    void SetParentOnly(CControlUI* parent) { parent_ = parent; }
    // Sends a notification of this control through its manager (no-op without one).
    void Notify(const char* type, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual bool IsMouseChildBlocked() const { return false; }

    CPaintManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    CDuiString name_;
    CDuiString text_;
    CDuiString toolTip_;
    CDuiString userData_;
    CDuiString cursor_;
    std::uintptr_t tag_ = 0;
    bool resourceText_ = true;
    bool initialised_ = false;
    bool visible_ = true;
    bool internVisible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool keyboardEnabled_ = true;
    bool float_ = false;
    DWORD bkColor_ = 0;
    DWORD bkColor2_ = 0;
    CDuiString bkImage_;
    DWORD borderColor_ = 0;
    int borderSize_ = 0;
    SIZE borderRound_{};
    bool changerActive_ = false;
    DWORD changerColor_ = 0;
    int changerAlpha_ = 0;
    RECT pos_{};
    RECT padding_{};
    RECT floatPos_{};
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    int minWidth_ = 0;
    int maxWidth_ = 9999;
    int minHeight_ = 0;
    int maxHeight_ = 9999;
    std::map<CDuiString, CDuiString> attributes_;
    // A style named before the control joined a manager that knows it.
    CDuiString pendingStyle_;
};

} // namespace quellix::dui
