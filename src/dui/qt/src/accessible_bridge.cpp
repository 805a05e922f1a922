#include "accessible_bridge.h"

#include <QAccessibleWidget>
#include <QTimer>
#include <QWindow>

#include "accessible_tree.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/window.h"
#include "window_widget.h"

namespace quellix::dui::qt {

namespace {

QString fromUtf8(const CDuiString& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// One control as assistive technology sees it.  Every call checks that the
// control still belongs to the window: the bridge drops the object when the
// control leaves, but a client may hold on to it in between.
class ControlAccessible : public QAccessibleInterface,
                          public QAccessibleActionInterface,
                          public QAccessibleValueInterface {
public:
    ControlAccessible(AccessibleBridge& bridge, CControlUI& control)
        : bridge_(bridge), control_(&control) {}

    void Forget() { control_ = nullptr; }
    CControlUI* Control() const { return control_; }

    bool isValid() const override {
        return control_ != nullptr && bridge_.Widget() != nullptr && bridge_.Knows(control_);
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return bridge_.Widget() != nullptr ? bridge_.Widget()->windowHandle() : nullptr;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* c = child(i);
            if (c != nullptr && c->rect().contains(x, y)) {
                return c;
            }
        }
        return nullptr;
    }
    QAccessibleInterface* parent() const override {
        if (!isValid()) {
            return nullptr;
        }
        return bridge_.InterfaceFor(ExposedParent(*control_));
    }
    QAccessibleInterface* child(int index) const override {
        if (!isValid()) {
            return nullptr;
        }
        const auto children = ExposedChildren(*control_);
        if (index < 0 || index >= int(children.size())) {
            return nullptr;
        }
        return bridge_.InterfaceFor(children[std::size_t(index)]);
    }
    int childCount() const override {
        return isValid() ? int(ExposedChildren(*control_).size()) : 0;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        auto* other = dynamic_cast<const ControlAccessible*>(child);
        if (!isValid() || other == nullptr) {
            return -1;
        }
        const auto children = ExposedChildren(*control_);
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (children[i] == other->control_) {
                return int(i);
            }
        }
        return -1;
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        switch (t) {
        case QAccessible::Name:
            return NameOf(*control_);
        case QAccessible::Description:
            // The name the layout gives the control, for tests and scripts.
            return fromUtf8(control_->GetName());
        case QAccessible::Value:
            return ValueTextOf(*control_);
        case QAccessible::Help:
            return fromUtf8(control_->GetToolTip());
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const RECT rc = control_->GetPos();
        const QPoint origin = bridge_.Widget()->mapToGlobal(QPoint(rc.left, rc.top));
        return {origin, QSize(rc.width(), rc.height())};
    }
    QAccessible::Role role() const override {
        return isValid() ? RoleOf(*control_) : QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s = StateOf(*control_);
        if (!bridge_.Widget()->isVisible()) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (!isValid()) {
            return nullptr;
        }
        if (type == QAccessible::ActionInterface && !ActionsOf(*control_).isEmpty()) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        if (type == QAccessible::ValueInterface &&
            (dynamic_cast<CProgressUI*>(control_) != nullptr ||
             dynamic_cast<CColorPaletteUI*>(control_) != nullptr)) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return nullptr;
    }

    // --- actions ---
    QStringList actionNames() const override {
        return isValid() ? ActionsOf(*control_) : QStringList();
    }
    void doAction(const QString& name) override {
        if (!isValid() || !ActionsOf(*control_).contains(name)) {
            return;
        }
        if (name == increaseAction() || name == decreaseAction()) {
            if (CPaintManagerUI* manager = bridge_.Manager()) {
                manager->SetFocus(control_);
                manager->KeyDown(name == increaseAction() ? NavigationKey::Up
                                                          : NavigationKey::Down);
            }
            return;
        }
        bridge_.PressLater(control_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // --- value: a slider is set as a drag to the value; a palette's value
    // is its colour as 0xRRGGBB, set as a pick ---
    QVariant currentValue() const override {
        if (!isValid()) {
            return {};
        }
        if (auto* palette = dynamic_cast<CColorPaletteUI*>(control_)) {
            return int(palette->GetSelectColor() & 0xFFFFFF);
        }
        if (auto* progress = dynamic_cast<CProgressUI*>(control_)) {
            return progress->GetValue();
        }
        return {};
    }
    void setCurrentValue(const QVariant& value) override {
        if (!isValid() || !control_->IsInteractive()) {
            return;
        }
        const long long wanted = value.toLongLong();
        bridge_.Later(control_, [wanted](CControlUI& control) {
            if (auto* palette = dynamic_cast<CColorPaletteUI*>(&control)) {
                palette->UserPick(0xFF000000u | (DWORD(wanted) & 0xFFFFFF));
            } else if (auto* slider = dynamic_cast<CSliderUI*>(&control)) {
                slider->SetFocus();
                slider->BeginDrag();
                slider->DragTo(static_cast<int>(wanted));
                slider->EndDrag();
            }
        });
    }
    QVariant maximumValue() const override {
        if (dynamic_cast<CColorPaletteUI*>(control_) != nullptr) {
            return 0xFFFFFF;
        }
        auto* progress = dynamic_cast<CProgressUI*>(control_);
        return progress != nullptr ? QVariant(progress->GetMaxValue()) : QVariant();
    }
    QVariant minimumValue() const override {
        if (dynamic_cast<CColorPaletteUI*>(control_) != nullptr) {
            return 0;
        }
        auto* progress = dynamic_cast<CProgressUI*>(control_);
        return progress != nullptr ? QVariant(progress->GetMinValue()) : QVariant();
    }
    QVariant minimumStepSize() const override {
        auto* slider = dynamic_cast<CSliderUI*>(control_);
        return slider != nullptr ? QVariant(std::max(1, slider->GetChangeStep())) : QVariant(1);
    }

private:
    AccessibleBridge& bridge_;
    CControlUI* control_;
};

// The window: its children are the root control's exposed controls.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(WindowWidget* widget)
        : QAccessibleWidget(widget, RoleFor(*widget)), widget_(widget) {}

    static QAccessible::Role RoleFor(const WindowWidget& widget) {
        if (widget.windowFlags().testFlag(Qt::Popup)) {
            return QAccessible::PopupMenu;
        }
        return widget.parentWidget() != nullptr ? QAccessible::Dialog : QAccessible::Window;
    }

    // The controls, then the window's open popups (menus): the desktop does
    // not list popups among the program's windows.
    QAccessibleInterface* child(int index) const override {
        const auto children = Children();
        if (index >= 0 && index < int(children.size())) {
            return Bridge()->InterfaceFor(children[std::size_t(index)]);
        }
        const auto popups = Popups();
        index -= int(children.size());
        if (index < 0 || index >= int(popups.size())) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(popups[std::size_t(index)]);
    }
    int childCount() const override { return int(Children().size() + Popups().size()); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto children = Children();
        if (auto* control = dynamic_cast<const ControlAccessible*>(child)) {
            for (std::size_t i = 0; i < children.size(); ++i) {
                if (children[i] == control->Control()) {
                    return int(i);
                }
            }
            return -1;
        }
        const auto popups = Popups();
        for (std::size_t i = 0; child != nullptr && i < popups.size(); ++i) {
            if (child->object() == popups[i]) {
                return int(children.size() + i);
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* c = child(i);
            if (c != nullptr && c->rect().contains(x, y)) {
                return c;
            }
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        CPaintManagerUI* manager = Bridge() != nullptr ? Bridge()->Manager() : nullptr;
        CControlUI* focus = manager != nullptr ? manager->GetFocus() : nullptr;
        if (focus == nullptr) {
            return nullptr;
        }
        while (focus != nullptr && !IsExposed(*focus)) {
            focus = focus->GetParent();
        }
        return focus != nullptr ? Bridge()->InterfaceFor(focus) : nullptr;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        // A minimised window shows nothing, whether or not a window manager
        // has iconified it yet.
        if (widget_ != nullptr && widget_->isMinimized()) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget_ != nullptr) {
            return widget_->windowTitle();
        }
        if (t == QAccessible::Description && widget_ != nullptr && widget_->Model() != nullptr) {
            // The window class, as the program names its windows.
            return fromUtf8(widget_->Model()->GetWindowClassName());
        }
        return QAccessibleWidget::text(t);
    }

private:
    AccessibleBridge* Bridge() const {
        return widget_ != nullptr ? widget_->Accessibility() : nullptr;
    }
    std::vector<CControlUI*> Children() const {
        CPaintManagerUI* manager = Bridge() != nullptr ? Bridge()->Manager() : nullptr;
        if (manager == nullptr || manager->GetRoot() == nullptr) {
            return {};
        }
        return ExposedChildren(*manager->GetRoot());
    }
    std::vector<WindowWidget*> Popups() const {
        std::vector<WindowWidget*> popups;
        if (widget_ == nullptr) {
            return popups;
        }
        for (auto* child : widget_->findChildren<WindowWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisible() && child->windowFlags().testFlag(Qt::Popup)) {
                popups.push_back(child);
            }
        }
        return popups;
    }
    QPointer<WindowWidget> widget_;
};

QAccessibleInterface* WindowFactory(const QString&, QObject* object) {
    if (auto* widget = dynamic_cast<WindowWidget*>(object)) {
        return new WindowAccessible(widget);
    }
    return nullptr;
}

} // namespace

AccessibleBridge::AccessibleBridge(WindowWidget& widget) : widget_(&widget), manager_(nullptr) {
    if (auto* impl = dynamic_cast<WindowImplBase*>(widget.Model())) {
        manager_ = &impl->GetPaintManager();
        manager_->SetObserver(this);
    }
}

AccessibleBridge::~AccessibleBridge() {
    Detach();
}

void AccessibleBridge::InstallFactory() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(WindowFactory);
    }
}

