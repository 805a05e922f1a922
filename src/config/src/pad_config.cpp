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

Result readPadImage(PadConfig& pad, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    FirstFailure failure;
    failure.note(session.beginTransfer().context("beginning the transfer"));
    failure.note(session.readDeviceInfo(pad.info).context("reading the device information"));
    failure.note(readImageSlots(pad, session));
    // Read and discarded, as the firmware expects before the transfer ends.
    failure.note(readActiveSlot(session).result());
    failure.note(session.endTransfer().context("ending the transfer"));
    return failure.take();
}

SlotChange selectPadSlot(PadConfig& pad, device::DeviceSession& session, int n) {
    return selectSlot(pad, session, n);
}

Result resetPadDevice(device::DeviceSession& session, platform::Clock& clock) {
    Result result = session.resetDevice();
    clock.sleep(kPadResetPause);
    return result;
}

Result resyncPadRecord(PadConfig& pad, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    const std::uint8_t recorded = pad.record.load(field::kSlot);
    if (recorded < kOnBoardSlots) {
        storeRecord(pad, recorded);
    }
    const auto active = readActiveSlot(session);
    if (!active) {
        return active.result();
    }
    pad.record.store(field::kSlot, *active);
    Result slot = readImageSlot(pad, session, *active);
    if (slot) {
        pad.image.slot(*active)[field::kSlot] = *active;
    }
    loadRecord(pad, *active);
    return slot;
}

} // namespace quellix::config
