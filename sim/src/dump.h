#pragma once
// Human-readable snapshot of a device for `quellix-sim dump`.

#include "firmware.h"
#include "quellix/sim/simulator.h"

#include <deque>
#include <string>

namespace quellix::sim {

std::string formatDump(const Firmware& firmware, const DeviceStats& stats, bool plugged);

// A served device's counters with its request log and what its firmware
// counted (none when it was never plugged).
DeviceStats collectStats(DeviceStats stats, const std::deque<Report>& requestLog,
                         const Firmware* firmware);

} // namespace quellix::sim
