#include "quellix/lighting/lighting_fields.h"

#include <cassert>

namespace quellix::lighting {

namespace {
std::uint8_t byteAt(std::span<const platform::SharedByte> record, std::size_t i) {
    return i < record.size() ? record[i].load() : 0;
}
} // namespace

LightingFields readLightingFields(std::span<const platform::SharedByte> record) {
    LightingFields f;
    f.slot = byteAt(record, 0);
    f.mode = byteAt(record, 1);
    f.brightness = byteAt(record, 2);
    f.speed = byteAt(record, 3);
    f.direction = byteAt(record, 4);
    f.multicolor = byteAt(record, 5);
    f.red = byteAt(record, 6);
    f.green = byteAt(record, 7);
    f.blue = byteAt(record, 8);
    return f;
}

LightingFields readSyncRecord(std::span<const platform::SharedByte> record) {
    LightingFields f;
    f.mode = byteAt(record, 0);
    f.brightness = byteAt(record, 1);
    f.speed = byteAt(record, 2);
    f.direction = byteAt(record, 3);
    f.multicolor = byteAt(record, 4);
    f.red = byteAt(record, 5);
    f.green = byteAt(record, 6);
    f.blue = byteAt(record, 7);
    return f;
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
