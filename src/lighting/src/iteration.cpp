#include "quellix/lighting/iteration.h"

#include "quellix/lighting/tables/led_maps.h"

#include <algorithm>

namespace quellix::lighting {

namespace {
constexpr unsigned kMouseSendDelayMs = 20;
} // namespace

unsigned padFrameDelay(SlotRecordView record) {
    const LightingFields fields = record.fields();
    return tables::padFrameDelayMs(fields.mode, fields.speed);
}

unsigned mouseFrameDelay(SlotRecordView record) {
    const LightingFields fields = record.fields();
    return tables::sharedFrameDelayMs(fields.mode, fields.speed);
}

unsigned keyboardFrameDelay(SlotRecordView record) {
    return mouseFrameDelay(record);
}

FrameBytes padIteration(LightingState& state, SlotRecordView record, bool syncActive, Pacer& pacer,
                        const Clock& clock, FrameBuffers& buffers) {
    pacer.sleepMs(padFrameDelay(record));
    return padStep(state, record, syncActive, pacer, clock, buffers);
}

FrameBytes padStep(LightingState& state, SlotRecordView record, bool syncActive, Pacer& pacer,
                   const Clock& clock, FrameBuffers& buffers) {
    const LightingFields fields = record.fields();
    if (syncActive)
        return {};
    runPadEffect(state.pad, {fields, record.cycleCounter(), state.hueCounter, pacer, clock});
    buildPadFrame(state.pad.cells, buffers.pad);
    return buffers.pad;
}

FrameBytes mouseIteration(LightingState& state, SlotRecordView record, bool syncActive,
                          Pacer& pacer, const Clock& clock, FrameBuffers& buffers) {
    pacer.sleepMs(mouseFrameDelay(record));
    return mouseStep(state, record, syncActive, pacer, clock, buffers);
}

FrameBytes mouseStep(LightingState& state, SlotRecordView record, bool syncActive, Pacer& pacer,
                     const Clock& clock, FrameBuffers& buffers) {
    const LightingFields fields = record.fields();
    if (!syncActive)
        runMouseEffect(state.mouse,
                       {fields, record.cycleCounter(), state.hueCounter, pacer, clock});
    pacer.sleepMs(kMouseSendDelayMs);
    buildMouseFrame(state.mouse.cells, buffers.mouse);
    return buffers.mouse;
}

FrameBytes syncKeyboardFrame(const LightingState& state, unsigned variant, FrameBuffers& buffers) {
    if (variant != 1) {
        buildKeyboardFrame(state.keyboard.cells, buffers.keyboard);
        return buffers.keyboard;
    }
    std::fill(buffers.levels.begin(), buffers.levels.end(), 0);
    for (std::size_t key = 0; key < tables::kKeyboardCells; ++key) {
        const std::uint8_t led = tables::kLedMapVariant1[key];
        if (led != tables::kNoLed)
            buffers.levels[led] = state.keyboard.cells.level(key);
    }
    return buffers.levels;
}

FrameBytes keyboardIteration(LightingState& state, unsigned variant, SlotRecordView record,
                             const CustomColours& custom, bool syncActive, Pacer& pacer,
                             const Clock& clock, FrameBuffers& buffers) {
    pacer.sleepMs(keyboardFrameDelay(record));
    return keyboardStep(state, variant, record, custom, syncActive, pacer, clock, buffers);
}

FrameBytes keyboardStep(LightingState& state, unsigned variant, SlotRecordView record,
                        const CustomColours& custom, bool syncActive, Pacer& pacer,
                        const Clock& clock, FrameBuffers& buffers) {
    const LightingFields fields = record.fields();
    FrameBytes frame;
    if (syncActive) {
        frame = syncKeyboardFrame(state, variant, buffers);
    } else {
        const EffectContext ctx{fields, record.cycleCounter(), state.hueCounter, pacer, clock};
        if (variant == 1) {
            const std::size_t length =
                runKeyboardOneColourEffect(state.keyboard, custom, ctx, buffers.levels);
            frame = FrameBytes(buffers.levels.data(), length);
        } else {
            runKeyboardFullColourEffect(state.keyboard, variant, custom, ctx);
            if (keyboardReceivesFrames(fields.mode)) {
                buildKeyboardFrame(state.keyboard.cells, buffers.keyboard);
                frame = buffers.keyboard;
            }
        }
    }
    state.hueCounter.addAndGet(1);
    return frame;
}

const char* keyboardTraceLine(unsigned variant, std::uint8_t mode) {
    if (variant != 2)
        return nullptr;
    switch (mode) {
    case 2:
        return "常亮";
    case 9:
        return "星星";
    case 12:
        return "蛇";
    default:
        return nullptr;
    }
}

void syncIteration(LightingState& state, const LightingFields& record, SyncTargets targets,
                   Pacer& pacer) {
    pacer.sleepMs(record.speed);
    runSyncEffect(state, record, targets);
}

} // namespace quellix::lighting
