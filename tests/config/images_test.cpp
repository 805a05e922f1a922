// The images, records and profile payloads as plain data.

#include "quellix/config/device_configs.h"
#include "quellix/lighting/lighting_fields.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace quellix::config {
namespace {

template <std::size_t N> std::array<std::uint8_t, N> counting(std::uint8_t start = 1) {
    std::array<std::uint8_t, N> bytes{};
    std::iota(bytes.begin(), bytes.end(), start);
    return bytes;
}

TEST(SlotLayout, LightingBytesRoundTrip) {
    const SlotLighting lighting{3, 7, 4, 1, 1, 1, {10, 20, 30}};
    std::array<std::uint8_t, kLightingBytes> bytes{};
    encodeLighting(lighting, bytes);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 9>{3, 7, 4, 1, 1, 1, 10, 20, 30}));
    EXPECT_EQ(decodeLighting(bytes), lighting);
}

// The lighting workers read a slot record through their own view: every
// kind's record must carry the fields and the cycle counter where it looks.
TEST(SlotLayout, RecordsFitTheLightingView) {
    DeviceConfigs configs;
    const auto fields = counting<kLightingBytes>(1);
    configs.pad.record.copyIn(fields);
    configs.mouse.record.copyIn(fields);
    configs.keyboard.record.copyIn(fields);
    for (auto record : {configs.pad.record.span().first(kPadRecordBytes),
                        configs.mouse.record.span().first(kPadRecordBytes),
                        configs.keyboard.record.span().first(kPadRecordBytes)}) {
        const lighting::SlotRecordView view(record);
        const auto f = view.fields();
        EXPECT_EQ(f.slot, 1);
        EXPECT_EQ(f.mode, 2);
        EXPECT_EQ(f.blue, 9);
        view.cycleCounter().store(2);
        EXPECT_EQ(record[keyboard_field::kBreathingCounter].load(), 2);
    }
}

TEST(MouseSlot, DecodesEveryFieldAtItsOffset) {
    std::array<std::uint8_t, kSlotBytes> slot{};
    slot[1] = 5;
    slot[14] = 3;
    slot[15] = 6;
    slot[16] = 14;
    slot[17] = 30;
    slot[18] = 55;
    slot[19] = 1;
    slot[20] = 255;
    slot[24] = 255;
    slot[31] = 7;
    const MouseSlotSettings s = decodeMouseSlot(slot);
    EXPECT_EQ(s.lighting.mode, 5);
    EXPECT_EQ(s.reportRate, 3);
    EXPECT_EQ(s.dpiLevels, (std::array<std::uint8_t, 4>{6, 14, 30, 55}));
    EXPECT_EQ(s.dpiStage, 1);
    EXPECT_EQ(s.dpiColours[0], (Rgb{255, 0, 0}));
    EXPECT_EQ(s.dpiColours[1], (Rgb{0, 255, 0}));
    EXPECT_EQ(s.dpiColours[3], (Rgb{0, 0, 7}));
    std::array<std::uint8_t, kSlotBytes> again{};
    encodeMouseSlot(s, again);
    EXPECT_EQ(again, slot);
}

TEST(KeyboardSlot, DecodesColoursStyleAndFlags) {
    std::array<std::uint8_t, kSlotBytes> slot{};
    slot[26] = 1;
    slot[27] = 2;
    slot[28] = 3;
    slot[29] = 1;
    slot[30] = 1;
    slot[36] = 4;
    slot[38] = 6;
    slot[39] = 1;
    const KeyboardSlotSettings s = decodeKeyboardSlot(slot);
    EXPECT_EQ(s.colourA, (Rgb{1, 2, 3}));
    EXPECT_EQ(s.multicolourA, 1);
    EXPECT_EQ(s.style, 1);
    EXPECT_EQ(s.colourB, (Rgb{4, 0, 6}));
    EXPECT_EQ(s.multicolourB, 1);
    std::array<std::uint8_t, kSlotBytes> again{};
    encodeKeyboardSlot(s, again);
    EXPECT_EQ(again, slot);
}