CPaintManagerUI* AccessibleBridge::Manager() const {
    return widget_ != nullptr ? manager_ : nullptr;
}

bool AccessibleBridge::Knows(const CControlUI* control) const {
    return manager_ != nullptr && ids_.contains(control);
}

QAccessibleInterface* AccessibleBridge::InterfaceFor(CControlUI* control) {
    if (control == nullptr) {
        return widget_ != nullptr ? QAccessible::queryAccessibleInterface(widget_.data()) : nullptr;
    }
    if (manager_ == nullptr || control->GetManager() != manager_) {
        return nullptr;
    }
    if (auto it = ids_.find(control); it != ids_.end()) {
        return QAccessible::accessibleInterface(it->second);
    }
    auto* iface = new ControlAccessible(*this, *control);
    ids_.emplace(control, QAccessible::registerAccessibleInterface(iface));
    return iface;
}

void AccessibleBridge::Detach() {
    if (manager_ != nullptr && manager_->GetObserver() == this) {
        manager_->SetObserver(nullptr);
    }
    manager_ = nullptr;
    auto ids = std::move(ids_);
    ids_.clear();
    for (const auto& [control, id] : ids) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

void AccessibleBridge::ControlRemoved(CControlUI& control) {
    auto it = ids_.find(&control);
    if (it == ids_.end()) {
        return;
    }
    const QAccessible::Id id = it->second;
    ids_.erase(it);
    QAccessible::deleteAccessibleInterface(id);
}

void AccessibleBridge::ControlChanged(CControlUI& control, ControlChange change) {
    if (!QAccessible::isActive() || widget_ == nullptr || !IsExposed(control)) {
        return;
    }
    QAccessibleInterface* iface = InterfaceFor(&control);
    if (iface == nullptr) {
        return;
    }
    switch (change) {
    case ControlChange::Focus: {
        QAccessibleEvent event(iface, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
        break;
    }
    case ControlChange::State: {
        // One event per kind of change: clients read each on its own.
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent checkedEvent(iface, checked);
        QAccessible::updateAccessibility(&checkedEvent);
        QAccessible::State enabled;
        enabled.disabled = true;
        QAccessibleStateChangeEvent enabledEvent(iface, enabled);
        QAccessible::updateAccessibility(&enabledEvent);
        break;
    }
    case ControlChange::Value: {
        const QVariant value = iface->valueInterface() != nullptr
                                   ? iface->valueInterface()->currentValue()
                                   : QVariant(iface->text(QAccessible::Value));
        QAccessibleValueChangeEvent event(iface, value);
        QAccessible::updateAccessibility(&event);
        QAccessibleEvent name(iface, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
        break;
    }
    case ControlChange::Text: {
        QAccessibleEvent event(iface, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
        break;
    }
    case ControlChange::Visibility: {
        QAccessibleEvent event(iface, control.IsVisible() ? QAccessible::ObjectShow
                                                          : QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&event);
        break;
    }
    }
}

void AccessibleBridge::PressLater(CControlUI* control) {
    QPointer<WindowWidget> widget = widget_;
    Later(control, [widget](CControlUI& pressed) {
        if (widget != nullptr) {
            widget->PressControl(&pressed);
        }
    });
}

void AccessibleBridge::Later(CControlUI* control, std::function<void(CControlUI&)> step) {
    QPointer<WindowWidget> widget = widget_;
    QTimer::singleShot(0, widget_.data(), [this, widget, control, step = std::move(step)] {
        if (widget == nullptr || !Knows(control)) {
            return;
        }
        step(*control);
    });
}

} // namespace quellix::dui::qt
