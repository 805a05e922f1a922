#include "quellix/dui/container.h"

#include "quellix/dui/paint_manager.h"

#include <algorithm>

namespace quellix::dui {

namespace {

int Clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

} // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // Children go first so that they unregister from the manager while this
    // container is still whole.
    items_.clear();
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == control)
            return static_cast<int>(i);
    return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int newIndex) {
    int old = GetItemIndex(control);
    if (old < 0 || newIndex < 0 || newIndex >= GetCount())
        return false;
    auto owned = std::move(items_[static_cast<std::size_t>(old)]);
    items_.erase(items_.begin() + old);
    items_.insert(items_.begin() + newIndex, std::move(owned));
    if (manager_ != nullptr)
        manager_->NameChanged();
    NeedUpdate();
    return true;
}

void CContainerUI::TakeChild(CControlUI* control) {
    if (manager_ != nullptr)
        control->SetManager(manager_, this, true);
    else
        control->SetParentOnly(this);
    control->SetInternVisible(IsVisible());
    NeedUpdate();
}

bool CContainerUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr || index < 0 || index > GetCount() || GetItemIndex(control) >= 0)
        return false;
    items_.insert(items_.begin() + index, std::unique_ptr<CControlUI>(control));
    TakeChild(control);
    return true;
}

std::unique_ptr<CControlUI> CContainerUI::Detach(CControlUI* control) {
    int index = GetItemIndex(control);
    if (index < 0)
        return nullptr;
    auto owned = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    owned->SetManager(nullptr, nullptr, false);
    NeedUpdate();
    return owned;
}

bool CContainerUI::Remove(CControlUI* control) {
    return RemoveAt(GetItemIndex(control));
}

bool CContainerUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    if (control == nullptr)
        return false;
    CPaintManagerUI* manager = manager_;
    auto owned = Detach(control);
    // A control may be removed from inside its own event or notification;
    // it is deleted once that has returned.
    if (manager != nullptr)
        manager->DelayedCleanup(std::move(owned));
    return true;
}

void CContainerUI::RemoveAll() {
    while (GetCount() > 0)
        RemoveAt(GetCount() - 1);
}

void CContainerUI::SetInset(RECT inset) {
    inset_ = inset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
    childPadding_ = padding;
    NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    CControlUI::SetManager(manager, parent, init);
    for (auto& item : items_)
        item->SetManager(manager, this, init);
}

void CContainerUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    for (auto& item : items_)
        item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    for (auto& item : items_)
        item->SetInternVisible(IsVisible());
}

RECT CContainerUI::InnerRect(const RECT& rc) const {
    return {rc.left + inset_.left, rc.top + inset_.top, rc.right - inset_.right,
            rc.bottom - inset_.bottom};
}

void CContainerUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    RECT inner = InnerRect(pos_);
    for (auto& item : items_) {
        if (item->IsFloat() || !item->IsOwnVisible())
            continue;
        RECT pad = item->GetPadding();
        RECT r{inner.left + pad.left, inner.top + pad.top, inner.right - pad.right,
               inner.bottom - pad.bottom};
        SIZE want = item->EstimateSize({r.width(), r.height()});
        if (want.cx > 0)
            r.right = r.left + Clamp(want.cx, item->GetMinWidth(), item->GetMaxWidth());
        if (want.cy > 0)
            r.bottom = r.top + Clamp(want.cy, item->GetMinHeight(), item->GetMaxHeight());
        item->SetPos(r, needInvalidate);
    }
    PlaceFloatChildren(pos_);
}

void CContainerUI::PlaceFloatChildren(const RECT& rc) {
    for (auto& item : items_) {
        if (!item->IsFloat())
            continue;
        RECT fp = item->GetFloatPos();
        int width = item->GetFixedWidth() > 0 ? item->GetFixedWidth() : fp.right - fp.left;
        int height = item->GetFixedHeight() > 0 ? item->GetFixedHeight() : fp.bottom - fp.top;
        RECT r{rc.left + fp.left, rc.top + fp.top, rc.left + fp.left + std::max(width, 0),
               rc.top + fp.top + std::max(height, 0)};
        item->SetPos(r);
    }
}

void CContainerUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "inset")
        SetInset(ParseRect(value));
    else if (key == "childpadding")
        SetChildPadding(ParseInt(value));
    else if (key == "mousechild")
        SetMouseChildEnabled(ParseBool(value));
    else {
        CControlUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

CControlUI* CContainerUI::FindControl(const FindPredicate& pred, UINT flags, POINT point) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled())
        return nullptr;
    if (flags & UIFIND_HITTEST) {
        if (!pos_.contains(point))
            return nullptr;
        if (mouseChildEnabled_) {
            // Later children are drawn above earlier ones.
            for (auto it = items_.rbegin(); it != items_.rend(); ++it)
                if (CControlUI* found = (*it)->FindControl(pred, flags, point))
                    return found;
        }
        return CControlUI::FindControl(pred, flags, point);
    }
    if (pred(this))
        return this;
    for (auto& item : items_)
        if (CControlUI* found = item->FindControl(pred, flags, point))
            return found;
    return nullptr;
}

CControlUI* CContainerUI::FindSubControl(const CDuiString& name) {
    for (auto& item : items_) {
        CControlUI* found =
            item->FindControl([&](CControlUI* c) { return c->GetName() == name; }, UIFIND_ALL);
        if (found != nullptr)
            return found;
    }
    return nullptr;
}

