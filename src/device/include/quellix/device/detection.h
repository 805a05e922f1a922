#pragma once
// Detection of one kind's device: a worker that finds the kind's
// configuration interface, opens it into the kind's session, and notices
// when it goes away.
//
// While the device is absent the worker scans every second; while present
// it probes every 100 ms.  Both waits also end as soon as an entry appears
// in or vanishes from the HID device directory (hidraw nodes or simulator
// sockets), so hot-plug is seen at once; the periods stay as the fallback.
// The worker holds the session's lock for a whole scan or probe, including
// the host's connect sequence, so other threads' frames wait meanwhile.
//
// What a connection or a removal means to the program (pages, profiles,
// the window) is the host's: the worker only calls it, in order, on its own
// thread and with the lock held.  The host must therefore never wait for
// the UI thread from these calls; it hands UI steps over by posting them.

#include "quellix/device/device_kind.h"
#include "quellix/device/device_session.h"
#include "quellix/platform/event.h"

#include <chrono>
#include <string>

namespace quellix::device {

class DetectionHost {
public:
    virtual ~DetectionHost() = default;
    // A device of `kind` was accepted and is open in the session's record.
    // Runs the kind's connect sequence; it sets `connected` itself.  `stop`
    // lets the sequence's own pauses end early at shutdown.
    virtual void connect(DeviceKind kind, DeviceSession& session, platform::Event& stop) = 0;
    // The device went away; `connected` and `syncActive` are already 0.
    virtual void removed(DeviceKind kind) = 0;
    // The first scan of the run found the device.
    virtual void foundAtFirstScan(DeviceKind kind) = 0;
    // A probe found the device present; `othersConnected` is whether one
    // of the two other kinds is connected.  Called when that answer
    // differs from the previous probe's (and at the first probe after a
    // connection), not at every probe.
    virtual void othersConnectedChanged(DeviceKind kind, bool othersConnected) = 0;
    // A device of this kind is present but could not be opened; `reason`
    // says why.  Called once per device path until it opens.
    virtual void openFailed(DeviceKind kind, const std::string& reason) = 0;
};

struct DetectionTiming {
    std::chrono::milliseconds absentPeriod{1000};
    std::chrono::milliseconds presentPeriod{100};
    // While present and the hot-plug directory is watched, unplugging wakes
    // the thread at once (the node goes, the open handle hangs up), so the
    // probe is only a fallback and runs this often.  After a change in the
    // directory (any device's) it runs every presentPeriod again for
    // settleScans probes, so that the others' connections are seen as
    // quickly as without the watch.
    std::chrono::milliseconds watchedPresentPeriod{1000};
    // After the directory changed while the device is absent, the scan is
    // repeated this often for a while: a new node or socket can show up a
    // moment before it can be opened (udev still setting its permissions,
    // the simulator not yet listening).
    std::chrono::milliseconds settlePeriod{25};
    int settleScans = 20;
};

// The worker: runs until `stop` is signalled (or the interfaces cannot be
// listed at all), then writes the kind's exit trace.  The devices come from
// the kind's session's record (`hid.source`), which is watched for hot-plug.  `sessions` are all
// three sessions indexed by kind, for the other kinds' `connected` flags.
void runDetection(DeviceKind kind, std::array<DeviceSession*, 3> sessions, DetectionHost& host,
                  platform::Event& stop, const DetectionTiming& timing = {});

// The trace a kind's detection worker writes when it ends.
std::string_view detectionExitTrace(DeviceKind kind);

// The directory whose entries come and go with the devices of `source`: the
// simulator directory, else the device node directory.
std::string hotplugDirectory(const hid::DeviceSource& source);

} // namespace quellix::device
