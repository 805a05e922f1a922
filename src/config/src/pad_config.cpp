#include "quellix/config/pad_config.h"

#include "slot_transfers.h"

#include <algorithm>
#include <mutex>

namespace quellix::config {

PadLightingPayload composePadLighting(PadConfig& pad) {
    storeRecord(pad, 0);
    PadLightingPayload payload{};
    std::ranges::copy(pad.image.slot(0), payload.begin());
    return payload;
}

void applyPadLighting(PadConfig& pad, std::span<const std::uint8_t> payload) {
    const std::size_t n = std::min(payload.size(), kSlotBytes);
    std::copy_n(payload.begin(), n, pad.image.slot(0).begin());
    loadRecord(pad, 0);
}

void readPadImage(PadConfig& pad, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    session.beginTransfer();
    session.readDeviceInfo(pad.info);
    for (std::size_t s = 0; s < kOnBoardSlots; ++s) {
        readImageSlot(pad, session, s);
    }
    readActiveSlot(session); // read and discarded, as the firmware expects
    session.endTransfer();
}

SlotSelection selectPadSlot(PadConfig& pad, device::DeviceSession& session, int n) {
    return selectSlot(pad, session, n);
}

void resetPadDevice(device::DeviceSession& session, platform::Clock& clock) {
    session.resetDevice();
    clock.sleep(kPadResetPause);
}

void resyncPadRecord(PadConfig& pad, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    const std::uint8_t recorded = pad.record.load(field::kSlot);
    if (recorded < kOnBoardSlots) {
        storeRecord(pad, recorded);
    }
    const auto active = readActiveSlot(session);
    if (!active) {
        return;
    }
    pad.record.store(field::kSlot, *active);
    if (readImageSlot(pad, session, *active)) {
        pad.image.slot(*active)[field::kSlot] = *active;
    }
    loadRecord(pad, *active);
}

} // namespace quellix::config
