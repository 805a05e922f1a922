#include "quellix/device/session_connect.h"

#include <algorithm>
#include <mutex>

namespace quellix::device {

namespace {

bool matchesIdentity(const HidDeviceRecord& record, const DeviceSession& session, DeviceKind kind) {
    const auto products = acceptedProductIds(kind);
    return record.attributes.vendorId == session.vendorId &&
           std::find(products.begin(), products.end(), record.attributes.productId) !=
               products.end() &&
           record.caps.usagePage == session.usagePage && record.caps.usage == session.usage;
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
            *openError = "the device could not be opened";
        }
        return false;
    }
    if (!matchesIdentity(record, session, kind)) {
        closeDevice(record);
        return false;
    }
    return true;
}

bool connectSession(DeviceSession& session, DeviceKind kind, std::string* error) {
    std::lock_guard guard(session.lock);
    HidDeviceRecord& record = session.hid;
    record.cursor = 0;
    if (enumeratePaths(record) != 1) {
        if (error != nullptr) {
            *error = "cannot list the HID interfaces";
        }
        return false;
    }
    bool found = false;
    while (!found && record.cursor < record.pathCount && !record.paths[record.cursor].empty()) {
        found = openIfMatching(session, kind, record.paths[record.cursor]);
        ++record.cursor;
    }
    freePaths(record);
    if (!found) {
        if (error != nullptr) {
            *error = "no " + std::string(kindName(kind)) + " is connected";
        }
        return false;
    }
    session.connected = 1;
    return true;
}

void disconnectSession(DeviceSession& session) {
    session.connected = 0;
    cancelPending(session.hid);
    std::lock_guard guard(session.lock);
    closeDevice(session.hid);
}

} // namespace quellix::device
