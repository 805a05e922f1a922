#include "window_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWindow>
#include <optional>

#include "control_painter.h"
#include "drop_list.h"
#include "qt_canvas.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/hit_test.h"
#include "quellix/dui/list.h"
#include "quellix/dui/qt/palette_geometry.h"

namespace quellix::dui::qt {

namespace {

POINT toPoint(const QPoint& p) {
    return {p.x(), p.y()};
}

RECT toRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

Qt::CursorShape cursorShape(const CDuiString& name) {
    if (EqualsNoCase(name, "hand")) {
        return Qt::PointingHandCursor;
    }
    if (EqualsNoCase(name, "ibeam")) {
        return Qt::IBeamCursor;
    }
    if (EqualsNoCase(name, "sizewe")) {
        return Qt::SizeHorCursor;
    }
    if (EqualsNoCase(name, "sizens")) {
        return Qt::SizeVerCursor;
    }
    return Qt::ArrowCursor;
}

} // namespace

WindowWidget::WindowWidget(CWindowWnd& window, ImageCache& images, QWidget* owner, bool popup)
    : QWidget(owner, (popup ? Qt::Popup : (owner != nullptr ? Qt::Dialog : Qt::Window)) |
                         Qt::FramelessWindowHint),
      window_(&window), images_(images), popup_(popup) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QString::fromStdString(window.GetTitle()));
    FollowModelGeometry();
    accessibility_ = std::make_unique<AccessibleBridge>(*this);
}

WindowWidget::~WindowWidget() = default;

void WindowWidget::DetachModel() {
    accessibility_->Detach();
    window_ = nullptr;
    editing_ = nullptr;
    paletteDrag_ = nullptr;
    if (editor_ != nullptr) {
        editor_->hide();
    }
}

CPaintManagerUI* WindowWidget::Manager() const {
    auto* impl = dynamic_cast<WindowImplBase*>(window_);
    return impl != nullptr ? &impl->GetPaintManager() : nullptr;
}

void WindowWidget::FollowModelGeometry() {
    if (window_ == nullptr) {
        return;
    }
    const RECT rc = window_->GetWindowRect();
    followingModel_ = true;
    if (rc.width() > 0 && rc.height() > 0) {
        setGeometry(rc.left, rc.top, rc.width(), rc.height());
    } else {
        move(rc.left, rc.top);
    }
    followingModel_ = false;
    UpdateMask();
}

void WindowWidget::ReportGeometry() {
    if (window_ == nullptr || followingModel_) {
        return;
    }
    const QRect g = geometry();
    window_->OnNativeMoved(toRect(g));
}

void WindowWidget::UpdateMask() {
    CPaintManagerUI* manager = Manager();
    if (manager == nullptr) {
        return;
    }
    const SIZE round = manager->GetRoundCorner();
    if (round.cx <= 0 && round.cy <= 0) {
        clearMask();
        return;
    }
    // Clip to a rounded rectangle one pixel larger than the window, as the
    // layout's round corner asks.
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width() + 1, height() + 1), round.cx / 2.0, round.cy / 2.0);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void WindowWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    CPaintManagerUI* manager = Manager();
    const DWORD background = manager != nullptr ? manager->GetWindowBkColor() : 0;
    if (manager != nullptr && manager->IsUpdateNeeded()) {
        manager->UpdateLayout();
    }
    // A page switch or a hidden panel can take an edit away with no input
    // here: the editor over it follows once this paint is done.
    if (editor_ != nullptr && editor_->isVisible()) {
        QMetaObject::invokeMethod(
            this, [this] { SyncEditor(); }, Qt::QueuedConnection);
    }
    CControlUI* root = manager != nullptr ? manager->GetRoot() : nullptr;
    // Each invalidated rectangle on its own: the previews invalidate many
    // small keys scattered over a picture, and painting their bounding box
    // would redraw everything between them.
    for (const QRect& area : event->region()) {
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        painter.fillRect(area, ToQColor(background != 0 ? background : 0xFF14161B));
        if (root != nullptr) {
            ControlPainter(painter, images_, *manager).PaintTree(*root, area);
        }
        painter.restore();
    }
    if (manager != nullptr && keyboardFocusShown_) {
        PaintFocusRing(painter, *manager);
    }
    painter.end();
    if (painted_) {
        painted_(*this);
    }
}

bool WindowWidget::CaptionAt(const QPoint& client) {
    CPaintManagerUI* manager = Manager();
    if (window_ == nullptr || manager == nullptr) {
        return false;
    }
    const QPoint screen = mapToGlobal(client);
    const LRESULT hit =
        window_->HandleMessage(WM_NCHITTEST, 0, PointToParam({screen.x(), screen.y()}));
    if (hit == HTCAPTION || hit == HTCLIENT) {
        return hit == HTCAPTION;
    }
    // The window leaves the question to the toolkit: its caption band.
    return IsCaptionPoint(*manager, toPoint(client));
}

