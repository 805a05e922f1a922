#pragma once
// Containers and the layout pass.
//
// Layout, kept simple on purpose:
// - CContainerUI gives every child the container's rectangle minus its
//   inset (children overlap; a TabLayout shows one of them).
// - CVerticalLayoutUI stacks children top to bottom: a child with a fixed
//   height gets it, the remaining height is shared equally by the children
//   without one (within their min/max); widths fill the container unless
//   fixed.  CHorizontalLayoutUI does the same left to right.
// - "childpadding" is the gap between stacked children; a child's
//   "padding" (l,t,r,b) is space around it.
// - A float child is placed at its "pos" (l,t,r,b) relative to the
//   container's top-left corner; when r/b are 0 its fixed width/height
//   decide the size.  Float children take no space in the stacking.
// - Hidden children take no space.

#include "quellix/dui/control.h"

#include <memory>
#include <vector>

namespace quellix::dui {

class CContainerUI : public CControlUI {
public:
    CContainerUI();
    ~CContainerUI() override;
    CDuiString GetClass() const override { return "Container"; }

    // Containers own their children: Add takes ownership, Remove deletes.
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(const CControlUI* control) const;
    bool SetItemIndex(CControlUI* control, int newIndex);
    int GetCount() const { return static_cast<int>(items_.size()); }
    virtual bool Add(CControlUI* control);
    virtual bool AddAt(CControlUI* control, int index);
    virtual bool Remove(CControlUI* control);
    virtual bool RemoveAt(int index);
    virtual void RemoveAll();
    // Takes a child out without deleting it; the caller owns it.
    std::unique_ptr<CControlUI> Detach(CControlUI* control);

    RECT GetInset() const { return inset_; }
    void SetInset(RECT inset);
    int GetChildPadding() const { return childPadding_; }
    void SetChildPadding(int padding);
    bool IsMouseChildEnabled() const { return mouseChildEnabled_; }
    void SetMouseChildEnabled(bool enabled = true) { mouseChildEnabled_ = enabled; }

    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;
    CControlUI* FindControl(const FindPredicate& pred, UINT flags, POINT point = {}) override;

    // Finds a descendant by name (first in tree order).
    CControlUI* FindSubControl(const CDuiString& name);

protected:
    bool IsMouseChildBlocked() const override { return !mouseChildEnabled_; }
    // Places the float children; the layouts call it after stacking.
    void PlaceFloatChildren(const RECT& rc);
    RECT InnerRect(const RECT& rc) const;
    void TakeChild(CControlUI* control);

    std::vector<std::unique_ptr<CControlUI>> items_;
    RECT inset_{};
    int childPadding_ = 0;
    bool mouseChildEnabled_ = true;
};

class CVerticalLayoutUI : public CContainerUI {
public:
    CDuiString GetClass() const override { return "VerticalLayout"; }
    void SetPos(RECT rc, bool needInvalidate = true) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    CDuiString GetClass() const override { return "HorizontalLayout"; }
    void SetPos(RECT rc, bool needInvalidate = true) override;
};

// Shows one child (page) at a time.  Selecting a page raises no
// notification; the tab buttons that select pages raise their own.
class CTabLayoutUI : public CContainerUI {
public:
    CDuiString GetClass() const override { return "TabLayout"; }
    int GetCurSel() const { return curSel_; }
    // False for an index out of range (the selection stays).
    virtual bool SelectItem(int index);
    bool SelectItem(CControlUI* control);

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;
    void DoInit() override;

private:
    void ShowOnly(int index);
    int curSel_ = -1;
    int initialSel_ = 0;
};

} // namespace quellix::dui
