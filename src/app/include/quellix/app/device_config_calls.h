#pragma once
// What a connection does to the device's configuration: the reads of its
// image and the loads of its remembered profiles.  These run on the
// detection worker with the session's lock held (and on the UI thread for
// the delayed first reads), so they never touch controls.

#include "quellix/device/device_session.h"

namespace quellix::app {

class DeviceConfigCalls {
public:
    virtual ~DeviceConfigCalls() = default;
    virtual void readPadImage(device::DeviceSession& pad) = 0;
    virtual void loadPadLighting(int profile) = 0;
    virtual void loadMouseDevice(int profile) = 0;
    virtual void readMouseImage(device::DeviceSession& mouse) = 0;
    // The variant the keyboard's product id selects.
    virtual void setKeyboardVariant(int variant) = 0;
    virtual void readKeyboardImage(device::DeviceSession& keyboard) = 0;
    virtual void loadKeyboardLighting(int profile) = 0;
};

// Stands in until the configuration images exist: each call writes one
// debug line and does nothing else.
class PendingDeviceConfigCalls final : public DeviceConfigCalls {
public:
    void readPadImage(device::DeviceSession&) override;
    void loadPadLighting(int profile) override;
    void loadMouseDevice(int profile) override;
    void readMouseImage(device::DeviceSession&) override;
    void setKeyboardVariant(int variant) override;
    void readKeyboardImage(device::DeviceSession&) override;
    void loadKeyboardLighting(int profile) override;
};

} // namespace quellix::app