bool WindowWidget::PalettePick(const QPoint& client, bool start) {
    CPaintManagerUI* manager = Manager();
    if (manager == nullptr) {
        return false;
    }
    if (start) {
        paletteDrag_ = dynamic_cast<CColorPaletteUI*>(manager->FindControl(toPoint(client)));
        if (paletteDrag_ == nullptr || !paletteDrag_->IsInteractive()) {
            paletteDrag_ = nullptr;
            return false;
        }
        const PaletteLayout layout = LayoutPalette(
            paletteDrag_->GetPos(), paletteDrag_->GetPalletHeight(), paletteDrag_->GetBarHeight());
        paletteInBar_ = client.y() >= layout.square.bottom;
    }
    if (paletteDrag_ == nullptr) {
        return false;
    }
    const PaletteLayout layout = LayoutPalette(
        paletteDrag_->GetPos(), paletteDrag_->GetPalletHeight(), paletteDrag_->GetBarHeight());
    const DWORD colour =
        PickColour(layout, toPoint(client), paletteDrag_->GetSelectColor(), paletteInBar_);
    if (colour != paletteDrag_->GetSelectColor()) {
        paletteDrag_->UserPick(colour);
    }
    return true;
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    if (window_ == nullptr) {
        return;
    }
    const QPoint p = event->position().toPoint();
    if (keyboardFocusShown_) {
        keyboardFocusShown_ = false;
        update();
    }
    if (popup_ && !rect().contains(p)) {
        // A popup sees the clicks around it: Qt's own handling closes it
        // (through closeEvent, so the model decides).
        QWidget::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        if (CaptionAt(p)) {
            captionPressed_ = true;
            captionPressAt_ = event->globalPosition().toPoint();
            return;
        }
        if (PalettePick(p, true)) {
            return;
        }
        if (CPaintManagerUI* manager = Manager()) {
            manager->ButtonDown(toPoint(p));
        }
    } else if (event->button() == Qt::RightButton) {
        if (CPaintManagerUI* manager = Manager()) {
            manager->RightButtonDown(toPoint(p));
        }
    }
    SyncEditor();
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
    if (window_ == nullptr) {
        return;
    }
    const QPoint p = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    if (captionPressed_ && (event->buttons() & Qt::LeftButton)) {
        if ((global - captionPressAt_).manhattanLength() < QApplication::startDragDistance()) {
            return;
        }
        captionPressed_ = false;
        // Let the window manager move the window; without one, move it here.
        if (windowHandle() == nullptr || !windowHandle()->startSystemMove()) {
            draggingWindow_ = true;
            dragOffset_ = captionPressAt_ - frameGeometry().topLeft();
        }
    }
    if (draggingWindow_) {
        move(global - dragOffset_);
        return;
    }
    if (paletteDrag_ != nullptr) {
        PalettePick(p, false);
        return;
    }
    if (CPaintManagerUI* manager = Manager()) {
        manager->MouseMove(toPoint(p));
    }
    UpdateCursor(p);
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (window_ == nullptr || event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint p = event->position().toPoint();
    if (captionPressed_ || draggingWindow_) {
        captionPressed_ = false;
        draggingWindow_ = false;
        return;
    }
    if (paletteDrag_ != nullptr) {
        paletteDrag_ = nullptr;
        return;
    }
    CPaintManagerUI* manager = Manager();
    if (manager == nullptr) {
        return;
    }
    auto* combo = dynamic_cast<CComboUI*>(manager->FindControl(toPoint(p)));
    manager->ButtonUp(toPoint(p));
    // The handlers of the release may have closed the window.
    if (window_ == nullptr) {
        return;
    }
    if (combo != nullptr && Manager() != nullptr && combo->IsInteractive()) {
        combo->SetDropped(true);
        OpenDroppedCombo();
    }
    SyncEditor();
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (window_ == nullptr || event->button() != Qt::LeftButton) {
        return;
    }
    if (CPaintManagerUI* manager = Manager()) {
        manager->DoubleClick(toPoint(event->position().toPoint()));
    }
    SyncEditor();
}

void WindowWidget::wheelEvent(QWheelEvent* event) {
    if (CPaintManagerUI* manager = Manager()) {
        manager->Wheel(toPoint(event->position().toPoint()), event->angleDelta().y());
    }
}

void WindowWidget::leaveEvent(QEvent*) {
    if (CPaintManagerUI* manager = Manager()) {
        manager->MouseLeave();
    }
}

namespace {

std::optional<NavigationKey> navigationKey(int key) {
    switch (key) {
    case Qt::Key_Space:
        return NavigationKey::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return NavigationKey::Enter;
    case Qt::Key_Left:
        return NavigationKey::Left;
    case Qt::Key_Right:
        return NavigationKey::Right;
    case Qt::Key_Up:
        return NavigationKey::Up;
    case Qt::Key_Down:
        return NavigationKey::Down;
    default:
        return std::nullopt;
    }
}

} // namespace

void WindowWidget::keyPressEvent(QKeyEvent* event) {
    CPaintManagerUI* manager = Manager();
    if (manager == nullptr) {
        return;
    }
    if (event->key() == Qt::Key_Escape && (window_->IsModal() || popup_)) {
        // As the window manager's close: the window decides what it means.
        window_->OnNativeCloseRequest();
        return;
    }
    const auto key = navigationKey(event->key());
    if (key && (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
        const HWND handle = window_->GetHWND();
        CControlUI* focus = manager->GetFocus();
        bool handled = manager->KeyDown(*key);
        if (!handled && focus != nullptr &&
            (*key == NavigationKey::Space || *key == NavigationKey::Enter)) {
            // A focused combo drops its list down, as a click does.
            if (dynamic_cast<CComboUI*>(focus) != nullptr) {
                PressControl(focus);
                handled = true;
            }
        }
        if (handled) {
            // The key may have closed the window.
            if (window_ != nullptr && IsWindow(handle)) {
                keyboardFocusShown_ = true;
                SyncEditor();
                update();
            }
            return;
        }
    }
    if (!event->text().isEmpty()) {
        manager->Char(event->text().toStdString());
    }
}

bool WindowWidget::focusNextPrevChild(bool next) {
    CPaintManagerUI* manager = Manager();
    if (manager == nullptr) {
        return false;
    }
    manager->FocusNext(next);
    keyboardFocusShown_ = true;
    SyncEditor();
    update();
    return true;
}

void WindowWidget::PressControl(CControlUI* control) {
    CPaintManagerUI* manager = Manager();
    if (manager == nullptr || control == nullptr) {
        return;
    }
    const HWND handle = window_->GetHWND();
    auto* combo = dynamic_cast<CComboUI*>(control);
    if (!manager->Press(control)) {
        return;
    }
    // The handlers of the click may have closed the window.
    if (window_ == nullptr || !IsWindow(handle) || Manager() == nullptr) {
        return;
    }
    if (combo != nullptr && combo->IsInteractive()) {
        combo->SetDropped(true);
        OpenDroppedCombo();
        if (window_ == nullptr || !IsWindow(handle)) {
            return;
        }
    }
    SyncEditor();
    update();
}

void WindowWidget::PaintFocusRing(QPainter& painter, CPaintManagerUI& manager) {
    CControlUI* focus = manager.GetFocus();
    if (focus == nullptr || !focus->IsVisible()) {
        return;
    }
    const RECT rc = focus->GetPos();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x19, 0xB5, 0xE8), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rc.left + 1, rc.top + 1, rc.width() - 2, rc.height() - 2), 4, 4);
}

