#include "quellix/device/device_kind.h"

namespace quellix::device {

std::optional<DeviceKind> kindFromPrefix(std::string_view prefix) {
    for (DeviceKind kind : kAllDeviceKinds) {
        if (kindPrefix(kind) == prefix) {
            return kind;
        }
    }
    return std::nullopt;
}

} // namespace quellix::device
