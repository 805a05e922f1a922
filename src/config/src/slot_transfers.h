#pragma once
// The slot transfers the pad and the mouse share: both mirror five on-board
// slots in an image and keep the active one's first bytes as their record.

#include "quellix/config/slot_layout.h"
#include "quellix/device/device_session.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace quellix::config {

// The active slot; a failure when the device did not answer or named a
// slot beyond the five (which no image slot could hold).
Outcome<std::uint8_t> readActiveSlot(device::DeviceSession& session);

// Reads slot `s` into the image; a slot whose read fails keeps its contents.
template <typename Config>
Result readImageSlot(Config& config, device::DeviceSession& session, std::size_t s) {
    return readSlotBytes(session, static_cast<std::uint16_t>(s * kSlotBytes),
                         config.image.slot(s).first(kTransferBytes))
        .context("reading slot " + std::to_string(s));
}

// Mirrors the five slots into the image, each slot's read going on past a
// failed one; the first failure.
template <typename Config> Result readImageSlots(Config& config, device::DeviceSession& session) {
    FirstFailure failure;
    for (std::size_t s = 0; s < kOnBoardSlots; ++s) {
        failure.note(readImageSlot(config, session, s));
    }
    return failure.take();
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
// When the device does not take the new slot, nothing changes on the host
// either, so the page keeps showing what the device has.
template <typename Config>
SlotChange selectSlot(Config& config, device::DeviceSession& session, int n) {
    if (n < 0 || n >= static_cast<int>(kOnBoardSlots)) {
        return {SlotSelection::OutOfRange,
                Result::failure(Status::BadArgument, "slot " + std::to_string(n) + " of 0..4")};
    }
    std::lock_guard hold(session.lock);
    auto current = readActiveSlot(session);
    if (!current) {
        return {SlotSelection::Unanswered, current.result()};
    }
    if (*current == n) {
        return {SlotSelection::AlreadyActive, Result::success()};
    }
    const std::uint8_t slot = static_cast<std::uint8_t>(n);
    if (Result written = session.writeBlock(kActiveSlotOffset, std::span(&slot, 1)); !written) {
        return {SlotSelection::WriteFailed,
                std::move(written).context("choosing slot " + std::to_string(n))};
    }
    storeRecord(config, *current);
    // A slot whose read fails keeps what the image had for it, and the
    // device has switched all the same: the selection stands.
    Result read = readImageSlot(config, session, slot);
    loadRecord(config, slot);
    config.record.store(field::kSlot, slot);
    return {SlotSelection::Switched, std::move(read)};
}

} // namespace quellix::config