TEST(PadPayload, SaveBringsSlotZeroUpToDateAndKeepsTheTail) {
    PadConfig pad;
    const auto payload = counting<kPadLightingPayloadBytes>(1);
    applyPadLighting(pad, payload);
    EXPECT_EQ(pad.record.load(0), 1);
    EXPECT_EQ(pad.record.load(20), 21);
    pad.record.store(field::kMode, 9);
    const auto saved = composePadLighting(pad);
    EXPECT_EQ(saved[field::kMode], 9);
    // Bytes the pad never gives (56..63) come back as the profile left them.
    for (std::size_t i = 21; i < kSlotBytes; ++i) {
        EXPECT_EQ(saved[i], payload[i]) << i;
    }
}

TEST(PadPayload, SaveBeforeAnyLoadIsZeroAtTheFront) {
    PadConfig pad;
    pad.image.slot(0)[30] = 5;
    const auto saved = composePadLighting(pad);
    for (std::size_t i = 0; i < kPadRecordBytes; ++i) {
        EXPECT_EQ(saved[i], 0) << i;
    }
    EXPECT_EQ(saved[30], 5);
}

TEST(PadPayload, FactoryDefaultFillsOnlyTheTransferredBytes) {
    PadConfig pad;
    pad.image.slot(0)[60] = 0xEE;
    const std::vector<std::uint8_t> defaults(kTransferBytes, 2);
    applyPadLighting(pad, defaults);
    EXPECT_EQ(pad.image.slot(0)[55], 2);
    EXPECT_EQ(pad.image.slot(0)[60], 0xEE);
    EXPECT_EQ(pad.record.load(0), 2);
}

TEST(MousePayload, ZeroPointerOrWheelSpeedLoadsAsOne) {
    struct Case {
        std::uint8_t pointer, wheel, expectPointer, expectWheel;
    };
    for (const Case c :
         {Case{0, 0, 1, 1}, Case{10, 0, 10, 1}, Case{0, 3, 1, 3}, Case{8, 5, 8, 5}}) {
        MouseConfig mouse;
        MouseLightingPayload payload{};
        payload[mouse_field::kPointerSpeed] = c.pointer;
        payload[mouse_field::kWheelSpeed] = c.wheel;
        applyMouseLighting(mouse, payload);
        EXPECT_EQ(mouse.pointerSpeed.load(), c.expectPointer);
        EXPECT_EQ(mouse.wheelSpeed.load(), c.expectWheel);
    }
}

TEST(MousePayload, DevicePayloadIsKeyPageThenLightingSlot) {
    MouseConfig mouse;
    mouse.keyPages[0] = counting<device::kKeyBlockSize>(0);
    mouse.record.store(mouse_field::kReportRate, 2);
    mouse.pointerSpeed.store(12);
    mouse.wheelSpeed.store(3);
    mouse.image.slot(0)[63] = 0x77;
    const auto payload = composeMouseDevice(mouse);
    EXPECT_EQ(payload[0], 0);
    EXPECT_EQ(payload[511], 255);
    EXPECT_EQ(payload[512 + mouse_field::kReportRate], 2);
    EXPECT_EQ(payload[512 + mouse_field::kPointerSpeed], 12);
    EXPECT_EQ(payload[512 + mouse_field::kWheelSpeed], 3);
    EXPECT_EQ(payload[575], 0x77);

    MouseConfig other;
    applyMouseDevice(other, payload);
    EXPECT_EQ(other.keyPages[0], mouse.keyPages[0]);
    EXPECT_EQ(other.image.slot(0)[63], 0x77);
    EXPECT_EQ(other.record.load(mouse_field::kReportRate), 2);
    EXPECT_EQ(other.wheelSpeed.load(), 3);
}

