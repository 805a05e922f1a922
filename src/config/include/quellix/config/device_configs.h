#pragma once
// Everything the program mirrors of the three devices, in one object that
// lives for the whole run.  The main window holds it; the connection
// sequences, the pages and the lighting workers reach the images and
// records through it.
//
// The records and the keyboard's colour state are shared bytes that the
// lighting workers read without a lock.  Everything else (the images, the
// information blocks and the key tables) is changed only
// with the kind's session lock held: the transfers take it themselves, and
// whoever composes or applies a profile payload takes it around the call.

#include "quellix/config/keyboard_config.h"
#include "quellix/config/mouse_config.h"
#include "quellix/config/pad_config.h"

namespace quellix::config {

struct DeviceConfigs {
    KeyboardConfig keyboard;
    MouseConfig mouse;
    PadConfig pad;
};

} // namespace quellix::config
