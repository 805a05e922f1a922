#include "quellix/config/pad_config.h"

#include <algorithm>
#include <mutex>

namespace quellix::config {

namespace {

// The pad's active slot, or nothing when it did not answer or named a slot
// beyond the five (which no image slot could hold).
std::optional<std::uint8_t> readActiveSlot(device::DeviceSession& session) {
    std::uint8_t active = 0;
    if (!readSlotBytes(session, kActiveSlotOffset, std::span(&active, 1)) ||
        active >= kOnBoardSlots) {
        return std::nullopt;
    }
    return active;
}

std::span<std::uint8_t> transferredPart(PadConfig& pad, std::size_t s) {
    return pad.image.slot(s).first(kTransferBytes);
}

bool readSlot(PadConfig& pad, device::DeviceSession& session, std::size_t s) {
    return readSlotBytes(session, static_cast<std::uint16_t>(s * kSlotBytes),
                         transferredPart(pad, s));
}

void storeRecord(PadConfig& pad, std::size_t s) {
    pad.record.copyOut(pad.image.slot(s).first(kPadRecordBytes));
}

void loadRecord(PadConfig& pad, std::size_t s) {
    pad.record.copyIn(pad.image.slot(s).first(kPadRecordBytes));
}

} // namespace

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
        readSlot(pad, session, s);
    }
    readActiveSlot(session); // read and discarded, as the firmware expects
    session.endTransfer();
}

SlotSelection selectPadSlot(PadConfig& pad, device::DeviceSession& session, int n) {
    if (n < 0 || n >= static_cast<int>(kOnBoardSlots)) {
        return SlotSelection::OutOfRange;
    }
    std::lock_guard hold(session.lock);
    const auto current = readActiveSlot(session);
    if (!current) {
        return SlotSelection::Unanswered;
    }
    if (*current == n) {
        return SlotSelection::AlreadyActive;
    }
    storeRecord(pad, *current);
    const std::uint8_t slot = static_cast<std::uint8_t>(n);
    session.writeBlock(kActiveSlotOffset, std::span(&slot, 1));
    readSlot(pad, session, slot);
    loadRecord(pad, slot);
    pad.record.store(field::kSlot, slot);
    return SlotSelection::Switched;
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
    if (readSlot(pad, session, *active)) {
        pad.image.slot(*active)[field::kSlot] = *active;
    }
    loadRecord(pad, *active);
}

} // namespace quellix::config
