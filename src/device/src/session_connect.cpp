#include "quellix/device/session_connect.h"

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace quellix::device {

namespace {

bool matchesIdentity(const HidDeviceRecord& record, const DeviceSession& session, DeviceKind kind) {
    return record.attributes.vendorId == session.vendorId &&
           acceptsProduct(kind, record.attributes.productId) &&
           record.caps.usagePage == session.usagePage && record.caps.usage == session.usage;
}

bool isProductOf(const std::string& path, DeviceKind kind) {
    return acceptsProduct(kind, static_cast<std::uint16_t>(hexAfter(path, "pid_") & 0xFFFF));
}

void closeDevice(HidDeviceRecord& record) {
    cancelPending(record);
    freeDeviceInfo(record);
    closeHandle(record);
}

} // namespace

bool openIfMatching(DeviceSession& session, DeviceKind kind, const std::string& path,
                    std::string* openError) {
    HidDeviceRecord& record = session.hid;
    if ((hexAfter(path, "vid_") & 0xFFFF) != session.vendorId) {
        return false;
    }
    record.openForRead = 1;
    record.openForWrite = 1;
    record.openOverlapped = 1;
    record.openExclusive = 0;
    if (!record.path.assign(path)) {
        if (openError != nullptr) {
            *openError = "the device path is too long";
        }
        return false;
    }
    if (openDevice(record) != 1) {
        if (openError != nullptr) {
            *openError = openFailureText(record);
        }
        return false;
    }
    if (!matchesIdentity(record, session, kind)) {
        closeDevice(record);
        return false;
    }
    return true;
}

Result connectSession(DeviceSession& session, DeviceKind kind) {
    std::lock_guard guard(session.lock);
    HidDeviceRecord& record = session.hid;
    record.cursor = 0;
    if (enumeratePaths(record) != 1) {
        return Result::failure(Status::NotConnected, "cannot list the HID interfaces");
    }
    bool found = false;
    std::string refused; // the first path of this kind that would not open
    int refusedErrno = 0;
    while (!found && record.cursor < record.pathCount && !record.paths[record.cursor].empty()) {
        const std::string& path = record.paths[record.cursor];
        std::string openError;
        found = openIfMatching(session, kind, path, &openError);
        if (!found && !openError.empty() && refused.empty() && isProductOf(path, kind)) {
            refused = path + ": " + openError;
            refusedErrno = record.openErrno;
        }
        ++record.cursor;
    }
    freePaths(record);
    const std::string name(kindName(kind));
    if (!found && !refused.empty()) {
        return Result::failure(Status::OpenFailed,
                               "a " + name + " is present but could not be opened: " + refused,
                               refusedErrno);
    }
    if (!found) {
        return Result::failure(Status::NotConnected, "no " + name + " is connected");
    }
    session.connected = 1;
    return Result::success();
}

std::string openFailureText(const HidDeviceRecord& record) {
    std::string text =
        record.openError.empty() ? "the device could not be opened" : record.openError;
    if (record.openErrno == EACCES || record.openErrno == EPERM) {
        text += " (install the udev rule 70-quellix.rules, which the build writes into its "
                "packaging/ folder, into /etc/udev/rules.d/, run "
                "'udevadm control --reload && udevadm trigger' and replug the device)";
    }
    return text;
}

void disconnectSession(DeviceSession& session) {
    session.connected = 0;
    cancelPending(session.hid);
    std::lock_guard guard(session.lock);
    closeDevice(session.hid);
}

} // namespace quellix::device
