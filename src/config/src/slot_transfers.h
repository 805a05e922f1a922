#pragma once
// The slot transfers the pad and the mouse share: both mirror five on-board
// slots in an image and keep the active one's first bytes as their record.

#include "quellix/config/slot_layout.h"
#include "quellix/device/device_session.h"

#include <cstdint>
#include <mutex>
#include <optional>

namespace quellix::config {

// The active slot, or nothing when the device did not answer or named a
// slot beyond the five (which no image slot could hold).
std::optional<std::uint8_t> readActiveSlot(device::DeviceSession& session);

// Reads slot `s` into the image; a slot whose read fails keeps its contents.
template <typename Config>
bool readImageSlot(Config& config, device::DeviceSession& session, std::size_t s) {
    return readSlotBytes(session, static_cast<std::uint16_t>(s * kSlotBytes),
                         config.image.slot(s).first(kTransferBytes));
}

// The record back into its image slot, and an image slot into the record.
template <typename Config> void storeRecord(Config& config, std::size_t s) {
    config.record.copyOut(config.image.slot(s).first(config.record.size()));
}
template <typename Config> void loadRecord(Config& config, std::size_t s) {
    config.record.copyIn(config.image.slot(s).first(config.record.size()));
}

// Makes on-board slot n active: the record's edits go to the image slot that
// was active, n is written to the device and slot n becomes the record.
template <typename Config>
SlotSelection selectSlot(Config& config, device::DeviceSession& session, int n) {
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
    storeRecord(config, *current);
    const std::uint8_t slot = static_cast<std::uint8_t>(n);
    session.writeBlock(kActiveSlotOffset, std::span(&slot, 1));
    readImageSlot(config, session, slot);
    loadRecord(config, slot);
    config.record.store(field::kSlot, slot);
    return SlotSelection::Switched;
}

} // namespace quellix::config
