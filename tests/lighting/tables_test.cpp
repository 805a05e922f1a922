#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"
#include "quellix/lighting/tables/key_matrix.h"
#include "quellix/lighting/tables/key_paths.h"
#include "quellix/lighting/tables/led_maps.h"
#include "quellix/lighting/tables/levels.h"
#include "quellix/lighting/tables/pad_mouse_layout.h"
#include "quellix/lighting/tables/pulse_colours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace quellix::lighting::tables {
namespace {

std::set<int> matrixKeys() {
    std::set<int> keys;
    for (const auto& column : kKeyMatrix)
        for (std::uint8_t k : column)
            if (k != kNoKey)
                keys.insert(k);
    return keys;
}

TEST(LightingTables, ColourWheelSegmentsAndRepeat) {
    struct Case {
        int index;
        Rgb expected;
    };
    const Case cases[] = {
        {0, {255, 1, 0}},     {14, {255, 65, 0}}, {31, {255, 255, 0}}, {32, {248, 255, 0}},
        {63, {0, 255, 0}},    {64, {0, 255, 1}},  {96, {0, 248, 255}}, {128, {1, 0, 255}},
        {160, {255, 0, 248}}, {191, {255, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kColourWheel[c.index], c.expected) << "W[" << c.index << "]";
    for (int i = 192; i < 256; ++i)
        EXPECT_EQ(kColourWheel[i], kColourWheel[i - 192]) << i;
}

TEST(LightingTables, CurvesAtTheirEdges) {
    EXPECT_EQ(kWaveCurve.size(), 96u);
    EXPECT_EQ(kWaveCurve[0], 22);
    EXPECT_EQ(kWaveCurve[47], 255);
    EXPECT_EQ(kWaveCurve[48], 255);
    EXPECT_EQ(kWaveCurve[49], 248);
    EXPECT_EQ(kWaveCurve[95], 22);

    EXPECT_EQ(kBreathingCurve.size(), 128u);
    EXPECT_EQ(kBreathingCurve[10], 10);
    EXPECT_EQ(kBreathingCurve[11], 12);
    EXPECT_EQ(kBreathingCurve[15], 20);
    EXPECT_EQ(kBreathingCurve[16], 22);
    EXPECT_EQ(kBreathingCurve[63], 255);
    EXPECT_EQ(kBreathingCurve[64], 255);
    EXPECT_EQ(kBreathingCurve[127], 0);

    EXPECT_EQ(kPulseCurve.size(), 192u);
    EXPECT_EQ(kPulseCurve[15], 234);
    EXPECT_EQ(kPulseCurve[16], 255);
    EXPECT_EQ(kPulseCurve[17], 248);
    EXPECT_EQ(kPulseCurve[63], 22);
    EXPECT_EQ(kPulseCurve[64], 20);
    EXPECT_EQ(kPulseCurve[79], 1);
    EXPECT_TRUE(std::all_of(kPulseCurve.begin() + 80, kPulseCurve.end(),
                            [](std::uint8_t v) { return v == 0; }));
}

TEST(LightingTables, LevelsAndDelays) {
    EXPECT_EQ(brightnessLevel(0), 0);
    EXPECT_EQ(brightnessLevel(2), 128);
    EXPECT_EQ(brightnessLevel(4), 255);
    EXPECT_EQ(brightnessLevel(9), 255); // damaged record: brightest step
    EXPECT_EQ(padFrameDelayMs(0, 0), 9u);
    EXPECT_EQ(padFrameDelayMs(8, 4), 65u);
    EXPECT_EQ(padFrameDelayMs(9, 2), 41u); // mode 9 uses the same row
    EXPECT_EQ(sharedFrameDelayMs(3, 1), 15u);
    EXPECT_EQ(sharedFrameDelayMs(14, 4), 60u);
    EXPECT_EQ(sharedFrameDelayMs(15, 1), 9u);
    EXPECT_EQ(sharedFrameDelayMs(16, 0), 65u);
    EXPECT_EQ(sharedFrameDelayMs(18, 4), 53u);
    EXPECT_EQ(sharedFrameDelayMs(200, 200), 53u); // clamped to mode 18, speed 4
}

TEST(LightingTables, PadGridAndMouseZonesCoverEveryLedOnce) {
    std::multiset<int> pad;
    for (const auto& row : kPadGrid)
        for (std::uint8_t led : row)
            if (led != X)
                pad.insert(led);
    EXPECT_EQ(pad.size(), kPadCells);
    EXPECT_EQ(std::set<int>(pad.begin(), pad.end()).size(), kPadCells);
    EXPECT_EQ(kPadGrid[4][3], 7);

    std::multiset<int> mouse;
    for (const auto& zone : kMouseZone)
        mouse.insert(zone.leds.begin(), zone.leds.begin() + zone.count);
    EXPECT_EQ(mouse.size(), kMouseCells);
    EXPECT_EQ(std::set<int>(mouse.begin(), mouse.end()).size(), kMouseCells);
    EXPECT_EQ(kMouseBreathingPalettes[2][6], (Rgb{245, 0, 70}));
}

TEST(LightingTables, KeyMatrixHolds105DistinctKeys) {
    EXPECT_EQ(matrixKeys().size(), 105u);
    EXPECT_EQ(kKeyMatrix[0][4], 84);
    EXPECT_EQ(kKeyMatrix[13][3], 55);
    EXPECT_EQ(kKeyMatrix[22][3], 119);
    EXPECT_EQ(kKeyMatrix[0][0], kNoKey);
    EXPECT_EQ(kPhaseTable[13][0], 192);
    EXPECT_EQ(kPhaseTable[10][2], 185);
}

TEST(LightingTables, EveryKeyOrderListsTheMatrixKeys) {
    const std::set<int> keys = matrixKeys();
    EXPECT_EQ(std::set<int>(kSpiral.begin(), kSpiral.end()), keys);
    EXPECT_EQ(kSpiral[0], 15);
    EXPECT_EQ(kSpiral[104], 77);

    std::set<int> snake(kSnakePath.begin(), kSnakePath.end());
    EXPECT_EQ(kSnakePath[62], kNoKey);
    snake.erase(kNoKey);
    EXPECT_EQ(snake, keys);
    EXPECT_EQ(kSnakePath[105], 105);

    std::multiset<int> rings;
    for (const auto& ring : kRings)
        rings.insert(ring.keys.begin(), ring.keys.begin() + ring.count);
    EXPECT_EQ(rings.size(), 105u);
    EXPECT_EQ(std::set<int>(rings.begin(), rings.end()), keys);

    for (const auto& group : kShowGroups)
        for (std::size_t i = 0; i < group.count; ++i)
            EXPECT_TRUE(keys.count(group.keys[i])) << int(group.keys[i]);
    for (const auto& pair : kShowPairs)
        for (std::uint8_t k : pair)
            EXPECT_TRUE(keys.count(k)) << int(k);
}

TEST(LightingTables, StarOrderIsAPermutationFollowedByZero) {
    std::set<int> seen(kStarOrder.begin(), kStarOrder.end() - 1);
    EXPECT_EQ(seen.size(), 104u);
    EXPECT_EQ(*seen.rbegin(), 103);
    EXPECT_EQ(kStarOrder[104], 0);
}

TEST(LightingTables, LedMapsSpotValuesAndNoSharedLed) {
    EXPECT_EQ(kLedMapVariant0[12], 12);
    EXPECT_EQ(kLedMapVariant0[13], 14);
    EXPECT_EQ(kLedMapVariant0[80], kNoLed); // the key without an entry
    EXPECT_EQ(kLedMapVariant0[118], 104);
    EXPECT_EQ(kLedMapVariant1[38], 53);
    EXPECT_EQ(kLedMapVariant1[119], 107);
    EXPECT_EQ(kLedMapVariant2[55], 75);
    EXPECT_EQ(kLedMapVariant2[80], 85);
    for (unsigned variant = 0; variant < 3; ++variant) {
        std::set<int> leds;
        for (std::uint8_t led : ledMap(variant)) {
            if (led == kNoLed)
                continue;
            EXPECT_TRUE(leds.insert(led).second) << "variant " << variant << " LED " << int(led);
        }
    }
    // The one-colour snake frame is 108 bytes: every variant-1 LED fits.
    for (std::uint8_t led : kLedMapVariant1)
        EXPECT_TRUE(led == kNoLed || led < 108) << int(led);
}

TEST(LightingTables, PulseColoursHeadThenWheel) {
    EXPECT_EQ(kPulseColours[1], (Rgb{255, 96, 0}));
    EXPECT_EQ(kPulseColours[31], (Rgb{89, 84, 84}));
    EXPECT_EQ(kPulseColours[32], kColourWheel[0]);
    EXPECT_EQ(kPulseColours[255], kColourWheel[223 % 192]);
}

} // namespace
} // namespace quellix::lighting::tables
