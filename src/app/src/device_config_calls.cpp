#include "quellix/app/device_config_calls.h"

#include "quellix/platform/debug.h"

namespace quellix::app {

void PendingDeviceConfigCalls::readPadImage(device::DeviceSession&) {
    platform::debugOutput("readPadImage: not built yet");
}
void PendingDeviceConfigCalls::loadPadLighting(int profile) {
    platform::debugOutputf("loadPadLighting %d: not built yet", profile);
}
void PendingDeviceConfigCalls::loadMouseDevice(int profile) {
    platform::debugOutputf("loadMouseDevice %d: not built yet", profile);
}
void PendingDeviceConfigCalls::readMouseImage(device::DeviceSession&) {
    platform::debugOutput("readMouseImage: not built yet");
}
void PendingDeviceConfigCalls::setKeyboardVariant(int variant) {
    platform::debugOutputf("KeyboardVariant %d: not built yet", variant);
}
void PendingDeviceConfigCalls::readKeyboardImage(device::DeviceSession&) {
    platform::debugOutput("readKeyboardImage: not built yet");
}
void PendingDeviceConfigCalls::loadKeyboardLighting(int profile) {
    platform::debugOutputf("loadKeyboardLighting %d: not built yet", profile);
}

} // namespace quellix::app
