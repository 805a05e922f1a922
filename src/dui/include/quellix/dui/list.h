#pragma once
// Lists and combos of list elements.
//
// CListUI stacks its elements vertically; CComboUI shows the selected
// element and drops the others down.  Both are list owners: an element
// clicked by the user raises "itemclick" (sender: the element) and then
// selects itself, which raises "itemselect" (sender: the list or combo,
// wParam = new index, lParam = old index).  SelectItem selects
// programmatically with or without the notification; selecting the
// already selected index does nothing; an index below 0 clears the
// selection quietly; an index past the end selects the last element.
// Removing the selected element clears the selection quietly (no other
// element is selected on its behalf: callers select what they want next).
// Elements without a fixed height are 25 pixels high.

#include "quellix/dui/container.h"
#include "quellix/dui/controls.h"

namespace quellix::dui {

class IListOwnerUI;

// What every list element offers its owner.
class IListItemUI {
public:
    virtual ~IListItemUI() = default;
    int GetIndex() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    IListOwnerUI* GetOwner() const { return owner_; }
    void SetOwner(IListOwnerUI* owner) { owner_ = owner; }
    bool IsSelected() const { return selected_; }
    // Marks the element (no notification); the owner calls it.
    virtual void SetSelectedState(bool selected) { selected_ = selected; }
    // Asks the owner to select this element (user action): raises "itemselect".
    bool Select();

protected:
    // The click path shared by the element classes: "itemclick", then select.
    void UserClick(CControlUI& self);

private:
    int index_ = -1;
    IListOwnerUI* owner_ = nullptr;
    bool selected_ = false;
};

class IListOwnerUI {
public:
    virtual ~IListOwnerUI() = default;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) = 0;
};

// An element showing one text.
class CListLabelElementUI : public CLabelUI, public IListItemUI {
public:
    CDuiString GetClass() const override { return "ListLabelElement"; }
    void DoEvent(TEventUI& event) override;
    SIZE EstimateSize(SIZE available) const override;
};

// An element with one text per column.
class CListTextElementUI : public CListLabelElementUI {
public:
    CDuiString GetClass() const override { return "ListTextElement"; }
    // Column 0 is also the element's own text.
    CDuiString GetText(int column) const;
    using CListLabelElementUI::GetText;
    void SetText(int column, const CDuiString& text);
    using CListLabelElementUI::SetText;
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }

private:
    std::vector<CDuiString> columns_;
};

// An element holding other controls (a row of labels, for example).
class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
public:
    CDuiString GetClass() const override { return "ListContainerElement"; }
    void DoEvent(TEventUI& event) override;
    SIZE EstimateSize(SIZE available) const override;
};

// The shared item bookkeeping of lists and combos.
class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    CDuiString GetClass() const override { return "List"; }
    int GetCurSel() const override { return curSel_; }
    bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
    // Only IListItemUI controls are accepted.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    IListItemUI* GetListItem(int index) const;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

protected:
    void Reindex();
    int curSel_ = -1;
};

class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CDuiString GetClass() const override { return "Combo"; }
    int GetCurSel() const override { return curSel_; }
    bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    IListItemUI* GetListItem(int index) const;
    // The combo's own text is the selected element's text.
    CDuiString GetText() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

    bool IsDropped() const { return dropped_; }
    // The view opens and closes the drop-down list.
    void SetDropped(bool dropped);
    const CDuiString& GetNormalImage() const { return normalImage_; }
    DWORD GetTextColor() const { return textColor_; }
    int GetFont() const { return font_; }
    int GetDropBoxHeight() const { return dropBoxHeight_; }

private:
    void Reindex();
    int curSel_ = -1;
    bool dropped_ = false;
    CDuiString normalImage_;
    DWORD textColor_ = 0;
    int font_ = -1;
    int dropBoxHeight_ = 150;
};

} // namespace quellix::dui
