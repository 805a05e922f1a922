#include "quellix/device/detection.h"

#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/directory_watch.h"

#include <algorithm>

#include <mutex>
#include <set>

namespace quellix::device {

namespace {

constexpr std::string_view kExitTraces[] = {
    "键盘设备侦测线程设定退出",   // keyboard
    "鼠标设备侦测线程设定退出",   // mouse
    "鼠标垫设备侦测线程设定退出", // mouse pad
};

class Detector {
public:
    Detector(DeviceKind kind, std::array<DeviceSession*, 3> sessions, DetectionHost& host)
        : kind_(kind), sessions_(sessions), session_(*sessions[kindIndex(kind)]), host_(host) {}

    // False when the interfaces cannot be listed: the worker ends.
    bool scan(platform::Event& stop);
    void probe();
    bool connected() const { return session_.connected.load() == 1; }

private:
    bool othersConnected() const;

    DeviceKind kind_;
    std::array<DeviceSession*, 3> sessions_;
    DeviceSession& session_;
    DetectionHost& host_;
    bool firstScan_ = true;
    int lastOthers_ = -1; // unknown until the first probe after a connection
    std::set<std::string> reportedOpenFailures_;
};

bool Detector::scan(platform::Event& stop) {
    HidDeviceRecord& record = session_.hid;
    record.cursor = 0;
    if (enumeratePaths(record) != 1) {
        return false;
    }
    std::set<std::string> stillFailing;
    for (; record.cursor < record.pathCount && !record.paths[record.cursor].empty();
         ++record.cursor) {
        const std::string& path = record.paths[record.cursor];
        std::string openError;
        if (openIfMatching(session_, kind_, path, &openError)) {
            lastOthers_ = -1;
            host_.connect(kind_, session_, stop);
            break;
        }
        if (!openError.empty()) {
            // A device that is there but cannot be opened (permissions) is
            // worth one line, not one per scan.
            stillFailing.insert(path);
            if (!reportedOpenFailures_.count(path)) {
                host_.openFailed(kind_, path + ": " + openError);
            }
        }
    }
    reportedOpenFailures_ = std::move(stillFailing);
    if (firstScan_) {
        if (connected()) {
            host_.foundAtFirstScan(kind_);
        }
        firstScan_ = false;
    }
    freePaths(record);
    return true;
}

bool Detector::othersConnected() const {
    for (DeviceKind other : kAllDeviceKinds) {
        if (other != kind_ && sessions_[kindIndex(other)]->connected.load() == 1) {
            return true;
        }
    }
    return false;
}

void Detector::probe() {
    HidDeviceRecord& record = session_.hid;
    // The node can be back under the same name after a replug (hidraw
    // numbers and simulator socket names are reused): the path opening again
    // says nothing when the session's own handle has hung up.
    if (probeDevice(record) != 1 || handleHungUp(record)) {
        session_.connected = 0;
        session_.syncActive = 0;
        // The handle of a device that is gone serves nothing; closing it
        // now gives its descriptor back (the next scan opens afresh).
        cancelPending(record);
        closeHandle(record);
        host_.removed(kind_);
        return;
    }
    const int others = othersConnected() ? 1 : 0;
    if (others != lastOthers_) {
        lastOthers_ = others;
        host_.othersConnectedChanged(kind_, others == 1);
    }
}

} // namespace

std::string_view detectionExitTrace(DeviceKind kind) {
    return kExitTraces[kindIndex(kind)];
}

std::string hotplugDirectory(const hid::DeviceSource& source) {
    return source.hotplugDirectory();
}

void runDetection(DeviceKind kind, std::array<DeviceSession*, 3> sessions, DetectionHost& host,
                  platform::Event& stop, const DetectionTiming& timing) {
    Detector detector(kind, sessions, host);
    DeviceSession& session = *sessions[kindIndex(kind)];
    platform::DirectoryWatch watch(hotplugDirectory(session.hid.source));
    int settleScans = 0;
    while (!stop.isSignalled()) {
        {
            std::lock_guard guard(session.lock);
            if (!detector.connected()) {
                if (!detector.scan(stop)) {
                    // Without a device list this kind can never be found.
                    return;
                }
            } else {
                detector.probe();
            }
        }
        auto period = detector.connected() ? timing.presentPeriod : timing.absentPeriod;
        int hangUpFd = -1;
        if (settleScans > 0) {
            if (!detector.connected()) {
                period = std::min(period, timing.settlePeriod);
            }
            --settleScans;
        } else if (detector.connected() && watch.active() && session.hid.handle) {
            // Only this thread opens and closes the handle, so its
            // descriptor stays valid over the wait.
            period = std::max(period, timing.watchedPresentPeriod);
            hangUpFd = session.hid.handle->fd();
        }
        const auto wake = watch.wait(stop, period, hangUpFd);
        if (wake == platform::DirectoryWatch::Wake::Stop) {
            break;
        }
        if (wake == platform::DirectoryWatch::Wake::Changed) {
            settleScans = timing.settleScans;
        }
    }
    platform::debugOutput(detectionExitTrace(kind));
}

} // namespace quellix::device
