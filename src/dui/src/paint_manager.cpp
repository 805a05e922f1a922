#include "quellix/dui/paint_manager.h"

#include "quellix/dui/controls.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/dui/window.h"

#include <algorithm>

namespace quellix::dui {

CPaintManagerUI::CPaintManagerUI() : alive_(std::make_shared<bool>(true)) {}

CPaintManagerUI::~CPaintManagerUI() {
    *alive_ = false;
    graveyard_.clear();
    root_.reset();
}

void CPaintManagerUI::SetResourcePath(const CDuiString& path) {
    Toolkit::get().resources().SetResourcePath(path);
}

CDuiString CPaintManagerUI::GetResourcePath() {
    return Toolkit::get().resources().GetResourcePath().string();
}

int CPaintManagerUI::MessageLoop() {
    return Toolkit::get().backend().runEventLoop();
}

void CPaintManagerUI::Init(CWindowWnd* window) {
    window_ = window;
}

HWND CPaintManagerUI::GetPaintWindowHandle() const {
    return window_ != nullptr ? window_->GetHWND() : kNullWindow;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
    if (root == nullptr)
        return false;
    focus_ = hot_ = captured_ = nullptr;
    root_.reset();
    root_.reset(root);
    root->SetManager(this, nullptr, true);
    namesDirty_ = true;
    needUpdate_ = true;
    UpdateLayout();
    return true;
}

void CPaintManagerUI::ControlAttached(CControlUI*) {
    namesDirty_ = true;
}

void CPaintManagerUI::ControlDetached(CControlUI* control) {
    namesDirty_ = true;
    if (focus_ == control)
        focus_ = nullptr;
    if (hot_ == control)
        hot_ = nullptr;
    if (captured_ == control)
        captured_ = nullptr;
    for (auto& [group, options] : optionGroups_)
        std::erase_if(options,
                      [&](COptionUI* o) { return static_cast<CControlUI*>(o) == control; });
    if (Toolkit* toolkit = Toolkit::current())
        toolkit->timers().killAll(control);
}

void CPaintManagerUI::NameChanged() {
    namesDirty_ = true;
}

void CPaintManagerUI::DelayedCleanup(std::unique_ptr<CControlUI> control) {
    Toolkit* toolkit = Toolkit::current();
    if (toolkit == nullptr || toolkit->dispatcher().isShutDown()) {
        control.reset();
        return;
    }
    graveyard_.push_back(std::move(control));
    if (cleanupPosted_)
        return;
    cleanupPosted_ = true;
    std::shared_ptr<bool> alive = alive_;
    toolkit->dispatcher().post([this, alive] {
        if (!*alive)
            return;
        cleanupPosted_ = false;
        auto dead = std::move(graveyard_);
        graveyard_.clear();
    });
}

void CPaintManagerUI::RebuildNameMap() const {
    names_.clear();
    if (root_) {
        root_->FindControl(
            [&](CControlUI* c) {
                if (!c->GetName().empty())
                    names_.emplace(c->GetName(), c);
                return false;
            },
            UIFIND_ALL);
    }
    namesDirty_ = false;
}

CControlUI* CPaintManagerUI::FindControl(const CDuiString& name) const {
    if (name.empty())
        return nullptr;
    if (namesDirty_)
        RebuildNameMap();
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindControl(POINT point) const {
    if (!root_)
        return nullptr;
    return root_->FindControl([](CControlUI*) { return true; }, UIFIND_VISIBLE | UIFIND_HITTEST,
                              point);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent,
                                                  const CDuiString& name) const {
    if (parent == nullptr)
        parent = root_.get();
    if (parent == nullptr)
        return nullptr;
    return parent->FindControl([&](CControlUI* c) { return c->GetName() == name; }, UIFIND_ALL);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (notifier == nullptr ||
        std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end())
        return false;
    notifiers_.push_back(notifier);
    return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    return std::erase(notifiers_, notifier) > 0;
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
    Toolkit* toolkit = Toolkit::current();
    if (toolkit != nullptr)
        msg.dwTimestamp = toolkit->backend().nowMs();
    if (async && toolkit != nullptr) {
        std::shared_ptr<bool> alive = alive_;
        TNotifyUI copy = msg;
        toolkit->dispatcher().post([this, alive, copy]() mutable {
            if (!*alive)
                return;
            // The sender may have been removed meanwhile.
            if (copy.pSender != nullptr && root_ &&
                root_->FindControl([&](CControlUI* c) { return c == copy.pSender; }, UIFIND_ALL) ==
                    nullptr)
                return;
            SendNotify(copy, false);
        });
        return;
    }
    // A listener may add or remove listeners while being notified.
    std::vector<INotifyUI*> listeners = notifiers_;
    std::shared_ptr<bool> alive = alive_;
    for (INotifyUI* listener : listeners) {
        if (!*alive)
            return;
        if (std::find(notifiers_.begin(), notifiers_.end(), listener) == notifiers_.end())
            continue;
        listener->Notify(msg);
    }
}

void CPaintManagerUI::SendNotify(CControlUI* control, const CDuiString& type, WPARAM wParam,
                                 LPARAM lParam, bool async) {
    TNotifyUI msg;
    msg.sType = type;
    msg.pSender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async);
}

void CPaintManagerUI::AddOptionGroup(const CDuiString& group, COptionUI* option) {
    auto& members = optionGroups_[group];
    if (std::find(members.begin(), members.end(), option) == members.end())
        members.push_back(option);
}

void CPaintManagerUI::RemoveOptionGroup(const CDuiString& group, COptionUI* option) {
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end())
        return;
    std::erase(it->second, option);
    if (it->second.empty())
        optionGroups_.erase(it);
}