void WindowWidget::resizeEvent(QResizeEvent*) {
    ReportGeometry();
    UpdateMask();
}

void WindowWidget::moveEvent(QMoveEvent*) {
    ReportGeometry();
}

void WindowWidget::hideEvent(QHideEvent*) {
    // A popup (menu) closes itself when the user clicks elsewhere; the model
    // still counts it open then, so it is told to close.
    if (popup_ && window_ != nullptr && window_->IsWindowVisible()) {
        window_->OnNativeCloseRequest();
    }
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // The window manager's close button: the model decides what closing means.
    event->ignore();
    if (window_ != nullptr) {
        window_->OnNativeCloseRequest();
    }
}

bool WindowWidget::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal && screenChanged_) {
        screenChanged_(*this);
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        CPaintManagerUI* manager = Manager();
        CControlUI* control =
            manager != nullptr ? manager->FindControl(toPoint(help->pos())) : nullptr;
        const CDuiString tip = control != nullptr ? control->GetToolTip() : CDuiString{};
        if (tip.empty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
        }
        return true;
    }
    return QWidget::event(event);
}

void WindowWidget::UpdateCursor(const QPoint& client) {
    CPaintManagerUI* manager = Manager();
    CControlUI* control = manager != nullptr ? manager->FindControl(toPoint(client)) : nullptr;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (control != nullptr) {
        shape = cursorShape(control->GetCursor());
        if (shape == Qt::ArrowCursor && dynamic_cast<CEditUI*>(control) != nullptr) {
            shape = Qt::IBeamCursor;
        }
    }
    if (cursor().shape() != shape) {
        setCursor(shape);
    }
}

