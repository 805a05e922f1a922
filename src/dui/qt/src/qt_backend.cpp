#include "quellix/dui/qt/qt_backend.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <map>
#include <thread>

#include "accessible_bridge.h"
#include "font_choice.h"
#include "image_cache.h"
#include "power_watch.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/toolkit.h"
#include "quellix/dui/tray_icon.h"
#include "quellix/platform/debug.h"
#include "window_widget.h"

namespace quellix::dui::qt {

struct QtBackend::Impl {
    Toolkit* toolkit = nullptr;
    ImageCache images;
    std::map<HWND, QPointer<WindowWidget>> widgets;
    std::map<HWND, QEventLoop*> modalLoops;
    QElapsedTimer clock;
    QTimer timer;
    // Lives on the UI thread; queued calls to it run the dispatcher there.
    QObject pump;
    std::atomic<bool> wakeQueued{false};
    std::function<void(HWND)> firstPaint;
    std::thread fontWarmUp;
    bool firstPaintReported = false;
    std::unique_ptr<QSystemTrayIcon> tray;
    bool noTrayReported = false;
    HWND trayOwner = kNullWindow;
    UINT trayMessage = WM_TRAYICON_MESSAGE;
    UINT trayId = 0;
    std::unique_ptr<PowerWatch> power;
    bool screensWatched = false;

    // The power broadcast goes to every top-level window, as the platform
    // delivers it.
    void broadcastPower(bool sleeping) {
        if (toolkit == nullptr) {
            return;
        }
        platform::debugOutput(sleeping ? "system suspends" : "system resumed");
        for (CWindowWnd* window : toolkit->windows()) {
            if (window->GetParentHWND() == kNullWindow) {
                PostMessage(window->GetHWND(), WM_POWERBROADCAST,
                            sleeping ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC, 0);
            }
        }
    }

    // A change of screen density reaches the top-level window as the
    // DPI-changed message, with the screen's DPI and the window's rectangle.
    void reportDpi(WindowWidget& widget) {
        CWindowWnd* model = widget.Model();
        QScreen* screen = widget.screen();
        if (model == nullptr || screen == nullptr || model->GetParentHWND() != kNullWindow) {
            return;
        }
        const int dpi = qRound(screen->logicalDotsPerInch());
        const QRect frame = widget.geometry();
        RECT rect{frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1};
        platform::debugOutputf("screen density of window %lu: %d dpi",
                               static_cast<unsigned long>(model->GetHWND()), dpi);
        SendMessage(model->GetHWND(), WM_DPICHANGED, WPARAM(dpi) | (WPARAM(dpi) << 16),
                    reinterpret_cast<LPARAM>(&rect));
    }
    void watchScreen(QScreen* screen) {
        QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, &pump, [this, screen] {
            for (auto& [handle, widget] : widgets) {
                if (widget && widget->screen() == screen) {
                    reportDpi(*widget);
                }
            }
        });
    }

    WindowWidget* widgetOf(const CWindowWnd& window) {
        auto it = widgets.find(window.GetHWND());
        return it == widgets.end() ? nullptr : it->second.data();
    }

    void runPending() {
        wakeQueued.store(false);
        if (toolkit != nullptr) {
            toolkit->dispatcher().runPending();
        }
    }

    void armTimer() {
        if (toolkit == nullptr) {
            return;
        }
        const auto due = toolkit->timers().nextDue();
        if (!due) {
            timer.stop();
            return;
        }
        const std::int64_t wait = std::max<std::int64_t>(0, *due - clock.elapsed());
        timer.start(int(std::min<std::int64_t>(wait, 24 * 3600 * 1000)));
    }

    void trayActivated(QSystemTrayIcon::ActivationReason reason) {
        UINT mouse = 0;
        if (reason == QSystemTrayIcon::Trigger) {
            mouse = WM_LBUTTONUP;
        } else if (reason == QSystemTrayIcon::Context) {
            mouse = WM_RBUTTONUP;
        } else if (reason == QSystemTrayIcon::DoubleClick) {
            mouse = WM_LBUTTONDBLCLK;
        }
        if (mouse != 0 && trayOwner != kNullWindow) {
            PostMessage(trayOwner, trayMessage, trayId, LPARAM(mouse));
        }
    }
};

QtBackend::QtBackend() : impl_(std::make_unique<Impl>()) {
    AccessibleBridge::InstallFactory();
    impl_->clock.start();
    impl_->timer.setSingleShot(true);
    impl_->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&impl_->timer, &QTimer::timeout, [this] {
        if (impl_->toolkit != nullptr) {
            impl_->toolkit->fireDueTimers();
            impl_->armTimer();
        }
    });
    // The font database is built on first use, which takes a good part of
    // the first paint; build it on another core while the layouts load.
    // (The database is shared and locked; fonts may be used from any thread.)
    impl_->fontWarmUp = std::thread([] {
        QFont font;
        font.setFamilies(FamiliesFor("DejaVu Sans", "cn_zh"));
        QFontMetrics metrics{font};
        metrics.horizontalAdvance(QStringLiteral("Quellix \u9f20\u6807\u57ab"));
    });
}

