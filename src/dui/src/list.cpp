#include "quellix/dui/list.h"

#include "quellix/dui/paint_manager.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"

#include <algorithm>

namespace quellix::dui {

namespace {

constexpr int kDefaultItemHeight = 25;

// The shared selection step of lists and combos.
bool SelectIn(CContainerUI& owner, int& curSel, int index, bool takeFocus, bool triggerEvent,
              IListItemUI* (*itemAt)(const CContainerUI&, int)) {
    if (index == curSel)
        return true;
    const int oldSel = curSel;
    if (curSel >= 0) {
        if (IListItemUI* old = itemAt(owner, curSel))
            old->SetSelectedState(false);
        curSel = -1;
    }
    if (index < 0 || owner.GetCount() == 0)
        return false;
    index = std::min(index, owner.GetCount() - 1);
    CControlUI* control = owner.GetItemAt(index);
    IListItemUI* item = itemAt(owner, index);
    if (control == nullptr || item == nullptr || !control->IsOwnVisible() || !control->IsEnabled())
        return false;
    curSel = index;
    if (takeFocus)
        control->SetFocus();
    item->SetSelectedState(true);
    owner.Invalidate();
    if (owner.GetManager() != nullptr)
        owner.GetManager()->ReportChange(&owner, ControlChange::Value);
    if (triggerEvent && owner.GetManager() != nullptr)
        owner.GetManager()->SendNotify(&owner, DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(curSel),
                                       oldSel);
    return true;
}

IListItemUI* ItemOf(const CContainerUI& owner, int index) {
    return dynamic_cast<IListItemUI*>(owner.GetItemAt(index));
}

// Lists and combos keep the same bookkeeping around their base container's
// insert and remove: every element knows its owner and index, and the
// current selection follows the element it names.
template <class Owner> void ReindexItems(Owner& owner) {
    for (int i = 0; i < owner.GetCount(); ++i) {
        if (IListItemUI* item = ItemOf(owner, i)) {
            item->SetIndex(i);
            item->SetOwner(&owner);
        }
    }
}

template <class Base, class Owner>
bool AddItemAt(Owner& owner, int& curSel, CControlUI* control, int index) {
    if (dynamic_cast<IListItemUI*>(control) == nullptr)
        return false;
    if (!owner.Base::AddAt(control, index))
        return false;
    if (curSel >= index)
        ++curSel;
    ReindexItems(owner);
    return true;
}

template <class Base, class Owner> bool RemoveItemAt(Owner& owner, int& curSel, int index) {
    if (IListItemUI* item = ItemOf(owner, index)) {
        item->SetOwner(nullptr);
        item->SetIndex(-1);
        item->SetSelectedState(false);
    }
    if (!owner.Base::RemoveAt(index))
        return false;
    if (index == curSel)
        curSel = -1;
    else if (index < curSel)
        --curSel;
    ReindexItems(owner);
    return true;
}

} // namespace

// --- IListItemUI ---

bool IListItemUI::Select() {
    return owner_ != nullptr && owner_->SelectItem(index_, true, true);
}

void IListItemUI::UserClick(CControlUI& self) {
    if (!self.IsEnabled())
        return;
    CPaintManagerUI* manager = self.GetManager();
    if (manager == nullptr)
        return;
    manager->SendNotify(&self, DUI_MSGTYPE_ITEMCLICK);
    // The handler may have removed the element; then there is nothing to select.
    if (self.GetManager() == manager && owner_ != nullptr)
        Select();
}

// --- elements ---

void CListLabelElementUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        UserClick(*this);
        return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;
    default:
        CLabelUI::DoEvent(event);
    }
}

SIZE CListLabelElementUI::EstimateSize(SIZE) const {
    return {fixedWidth_, fixedHeight_ > 0 ? fixedHeight_ : kDefaultItemHeight};
}

CDuiString CListTextElementUI::GetText(int column) const {
    if (column == 0)
        return CListLabelElementUI::GetText();
    if (column < 0 || column >= GetColumnCount())
        return {};
    const CDuiString& raw = columns_[static_cast<std::size_t>(column)];
    Toolkit* toolkit = Toolkit::current();
    if (!resourceText_ || raw.empty() || toolkit == nullptr)
        return raw;
    return toolkit->resources().GetText(raw, GetClass());
}

