#pragma once
// The native side of one model window: a frameless top-level widget that
// paints the window's control tree and hands the user's input to the
// window's paint manager.  The model stays the source of truth; the widget
// keeps only what the native window needs (an editor for the focused edit,
// the drag in progress).

#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "accessible_bridge.h"
#include "image_cache.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/window.h"

namespace quellix::dui::qt {

class WindowWidget : public QWidget {
public:
    WindowWidget(CWindowWnd& window, ImageCache& images, QWidget* owner, bool popup);
    ~WindowWidget() override;

    CWindowWnd* Model() const { return window_; }
    // The model window is gone: stop talking to it.
    void DetachModel();
    // Moves the widget to the model's rectangle (without echoing it back).
    void FollowModelGeometry();
    // Called after every first paint; the backend reports the first one.
    // Called when the window moved to a screen of another density.
    void SetScreenChangedHandler(std::function<void(WindowWidget&)> handler) {
        screenChanged_ = std::move(handler);
    }
    void SetPaintedHandler(std::function<void(WindowWidget&)> handler) {
        painted_ = std::move(handler);
    }
    // The accessible objects of the window's controls.
    AccessibleBridge* Accessibility() const { return accessibility_.get(); }
    // What a click on the control does (a combo also drops its list down),
    // for keyboard users and assistive technology.
    void PressControl(CControlUI* control);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab move the model's focus, not Qt's.
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    CPaintManagerUI* Manager() const;
    bool CaptionAt(const QPoint& client);
    // Shows the editor over the focused edit, or hides it.
    void SyncEditor();
    // Opens the drop-down list of a combo the model marked dropped.
    void OpenDroppedCombo();
    void UpdateMask();
    void UpdateCursor(const QPoint& client);
    void ReportGeometry();
    bool PalettePick(const QPoint& client, bool start);
    // Draws the ring around the focused control while the keyboard is used.
    void PaintFocusRing(QPainter& painter, CPaintManagerUI& manager);

    CWindowWnd* window_;
    ImageCache& images_;
    bool popup_;
    std::function<void(WindowWidget&)> painted_;
    std::function<void(WindowWidget&)> screenChanged_;
    QLineEdit* editor_ = nullptr;
    CEditUI* editing_ = nullptr;
    bool followingModel_ = false;
    // A press on the caption moves the window only once the pointer has
    // travelled the drag distance: a window manager asked to move on the
    // press itself can get the request after a quick click's release and
    // then keeps moving the window with the pointer.
    bool captionPressed_ = false;
    QPoint captionPressAt_; // global
    bool draggingWindow_ = false;
    QPoint dragOffset_;
    CColorPaletteUI* paletteDrag_ = nullptr;
    bool paletteInBar_ = false;
    // The focus ring shows from the first navigation key to the next click.
    bool keyboardFocusShown_ = false;
    std::unique_ptr<AccessibleBridge> accessibility_;
};

} // namespace quellix::dui::qt
