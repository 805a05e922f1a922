#include "quellix/dui/control.h"

#include "quellix/dui/paint_manager.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"

#include <cctype>

namespace quellix::dui {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (manager_ != nullptr)
        manager_->ControlDetached(this);
}

void CControlUI::SetName(const CDuiString& name) {
    if (name_ == name)
        return;
    name_ = name;
    if (manager_ != nullptr)
        manager_->NameChanged();
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    if (manager_ != nullptr && manager_ != manager)
        manager_->ControlDetached(this);
    parent_ = parent;
    if (manager_ == manager) {
        if (init && manager_ != nullptr && !initialised_) {
            initialised_ = true;
            DoInit();
        }
        return;
    }
    manager_ = manager;
    if (manager_ == nullptr)
        return;
    manager_->ControlAttached(this);
    if (!pendingStyle_.empty()) {
        if (auto style = manager_->GetStyle(pendingStyle_)) {
            const CDuiString name = std::move(pendingStyle_);
            pendingStyle_.clear();
            // Nobody can take an exception here (the control is joining a
            // tree); a broken style in the skin is reported instead.
            try {
                ApplyAttributeList(*style);
            } catch (const ParseError& e) {
                platform::debugOutput("style '" + name + "' of control '" + name_ +
                                      "': " + e.what());
            }
        }
    }
    if (init && !initialised_) {
        initialised_ = true;
        DoInit();
    }
}

CDuiString CControlUI::GetText() const {
    if (!resourceText_ || text_.empty())
        return text_;
    Toolkit* toolkit = Toolkit::current();
    if (toolkit == nullptr)
        return text_;
    return toolkit->resources().GetText(text_, GetClass());
}

void CControlUI::SetText(const CDuiString& text) {
    if (text_ == text)
        return;
    text_ = text;
    Invalidate();
    if (manager_ != nullptr)
        manager_->ReportChange(this, ControlChange::Text);
}

void CControlUI::SetResourceText(bool on) {
    resourceText_ = on;
    Invalidate();
}

CDuiString CControlUI::GetToolTip() const {
    Toolkit* toolkit = Toolkit::current();
    if (!resourceText_ || toolTip_.empty() || toolkit == nullptr)
        return toolTip_;
    return toolkit->resources().GetText(toolTip_, GetClass());
}

void CControlUI::SetToolTip(const CDuiString& tip) {
    toolTip_ = tip;
}

void CControlUI::SetBkColor(DWORD color) {
    if (bkColor_ == color)
        return;
    bkColor_ = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
    bkColor2_ = color;
    Invalidate();
}

void CControlUI::SetBkImage(const CDuiString& image) {
    if (bkImage_ == image)
        return;
    bkImage_ = image;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
    borderColor_ = color;
    Invalidate();
}

void CControlUI::SetBorderSize(int size) {
    borderSize_ = size < 0 ? 0 : size;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE round) {
    borderRound_ = round;
    Invalidate();
}

void CControlUI::SetChangerActive(bool active) {
    if (changerActive_ == active)
        return;
    changerActive_ = active;
    Invalidate();
}

void CControlUI::SetChangerColor(DWORD color) {
    if (changerColor_ == color)
        return;
    changerColor_ = color;
    Invalidate();
}

void CControlUI::SetChangerAlpha(int alpha) {
    alpha = alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
    if (changerAlpha_ == alpha)
        return;
    changerAlpha_ = alpha;
    Invalidate();
}

void CControlUI::SetPos(RECT rc, bool needInvalidate) {
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    if (pos_ == rc)
        return;
    if (needInvalidate)
        Invalidate();
    pos_ = rc;
    if (needInvalidate)
        Invalidate();
}

void CControlUI::SetPadding(RECT padding) {
    padding_ = padding;
    NeedParentUpdate();
}

void CControlUI::SetFloatPos(RECT pos) {
    floatPos_ = pos;
    NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
    fixedWidth_ = cx < 0 ? 0 : cx;
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
    fixedHeight_ = cy < 0 ? 0 : cy;
    NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
    minWidth_ = cx < 0 ? 0 : cx;
    NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
    maxWidth_ = cx < 0 ? 0 : cx;
    NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
    minHeight_ = cy < 0 ? 0 : cy;
    NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
    maxHeight_ = cy < 0 ? 0 : cy;
    NeedParentUpdate();
}

void CControlUI::SetFloat(bool isFloat) {
    float_ = isFloat;
    NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE) const {
    return {fixedWidth_, fixedHeight_};
}

void CControlUI::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    bool wasVisible = IsVisible();
    visible_ = visible;
    if (!IsVisible() && IsFocused())
        manager_->SetFocus(nullptr);
    if (wasVisible != IsVisible()) {
        NeedParentUpdate();
        if (manager_ != nullptr)
            manager_->ReportChange(this, ControlChange::Visibility);
    }
}

void CControlUI::SetInternVisible(bool visible) {
    internVisible_ = visible;
    if (!IsVisible() && IsFocused())
        manager_->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Invalidate();
    if (manager_ != nullptr)
        manager_->ReportChange(this, ControlChange::State);
}

bool CControlUI::IsFocused() const {
    return manager_ != nullptr && manager_->GetFocus() == this;
}

void CControlUI::SetFocus() {
    if (manager_ != nullptr)
        manager_->SetFocus(this);
}

void CControlUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    attributes_[name] = value;
    const std::string key = ToLower(name);
    if (key == "name")
        SetName(value);
    else if (key == "text")
        SetText(value);
    else if (key == "tooltip")
        SetToolTip(value);
    else if (key == "userdata")
        SetUserData(value);
    else if (key == "resourcetext")
        SetResourceText(ParseBool(value));
    else if (key == "pos") {
        RECT rc = ParseRect(value);
        SetFloatPos(rc);
        if (rc.right > rc.left)
            SetFixedWidth(rc.right - rc.left);
        if (rc.bottom > rc.top)
            SetFixedHeight(rc.bottom - rc.top);
    } else if (key == "float")
        SetFloat(ParseBool(value));
    else if (key == "width")
        SetFixedWidth(ParseInt(value));
    else if (key == "height")
        SetFixedHeight(ParseInt(value));
    else if (key == "minwidth")
        SetMinWidth(ParseInt(value));
    else if (key == "maxwidth")
        SetMaxWidth(ParseInt(value));
    else if (key == "minheight")
        SetMinHeight(ParseInt(value));
    else if (key == "maxheight")
        SetMaxHeight(ParseInt(value));
    else if (key == "padding")
        SetPadding(ParseRect(value));
    else if (key == "visible")
        SetVisible(ParseBool(value));
    else if (key == "enabled")
        SetEnabled(ParseBool(value));
    else if (key == "mouse")
        SetMouseEnabled(ParseBool(value));
    else if (key == "keyboard")
        SetKeyboardEnabled(ParseBool(value));
    else if (key == "bkcolor" || key == "bkcolor1")
        SetBkColor(ParseColor(value));
    else if (key == "bkcolor2")
        SetBkColor2(ParseColor(value));
    else if (key == "bkimage")
        SetBkImage(value);
    else if (key == "bordersize")
        SetBorderSize(ParseInt(value));
    else if (key == "bordercolor")
        SetBorderColor(ParseColor(value));
    else if (key == "borderround") {
        SIZE round = value.find(',') == CDuiString::npos ? SIZE{ParseInt(value), ParseInt(value)}
                                                         : ParseSize(value);
        SetBorderRound(round);
    } else if (key == "cursor")
        cursor_ = value;
    else if (key == "changercolor")
        SetChangerColor(ParseColor(value));
    else if (key == "changeralpha")
        SetChangerAlpha(ParseInt(value));
    else if (key == "changeractive")
        SetChangerActive(ParseBool(value));
    else if (key == "style") {
        std::optional<CDuiString> style =
            manager_ != nullptr ? manager_->GetStyle(value) : std::nullopt;
        if (style)
            ApplyAttributeList(*style);
        else
            pendingStyle_ = value; // applied when the control joins a manager that has it
    }
}

void CControlUI::ApplyAttributeList(const CDuiString& list) {
    std::size_t i = 0;
    auto skipSpace = [&] {
        while (i < list.size() && std::isspace(static_cast<unsigned char>(list[i])))
            ++i;
    };
    while (true) {
        skipSpace();
        if (i >= list.size())
            return;
        auto eq = list.find('=', i);
        if (eq == CDuiString::npos)
            throw ParseError("bad attribute list '" + list + "': '" + list.substr(i) +
                             "' has no value");
        CDuiString name = list.substr(i, eq - i);
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
            name.pop_back();
        i = eq + 1;
        skipSpace();
        if (i >= list.size() || (list[i] != '"' && list[i] != '\''))
            throw ParseError("bad attribute list '" + list + "': value of '" + name +
                             "' must be quoted");
        char quote = list[i];
        auto close = list.find(quote, i + 1);
        if (close == CDuiString::npos)
            throw ParseError("bad attribute list '" + list + "': unterminated quote");
        SetAttribute(name, list.substr(i + 1, close - i - 1));
        i = close + 1;
    }
}

std::optional<CDuiString> CControlUI::GetAttribute(const CDuiString& name) const {
    auto it = attributes_.find(name);
    if (it != attributes_.end())
        return it->second;
    for (auto& [key, value] : attributes_)
        if (EqualsNoCase(key, name))
            return value;
    return std::nullopt;
}

bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}

void CControlUI::Event(TEventUI& event) {
    if (event.pSender == nullptr)
        event.pSender = this;
    DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_MOUSEENTER:
        if (IsEnabled())
            Notify(DUI_MSGTYPE_MOUSEENTER);
        break;
    case UIEVENT_MOUSELEAVE:
        if (IsEnabled())
            Notify(DUI_MSGTYPE_MOUSELEAVE);
        break;
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_TIMER:
        Notify(DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
        break;
    default:
        if (parent_ != nullptr && event.Type != UIEVENT_TIMER)
            parent_->DoEvent(event);
        break;
    }
}

CControlUI* CControlUI::FindControl(const FindPredicate& pred, UINT flags, POINT point) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled())
        return nullptr;
    if ((flags & UIFIND_HITTEST) && (!pos_.contains(point) || !mouseEnabled_))
        return nullptr;
    return pred(this) ? this : nullptr;
}

void CControlUI::Invalidate() {
    if (manager_ != nullptr && IsVisible())
        manager_->Invalidate(pos_);
}

void CControlUI::NeedUpdate() {
    if (manager_ != nullptr)
        manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    NeedUpdate();
}

bool CControlUI::IsInteractive() const {
    if (!IsVisible() || !IsEnabled() || !mouseEnabled_)
        return false;
    for (const CControlUI* p = parent_; p != nullptr; p = p->parent_) {
        if (!p->IsVisible() || p->IsMouseChildBlocked())
            return false;
    }
    return true;
}

void CControlUI::Notify(const char* type, WPARAM wParam, LPARAM lParam) {
    if (manager_ != nullptr)
        manager_->SendNotify(this, type, wParam, lParam);
}

} // namespace quellix::dui