void WindowWidget::SyncEditor() {
    CPaintManagerUI* manager = Manager();
    auto* edit = manager != nullptr ? dynamic_cast<CEditUI*>(manager->GetFocus()) : nullptr;
    if (edit != nullptr && (!edit->IsInteractive() || edit->IsReadOnly())) {
        edit = nullptr;
    }
    if (edit == nullptr) {
        if (editor_ != nullptr && editor_->isVisible()) {
            editor_->hide();
            setFocus();
        }
        editing_ = nullptr;
        return;
    }
    if (editor_ == nullptr) {
        editor_ = new QLineEdit(this);
        editor_->setFrame(false);
        connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (editing_ == nullptr) {
                return;
            }
            // The model filters what it refuses; show what it kept.
            const QString kept = QString::fromStdString(editing_->UserInput(text.toStdString()));
            if (kept != text && editor_ != nullptr) {
                const int cursor = std::min(editor_->cursorPosition(), int(kept.size()));
                editor_->setText(kept);
                editor_->setCursorPosition(cursor);
            }
        });
        connect(editor_, &QLineEdit::returnPressed, this, [this] {
            if (CPaintManagerUI* m = Manager()) {
                m->SetFocus(nullptr);
            }
            SyncEditor();
        });
    }
    if (editing_ != edit) {
        editing_ = edit;
        const RECT rc = edit->GetPos();
        const RECT pad = edit->GetTextPadding();
        editor_->setGeometry(rc.left + 1 + pad.left, rc.top + 1 + pad.top,
                             rc.width() - 2 - pad.left - pad.right,
                             rc.height() - 2 - pad.top - pad.bottom);
        editor_->setFont(FontFor(*manager, edit->GetFont()));
        const QColor text =
            ToQColor(edit->GetTextColor() != 0 ? edit->GetTextColor() : kFallbackTextColor);
        const QColor base = ToQColor(edit->GetBkColor() != 0 ? edit->GetBkColor() : 0xFF22262E);
        editor_->setStyleSheet(QStringLiteral("QLineEdit { color: %1; background: %2; "
                                              "selection-background-color: #0199CB; }")
                                   .arg(text.name(QColor::HexArgb), base.name(QColor::HexRgb)));
        editor_->setEchoMode(edit->IsPasswordMode() ? QLineEdit::Password : QLineEdit::Normal);
        editor_->setMaxLength(int(edit->GetMaxChar()));
        editor_->setText(QString::fromStdString(edit->GetText()));
        editor_->show();
        editor_->setFocus();
        editor_->selectAll();
    }
}

void WindowWidget::OpenDroppedCombo() {
    CPaintManagerUI* manager = Manager();
    if (manager == nullptr) {
        return;
    }
    CComboUI* combo = nullptr;
    manager->GetRoot()->FindControl(
        [&combo](CControlUI* c) {
            auto* candidate = dynamic_cast<CComboUI*>(c);
            if (candidate != nullptr && candidate->IsDropped()) {
                combo = candidate;
                return true;
            }
            return false;
        },
        UIFIND_ALL);
    if (combo == nullptr) {
        return;
    }
    const RECT rc = combo->GetPos();
    std::vector<DropListItem> items;
    for (int i = 0; i < combo->GetCount(); ++i) {
        CControlUI* element = combo->GetItemAt(i);
        if (element == nullptr || !element->IsOwnVisible()) {
            continue;
        }
        items.push_back({QString::fromStdString(element->GetText()), i, element->IsEnabled()});
    }
    // A long list scrolls instead of covering the screen: at most the
    // layout's drop-box height.
    constexpr int kDefaultDropHeight = 150;
    const HWND handle = window_->GetHWND();
    const QRect anchor(mapToGlobal(QPoint(rc.left, rc.top)), QSize(rc.width(), rc.height()));
    const std::optional<int> chosen =
        RunDropList(this, FontFor(*manager, combo->GetFont()), anchor, items, combo->GetCurSel(),
                    combo->GetDropBoxHeight() > 0 ? combo->GetDropBoxHeight() : kDefaultDropHeight);
    // The list ran its own loop: the window or the combo may be gone.
    if (window_ == nullptr || !IsWindow(handle) || Manager() == nullptr) {
        return;
    }
    bool comboAlive = false;
    manager->GetRoot()->FindControl(
        [&](CControlUI* c) { return comboAlive = comboAlive || c == combo; }, UIFIND_ALL);
    if (!comboAlive) {
        return;
    }
    combo->SetDropped(false);
    if (chosen) {
        if (auto* item = combo->GetListItem(*chosen)) {
            item->Select();
        }
    }
}

} // namespace quellix::dui::qt
