// TEMPORARY until the device-link branch lands.
#include "quellix/device/hid_device_record.h"
namespace quellix::device {
bool handleHungUp(HidDeviceRecord&) { return false; }
}
