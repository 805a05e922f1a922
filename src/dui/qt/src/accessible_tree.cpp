#include "accessible_tree.h"

#include <QColor>

#include "quellix/dui/container.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/list.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/paint_manager.h"

namespace quellix::dui::qt {

namespace {

QString fromUtf8(const CDuiString& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Options grouped as page selectors ("page_tab", "kb_subtab", "skin_page")
// are tabs; other groups are radio buttons.
bool IsTabGroup(const CDuiString& group) {
    const CDuiString lower = ToLower(group);
    return lower.ends_with("tab") || lower.ends_with("_page");
}

bool IsListOwner(const CControlUI& control) {
    return dynamic_cast<const IListOwnerUI*>(&control) != nullptr;
}

bool IsOperable(const CControlUI& control) {
    return dynamic_cast<const CButtonUI*>(&control) != nullptr ||
           dynamic_cast<const CEditUI*>(&control) != nullptr ||
           dynamic_cast<const CProgressUI*>(&control) != nullptr ||
           dynamic_cast<const CColorPaletteUI*>(&control) != nullptr ||
           dynamic_cast<const IListItemUI*>(&control) != nullptr || IsListOwner(control);
}

// The texts shown inside a control (an element made of labels).
QString InnerText(const CControlUI& control) {
    QStringList parts;
    if (auto* container = dynamic_cast<const CContainerUI*>(&control)) {
        for (int i = 0; i < container->GetCount(); ++i) {
            const CControlUI* child = container->GetItemAt(i);
            const QString text = fromUtf8(child->GetText());
            const QString inner = text.isEmpty() ? InnerText(*child) : text;
            if (!inner.isEmpty()) {
                parts << inner;
            }
        }
    }
    return parts.join(' ');
}

bool IsPlainText(const CControlUI& control) {
    return dynamic_cast<const CLabelUI*>(&control) != nullptr &&
           dynamic_cast<const CButtonUI*>(&control) == nullptr &&
           dynamic_cast<const CEditUI*>(&control) == nullptr &&
           dynamic_cast<const CProgressUI*>(&control) == nullptr &&
           dynamic_cast<const IListItemUI*>(&control) == nullptr;
}

// The text of the nearest label before the control in its row, or before
// the row in the row's parent.
QString LabelBefore(const CControlUI& control) {
    const CControlUI* item = &control;
    for (int level = 0; level < 2 && item->GetParent() != nullptr; ++level) {
        auto* parent = dynamic_cast<const CContainerUI*>(item->GetParent());
        if (parent == nullptr) {
            break;
        }
        for (int i = parent->GetItemIndex(item) - 1; i >= 0; --i) {
            const CControlUI* before = parent->GetItemAt(i);
            if (!before->IsOwnVisible()) {
                continue;
            }
            if (IsPlainText(*before)) {
                const QString text = fromUtf8(before->GetText());
                if (!text.isEmpty()) {
                    return text;
                }
            } else if (IsOperable(*before)) {
                return {}; // another control stands between
            }
        }
        item = parent;
    }
    return {};
}

void CollectExposed(const CControlUI& control, std::vector<CControlUI*>& out) {
    auto* container = dynamic_cast<const CContainerUI*>(&control);
    if (container == nullptr) {
        return;
    }
    for (int i = 0; i < container->GetCount(); ++i) {
        CControlUI* child = container->GetItemAt(i);
        if (IsExposed(*child)) {
            out.push_back(child);
        } else {
            CollectExposed(*child, out);
        }
    }
}

} // namespace

bool IsExposed(const CControlUI& control) {
    if (control.GetParent() == nullptr) {
        return false; // the root: the window stands for it
    }
    if (IsOperable(control)) {
        return true;
    }
    if (dynamic_cast<const CContainerUI*>(&control) != nullptr) {
        return !control.GetName().empty() || !control.GetText().empty() ||
               !control.GetToolTip().empty();
    }
    return !NameOf(control).isEmpty();
}

std::vector<CControlUI*> ExposedChildren(const CControlUI& control) {
    std::vector<CControlUI*> out;
    CollectExposed(control, out);
    return out;
}

CControlUI* ExposedParent(const CControlUI& control) {
    for (CControlUI* p = control.GetParent(); p != nullptr; p = p->GetParent()) {
        if (IsExposed(*p)) {
            return p;
        }
    }
    return nullptr;
}

QAccessible::Role RoleOf(const CControlUI& control) {
    if (dynamic_cast<const CMenuElementUI*>(&control) != nullptr) {
        return QAccessible::MenuItem;
    }
    if (dynamic_cast<const IListItemUI*>(&control) != nullptr) {
        return QAccessible::ListItem;
    }
    if (dynamic_cast<const CMenuUI*>(&control) != nullptr) {
        return QAccessible::PopupMenu;
    }
    if (dynamic_cast<const CComboUI*>(&control) != nullptr) {
        return QAccessible::ComboBox;
    }
    if (dynamic_cast<const CListUI*>(&control) != nullptr) {
        return QAccessible::List;
    }
    if (dynamic_cast<const CTabLayoutUI*>(&control) != nullptr) {
        return QAccessible::LayeredPane;
    }
    if (dynamic_cast<const CContainerUI*>(&control) != nullptr) {
        return QAccessible::Grouping;
    }
    if (dynamic_cast<const CCheckBoxUI*>(&control) != nullptr) {
        return QAccessible::CheckBox;
    }
    if (auto* option = dynamic_cast<const COptionUI*>(&control)) {
        if (option->GetGroup().empty()) {
            return QAccessible::CheckBox;
        }
        return IsTabGroup(option->GetGroup()) ? QAccessible::PageTab : QAccessible::RadioButton;
    }
    if (dynamic_cast<const CButtonUI*>(&control) != nullptr) {
        return QAccessible::Button;
    }
    if (dynamic_cast<const CEditUI*>(&control) != nullptr) {
        return QAccessible::EditableText;
    }
    if (dynamic_cast<const CSliderUI*>(&control) != nullptr) {
        return QAccessible::Slider;
    }
    if (dynamic_cast<const CProgressUI*>(&control) != nullptr) {
        return QAccessible::ProgressBar;
    }
    if (dynamic_cast<const CColorPaletteUI*>(&control) != nullptr) {
        return QAccessible::ColorChooser;
    }
    if (control.GetText().empty() && !control.GetBkImage().empty()) {
        return QAccessible::Graphic;
    }
    return QAccessible::StaticText;
}

QString NameOf(const CControlUI& control) {
    if (dynamic_cast<const CComboUI*>(&control) != nullptr) {
        // A combo's text is its value; it is named like a control without text.
        const QString tip = fromUtf8(control.GetToolTip());
        if (!tip.isEmpty()) {
            return tip;
        }
        const QString label = LabelBefore(control);
        return label.isEmpty() ? fromUtf8(control.GetName()) : label;
    }
    // An edit's text is its value; its tooltip says what it is for.
    if (dynamic_cast<const CEditUI*>(&control) == nullptr) {
        const QString text = fromUtf8(control.GetText());
        if (!text.isEmpty()) {
            return text;
        }
    }
    const QString tip = fromUtf8(control.GetToolTip());
    if (!tip.isEmpty()) {
        return tip;
    }
    if (dynamic_cast<const IListItemUI*>(&control) != nullptr) {
        return InnerText(control);
    }
    // A swatch shows only its colour.
    if (dynamic_cast<const CButtonUI*>(&control) != nullptr && control.GetBkColor() != 0 &&
        control.GetBkImage().empty()) {
        return QColor::fromRgb(control.GetBkColor() & 0xFFFFFF).name().toUpper();
    }
    if (IsOperable(control)) {
        // A control without text of its own is named by the label before
        // it, as the layout places labels; failing that, by its name in
        // the layout (better heard than nothing).
        const QString label = LabelBefore(control);
        return label.isEmpty() ? fromUtf8(control.GetName()) : label;
    }
    return {};
}

QString ValueTextOf(const CControlUI& control) {
    if (auto* progress = dynamic_cast<const CProgressUI*>(&control)) {
        return QString::number(progress->GetValue());
    }
    if (auto* edit = dynamic_cast<const CEditUI*>(&control)) {
        const QString text = fromUtf8(edit->GetText());
        return edit->IsPasswordMode() ? QString(text.size(), QChar(0x2022)) : text;
    }
    if (auto* palette = dynamic_cast<const CColorPaletteUI*>(&control)) {
        return QColor::fromRgb(palette->GetSelectColor() & 0xFFFFFF).name().toUpper();
    }
    if (auto* list = dynamic_cast<const CListUI*>(&control)) {
        const CControlUI* item = list->GetItemAt(list->GetCurSel());
        return item != nullptr ? NameOf(*item) : QString();
    }
    if (dynamic_cast<const CComboUI*>(&control) != nullptr) {
        return fromUtf8(control.GetText());
    }
    return {};
}

QAccessible::State StateOf(const CControlUI& control) {
    QAccessible::State state;
    state.invisible = !control.IsVisible();
    state.offscreen = state.invisible;
    state.disabled = !control.IsEnabled();
    state.focusable = CPaintManagerUI::IsFocusable(control);
    state.focused = control.IsFocused();
    const QAccessible::Role role = RoleOf(control);
    if (auto* option = dynamic_cast<const COptionUI*>(&control)) {
        state.checkable = true;
        state.checked = option->IsSelected();
        if (role == QAccessible::PageTab) {
            state.selectable = true;
            state.selected = option->IsSelected();
        }
    }
    if (auto* item = dynamic_cast<const IListItemUI*>(&control)) {
        state.selectable = true;
        state.selected = item->IsSelected();
    }
    if (auto* edit = dynamic_cast<const CEditUI*>(&control)) {
        state.editable = !edit->IsReadOnly();
        state.readOnly = edit->IsReadOnly();
        state.passwordEdit = edit->IsPasswordMode();
    }
    if (role == QAccessible::ComboBox) {
        state.hasPopup = true;
    }
    if (role == QAccessible::StaticText || role == QAccessible::Graphic) {
        state.readOnly = true;
    }
    return state;
}

QStringList ActionsOf(const CControlUI& control) {
    switch (RoleOf(control)) {
    case QAccessible::Button:
    case QAccessible::PageTab:
    case QAccessible::ListItem:
    case QAccessible::MenuItem:
    case QAccessible::ComboBox:
        return {QAccessibleActionInterface::pressAction()};
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
        return {QAccessibleActionInterface::toggleAction()};
    case QAccessible::Slider:
        return {QAccessibleActionInterface::increaseAction(),
                QAccessibleActionInterface::decreaseAction()};
    default:
        return {};
    }
}

} // namespace quellix::dui::qt