TEST(KeyboardPayload, LayoutOfImageCustomStateAndColourSets) {
    KeyboardConfig keyboard;
    keyboard.record.store(keyboard_field::kStyle, 1);
    keyboard.image.slot(0)[50] = 0x50;
    keyboard.custom.store(0, 4);
    keyboard.custom.store(3, 0xBB);
    // Set 2, key 5, blue.
    keyboard.keyColours.store(2 * kKeyColourSetBytes + 3 * 5 + 2, 0xCC);
    const auto payload = composeKeyboardLighting(keyboard);
    EXPECT_EQ(payload.size(), 1958u);
    EXPECT_EQ(payload[keyboard_field::kStyle], 1);
    EXPECT_EQ(payload[50], 0x50);
    EXPECT_EQ(payload[64], 4);
    EXPECT_EQ(payload[67], 0xBB);
    EXPECT_EQ(payload[68 + 378 * 2 + 3 * 5 + 2], 0xCC);

    KeyboardConfig other;
    applyKeyboardLighting(other, payload);
    EXPECT_EQ(other.record.load(keyboard_field::kStyle), 1);
    EXPECT_EQ(other.image.slot(0)[50], 0x50);
    EXPECT_EQ(other.custom.snapshot(), keyboard.custom.snapshot());
    EXPECT_EQ(other.keyColours.snapshot(), keyboard.keyColours.snapshot());
}

TEST(Dpi, ValueOfASliderPosition) {
    struct Case {
        std::uint16_t base;
        int position, dpi;
    };
    for (const Case c : {Case{200, 6, 800}, Case{200, 48, 5000}, Case{200, 49, 5200},
                         Case{200, 55, 6400}, Case{200, 73, 10000}, Case{50, 60, 7250}}) {
        EXPECT_EQ(dpiValue(c.base, c.position), c.dpi) << c.base << " " << c.position;
    }
}

TEST(Dpi, SensorTableGivesBaseAndRanges) {
    device::DeviceInfoBlock info{};
    info[9] = 0x10;
    info[10] = 0x33;
    info[13] = 0x90; // the block's own base (400) is replaced by the table's
    info[14] = 0x01;
    EXPECT_EQ(sensorId(info), 0x3310);
    EXPECT_EQ(dpiBase(info), 50);
    const auto range = knownSensor(0x3310);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->firstMax, "10000");
    EXPECT_EQ(range->otherMax, "5000");

    info[9] = 0x99; // unknown sensor: the block's base stands
    EXPECT_FALSE(knownSensor(sensorId(info)));
    EXPECT_EQ(dpiBase(info), 400);
}

TEST(Keyboard, VariantsByProductId) {
    EXPECT_EQ(device::keyboardVariantFor(0x7513), 0);
    EXPECT_EQ(device::keyboardVariantFor(0x0632), 1);
    EXPECT_EQ(device::keyboardVariantFor(0x763E), 2);
    EXPECT_FALSE(device::keyboardVariantFor(0x5F01));
    EXPECT_EQ(defaultKeyProfileFile(1), "kbkey15default.pro");
}

TEST(Keyboard, PictureToLedMaps) {
    struct Case {
        int variant;
        std::size_t picture;
        std::uint8_t led;
    };
    for (const Case c :
         {Case{0, 12, 12}, Case{0, 13, 14}, Case{0, 16, kNoLed}, Case{0, 21, 21},
          Case{0, 62, kNoLed}, Case{0, 119, 62}, Case{0, 125, kNoLed}, Case{1, 15, 15},
          Case{1, 38, 53}, Case{1, 39, 35}, Case{2, 55, 75}, Case{2, 119, 62}}) {
        EXPECT_EQ(pictureToLed(c.variant)[c.picture], c.led)
            << "variant " << c.variant << " picture " << c.picture;
    }
}

} // namespace
} // namespace quellix::config
