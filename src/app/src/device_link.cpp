#include "quellix/app/device_link.h"

#include "quellix/app/main_wnd.h"
#include "quellix/device/listener.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/list.h"
#include "quellix/dui/window.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/ini.h"
#include "quellix/platform/paths.h"
#include "quellix/ui/feature_page.h"

#include <chrono>

namespace quellix::app {

using device::DeviceKind;

namespace {

// The tab that shows a kind's page.
constexpr const char* kTabs[] = {"kb_tab", "ms_tab", "mp_tab"};
// The same-mode check box on a kind's lighting page.
constexpr const char* kSameModeChecks[] = {"kb_deng_same_mode", "ms_deng_same_mode",
                                           "mp_deng_same_mode"};

const char* tabOf(DeviceKind kind) {
    return kTabs[device::kindIndex(kind)];
}

// The remembered selection of a profile list: the catalogue's "select"
// value, "0" when absent.
int rememberedSelection(const std::string& directory, const char* catalogue, const char* section) {
    return platform::getPrivateProfileInt(section, "select", 0, directory + catalogue);
}

void showTab(CMainWnd& window, DeviceKind kind, bool show) {
    if (auto* tab = window.FindControl(tabOf(kind))) {
        tab->SetVisible(show);
    }
}

// Selects a kind's tab as the user would (the page changes through the
// "selectchanged" routing).
void selectTab(CMainWnd& window, DeviceKind kind) {
    if (auto* tab = window.FindControl<dui::COptionUI>(tabOf(kind))) {
        tab->Selected(true);
    }
}

void selectProfile(CMainWnd& window, const char* combo, int index) {
    if (auto* list = window.FindControl<dui::CComboUI>(combo)) {
        list->SelectItem(index, false);
    }
}

void startConnectedRepaint(CMainWnd& window) {
    window.SetTimer(kTimerConnectedRepaint, kConnectedRepaintMs);
}

// What is left to choose when a kind's device went away, tried in order.
struct RemovalChoice {
    DeviceKind first;
    DeviceKind second;
};
constexpr RemovalChoice kRemovalChoices[] = {
    {DeviceKind::Mouse, DeviceKind::MousePad},    // keyboard removed
    {DeviceKind::Keyboard, DeviceKind::MousePad}, // mouse removed
    {DeviceKind::Keyboard, DeviceKind::Mouse},    // mouse pad removed
};

} // namespace

DeviceLink::DeviceLink(std::unique_ptr<DeviceConfigCalls> calls)
    : calls_(calls ? std::move(calls) : std::make_unique<PendingDeviceConfigCalls>()) {
    for (DeviceKind kind : device::kAllDeviceKinds) {
        session(kind).setIdentity(device::identityOf(kind));
        session(kind).connected = 0;
    }
    for (auto& record : listenerRecords) {
        device::initRecord(record);
    }
}

void DeviceLink::setSource(const hid::DeviceSource& source) {
    for (auto& session : sessions) {
        session.hid.source = source;
    }
    for (auto& record : listenerRecords) {
        record.source = source;
    }
}

DeviceLink::~DeviceLink() {
    for (auto& record : listenerRecords) {
        device::releaseRecord(record);
    }
}

void DeviceLink::attach(dui::HWND window, dui::UINT showWindowMessage) {
    showWindowMessage_.store(showWindowMessage);
    window_.store(window);
}

bool DeviceLink::isConnected(DeviceKind kind) const {
    return sessions[device::kindIndex(kind)].connected.load() == 1;
}

bool DeviceLink::anyConnected() const {
    for (DeviceKind kind : device::kAllDeviceKinds) {
        if (isConnected(kind)) {
            return true;
        }
    }
    return false;
}

void DeviceLink::postUi(std::function<void(CMainWnd&)> step) {
    const dui::HWND handle = window_.load();
    if (handle == dui::kNullWindow) {
        return;
    }
    dui::PostTask([handle, step = std::move(step)] {
        if (!dui::IsWindow(handle)) {
            return;
        }
        if (auto* window = dynamic_cast<CMainWnd*>(dui::FromHandle(handle));
            window != nullptr && !window->IsDestroying()) {
            step(*window);
        }
    });
}

void DeviceLink::connect(DeviceKind kind, device::DeviceSession& session, platform::Event& stop) {
    switch (kind) {
    case DeviceKind::Mouse:
        connectMouse(session);
        break;
    case DeviceKind::MousePad:
        connectPad(session);
        break;
    case DeviceKind::Keyboard:
        connectKeyboard(session, stop);
        break;
    }
    platform::debugOutput("device connected: " + std::string(device::kindName(kind)));
}

void DeviceLink::connectMouse(device::DeviceSession& session) {
    session.connected = 1;
    const int profile =
        rememberedSelection(platform::mouseDir(), "msProfile.ini", "PROFILEDEVICESELECT");
    calls_->loadMouseDevice(profile);
    calls_->readMouseImage(session);
    postUi([profile](CMainWnd& window) {
        selectProfile(window, "ms_device_profile_combo", profile);
        window.Page(ui::Feature::MouseDevice).Refresh(device::DeviceKind::Mouse);
        window.Page(ui::Feature::KeyAssignment).Refresh(device::DeviceKind::Mouse);
        showTab(window, DeviceKind::Mouse, true);
        selectTab(window, DeviceKind::Mouse);
        startConnectedRepaint(window);
    });
}

void DeviceLink::connectPad(device::DeviceSession& session) {
    session.connected = 1;
    postUi([](CMainWnd& window) {
        showTab(window, DeviceKind::MousePad, true);
        selectTab(window, DeviceKind::MousePad);
    });
    calls_->readPadImage(session);
    const int profile =
        rememberedSelection(platform::mousePadDir(), "mpProfile.ini", "PROFILEDENGSELECT");
    postUi(
        [profile](CMainWnd& window) { selectProfile(window, "mp_deng_profile_combo", profile); });
    calls_->loadPadLighting(profile);
    postUi([](CMainWnd& window) {
        window.Page(ui::Feature::PadDevice).Refresh(device::DeviceKind::MousePad);
        if (auto* tab = window.FindControl("mp_tab")) {
            tab->NeedUpdate();
        }
        startConnectedRepaint(window);
    });
}

void DeviceLink::connectKeyboard(device::DeviceSession& session, platform::Event& stop) {
    // -1 for a product id the table does not know.
    const int variant = device::keyboardVariantFor(session.hid.attributes.productId).value_or(-1);
    // The lighting follows the model at its next frame.
    calls_->setKeyboardVariant(variant);
    postUi([](CMainWnd& window) {
        showTab(window, DeviceKind::Keyboard, true);
        selectTab(window, DeviceKind::Keyboard);
    });
    // The keyboard needs a moment after it was opened before it answers.
    if (stop.wait(std::chrono::milliseconds(100))) {
        return;
    }
    session.connected = 1;
    calls_->readKeyboardImage(session);
    const std::string directory = platform::keyboardDir();
    const int lighting = rememberedSelection(directory, "kbProfile.ini", "PROFILEDENGSELECT");
    postUi(
        [lighting](CMainWnd& window) { selectProfile(window, "kb_deng_profile_combo", lighting); });
    calls_->loadKeyboardLighting(lighting);
    const int keys = rememberedSelection(directory, "kbProfile.ini", "PROFILESELECT");
    postUi([keys](CMainWnd& window) {
        selectProfile(window, "kb_key_profile_combo", keys);
        window.Page(ui::Feature::Lighting).Refresh(device::DeviceKind::Keyboard);
        startConnectedRepaint(window);
    });
}

void DeviceLink::removed(DeviceKind kind) {
    platform::debugOutput("device removed: " + std::string(device::kindName(kind)));
    const RemovalChoice& choice = kRemovalChoices[device::kindIndex(kind)];
    // The other kinds' flags are read now, on the detection worker, so the
    // choice is the one this removal saw.
    const bool firstThere = isConnected(choice.first);
    const bool secondThere = isConnected(choice.second);
    const dui::HWND handle = window_.load();
    postUi([kind, choice, firstThere, secondThere](CMainWnd& window) {
        showTab(window, kind, false);
        const DeviceKind* next = firstThere    ? &choice.first
                                 : secondThere ? &choice.second
                                               : nullptr;
        if (next != nullptr) {
            selectTab(window, *next);
            if (kind == DeviceKind::Mouse) {
                auto* tab = window.FindControl(tabOf(*next));
                if (tab != nullptr) {
                    tab->SetFocus();
                    if (*next == DeviceKind::Keyboard) {
                        tab->SetVisible(true);
                    }
                }
            }
        } else if (kind != DeviceKind::Mouse) {
            window.ShowWindow(false);
        }
    });
    if (kind == DeviceKind::Mouse && !firstThere && !secondThere && handle != dui::kNullWindow) {
        dui::PostMessage(handle, kMsgLastDeviceRemoved, 0, 0);
    }
}

void DeviceLink::foundAtFirstScan(DeviceKind) {
    const dui::HWND handle = window_.load();
    if (handle != dui::kNullWindow) {
        dui::PostMessage(handle, showWindowMessage_.load(), 0, kShowRequestFromDetection);
    }
}

void DeviceLink::othersConnectedChanged(DeviceKind kind, bool othersConnected) {
    const char* check = kSameModeChecks[device::kindIndex(kind)];
    postUi([check, othersConnected](CMainWnd& window) {
        if (auto* box = window.FindControl(check)) {
            box->SetVisible(othersConnected);
        }
    });
}

void DeviceLink::openFailed(DeviceKind kind, const std::string& reason) {
    platform::debugOutput(std::string(device::kindName(kind)) +
                          " present but not opened: " + reason);
}

void DeviceLink::mouseAnnounced(std::uint16_t usage) {
    const dui::HWND handle = window_.load();
    switch (usage) {
    case device::kUsageSlotChanged:
        dui::SendMessage(handle, kMsgMouseSlotChanged, 0, 0);
        break;
    case device::kUsageConfigChanged:
        dui::SendMessage(handle, kMsgMouseImageChanged, 0, 0);
        break;
    case device::kUsageFlash:
        lighting::triggerFlashes(lighting);
        break;
    default:
        break;
    }
}

void DeviceLink::keyboardAnnounced(std::uint16_t usage) {
    const dui::HWND handle = window_.load();
    if (usage == device::kUsageSlotChanged) {
        dui::SendMessage(handle, kMsgKeyboardSlotChanged, 0, 0);
    } else if (usage == device::kUsageConfigChanged) {
        dui::SendMessage(handle, kMsgKeyboardImageChanged, 0, 0);
    }
}

} // namespace quellix::app
