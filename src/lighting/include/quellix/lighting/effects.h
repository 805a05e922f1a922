#pragma once
// One step of every effect.  A step reads the lighting fields once, writes
// the kind's cells (or, for the one-colour keyboard, a level frame) and asks
// the pacer for the sleeps its mode lists, before the step or inside it.

#include "quellix/lighting/lighting_fields.h"
#include "quellix/lighting/pacing.h"
#include "quellix/lighting/state.h"

#include <array>
#include <cstdint>
#include <span>

namespace quellix::lighting {

struct EffectContext {
    const LightingFields& fields;
    SharedByte& cycleCounter; // byte 9 of the slot record
    SharedByte& hueCounter;   // the process-wide hue counter
    Pacer& pacer;
    const Clock& clock;
};

// The keyboard's custom colours: `CustomColourState` (4 bytes: set in use,
// then a colour) and `KeyColourTable` (5 sets of 378 bytes).  Empty spans
// read as all zero.
struct CustomColours {
    std::span<const SharedByte> state;
    std::span<const SharedByte> table;
};
inline constexpr std::size_t kCustomSets = 5;
inline constexpr std::size_t kCustomSetBytes = 378;

void runPadEffect(PadLighting& pad, const EffectContext& ctx);
void runMouseEffect(MouseLighting& mouse, const EffectContext& ctx);

// Full-colour sets (variant 0: modes 0..15, variant 2: modes 0..18).
void runKeyboardFullColourEffect(KeyboardLighting& kb, unsigned variant,
                                 const CustomColours& custom, const EffectContext& ctx);

// The one-colour set (variant 1, modes 0..10).  Fills `frame` with one
// level byte per LED and returns the frame's length: 126, 108 for the
// snake, 0 when the mode has no step (and nothing is to be sent).  The
// cells get the preview colour and each computed key's level.
inline constexpr std::size_t kOneColourFrameBytes = 126;
inline constexpr std::size_t kOneColourSnakeFrameBytes = 108;
inline constexpr Rgb kOneColourPreview{0x00, 0xF6, 0xFF};
std::size_t runKeyboardOneColourEffect(KeyboardLighting& kb, const CustomColours& custom,
                                       const EffectContext& ctx,
                                       std::span<std::uint8_t, kOneColourFrameBytes> frame);

// Which kinds the synchronised worker drives.
struct SyncTargets {
    bool keyboard = false;
    bool mouse = false;
    bool pad = false;
};

// The synchronised effect of `record`'s mode (0 wave, 1 colour cycle,
// 2 breathing, 3 static; others compute nothing) over the target kinds.
void runSyncEffect(LightingState& state, const LightingFields& record, SyncTargets targets);

} // namespace quellix::lighting