std::vector<COptionUI*> CPaintManagerUI::GetOptionGroup(const CDuiString& group) const {
    auto it = optionGroups_.find(group);
    return it == optionGroups_.end() ? std::vector<COptionUI*>{} : it->second;
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (control == focus_)
        return;
    if (focus_ != nullptr) {
        CControlUI* old = focus_;
        TEventUI event;
        event.Type = UIEVENT_KILLFOCUS;
        event.pSender = control;
        old->Event(event);
        // The handlers of the event may already have moved the focus.
        if (focus_ == old) {
            SendNotify(old, DUI_MSGTYPE_KILLFOCUS);
            if (focus_ == old)
                focus_ = nullptr;
        }
    }
    if (control == nullptr || control->GetManager() != this || !control->IsVisible() ||
        !control->IsEnabled())
        return;
    focus_ = control;
    TEventUI event;
    event.Type = UIEVENT_SETFOCUS;
    event.pSender = control;
    control->Event(event);
    if (focus_ == control)
        SendNotify(control, DUI_MSGTYPE_SETFOCUS);
}

void CPaintManagerUI::SetHot(CControlUI* control) {
    if (control == hot_)
        return;
    CControlUI* old = hot_;
    hot_ = control;
    if (old != nullptr) {
        TEventUI event;
        event.Type = UIEVENT_MOUSELEAVE;
        old->Event(event);
    }
    if (control != nullptr && hot_ == control) {
        TEventUI event;
        event.Type = UIEVENT_MOUSEENTER;
        control->Event(event);
    }
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapseMs) {
    Toolkit* toolkit = Toolkit::current();
    if (toolkit == nullptr || control == nullptr || control->GetManager() != this)
        return false;
    std::shared_ptr<bool> alive = alive_;
    toolkit->timers().set({control, id}, toolkit->backend().nowMs(), elapseMs,
                          [alive, control, id] {
                              if (!*alive)
                                  return;
                              TEventUI event;
                              event.Type = UIEVENT_TIMER;
                              event.wParam = id;
                              control->Event(event);
                          });
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
    Toolkit* toolkit = Toolkit::current();
    return toolkit != nullptr && toolkit->timers().kill({control, id});
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
    if (Toolkit* toolkit = Toolkit::current())
        toolkit->timers().killAll(control);
}

void CPaintManagerUI::AddFont(int id, const TFontInfo& font, bool isDefault) {
    fonts_[id] = font;
    if (isDefault)
        defaultFont_ = font;
}

const TFontInfo& CPaintManagerUI::GetFont(int id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? defaultFont_ : it->second;
}

void CPaintManagerUI::AddDefaultAttributeList(const CDuiString& className, const CDuiString& list) {
    defaultAttributes_[ToLower(className)] = list;
}

CDuiString CPaintManagerUI::GetDefaultAttributeList(const CDuiString& className) const {
    auto it = defaultAttributes_.find(ToLower(className));
    return it == defaultAttributes_.end() ? CDuiString{} : it->second;
}

void CPaintManagerUI::AddStyle(const CDuiString& name, const CDuiString& list) {
    styles_[name] = list;
}

