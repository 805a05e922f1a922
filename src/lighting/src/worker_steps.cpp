#include "quellix/lighting/worker_steps.h"

namespace quellix::lighting {

namespace {

// The frame delay, then whether the device is there to be lit.
bool delayAndLook(unsigned delayMs, DeviceFlags device, Pacer& pacer) {
    pacer.sleepMs(delayMs);
    if (device.isConnected())
        return true;
    pacer.sleepMs(kAbsentPauseMs);
    return false;
}

} // namespace

KindStep padWorkerStep(LightingState& state, const LightingRecords& records, DeviceFlags device,
                       Pacer& pacer, const Clock& clock, FrameBuffers& buffers) {
    const SlotRecordView record = records.padRecord();
    if (!delayAndLook(padFrameDelay(record), device, pacer))
        return {};
    return {true, padStep(state, record, device.isSynchronised(), pacer, clock, buffers)};
}

KindStep mouseWorkerStep(LightingState& state, const LightingRecords& records, DeviceFlags device,
                         Pacer& pacer, const Clock& clock, FrameBuffers& buffers) {
    const SlotRecordView record = records.mouseRecord();
    if (!delayAndLook(mouseFrameDelay(record), device, pacer))
        return {};
    return {true, mouseStep(state, record, device.isSynchronised(), pacer, clock, buffers)};
}

KindStep keyboardWorkerStep(LightingState& state, const LightingRecords& records,
                            DeviceFlags device, Pacer& pacer, const Clock& clock,
                            FrameBuffers& buffers) {
    const SlotRecordView record = records.keyboardRecord();
    if (!delayAndLook(keyboardFrameDelay(record), device, pacer))
        return {};
    // Variant and mode are read once, so that the frame and the sender's
    // rules agree about the step they belong to.
    const unsigned variant = records.variant();
    const bool synchronised = device.isSynchronised();
    KindStep step;
    step.connected = true;
    step.frame = keyboardStep(state, variant, record, records.keyboardCustom, synchronised, pacer,
                              clock, buffers);
    step.oneColour = variant == 1 && !synchronised;
    step.mode = record.fields().mode;
    step.trace = keyboardTraceLine(variant, step.mode);
    return step;
}

bool KeyboardSendRule::goesOut(FrameBytes frame, bool oneColour, std::uint8_t keyboardMode,
                               bool framesEnabled) {
    const bool first = !called_.exchange(true, std::memory_order_relaxed);
    if (frame.empty())
        return false;
    if (oneColour)
        return true;
    return !first && keyboardReceivesFrames(keyboardMode) && framesEnabled;
}

SyncOutcome syncWorkerStep(LightingState& state, const LightingRecords& records,
                           const SyncDevices& devices, Pacer& pacer, FrameBuffers& buffers,
                           SyncFrameSink& sink) {
    const LightingFields fields = records.syncFields();
    pacer.sleepMs(fields.speed);
    if (!devices.keyboard.isConnected() && !devices.mouse.isConnected() &&
        !devices.pad.isConnected()) {
        pacer.sleepMs(kSyncNoDevicePauseMs);
        return SyncOutcome::NoDevice;
    }
    const SyncTargets targets{devices.keyboard.isSynchronised(), devices.mouse.isSynchronised(),
                              devices.pad.isSynchronised()};
    if (!targets.keyboard && !targets.mouse && !targets.pad)
        return SyncOutcome::NoneSynchronised;
    runSyncEffect(state, fields, targets);

    if (devices.keyboard.isSynchronised())
        sink.send(LightKind::Keyboard, syncKeyboardFrame(state, records.variant(), buffers));
    else
        pacer.sleepMs(kSyncSkipPauseMs);
    if (devices.mouse.isSynchronised()) {
        buildMouseFrame(state.mouse.cells, buffers.mouse);
        sink.send(LightKind::Mouse, buffers.mouse);
    } else {
        pacer.sleepMs(kSyncSkipPauseMs);
    }
    if (devices.pad.isSynchronised()) {
        buildPadFrame(state.pad.cells, buffers.pad);
        sink.send(LightKind::MousePad, buffers.pad);
    } else {
        pacer.sleepMs(kSyncSkipPauseMs);
    }
    return SyncOutcome::Ran;
}

} // namespace quellix::lighting
