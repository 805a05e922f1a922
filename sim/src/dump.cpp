#include "dump.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace quellix::sim {
namespace {

void hexRows(std::ostringstream& out, const std::vector<std::uint8_t>& bytes, std::size_t begin,
             std::size_t end) {
    constexpr std::size_t kPerRow = 16;
    for (std::size_t row = begin; row < end; row += kPerRow) {
        char label[24];
        std::snprintf(label, sizeof label, "  %04zx:", row);
        out << label;
        for (std::size_t i = row; i < row + kPerRow && i < end; ++i) {
            char cell[4];
            std::snprintf(cell, sizeof cell, " %02x", bytes[i]);
            out << cell;
        }
        out << '\n';
    }
}

} // namespace

std::string formatDump(const Firmware& firmware, const DeviceStats& stats, bool plugged) {
    std::ostringstream out;
    char id[32];
    std::snprintf(id, sizeof id, "%04x:%04x", device::kindInfo(firmware.model()).vendorId,
                  firmware.productId());
    out << modelName(firmware.model()) << ' ' << id << (plugged ? " plugged" : " unplugged")
        << '\n';
    out << "frames received " << stats.framesReceived << ", replies sent " << stats.repliesSent
        << ", error replies " << stats.errorReplies << ", resets " << stats.resets
        << ", in transfer " << (stats.inTransfer ? "yes" : "no") << '\n';
    out << "led frames " << stats.ledFrames << ", last frame " << stats.lastLedFrame.size()
        << " bytes\n";
    hexRows(out, stats.lastLedFrame, 0, stats.lastLedFrame.size());
    const auto& info = firmware.region(Region::Info);
    out << "info block\n";
    hexRows(out, info, 0, info.size());
    const auto& slots = firmware.region(Region::Slots);
    out << "slot memory (active slot " << static_cast<int>(slots.at(0)) << ")\n";
    hexRows(out, slots, 0, slots.size());
    const auto& keys = firmware.region(Region::KeyPages);
    if (!keys.empty()) {
        out << "key page 0\n";
        hexRows(out, keys, 0, std::min<std::size_t>(keys.size(), 378));
    }
    return out.str();
}

DeviceStats collectStats(DeviceStats stats, const std::deque<Report>& requestLog,
                         const Firmware* firmware) {
    stats.requestLog.assign(requestLog.begin(), requestLog.end());
    if (firmware != nullptr) {
        stats.ledFrames = firmware->ledFrames();
        stats.lastLedFrame = firmware->lastLedFrame();
        stats.resets = firmware->resets();
        stats.inTransfer = firmware->inTransfer();
    }
    return stats;
}

} // namespace quellix::sim
