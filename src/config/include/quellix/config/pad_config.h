#pragma once
// The mouse pad's five lighting slots as the host mirrors them
// (`PadSlotImage`), the working copy of the current slot that the lighting
// page edits and the animation workers read (`PadSlotRecord`), and the
// transfers that fill them.
//
// The pad's lighting is computed on the host, so the only byte ever written
// into the pad is the index of its active slot.

#include "quellix/config/slot_layout.h"
#include "quellix/device/device_session.h"
#include "quellix/platform/clock.h"
#include "quellix/platform/shared_bytes.h"

#include <array>
#include <span>

namespace quellix::config {

// Bytes 0..20 of a slot: the lighting bytes and twelve reserved bytes that
// travel unchanged between pad, image, record and profile.
inline constexpr std::size_t kPadRecordBytes = 21;
inline constexpr std::size_t kPadLightingPayloadBytes = kSlotBytes;

using PadSlotImage = SlotImage<kOnBoardSlots>;
// Shared with the lighting workers: each byte is a relaxed atomic.
using PadSlotRecord = platform::SharedArray<kPadRecordBytes>;
using PadLightingPayload = std::array<std::uint8_t, kPadLightingPayloadBytes>;

struct PadConfig {
    PadSlotImage image;
    PadSlotRecord record;
    device::DeviceInfoBlock info{};
};

// The pad lighting profile's payload: the record is stored into image slot
// 0 first, then slot 0 is the payload.
PadLightingPayload composePadLighting(PadConfig& pad);
// Copies `payload` (at most 64 bytes; the 56-byte factory default fills the
// front) into image slot 0 and the record from bytes 0..20 of that slot.
void applyPadLighting(PadConfig& pad, std::span<const std::uint8_t> payload);

// Reads the information block and the five slots into the image; the
// record is left alone.  A slot whose read fails keeps its contents, so an
// absent pad leaves the image as it was; the first failure is returned.
Result readPadImage(PadConfig& pad, device::DeviceSession& session);

// Makes on-board slot n active: the record's edits go to the image slot
// that was active, n is written to the pad and slot n becomes the record.
SlotChange selectPadSlot(PadConfig& pad, device::DeviceSession& session, int n);

// Restores the pad's factory settings (one exchange of command 13) and
// waits one second on `clock`.  The caller then re-reads the image.
Result resetPadDevice(device::DeviceSession& session, platform::Clock& clock);
inline constexpr std::chrono::milliseconds kPadResetPause{1000};

// Re-synchronises the record with the slot the pad reports active: the
// record goes back to its image slot, the active slot is read into the
// image and becomes the record.  The caller saves the lighting profile.
Result resyncPadRecord(PadConfig& pad, device::DeviceSession& session);

} // namespace quellix::config
