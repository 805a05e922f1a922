#pragma once
// The nine lighting bytes that begin every kind's slot record, and the view
// of a slot record that the effects work on.

#include "quellix/lighting/colour.h"
#include "quellix/lighting/tables/levels.h"
#include "quellix/platform/shared_bytes.h"

#include <cstdint>
#include <span>

namespace quellix::lighting {

struct LightingFields {
    std::uint8_t slot = 0;
    std::uint8_t mode = 0;
    std::uint8_t brightness = 0; // 0..4
    std::uint8_t speed = 0;      // 0..4, 0 fastest
    std::uint8_t direction = 0;  // non-zero: left / up / forwards
    std::uint8_t multicolor = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    Rgb colour() const { return {red, green, blue}; }
    std::uint8_t level() const { return tables::brightnessLevel(brightness); }
    bool forwards() const { return direction != 0; }
    bool multicolour() const { return multicolor != 0; }
};

inline constexpr std::size_t kLightingFieldBytes = 9;
// Byte 9 of a slot record: breathing counts its cycles there (0, 1, 2, 0, …).
inline constexpr std::size_t kCycleCounterByte = 9;
inline constexpr std::size_t kMinSlotRecordBytes = 10;
// The synchronised-lighting record: bytes 1..8 of the fields (no slot).
inline constexpr std::size_t kSyncRecordBytes = 8;

// Reads the first nine bytes of a record; a shorter span reads as zeros past
// its end.
LightingFields readLightingFields(std::span<const platform::SharedByte> record);
// Reads the 8-byte synchronised-lighting record (mode .. blue).
LightingFields readSyncRecord(std::span<const platform::SharedByte> record);
// Writes the nine bytes into a record of at least nine bytes.
void writeLightingFields(const LightingFields& fields, std::span<platform::SharedByte> record);

// A kind's slot record as the effect steps see it: the lighting fields,
// read once per step, and the cycle counter that breathing writes.
class SlotRecordView {
public:
    // `record` must hold at least kMinSlotRecordBytes bytes.
    explicit SlotRecordView(std::span<platform::SharedByte> record);
    LightingFields fields() const { return readLightingFields(record_); }
    platform::SharedByte& cycleCounter() const { return record_[kCycleCounterByte]; }

private:
    std::span<platform::SharedByte> record_;
};

} // namespace quellix::lighting