namespace {

// One axis of the stacking layouts, so vertical and horizontal share it.
struct Axis {
    bool vertical;
    int fixed(const CControlUI& c, SIZE avail) const {
        SIZE s = c.EstimateSize(avail);
        return vertical ? s.cy : s.cx;
    }
    int cross(const CControlUI& c, SIZE avail) const {
        SIZE s = c.EstimateSize(avail);
        return vertical ? s.cx : s.cy;
    }
    int minMain(const CControlUI& c) const { return vertical ? c.GetMinHeight() : c.GetMinWidth(); }
    int maxMain(const CControlUI& c) const { return vertical ? c.GetMaxHeight() : c.GetMaxWidth(); }
    int minCross(const CControlUI& c) const {
        return vertical ? c.GetMinWidth() : c.GetMinHeight();
    }
    int maxCross(const CControlUI& c) const {
        return vertical ? c.GetMaxWidth() : c.GetMaxHeight();
    }
    int padBefore(const RECT& p) const { return vertical ? p.top : p.left; }
    int padAfter(const RECT& p) const { return vertical ? p.bottom : p.right; }
};

void Stack(const Axis& axis, const RECT& inner, int childPadding,
           const std::vector<CControlUI*>& items, bool needInvalidate) {
    const int mainSize = axis.vertical ? inner.height() : inner.width();
    const SIZE avail{inner.width(), inner.height()};
    int used = 0;
    int stretch = 0;
    for (CControlUI* c : items) {
        RECT pad = c->GetPadding();
        used += axis.padBefore(pad) + axis.padAfter(pad);
        int f = axis.fixed(*c, avail);
        if (f > 0)
            used += Clamp(f, axis.minMain(*c), axis.maxMain(*c));
        else
            ++stretch;
    }
    if (!items.empty())
        used += childPadding * static_cast<int>(items.size() - 1);
    int remaining = std::max(0, mainSize - used);
    int cursor = axis.vertical ? inner.top : inner.left;
    int stretchLeft = stretch;
    for (CControlUI* c : items) {
        RECT pad = c->GetPadding();
        int f = axis.fixed(*c, avail);
        int size;
        if (f > 0) {
            size = Clamp(f, axis.minMain(*c), axis.maxMain(*c));
        } else {
            // The last stretching child takes what rounding left over.
            size = stretchLeft == 1 ? remaining : remaining / std::max(stretchLeft, 1);
            size = Clamp(size, axis.minMain(*c), axis.maxMain(*c));
            remaining -= size;
            --stretchLeft;
        }
        cursor += axis.padBefore(pad);
        RECT r;
        if (axis.vertical) {
            int w = axis.cross(*c, avail);
            int full = inner.width() - pad.left - pad.right;
            w = w > 0 ? Clamp(w, axis.minCross(*c), axis.maxCross(*c)) : full;
            r = {inner.left + pad.left, cursor, inner.left + pad.left + w, cursor + size};
        } else {
            int h = axis.cross(*c, avail);
            int full = inner.height() - pad.top - pad.bottom;
            h = h > 0 ? Clamp(h, axis.minCross(*c), axis.maxCross(*c)) : full;
            r = {cursor, inner.top + pad.top, cursor + size, inner.top + pad.top + h};
        }
        c->SetPos(r, needInvalidate);
        cursor += size + axis.padAfter(pad) + childPadding;
    }
}

} // namespace

void CVerticalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    std::vector<CControlUI*> stacked;
    for (auto& item : items_)
        if (!item->IsFloat() && item->IsOwnVisible())
            stacked.push_back(item.get());
    Stack(Axis{true}, InnerRect(pos_), childPadding_, stacked, needInvalidate);
    PlaceFloatChildren(pos_);
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    std::vector<CControlUI*> stacked;
    for (auto& item : items_)
        if (!item->IsFloat() && item->IsOwnVisible())
            stacked.push_back(item.get());
    Stack(Axis{false}, InnerRect(pos_), childPadding_, stacked, needInvalidate);
    PlaceFloatChildren(pos_);
}

// --- CTabLayoutUI ---

void CTabLayoutUI::ShowOnly(int index) {
    for (int i = 0; i < GetCount(); ++i)
        GetItemAt(i)->SetVisible(i == index);
    NeedUpdate();
}

bool CTabLayoutUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (curSel_ >= index && curSel_ != -1)
        ++curSel_;
    if (curSel_ == -1 || index == initialSel_)
        curSel_ = index;
    ShowOnly(curSel_);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
    return RemoveAt(GetItemIndex(control));
}

bool CTabLayoutUI::RemoveAt(int index) {
    if (!CContainerUI::RemoveAt(index))
        return false;
    if (curSel_ == index)
        curSel_ = GetCount() > 0 ? std::min(index, GetCount() - 1) : -1;
    else if (curSel_ > index)
        --curSel_;
    ShowOnly(curSel_);
    return true;
}

void CTabLayoutUI::RemoveAll() {
    CContainerUI::RemoveAll();
    curSel_ = -1;
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount())
        return false;
    initialSel_ = -1;
    if (index == curSel_)
        return true;
    curSel_ = index;
    ShowOnly(curSel_);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) {
    return SelectItem(GetItemIndex(control));
}

void CTabLayoutUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    if (EqualsNoCase(name, "selectedid")) {
        attributes_[name] = value;
        initialSel_ = ParseInt(value);
        if (initialSel_ >= 0 && initialSel_ < GetCount())
            SelectItem(initialSel_);
        return;
    }
    CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::DoInit() {
    if (curSel_ >= 0)
        ShowOnly(curSel_);
}

} // namespace quellix::dui
