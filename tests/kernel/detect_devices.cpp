// The program's device detection without a window: the three detection
// workers with the program's device link, against the HID source the
// environment names, as the program's main reads it: the simulator
// directory in QUELLIX_SIM_DIR, else the system's hidraw devices.  Prints one line per event,
// flushed at once, until SIGTERM or SIGINT:
//
//   connected pad hid#vid_0c45&pid_5f02&mi_00#hidraw0
//   connect sequence done pad
//   removed pad
//   open failed pad: <reason>
//
// The configuration image reads are not part of this harness; in their
// place the connect sequence reads the device information block (commands
// 1, 3, 2), so that it starts with a frame as the program's does.

#include "quellix/app/device_link.h"
#include "quellix/device/detection.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace quellix;
using device::DeviceKind;

std::mutex g_printMutex;

void say(const std::string& line) {
    std::lock_guard guard(g_printMutex);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string nameOf(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Keyboard:
        return "keyboard";
    case DeviceKind::Mouse:
        return "mouse";
    case DeviceKind::MousePad:
        return "pad";
    }
    return "?";
}

void readInfoBlock(device::DeviceSession& session, DeviceKind kind) {
    device::DeviceInfoBlock info{};
    const bool ok =
        session.beginTransfer() && session.readDeviceInfo(info) && session.endTransfer();
    say("info block " + nameOf(kind) + (ok ? " read" : " not read"));
}

class InfoReadingCalls final : public app::DeviceConfigCalls {
public:
    void readPadImage(device::DeviceSession& pad) override {
        readInfoBlock(pad, DeviceKind::MousePad);
    }
    void loadPadLighting(int) override {}
    void loadMouseDevice(int) override {}
    void readMouseImage(device::DeviceSession& mouse) override {
        readInfoBlock(mouse, DeviceKind::Mouse);
    }
    void setKeyboardVariant(int) override {}
    void readKeyboardImage(device::DeviceSession& keyboard) override {
        readInfoBlock(keyboard, DeviceKind::Keyboard);
    }
    void loadKeyboardLighting(int) override {}
};

// Reports each event, then lets the device link do what the program does.
class ReportingHost final : public device::DetectionHost {
public:
    explicit ReportingHost(app::DeviceLink& link) : link_(link) {}

    void connect(DeviceKind kind, device::DeviceSession& session, platform::Event& stop) override {
        say("connected " + nameOf(kind) + " " + std::string(session.hid.path.view()));
        link_.connect(kind, session, stop);
        say("connect sequence done " + nameOf(kind));
    }
    void removed(DeviceKind kind) override {
        say("removed " + nameOf(kind));
        link_.removed(kind);
    }
    void foundAtFirstScan(DeviceKind kind) override { link_.foundAtFirstScan(kind); }
    void othersConnectedChanged(DeviceKind kind, bool others) override {
        link_.othersConnectedChanged(kind, others);
    }
    void openFailed(DeviceKind kind, const std::string& reason) override {
        say("open failed " + nameOf(kind) + ": " + reason);
        link_.openFailed(kind, reason);
    }

private:
    app::DeviceLink& link_;
};

} // namespace

int main() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    hid::DeviceSource source;
    if (const char* simDir = std::getenv("QUELLIX_SIM_DIR"); simDir != nullptr && *simDir != '\0') {
        source = hid::DeviceSource::simulator(simDir);
    }
    app::DeviceLink link(std::make_unique<InfoReadingCalls>());
    link.setSource(source);
    ReportingHost host(link);
    platform::Event stop(platform::Event::Reset::Manual);
    std::vector<std::thread> workers;
    for (DeviceKind kind : device::kAllDeviceKinds) {
        workers.emplace_back(
            [&, kind] { device::runDetection(kind, link.sessionPointers(), host, stop); });
    }
    say("detection started, watching " + device::hotplugDirectory(source));
    int signal = 0;
    sigwait(&stopSignals, &signal);
    stop.set();
    for (std::thread& worker : workers) {
        worker.join();
    }
    say("detection stopped");
    return 0;
}
