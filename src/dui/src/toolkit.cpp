#include "quellix/dui/toolkit.h"

#include "quellix/dui/control_factory.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/window.h"

#include <atomic>
#include <stdexcept>

namespace quellix::dui {

namespace {
std::atomic<Toolkit*> g_current{nullptr};
}

Toolkit::Toolkit(Backend& backend)
    : backend_(backend), resources_(std::make_unique<CResourceManager>()),
      factory_(std::make_unique<CControlFactory>()) {
    Toolkit* expected = nullptr;
    if (!g_current.compare_exchange_strong(expected, this))
        throw std::logic_error("a dui::Toolkit is already installed");
    resources_->SetResourcePath(DefaultResourcePath());
    timers_.setScheduleChanged([this] { backend_.timersChanged(); });
    dispatcher_.setWakeup([this] { backend_.wake(); });
    backend_.attach(*this);
}

Toolkit::~Toolkit() {
    // Windows still alive lose their native side; their objects belong to
    // their creators.
    for (auto* window : windows())
        window->ReleaseNative();
    dispatcher_.shutdown();
    dispatcher_.setWakeup({});
    backend_.detach();
    g_current.store(nullptr);
}

Toolkit* Toolkit::current() {
    return g_current.load();
}

Toolkit& Toolkit::get() {
    Toolkit* toolkit = current();
    if (toolkit == nullptr)
        throw std::logic_error("no dui::Toolkit is installed");
    return *toolkit;
}

void Toolkit::fireDueTimers() {
    const std::int64_t now = backend_.nowMs();
    while (timers_.fireOne(now)) {
    }
}

HWND Toolkit::registerWindow(CWindowWnd& window) {
    HWND handle = nextHandle_++;
    windows_[handle] = &window;
    return handle;
}

void Toolkit::unregisterWindow(HWND handle) {
    windows_.erase(handle);
}

CWindowWnd* Toolkit::findWindow(HWND handle) const {
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : it->second;
}

std::vector<CWindowWnd*> Toolkit::windows() const {
    std::vector<CWindowWnd*> out;
    for (auto& [handle, window] : windows_)
        out.push_back(window);
    return out;
}

void Toolkit::invalidateAll() {
    for (auto* window : windows()) {
        if (auto* impl = dynamic_cast<WindowImplBase*>(window))
            impl->GetPaintManager().Invalidate();
    }
}

} // namespace quellix::dui
