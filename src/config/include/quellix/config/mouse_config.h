#pragma once
// The mouse's five slots (`MouseSlotImage`), the working copy of the current
// slot (`MouseSlotRecord`), its key pages, and the transfers and writes of
// the mouse's device settings: DPI levels, report rate, slot, reset.

#include "quellix/config/slot_layout.h"
#include "quellix/device/device_session.h"
#include "quellix/platform/shared_bytes.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace quellix::config {

// Bytes 0..32 of a slot: lighting, report rate, DPI levels, DPI stage and
// DPI colours (and one reserved byte).
inline constexpr std::size_t kMouseRecordBytes = 33;
inline constexpr std::size_t kDpiStages = 4;

namespace mouse_field {
inline constexpr std::size_t kReportRate = 14;
inline constexpr std::size_t kDpiLevels = 15; // four bytes
inline constexpr std::size_t kDpiStage = 19;
inline constexpr std::size_t kDpiColours = 20; // four times red, green, blue
// Host-only settings kept in image slot 0 and the lighting payload.
inline constexpr std::size_t kPointerSpeed = 33;
inline constexpr std::size_t kWheelSpeed = 34;
} // namespace mouse_field

inline constexpr std::size_t kMouseLightingPayloadBytes = kSlotBytes;
inline constexpr std::size_t kKeyProfileBytes = device::kKeyBlockSize;
inline constexpr std::size_t kMouseDevicePayloadBytes =
    kKeyProfileBytes + kMouseLightingPayloadBytes;

using MouseSlotImage = SlotImage<kOnBoardSlots>;
using MouseSlotRecord = platform::SharedArray<kMouseRecordBytes>;
using MouseLightingPayload = std::array<std::uint8_t, kMouseLightingPayloadBytes>;
using MouseDevicePayload = std::array<std::uint8_t, kMouseDevicePayloadBytes>;
using KeyProfilePayload = device::KeyBlock;

// The device part of a mouse slot, decoded.
struct MouseSlotSettings {
    SlotLighting lighting;
    std::uint8_t reportRate = 0;
    std::array<std::uint8_t, kDpiStages> dpiLevels{};
    std::uint8_t dpiStage = 0;
    std::array<Rgb, kDpiStages> dpiColours{};
    friend bool operator==(const MouseSlotSettings&, const MouseSlotSettings&) = default;
};
// `bytes` must hold at least kMouseRecordBytes bytes.
MouseSlotSettings decodeMouseSlot(std::span<const std::uint8_t> bytes);
void encodeMouseSlot(const MouseSlotSettings& settings, std::span<std::uint8_t> bytes);
MouseSlotSettings decodeMouseRecord(const MouseSlotRecord& record);

struct MouseConfig {
    MouseSlotImage image;
    MouseSlotRecord record;
    device::DeviceInfoBlock info{};
    device::KeyBlock defaultKeys{};
    std::array<device::KeyBlock, kOnBoardSlots> keyPages{};
    // Host settings stored with the profiles: pointer speed (the slider
    // shows speed / 2 - 1) and wheel lines per notch.
    platform::SharedByte pointerSpeed;
    platform::SharedByte wheelSpeed;
};

// Profile payloads.  The composes bring image slot 0 up to date with the
// record and the host settings first.
MouseLightingPayload composeMouseLighting(MouseConfig& mouse);
// Slot 0 <- payload (at most 64 bytes), record <- bytes 0..32, pointer and
// wheel speed <- bytes 33 and 34, where 0 reads as 1.
void applyMouseLighting(MouseConfig& mouse, std::span<const std::uint8_t> payload);
MouseDevicePayload composeMouseDevice(MouseConfig& mouse);
void applyMouseDevice(MouseConfig& mouse, std::span<const std::uint8_t, kMouseDevicePayloadBytes>);
KeyProfilePayload composeMouseKeys(const MouseConfig& mouse);
void applyMouseKeys(MouseConfig& mouse, std::span<const std::uint8_t, kKeyProfileBytes> payload);

// The information block's sensor and DPI fields.
std::uint16_t sensorId(const device::DeviceInfoBlock& info);
std::uint8_t maxDpiPosition(const device::DeviceInfoBlock& info);

// Range labels of the sensors the page knows.
struct SensorRange {
    std::uint16_t sensor;
    std::uint16_t dpiBase;
    std::string_view minimum;  // every stage
    std::string_view firstMax; // stage 1
    std::string_view otherMax; // stages 2..6
};
std::optional<SensorRange> knownSensor(std::uint16_t sensor);
// The table's base for a known sensor, else the information block's own.
std::uint16_t dpiBase(const device::DeviceInfoBlock& info);
// DPI shown for a slider position: 100 per step up to 48, 200 from 49 on.
int dpiValue(std::uint16_t base, int position);

// Reads information, default keys, the five slots and key pages, going on
// past a failed read (that part keeps its contents); the first failure.  The
// record is left alone; the caller saves the key and device profiles.
Result readMouseImage(MouseConfig& mouse, device::DeviceSession& session);

// As the pad's: the record goes to the active slot's image, n is written,
// slot n is read and becomes the record.
SlotChange selectMouseSlot(MouseConfig& mouse, device::DeviceSession& session, int n);

// The mouse shows its live configuration at offset 0: the record goes back
// to its image slot, then slot 0 is read and becomes the record (slot 0).
// The caller saves the device profile.
Result reloadMouseSlot(MouseConfig& mouse, device::DeviceSession& session);

// DPI level of stage 1..4 to position v: written at absolute offset 14 +
// stage (not relative to the current slot), then kept in the record.
Result writeDpiLevel(MouseConfig& mouse, device::DeviceSession& session, int stage,
                     std::uint8_t position);
// Report rate item r: written at the current slot's offset 14, then kept
// in the record.
Result writeReportRate(MouseConfig& mouse, device::DeviceSession& session, std::uint8_t rate);
// DPI colour of stage 1..4: the record only, nothing goes to the mouse.
void setDpiColour(MouseConfig& mouse, int stage, Rgb colour);
// Factory reset: command 13 as one exchange.  Image and record stay.
Result resetMouseDevice(device::DeviceSession& session);

} // namespace quellix::config
