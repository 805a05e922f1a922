#pragma once
// The accessible objects of one window: the window's own (a QAccessibleWidget
// whose children are the exposed controls) and one per exposed control,
// made when assistive technology first asks for it and dropped when the
// control leaves the tree.  The bridge observes the window's paint manager
// and turns focus, state, value and text changes into accessibility events
// (only while assistive technology is listening).

#include <QAccessible>
#include <QPointer>
#include <functional>
#include <unordered_map>

#include "quellix/dui/paint_manager.h"

namespace quellix::dui::qt {

class WindowWidget;

class AccessibleBridge : public IControlObserver {
public:
    explicit AccessibleBridge(WindowWidget& widget);
    ~AccessibleBridge() override;
    AccessibleBridge(const AccessibleBridge&) = delete;
    AccessibleBridge& operator=(const AccessibleBridge&) = delete;

    // Installs the factory that gives window widgets their accessible
    // object; once per process, before any window exists.
    static void InstallFactory();

    // The accessible object of a control (made on first use), or of the
    // window for nullptr.
    QAccessibleInterface* InterfaceFor(CControlUI* control);
    // Whether the control still belongs to this window.
    bool Knows(const CControlUI* control) const;
    WindowWidget* Widget() const { return widget_; }
    CPaintManagerUI* Manager() const;
    // The model window is going: every control object is dropped.
    void Detach();

    // What a click or a value set does, run from the event loop: the
    // assistive technology's call must not wait for what it opens (a modal
    // dialog, a message box saying the device refused the value) before it
    // returns, or its D-Bus reply comes too late.
    void PressLater(CControlUI* control);
    void Later(CControlUI* control, std::function<void(CControlUI&)> step);

    void ControlChanged(CControlUI& control, ControlChange change) override;
    void ControlRemoved(CControlUI& control) override;

private:
    QPointer<WindowWidget> widget_;
    CPaintManagerUI* manager_;
    std::unordered_map<const CControlUI*, QAccessible::Id> ids_;
};

} // namespace quellix::dui::qt
