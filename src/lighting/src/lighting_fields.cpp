#include "quellix/lighting/lighting_fields.h"

#include <cassert>
#include <iterator>

namespace quellix::lighting {

namespace {
std::uint8_t byteAt(std::span<const platform::SharedByte> record, std::size_t i) {
    return i < record.size() ? record[i].load() : 0;
}

// The eight fields that follow the slot byte, from record[first] on.  Slot
// records keep them after their slot byte; the synchronised record has no
// slot and starts with the mode.
LightingFields readFieldsFrom(std::span<const platform::SharedByte> record, std::size_t first) {
    LightingFields f;
    std::uint8_t* const fields[] = {&f.mode,       &f.brightness, &f.speed, &f.direction,
                                    &f.multicolor, &f.red,        &f.green, &f.blue};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = byteAt(record, first + i);
    return f;
}

} // namespace

LightingFields readLightingFields(std::span<const platform::SharedByte> record) {
    LightingFields f = readFieldsFrom(record, 1);
    f.slot = byteAt(record, 0);
    return f;
}

LightingFields readSyncRecord(std::span<const platform::SharedByte> record) {
    return readFieldsFrom(record, 0);
}

void writeLightingFields(const LightingFields& f, std::span<platform::SharedByte> record) {
    assert(record.size() >= kLightingFieldBytes);
    const std::uint8_t bytes[kLightingFieldBytes] = {
        f.slot, f.mode, f.brightness, f.speed, f.direction, f.multicolor, f.red, f.green, f.blue};
    for (std::size_t i = 0; i < kLightingFieldBytes && i < record.size(); ++i)
        record[i].store(bytes[i]);
}

SlotRecordView::SlotRecordView(std::span<platform::SharedByte> record) : record_(record) {
    assert(record.size() >= kMinSlotRecordBytes);
}

} // namespace quellix::lighting