QtBackend::~QtBackend() {
    if (impl_->fontWarmUp.joinable()) {
        impl_->fontWarmUp.join();
    }
    for (auto& [handle, widget] : impl_->widgets) {
        delete widget.data();
    }
}

void QtBackend::SetFirstPaintHandler(std::function<void(HWND)> handler) {
    impl_->firstPaint = std::move(handler);
}

bool QtBackend::GrabWindow(HWND window, const std::string& pngPath) {
    auto it = impl_->widgets.find(window);
    if (it == impl_->widgets.end() || it->second.isNull()) {
        return false;
    }
    return it->second->grab().save(QString::fromStdString(pngPath), "PNG");
}

void QtBackend::SetGlyphCheck(bool enabled) {
    SetGlyphAudit(enabled);
}

std::vector<std::string> QtBackend::TextsWithMissingGlyphs() const {
    return qt::TextsWithMissingGlyphs();
}

bool QtBackend::canLoadImage(const CDuiString& path, CDuiString& why) {
    QImageReader reader(QString::fromStdString(path));
    if (reader.read().isNull()) {
        why = reader.errorString().toStdString();
        return false;
    }
    return true;
}

bool QtBackend::HasSystemTray() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtBackend::attach(Toolkit& toolkit) {
    impl_->toolkit = &toolkit;
    if (!impl_->screensWatched) {
        impl_->screensWatched = true;
        for (QScreen* screen : QGuiApplication::screens()) {
            impl_->watchScreen(screen);
        }
        QObject::connect(qApp, &QGuiApplication::screenAdded, &impl_->pump,
                         [this](QScreen* screen) { impl_->watchScreen(screen); });
    }
    if (!impl_->power) {
        impl_->power = std::make_unique<PowerWatch>(
            [this](bool sleeping) { impl_->broadcastPower(sleeping); });
        if (!impl_->power->start()) {
            platform::debugOutput("no system bus with logind: suspend and resume are not seen");
        }
    }
}

void QtBackend::detach() {
    impl_->timer.stop();
    impl_->toolkit = nullptr;
}

void QtBackend::createWindow(CWindowWnd& window) {
    QWidget* owner = nullptr;
    if (window.GetParentHWND() != kNullWindow) {
        auto it = impl_->widgets.find(window.GetParentHWND());
        if (it != impl_->widgets.end()) {
            owner = it->second.data();
        }
    }
    // Menus, and tool windows that never take the activation (choosers
    // that close when the user clicks elsewhere), are popups.
    constexpr DWORD kChooserExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    const bool popup = dynamic_cast<CMenuWnd*>(&window) != nullptr ||
                       ((window.GetStyle() & WS_POPUP) != 0 &&
                        (window.GetExStyle() & kChooserExStyle) == kChooserExStyle);
    auto* widget = new WindowWidget(window, impl_->images, owner, popup);
    widget->SetPaintedHandler([this](WindowWidget& painted) {
        if (impl_->firstPaintReported || !impl_->firstPaint || painted.Model() == nullptr) {
            return;
        }
        impl_->firstPaintReported = true;
        const HWND handle = painted.Model()->GetHWND();
        // Report after the paint event has finished.
        QTimer::singleShot(0, &impl_->pump, [this, handle] { impl_->firstPaint(handle); });
    });
    widget->SetScreenChangedHandler([this](WindowWidget& moved) { impl_->reportDpi(moved); });
    impl_->widgets[window.GetHWND()] = widget;
}

void QtBackend::destroyWindow(CWindowWnd& window) {
    auto it = impl_->widgets.find(window.GetHWND());
    if (it == impl_->widgets.end()) {
        return;
    }
    if (WindowWidget* widget = it->second.data()) {
        // The widget may be inside one of its own event handlers: let it
        // finish before it goes.
        widget->DetachModel();
        widget->hide();
        widget->deleteLater();
    }
    impl_->widgets.erase(it);
}

void QtBackend::showWindow(CWindowWnd& window, ShowCommand command) {
    WindowWidget* widget = impl_->widgetOf(window);
    if (widget == nullptr) {
        return;
    }
    switch (command) {
    case ShowCommand::Hide:
        widget->hide();
        break;
    case ShowCommand::Show:
        widget->show();
        widget->raise();
        widget->activateWindow();
        break;
    case ShowCommand::ShowNoActivate:
        widget->setAttribute(Qt::WA_ShowWithoutActivating);
        widget->show();
        break;
    case ShowCommand::Minimize:
        widget->showMinimized();
        break;
    case ShowCommand::Maximize:
        widget->showMaximized();
        break;
    case ShowCommand::Restore:
        widget->showNormal();
        widget->raise();
        widget->activateWindow();
        break;
    }
}

void QtBackend::windowMoved(CWindowWnd& window) {
    if (WindowWidget* widget = impl_->widgetOf(window)) {
        widget->FollowModelGeometry();
    }
}

