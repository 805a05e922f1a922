#include "quellix/dui/headless.h"

#include "quellix/dui/menu.h"
#include "quellix/dui/toolkit.h"

#include <stdexcept>

namespace quellix::dui {

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::OnModal(const CDuiString& windowClassName, ModalScript script) {
    scripts_[windowClassName] = std::move(script);
}

void HeadlessBackend::OnNextModal(const CDuiString& windowClassName, ModalScript script) {
    nextScripts_[windowClassName].push_back(std::move(script));
}

void HeadlessBackend::AnswerNextModal(const CDuiString& windowClassName, UINT code) {
    OnNextModal(windowClassName, ModalScript{nullptr, code});
}

void HeadlessBackend::QueueFileDialogAnswer(std::optional<CDuiString> path) {
    fileAnswers_.push_back(std::move(path));
}

void HeadlessBackend::AdvanceTime(std::int64_t ms) {
    if (toolkit_ == nullptr)
        throw std::logic_error("the headless backend has no toolkit");
    const std::int64_t target = now_ + std::max<std::int64_t>(ms, 0);
    Pump();
    while (true) {
        std::optional<std::int64_t> due = toolkit_->timers().nextDue();
        if (!due || *due > target)
            break;
        now_ = std::max(now_, *due);
        toolkit_->fireDueTimers();
        Pump();
    }
    now_ = target;
}

std::size_t HeadlessBackend::Pump() {
    return toolkit_ != nullptr ? toolkit_->dispatcher().runPending() : 0;
}

int HeadlessBackend::InvalidateCount(HWND window) const {
    auto it = invalidations_.find(window);
    return it == invalidations_.end() ? 0 : it->second;
}

bool HeadlessBackend::ClickTray(UINT mouseMessage) {
    if (!trayShown_)
        return false;
    PostMessage(trayOwner_, trayMessage_, trayId_, static_cast<LPARAM>(mouseMessage));
    Pump();
    return true;
}

void HeadlessBackend::attach(Toolkit& toolkit) {
    toolkit_ = &toolkit;
}
void HeadlessBackend::detach() {
    toolkit_ = nullptr;
}
void HeadlessBackend::createWindow(CWindowWnd&) {}
void HeadlessBackend::destroyWindow(CWindowWnd& window) {
    invalidations_.erase(window.GetHWND());
}
void HeadlessBackend::showWindow(CWindowWnd&, ShowCommand) {}
void HeadlessBackend::windowMoved(CWindowWnd&) {}
void HeadlessBackend::setTopmost(CWindowWnd&, bool) {}

void HeadlessBackend::invalidate(CWindowWnd& window, const RECT&) {
    ++invalidations_[window.GetHWND()];
}

void HeadlessBackend::runModalLoop(CWindowWnd& window) {
    const HWND handle = window.GetHWND();
    const CDuiString className = window.GetWindowClassName();
    std::shared_ptr<const UINT> result = window.GetModalResultSlot();
    Pump(); // "windowinit" and whatever the window posted while opening

    ModalScript script;
    if (auto it = nextScripts_.find(className); it != nextScripts_.end() && !it->second.empty()) {
        script = std::move(it->second.front());
        it->second.pop_front();
    } else if (auto found = scripts_.find(className); found != scripts_.end()) {
        script = found->second;
    }
    ModalRecord record{className, 0, {}};
    if (auto* impl = dynamic_cast<WindowImplBase*>(FromHandle(handle)))
        if (CControlUI* text = impl->FindControl("MessageText"))
            record.messageText = text->GetText();
    if (script.run) {
        if (auto* impl = dynamic_cast<WindowImplBase*>(FromHandle(handle)))
            script.run(*impl, *this);
        Pump();
    }
    if (CWindowWnd* still = FromHandle(handle); still != nullptr && !endedModals_.count(handle))
        still->Close(script.defaultCode);
    while (FromHandle(handle) != nullptr && !endedModals_.count(handle)) {
        if (Pump() == 0) {
            // A window that refuses to close would hang the test: end it.
            if (CWindowWnd* stuck = FromHandle(handle))
                stuck->DestroyWindow();
            break;
        }
    }
    endedModals_.erase(handle);
    record.result = result ? *result : 0;
    modalHistory_.push_back(record);
}

void HeadlessBackend::endModalLoop(CWindowWnd& window) {
    endedModals_.insert(window.GetHWND());
}

int HeadlessBackend::runEventLoop() {
    if (toolkit_ == nullptr)
        throw std::logic_error("the headless backend has no toolkit");
    quit_ = false;
    Dispatcher& dispatcher = toolkit_->dispatcher();
    while (!quit_ && !dispatcher.isShutDown()) {
        if (!dispatcher.runOne())
            dispatcher.waitForWork(std::chrono::milliseconds(10));
    }
    return exitCode_;
}

void HeadlessBackend::quitEventLoop(int exitCode) {
    quit_ = true;
    exitCode_ = exitCode;
}

void HeadlessBackend::wake() {}

std::optional<CDuiString> HeadlessBackend::showFileDialog(const FileDialogRequest& request) {
    fileRequests_.push_back(request);
    if (fileAnswers_.empty())
        return std::nullopt;
    std::optional<CDuiString> answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

void HeadlessBackend::trayIconChanged(const CTrayIcon& icon, bool deleted) {
    trayShown_ = !deleted && icon.IsVisible();
    trayTip_ = icon.GetTooltipText();
    trayOwner_ = icon.GetOwner();
    trayMessage_ = icon.GetMessage();
    trayId_ = icon.GetIconId();
}

// --- UserDriver ---

UserDriver::UserDriver(CWindowWnd& window, HeadlessBackend& backend)
    : window_(window), manager_(nullptr), backend_(backend) {
    if (auto* impl = dynamic_cast<WindowImplBase*>(&window))
        manager_ = &impl->GetPaintManager();
}

CControlUI* UserDriver::Find(const CDuiString& name) const {
    return manager_ != nullptr ? manager_->FindControl(name) : nullptr;
}

bool UserDriver::Usable(CControlUI* control) const {
    return control != nullptr && manager_ != nullptr && window_.GetHWND() != kNullWindow &&
           window_.IsWindowVisible() && control->IsInteractive();
}

bool UserDriver::Click(const CDuiString& name) {
    return Click(Find(name));
}

bool UserDriver::Click(CControlUI* control) {
    if (!Usable(control))
        return false;
    manager_->Press(control);
    backend_.Pump();
    return true;
}

bool UserDriver::Hover(const CDuiString& name) {
    CControlUI* control = Find(name);
    if (!Usable(control))
        return false;
    manager_->SetHot(control);
    backend_.Pump();
    return true;
}

bool UserDriver::Leave() {
    if (manager_ == nullptr)
        return false;
    manager_->SetHot(nullptr);
    backend_.Pump();
    return true;
}

bool UserDriver::Focus(const CDuiString& name) {
    CControlUI* control = Find(name);
    if (!Usable(control))
        return false;
    control->SetFocus();
    backend_.Pump();
    return true;
}

bool UserDriver::Type(const CDuiString& name, const CDuiString& text) {
    auto* edit = dynamic_cast<CEditUI*>(Find(name));
    if (!Usable(edit) || edit->IsReadOnly())
        return false;
    edit->SetFocus();
    edit->UserInput(text);
    backend_.Pump();
    return true;
}

bool UserDriver::SelectItem(const CDuiString& listName, int index) {
    CControlUI* control = Find(listName);
    auto* owner = dynamic_cast<IListOwnerUI*>(control);
    auto* container = dynamic_cast<CContainerUI*>(control);
    if (!Usable(control) || owner == nullptr || container == nullptr)
        return false;
    CControlUI* item = container->GetItemAt(index);
    if (item == nullptr || !item->IsOwnVisible() || !item->IsEnabled())
        return false;
    owner->SelectItem(index, true, true);
    backend_.Pump();
    return true;
}

bool UserDriver::ClickItem(const CDuiString& listName, int index) {
    auto* container = dynamic_cast<CContainerUI*>(Find(listName));
    if (!Usable(container))
        return false;
    CControlUI* item = container->GetItemAt(index);
    if (item == nullptr || !item->IsOwnVisible() || !item->IsEnabled())
        return false;
    item->SetFocus();
    TEventUI down;
    down.Type = UIEVENT_BUTTONDOWN;
    down.ptMouse = item->GetPos().centre();
    item->Event(down);
    backend_.Pump();
    return true;
}

bool UserDriver::DragSlider(const CDuiString& name, std::initializer_list<int> values) {
    auto* slider = dynamic_cast<CSliderUI*>(Find(name));
    if (!Usable(slider))
        return false;
    slider->SetFocus();
    slider->BeginDrag();
    for (int value : values)
        slider->DragTo(value);
    slider->EndDrag();
    backend_.Pump();
    return true;
}

bool UserDriver::PickColor(const CDuiString& name, DWORD argb) {
    auto* palette = dynamic_cast<CColorPaletteUI*>(Find(name));
    if (!Usable(palette))
        return false;
    palette->UserPick(argb);
    backend_.Pump();
    return true;
}

bool UserDriver::ChooseMenuItem(const CDuiString& elementName, HeadlessBackend& backend) {
    for (CMenuWnd* menu : CMenuWnd::OpenMenus()) {
        auto* element =
            dynamic_cast<CMenuElementUI*>(menu->GetPaintManager().FindControl(elementName));
        if (element == nullptr || !element->IsVisible() || !element->IsEnabled())
            continue;
        menu->Choose(*element);
        backend.Pump();
        return true;
    }
    return false;
}

CDuiString UserDriver::TextOf(const CDuiString& name) const {
    CControlUI* control = Find(name);
    return control != nullptr ? control->GetText() : CDuiString{};
}

bool UserDriver::IsShown(const CDuiString& name) const {
    CControlUI* control = Find(name);
    if (control == nullptr || !window_.IsWindowVisible())
        return false;
    for (CControlUI* c = control; c != nullptr; c = c->GetParent())
        if (!c->IsVisible())
            return false;
    return true;
}

bool UserDriver::IsEnabled(const CDuiString& name) const {
    CControlUI* control = Find(name);
    return control != nullptr && control->IsEnabled();
}

} // namespace quellix::dui
