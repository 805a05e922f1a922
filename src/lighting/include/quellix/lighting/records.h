#pragma once
// The records the animation workers read: each kind's slot record (its
// first bytes are the lighting fields), the synchronised-lighting record,
// the keyboard's custom colours and the keyboard's variant.  They live for
// the whole run; the pages and the device reads write them on other
// threads while the workers read them, byte by byte, without a lock.

#include "quellix/lighting/effects.h"
#include "quellix/lighting/lighting_fields.h"

#include <span>

namespace quellix::lighting {

struct LightingRecords {
    std::span<SharedByte> pad;        // PadSlotRecord
    std::span<SharedByte> mouse;      // MouseSlotRecord
    std::span<SharedByte> keyboard;   // KeyboardSlotRecord
    std::span<const SharedByte> sync; // SyncLightingRecord (8 bytes)
    CustomColours keyboardCustom;
    // 0, 1 or 2 from the keyboard's product id; none (or any other value,
    // an unknown keyboard) reads as variant 0.
    const SharedByte* keyboardVariant = nullptr;

    // Every slot record must hold at least kMinSlotRecordBytes bytes.
    SlotRecordView padRecord() const { return SlotRecordView(pad); }
    SlotRecordView mouseRecord() const { return SlotRecordView(mouse); }
    SlotRecordView keyboardRecord() const { return SlotRecordView(keyboard); }
    LightingFields syncFields() const { return readSyncRecord(sync); }
    unsigned variant() const;
};

// Records that own their bytes: what tests hand the workers, and what the
// program runs on until the configuration images provide the real ones.
// Every kind starts as the devices' factory slot 0 does: multicolour wave
// at full brightness and middle speed.
class OwnedLightingRecords {
public:
    static constexpr std::size_t kSlotBytes = 64;

    OwnedLightingRecords();
    OwnedLightingRecords(const OwnedLightingRecords&) = delete;
    OwnedLightingRecords& operator=(const OwnedLightingRecords&) = delete;

    LightingRecords records();

    SharedArray<kSlotBytes> pad;
    SharedArray<kSlotBytes> mouse;
    SharedArray<kSlotBytes> keyboard;
    SharedArray<kSyncRecordBytes> sync;
    SharedArray<4> customState;
    SharedArray<kCustomSets * kCustomSetBytes> customTable;
    SharedByte keyboardVariant{0};
};

// The lighting fields every kind's factory slot 0 holds.
inline constexpr LightingFields kFactoryLighting{0, 0, 4, 2, 0, 1, 255, 0, 0};

} // namespace quellix::lighting