void QtBackend::setTopmost(CWindowWnd& window, bool topmost) {
    // Changing the stacking flag re-creates the native window on X11; the
    // program only makes a window topmost for a moment to bring it forward.
    if (WindowWidget* widget = impl_->widgetOf(window); widget != nullptr && topmost) {
        widget->raise();
        widget->activateWindow();
    }
}

void QtBackend::invalidate(CWindowWnd& window, const RECT& rect) {
    if (WindowWidget* widget = impl_->widgetOf(window)) {
        if (rect.empty()) {
            widget->update();
        } else {
            widget->update(rect.left, rect.top, rect.width(), rect.height());
        }
    }
}

void QtBackend::runModalLoop(CWindowWnd& window) {
    const HWND handle = window.GetHWND();
    if (WindowWidget* widget = impl_->widgetOf(window)) {
        // Modality takes effect when the window is shown again.
        const bool visible = widget->isVisible();
        widget->hide();
        widget->setWindowModality(Qt::ApplicationModal);
        if (visible || window.IsWindowVisible()) {
            widget->show();
            widget->raise();
            widget->activateWindow();
        }
    }
    if (!IsWindow(handle)) {
        return;
    }
    QEventLoop loop;
    impl_->modalLoops[handle] = &loop;
    loop.exec(QEventLoop::DialogExec);
    impl_->modalLoops.erase(handle);
}

void QtBackend::endModalLoop(CWindowWnd& window) {
    auto it = impl_->modalLoops.find(window.GetHWND());
    if (it != impl_->modalLoops.end()) {
        it->second->exit(0);
    }
}

int QtBackend::runEventLoop() {
    return QApplication::exec();
}

void QtBackend::quitEventLoop(int exitCode) {
    for (auto& [handle, loop] : impl_->modalLoops) {
        loop->exit(0);
    }
    QCoreApplication::exit(exitCode);
}

void QtBackend::wake() {
    // Any thread.  One queued call drains everything posted before it runs.
    if (!impl_->wakeQueued.exchange(true)) {
        QMetaObject::invokeMethod(
            &impl_->pump, [impl = impl_.get()] { impl->runPending(); }, Qt::QueuedConnection);
    }
}

std::int64_t QtBackend::nowMs() {
    return impl_->clock.elapsed();
}

void QtBackend::timersChanged() {
    impl_->armTimer();
}

RECT QtBackend::workArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {0, 0, 1920, 1080};
    }
    const QRect area = screen->availableGeometry();
    return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

POINT QtBackend::cursorPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

std::optional<CDuiString> QtBackend::showFileDialog(const FileDialogRequest& request) {
    QStringList filters;
    for (const auto& filter : request.filters) {
        QStringList patterns;
        for (const auto& pattern : filter.patterns) {
            // Matched without regard to case, as on the platform the files come from.
            const QString p = QString::fromStdString(pattern);
            patterns << p;
            if (p.toLower() != p) {
                patterns << p.toLower();
            }
            if (p.toUpper() != p) {
                patterns << p.toUpper();
            }
        }
        QString name = QString::fromStdString(filter.name);
        if (const int open = name.indexOf('('); open >= 0) {
            name = name.left(open).trimmed();
        }
        filters << QStringLiteral("%1 (%2)").arg(name, patterns.join(' '));
    }
    QWidget* owner = nullptr;
    if (auto it = impl_->widgets.find(request.owner); it != impl_->widgets.end()) {
        owner = it->second.data();
    }
    QString start = QString::fromStdString(request.initialDirectory);
    if (!request.initialName.empty() && request.initialName.find('*') == std::string::npos) {
        start = start.isEmpty() ? QString::fromStdString(request.initialName)
                                : start + '/' + QString::fromStdString(request.initialName);
    }
    QFileDialog dialog(owner, QString(), start, filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    }
    if (!(request.options & OFN_OVERWRITEPROMPT)) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

void QtBackend::trayIconChanged(const CTrayIcon& icon, bool deleted) {
    if (deleted) {
        impl_->tray.reset();
        impl_->trayOwner = kNullWindow;
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // No notification area (a bare X server, some desktops): the program
        // runs on without its tray icon.
        if (!impl_->noTrayReported) {
            impl_->noTrayReported = true;
            platform::debugOutput("no system tray: the tray icon is not shown");
        }
        return;
    }
    if (!impl_->tray) {
        impl_->tray = std::make_unique<QSystemTrayIcon>();
        QObject::connect(impl_->tray.get(), &QSystemTrayIcon::activated,
                         [impl = impl_.get()](QSystemTrayIcon::ActivationReason reason) {
                             impl->trayActivated(reason);
                         });
    }
    impl_->trayOwner = icon.GetOwner();
    impl_->trayMessage = icon.GetMessage();
    impl_->trayId = icon.GetIconId();
    impl_->tray->setIcon(QApplication::windowIcon());
    impl_->tray->setToolTip(QString::fromStdString(icon.GetTooltipText()));
    impl_->tray->setVisible(icon.IsVisible());
}

void QtBackend::openUrl(const CDuiString& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

} // namespace quellix::dui::qt