void CListTextElementUI::SetText(int column, const CDuiString& text) {
    if (column < 0)
        return;
    if (static_cast<std::size_t>(column) >= columns_.size())
        columns_.resize(static_cast<std::size_t>(column) + 1);
    columns_[static_cast<std::size_t>(column)] = text;
    if (column == 0)
        CListLabelElementUI::SetText(text);
    Invalidate();
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        UserClick(*this);
        return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;
    default:
        CHorizontalLayoutUI::DoEvent(event);
    }
}

SIZE CListContainerElementUI::EstimateSize(SIZE) const {
    return {fixedWidth_, fixedHeight_ > 0 ? fixedHeight_ : kDefaultItemHeight};
}

// --- CListUI ---

bool CListUI::SelectItem(int index, bool takeFocus, bool triggerEvent) {
    return SelectIn(*this, curSel_, index, takeFocus, triggerEvent, &ItemOf);
}

void CListUI::Reindex() {
    ReindexItems(*this);
}

bool CListUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CListUI::AddAt(CControlUI* control, int index) {
    return AddItemAt<CVerticalLayoutUI>(*this, curSel_, control, index);
}

bool CListUI::Remove(CControlUI* control) {
    return RemoveAt(GetItemIndex(control));
}

bool CListUI::RemoveAt(int index) {
    return RemoveItemAt<CVerticalLayoutUI>(*this, curSel_, index);
}

void CListUI::RemoveAll() {
    CVerticalLayoutUI::RemoveAll();
    curSel_ = -1;
}

IListItemUI* CListUI::GetListItem(int index) const {
    return ItemOf(*this, index);
}

void CListUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    // Header and scroll bar attributes are kept for the view.
    CVerticalLayoutUI::SetAttribute(name, value);
}

// --- CComboUI ---

bool CComboUI::SelectItem(int index, bool takeFocus, bool triggerEvent) {
    dropped_ = false;
    return SelectIn(*this, curSel_, index, takeFocus, triggerEvent, &ItemOf);
}

void CComboUI::Reindex() {
    ReindexItems(*this);
}

bool CComboUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    return AddItemAt<CContainerUI>(*this, curSel_, control, index);
}

bool CComboUI::Remove(CControlUI* control) {
    return RemoveAt(GetItemIndex(control));
}

bool CComboUI::RemoveAt(int index) {
    return RemoveItemAt<CContainerUI>(*this, curSel_, index);
}

void CComboUI::RemoveAll() {
    CContainerUI::RemoveAll();
    curSel_ = -1;
}

IListItemUI* CComboUI::GetListItem(int index) const {
    return ItemOf(*this, index);
}

CDuiString CComboUI::GetText() const {
    CControlUI* selected = GetItemAt(curSel_);
    return selected != nullptr ? selected->GetText() : CControlUI::GetText();
}

void CComboUI::SetPos(RECT rc, bool needInvalidate) {
    // The elements live in the drop-down list, which the view places.
    CControlUI::SetPos(rc, needInvalidate);
}

void CComboUI::SetDropped(bool dropped) {
    if (dropped && !IsInteractive())
        return;
    dropped_ = dropped;
    Invalidate();
}

void CComboUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "normalimage" || key == "hotimage" || key == "pushedimage" ||
        key == "disabledimage") {
        if (key == "normalimage")
            normalImage_ = value;
    } else if (key == "textcolor")
        textColor_ = ParseColor(value);
    else if (key == "font")
        font_ = ParseInt(value);
    else if (key == "dropbox" || key == "itemfont" || key == "itemtextcolor" ||
             key == "itemselectedbkcolor" || key == "itemhotbkcolor" || key == "textpadding")
        ; // drop-down appearance, remembered for the view
    else if (key == "dropboxsize") {
        dropBoxHeight_ = ParseSize(value).cy;
    } else {
        CContainerUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

} // namespace quellix::dui