std::optional<CDuiString> CPaintManagerUI::GetStyle(const CDuiString& name) const {
    auto it = styles_.find(name);
    if (it == styles_.end())
        return std::nullopt;
    return it->second;
}

void CPaintManagerUI::SetWindowAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "size")
        initSize_ = ParseSize(value);
    else if (key == "caption")
        caption_ = ParseRect(value);
    else if (key == "roundcorner")
        roundCorner_ = ParseSize(value);
    else if (key == "mininfo")
        minInfo_ = ParseSize(value);
    else if (key == "maxinfo")
        maxInfo_ = ParseSize(value);
    else if (key == "bkcolor")
        windowBkColor_ = ParseColor(value);
    // Other window attributes (sizebox, showdirty, ...) change nothing here.
}

void CPaintManagerUI::SetDPI(int dpi) {
    if (dpi <= 0)
        throw ParseError("bad DPI " + std::to_string(dpi));
    dpi_ = dpi;
    NeedUpdate();
    Invalidate();
}

void CPaintManagerUI::SetClientSize(SIZE size) {
    if (size == clientSize_)
        return;
    clientSize_ = size;
    needUpdate_ = true;
    UpdateLayout();
    if (windowInitSent_ && root_)
        SendNotify(root_.get(), DUI_MSGTYPE_WINDOWSIZE);
}

void CPaintManagerUI::UpdateLayout() {
    needUpdate_ = false;
    if (root_)
        root_->SetPos({0, 0, clientSize_.cx, clientSize_.cy}, false);
}

void CPaintManagerUI::Invalidate() {
    Invalidate({0, 0, clientSize_.cx, clientSize_.cy});
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
    Toolkit* toolkit = Toolkit::current();
    if (toolkit == nullptr || window_ == nullptr || window_->GetHWND() == kNullWindow)
        return;
    toolkit->backend().invalidate(*window_, rc);
}

void CPaintManagerUI::DispatchEvent(CControlUI* control, EventType type, POINT point, WPARAM wParam,
                                    CDuiString text) {
    if (control == nullptr)
        return;
    TEventUI event;
    event.Type = type;
    event.pSender = control;
    event.ptMouse = point;
    event.wParam = wParam;
    event.text = std::move(text);
    if (Toolkit* toolkit = Toolkit::current())
        event.dwTimestamp = toolkit->backend().nowMs();
    control->Event(event);
}

void CPaintManagerUI::MouseMove(POINT point) {
    if (needUpdate_)
        UpdateLayout();
    CControlUI* under = FindControl(point);
    SetHot(under);
    if (captured_ != nullptr)
        DispatchEvent(captured_, UIEVENT_MOUSEMOVE, point);
    else if (under != nullptr)
        DispatchEvent(under, UIEVENT_MOUSEMOVE, point);
}

void CPaintManagerUI::MouseLeave() {
    SetHot(nullptr);
}

void CPaintManagerUI::ButtonDown(POINT point) {
    if (needUpdate_)
        UpdateLayout();
    CControlUI* control = FindControl(point);
    if (control == nullptr || control->GetManager() != this)
        return;
    SetHot(control);
    // Clicking a control moves the keyboard focus to it (and away from an
    // edit being typed in), as the program's focus notifications expect.
    control->SetFocus();
    captured_ = control;
    DispatchEvent(control, UIEVENT_BUTTONDOWN, point);
}

void CPaintManagerUI::ButtonUp(POINT point) {
    CControlUI* control = captured_;
    captured_ = nullptr;
    DispatchEvent(control, UIEVENT_BUTTONUP, point);
}

void CPaintManagerUI::RightButtonDown(POINT point) {
    DispatchEvent(FindControl(point), UIEVENT_RBUTTONDOWN, point);
}

void CPaintManagerUI::DoubleClick(POINT point) {
    DispatchEvent(FindControl(point), UIEVENT_DBLCLICK, point);
}

void CPaintManagerUI::Wheel(POINT point, int delta) {
    DispatchEvent(FindControl(point), UIEVENT_SCROLLWHEEL, point, static_cast<WPARAM>(delta));
}

void CPaintManagerUI::Char(const CDuiString& text) {
    DispatchEvent(focus_, UIEVENT_CHAR, {}, 0, text);
}

void CPaintManagerUI::SendWindowInit() {
    if (windowInitSent_ || !root_)
        return;
    windowInitSent_ = true;
    UpdateLayout();
    SendNotify(root_.get(), DUI_MSGTYPE_WINDOWINIT);
}

} // namespace quellix::dui
