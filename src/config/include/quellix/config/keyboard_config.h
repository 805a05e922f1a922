#pragma once
// The keyboard's variants, its one configuration slot (`KeyboardConfigImage`)
// and working record (`KeyboardSlotRecord`), the custom colour state and the
// per-key colour sets, the reads, and the configuration writes the lighting
// page makes.

#include "quellix/config/slot_layout.h"
#include "quellix/device/device_kind.h"
#include "quellix/device/device_session.h"
#include "quellix/platform/shared_bytes.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace quellix::config {

// The variants 0 (full colour, per-key colours), 1 (one colour, per-key
// on/off) and 2 (full colour, per-key colours); the device table says which
// product id is which (device::keyboardVariantFor).
inline constexpr int kKeyboardVariants = device::kKeyboardVariants;
// The factory key profile of a variant ("kbkeydefault.pro", ...).
std::string_view defaultKeyProfileFile(int variant);

inline constexpr std::size_t kKeyboardRecordBytes = 40;
namespace keyboard_field {
inline constexpr std::size_t kBreathingCounter = 9;
inline constexpr std::size_t kColourA = 26;
inline constexpr std::size_t kMulticolourA = 29;
inline constexpr std::size_t kStyle = 30;
inline constexpr std::size_t kColourB = 36;
inline constexpr std::size_t kMulticolourB = 39;
} // namespace keyboard_field

inline constexpr std::size_t kCustomColourBytes = 4;
inline constexpr std::size_t kKeyColourSets = 5;
inline constexpr std::size_t kKeyboardLeds =
    device::kindInfo(device::DeviceKind::Keyboard).ledCount;
inline constexpr std::size_t kKeyColourSetBytes = 3 * kKeyboardLeds;
inline constexpr std::size_t kKeyColourTableBytes = kKeyColourSets * kKeyColourSetBytes;
inline constexpr std::size_t kKeyboardLightingPayloadBytes =
    kSlotBytes + kCustomColourBytes + kKeyColourTableBytes; // 1958

using KeyboardConfigImage = SlotImage<1>;
using KeyboardSlotRecord = platform::SharedArray<kKeyboardRecordBytes>;
// Set in use (0..4), then red, green, blue of the painting colour.
using CustomColourState = platform::SharedArray<kCustomColourBytes>;
// Set p, LED k: red, green, blue at 378 p + 3 k.  Variant 1 keeps one byte
// per LED (255 lit, 0 off) in the first 126 bytes of a set.
using KeyColourTable = platform::SharedArray<kKeyColourTableBytes>;
using KeyboardLightingPayload = std::array<std::uint8_t, kKeyboardLightingPayloadBytes>;

// The keyboard's slot, decoded.
struct KeyboardSlotSettings {
    SlotLighting lighting;
    Rgb colourA;
    std::uint8_t multicolourA = 0;
    std::uint8_t style = 0;
    Rgb colourB;
    std::uint8_t multicolourB = 0;
    friend bool operator==(const KeyboardSlotSettings&, const KeyboardSlotSettings&) = default;
};
KeyboardSlotSettings decodeKeyboardSlot(std::span<const std::uint8_t> bytes);
void encodeKeyboardSlot(const KeyboardSlotSettings& settings, std::span<std::uint8_t> bytes);

// Picture index (the keyboard picture's "kb_dkey_" buttons) to LED number;
// kNoLed where a picture key has no LED.
inline constexpr std::uint8_t kNoLed = 126;
inline constexpr std::size_t kPictureKeys = 126;
const std::array<std::uint8_t, kPictureKeys>& pictureToLed(int variant);

struct KeyboardConfig {
    platform::SharedByte variant; // chosen at detection, kept when unplugged
    KeyboardConfigImage image;
    KeyboardSlotRecord record;
    CustomColourState custom;
    KeyColourTable keyColours;
    device::DeviceInfoBlock info{};
    device::KeyBlock defaultKeys{};
    device::KeyBlock keyPage{};
};

KeyboardLightingPayload composeKeyboardLighting(KeyboardConfig& keyboard);
void applyKeyboardLighting(KeyboardConfig& keyboard,
                           std::span<const std::uint8_t, kKeyboardLightingPayloadBytes> payload);
device::KeyBlock composeKeyboardKeys(const KeyboardConfig& keyboard);
void applyKeyboardKeys(KeyboardConfig& keyboard,
                       std::span<const std::uint8_t, device::kKeyBlockSize> payload);

// Reads information, default keys, the slot and key page 0; sets the
// session's block length to 3 x the key count.  Unsupported when the
// keyboard reports more than 170 keys: the key tables would not hold them,
// so nothing after the information block is read and the transfer is left
// open.  Otherwise the first failed read (the others still run).  The
// record is left alone; the caller rebuilds the key map and saves the key
// profile.
Result readKeyboardImage(KeyboardConfig& keyboard, device::DeviceSession& session);

// The keyboard's own change notification: the record goes back into the
// image, slot 0 is read and becomes the record (slot 0).  The caller saves
// the lighting profile.
Result reloadKeyboardSlot(KeyboardConfig& keyboard, device::DeviceSession& session);

// Reads the factory key table alone (commands 1, 3, 7, 2).
Result readKeyboardDefaultKeys(KeyboardConfig& keyboard, device::DeviceSession& session);

// One configuration write: 1 or 3 bytes at a slot offset.
struct KeyboardWrite {
    std::uint16_t offset = 0;
    std::uint8_t length = 1;
    std::array<std::uint8_t, 3> bytes{};
};
// Command 19 as one exchange, then each write with command 6; the first
// failing write's result.
Result writeKeyboardConfig(device::DeviceSession& session, std::span<const KeyboardWrite> writes);
// The lighting page's colour: colour A and colour B written together,
// with the frame stream paused around the writes.
Result writeKeyboardColour(device::DeviceSession& session, Rgb colour);

} // namespace quellix::config
