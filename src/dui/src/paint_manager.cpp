#include "quellix/dui/paint_manager.h"

#include "quellix/dui/controls.h"
#include "quellix/dui/list.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/dui/window.h"

#include <algorithm>
#include <vector>

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
    if (observer_ != nullptr)
        observer_->ControlRemoved(*control);
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
    if (focus_ == control) {
        ReportChange(control, ControlChange::Focus);
        SendNotify(control, DUI_MSGTYPE_SETFOCUS);
    }
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

void CPaintManagerUI::NeedUpdate() {
    const bool alreadyNeeded = needUpdate_;
    needUpdate_ = true;
    // Once per layout cycle; a change made while laying out is picked up
    // by the layout under way.
    if (!alreadyNeeded && !layingOut_)
        Invalidate();
}

void CPaintManagerUI::UpdateLayout() {
    needUpdate_ = false;
    layingOut_ = true;
    if (root_)
        root_->SetPos({0, 0, clientSize_.cx, clientSize_.cy}, false);
    layingOut_ = false;
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

bool CPaintManagerUI::Press(CControlUI* control) {
    if (control == nullptr || control->GetManager() != this || !control->IsInteractive())
        return false;
    if (needUpdate_)
        UpdateLayout();
    const POINT at = control->GetPos().centre();
    SetHot(control);
    control->SetFocus();
    TEventUI down;
    down.Type = UIEVENT_BUTTONDOWN;
    down.pSender = control;
    down.ptMouse = at;
    control->Event(down);
    // The press may have removed or hidden the control (a list item, a menu).
    if (control->GetManager() != this)
        return true;
    TEventUI up;
    up.Type = UIEVENT_BUTTONUP;
    up.pSender = control;
    up.ptMouse = at;
    control->Event(up);
    return true;
}

bool CPaintManagerUI::IsFocusable(const CControlUI& control) {
    if (!control.IsInteractive() || !control.IsKeyboardEnabled())
        return false;
    // List elements are reached through their list's arrows, not with Tab.
    if (dynamic_cast<const IListItemUI*>(&control) != nullptr)
        return false;
    return dynamic_cast<const CButtonUI*>(&control) != nullptr ||
           dynamic_cast<const CEditUI*>(&control) != nullptr ||
           dynamic_cast<const CSliderUI*>(&control) != nullptr ||
           dynamic_cast<const CColorPaletteUI*>(&control) != nullptr ||
           dynamic_cast<const IListOwnerUI*>(&control) != nullptr;
}

CControlUI* CPaintManagerUI::FocusNext(bool forward) {
    if (!root_)
        return nullptr;
    std::vector<CControlUI*> order;
    root_->FindControl(
        [&order](CControlUI* c) {
            if (IsFocusable(*c))
                order.push_back(c);
            return false;
        },
        UIFIND_VISIBLE);
    if (order.empty())
        return nullptr;
    const auto current = std::find(order.begin(), order.end(), focus_);
    std::size_t next = 0;
    if (current == order.end())
        next = forward ? 0 : order.size() - 1;
    else {
        const auto at = static_cast<std::size_t>(current - order.begin());
        next = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    }
    SetFocus(order[next]);
    return focus_;
}

namespace {

// Moves the selection of a list or combo by one, as its arrows do:
// "itemselect" when it changed; the first element when none was selected.
bool StepSelection(CControlUI& control, int delta) {
    auto* owner = dynamic_cast<IListOwnerUI*>(&control);
    auto* container = dynamic_cast<CContainerUI*>(&control);
    if (owner == nullptr || container == nullptr)
        return false;
    int index = owner->GetCurSel() < 0 ? (delta > 0 ? 0 : container->GetCount() - 1)
                                       : owner->GetCurSel() + delta;
    // Skips elements the user could not choose.
    while (index >= 0 && index < container->GetCount()) {
        CControlUI* item = container->GetItemAt(index);
        if (item->IsOwnVisible() && item->IsEnabled()) {
            owner->SelectItem(index, false, true);
            return true;
        }
        index += delta;
    }
    return false;
}

bool StepSlider(CSliderUI& slider, int delta) {
    const int before = slider.GetValue();
    slider.BeginDrag();
    slider.DragTo(before + delta * std::max(1, slider.GetChangeStep()));
    slider.EndDrag();
    return true;
}

} // namespace

bool CPaintManagerUI::KeyDown(NavigationKey key) {
    switch (key) {
    case NavigationKey::Tab:
    case NavigationKey::BackTab:
        return FocusNext(key == NavigationKey::Tab) != nullptr;
    case NavigationKey::Space:
    case NavigationKey::Enter:
        // Buttons, options and check boxes are pressed; a combo's drop-down
        // is the view's, and an edit keeps the keys for its text.
        if (dynamic_cast<CButtonUI*>(focus_) == nullptr)
            return false;
        return Press(focus_);
    default:
        break;
    }
    if (focus_ == nullptr || !focus_->IsInteractive())
        return false;
    const bool increase = key == NavigationKey::Right || key == NavigationKey::Up;
    if (auto* slider = dynamic_cast<CSliderUI*>(focus_)) {
        // A vertical slider grows upwards, as it is drawn.
        return StepSlider(*slider, increase ? 1 : -1);
    }
    // Lists run downwards: Down and Right select the next element.
    const bool next = key == NavigationKey::Down || key == NavigationKey::Right;
    return StepSelection(*focus_, next ? 1 : -1);
}

} // namespace quellix::dui
