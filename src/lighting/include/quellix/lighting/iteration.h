#pragma once
// One iteration of each animation worker once its device is connected: the
// frame delay, the effect (or nothing while synchronised), and the frame to
// send.  The workers add connection checks, the stop event and the sending;
// `quellixctl fx` runs the same iterations without a device.

#include "quellix/lighting/effects.h"
#include "quellix/lighting/frames.h"
#include "quellix/lighting/lighting_fields.h"
#include "quellix/lighting/pacing.h"
#include "quellix/lighting/state.h"

#include <array>
#include <cstdint>
#include <span>

namespace quellix::lighting {

// Frame buffers, owned by the worker so that no frame allocates.
struct FrameBuffers {
    std::array<std::uint8_t, kPadFrameBytes> pad{};
    std::array<std::uint8_t, kMouseFrameBytes> mouse{};
    std::array<std::uint8_t, kKeyboardFrameBytes> keyboard{};
    std::array<std::uint8_t, kOneColourFrameBytes> levels{};
};

// The frame each iteration hands to the sender; empty when the device
// receives nothing after this iteration.
using FrameBytes = std::span<const std::uint8_t>;

// Each iteration is the frame delay of the record's mode and speed followed
// by the step below; the workers look at the device between the two.
unsigned padFrameDelay(SlotRecordView record);
unsigned mouseFrameDelay(SlotRecordView record);
unsigned keyboardFrameDelay(SlotRecordView record);

// Pad: while synchronised the pad's worker does nothing (the synchronised
// worker sends its frame), so the result is empty.
FrameBytes padIteration(LightingState& state, SlotRecordView record, bool syncActive, Pacer& pacer,
                        const Clock& clock, FrameBuffers& buffers);
FrameBytes padStep(LightingState& state, SlotRecordView record, bool syncActive, Pacer& pacer,
                   const Clock& clock, FrameBuffers& buffers);

// Mouse: sleeps 20 ms before every send, synchronised or not.
FrameBytes mouseIteration(LightingState& state, SlotRecordView record, bool syncActive,
                          Pacer& pacer, const Clock& clock, FrameBuffers& buffers);
FrameBytes mouseStep(LightingState& state, SlotRecordView record, bool syncActive, Pacer& pacer,
                     const Clock& clock, FrameBuffers& buffers);

// Keyboard (the worker's first call after start-up sends nothing; that is
// the worker's to skip): variants 0 and 2 send the 378-byte frame except in modes 15 and
// 16; variant 1 sends the level frame of its step (or nothing when the mode
// has no step) and never the full-colour frame, which a one-colour keyboard
// cannot show.  While synchronised, every variant sends the cells: variants
// 0 and 2 as the full-colour frame, variant 1 as a level frame of the cell
// levels.  The shared hue counter advances by 1 afterwards.
FrameBytes keyboardIteration(LightingState& state, unsigned variant, SlotRecordView record,
                             const CustomColours& custom, bool syncActive, Pacer& pacer,
                             const Clock& clock, FrameBuffers& buffers);
FrameBytes keyboardStep(LightingState& state, unsigned variant, SlotRecordView record,
                        const CustomColours& custom, bool syncActive, Pacer& pacer,
                        const Clock& clock, FrameBuffers& buffers);

// The line that the keyboard worker writes to the debug output after each
// frame in some modes (variant 2: modes 2, 9 and 12), or nullptr.
const char* keyboardTraceLine(unsigned variant, std::uint8_t mode);

// The synchronised worker: sleeps `speed` milliseconds, then runs the
// synchronised effect over the targets.  The caller sends each target's
// frame (buildPadFrame and the others, or syncKeyboardFrame).
void syncIteration(LightingState& state, const LightingFields& record, SyncTargets targets,
                   Pacer& pacer);

// The frame a synchronised keyboard receives (see keyboardIteration).
FrameBytes syncKeyboardFrame(const LightingState& state, unsigned variant, FrameBuffers& buffers);

} // namespace quellix::lighting
