#include "quellix/hid/device.h"
