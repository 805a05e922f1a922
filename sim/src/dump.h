#pragma once
// Human-readable snapshot of a device for `quellix-sim dump`.

#include "firmware.h"
#include "quellix/sim/simulator.h"

#include <string>

namespace quellix::sim {

std::string formatDump(const Firmware& firmware, const DeviceStats& stats, bool plugged);

} // namespace quellix::sim
