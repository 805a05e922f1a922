#pragma once
// Opening a session onto its device's configuration collection without the
// rest of detection: for tools, tests and benchmarks.

#include "quellix/device/device_kind.h"
#include "quellix/device/device_session.h"

#include "quellix/platform/result.h"

#include <string>

namespace quellix::device {

// Walks the present HID interfaces like a detection scan: a path whose
// "vid_" is the session's vendor is opened for overlapped read and write;
// it is kept when its attributes and caps match the session's identity
// (product id one of `kind`'s accepted ids) and closed otherwise.  On
// success the session is connected.  NotConnected ("no mouse is connected")
// when the interfaces cannot be listed or no matching device is present;
// OpenFailed with the system's error number when a path of the kind's
// product is present but could not be opened, the detail naming the path
// and the remedy (openFailureText).
Result connectSession(DeviceSession& session, DeviceKind kind);

// One path of a scan: when its "vid_" is the session's vendor it is opened
// for overlapped read and write into the session's record, and kept when
// its attributes and caps match the session's identity (product id one of
// `kind`'s accepted ids); otherwise closed again.  True when kept.  When
// the open itself failed, `openError` (if given) says why.
bool openIfMatching(DeviceSession& session, DeviceKind kind, const std::string& path,
                    std::string* openError = nullptr);

// Why the record's last openDevice failed, for people: the system's reason,
// and for a refused permission the remedy ("install the udev rule ...").
// Detection hands this text, after the path, to DetectionHost::openFailed.
std::string openFailureText(const HidDeviceRecord& record);

// Marks the session disconnected and closes its device (pending I/O is
// cancelled first).
void disconnectSession(DeviceSession& session);

} // namespace quellix::device
