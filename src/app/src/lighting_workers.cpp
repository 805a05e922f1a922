#include "quellix/app/lighting_workers.h"

#include "quellix/platform/debug.h"

#include <memory>

namespace quellix::app {

using device::DeviceKind;

namespace {

// Takes the engine's sleeps as waits on the stop event; once the event is
// seen, every further sleep returns at once so the step ends quickly.
class StopPacer final : public lighting::Pacer {
public:
    StopPacer(platform::Clock& clock, platform::Event& stop) : clock_(clock), stop_(stop) {}
    void sleepMs(unsigned ms) override {
        if (!stopped_ && clock_.waitFor(stop_, std::chrono::milliseconds(ms))) {
            stopped_ = true;
        }
    }
    bool stopped() const { return stopped_; }

private:
    platform::Clock& clock_;
    platform::Event& stop_;
    bool stopped_ = false;
};

} // namespace

std::string_view lightingExitTrace(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Keyboard:
        return "键盘灯效线程设定退出";
    case DeviceKind::Mouse:
        return "鼠标灯效线程设定退出";
    case DeviceKind::MousePad:
        break;
    }
    return "鼠标垫灯效线程设定退出";
}

// The frame senders: the send rules, then command 18 on the kind's session.
class LightingWorkers::Sender final : public lighting::SyncFrameSink {
public:
    explicit Sender(LightingWorkers& workers) : workers_(workers) {}

    void sendKind(DeviceKind kind, const lighting::KindStep& step) {
        const bool enabled = workers_.framesEnabled_.load() == 1;
        const bool out =
            kind == DeviceKind::Keyboard
                ? workers_.keyboardRule_.goesOut(step.frame, step.oneColour, step.mode, enabled)
                : lighting::cellFrameGoesOut(step.frame, enabled);
        if (out) {
            workers_.streamLogs_[device::kindIndex(kind)].note(
                workers_.session(kind).streamFrame(step.frame));
        }
    }

    void send(DeviceKind kind, lighting::FrameBytes frame) override {
        lighting::KindStep step;
        step.frame = frame;
        if (kind == DeviceKind::Keyboard) {
            step.mode = workers_.records_.keyboardRecord().fields().mode;
        }
        sendKind(kind, step);
    }

private:
    LightingWorkers& workers_;
};

LightingWorkers::LightingWorkers(lighting::LightingState& state,
                                 std::array<device::DeviceSession*, 3> sessions,
                                 const platform::Shared<int>& framesEnabled,
                                 lighting::OwnedLightingRecords& ownRecords)
    : state_(state), sessions_(sessions), framesEnabled_(framesEnabled),
      records_(ownRecords.records()) {}

platform::Clock& LightingWorkers::clock() const {
    return timing_.clock != nullptr ? *timing_.clock : platform::systemClock();
}

lighting::DeviceFlags LightingWorkers::flags(DeviceKind kind) const {
    const device::DeviceSession& s = session(kind);
    return {s.connected, s.syncActive};
}

void LightingWorkers::runKind(DeviceKind kind, platform::Event& stop) {
    platform::Clock& clock = this->clock();
    StopPacer pacer(clock, stop);
    Sender sender(*this);
    // Allocated once: no frame allocates.
    const auto buffers = std::make_unique<lighting::FrameBuffers>();
    const lighting::DeviceFlags device = flags(kind);
    pacer.sleepMs(static_cast<unsigned>(timing_.startDelay.count()));
    while (!pacer.stopped()) {
        lighting::KindStep step;
        switch (kind) {
        case DeviceKind::Keyboard:
            step = lighting::keyboardWorkerStep(state_, records_, device, pacer, clock, *buffers);
            break;
        case DeviceKind::Mouse:
            step = lighting::mouseWorkerStep(state_, records_, device, pacer, clock, *buffers);
            break;
        case DeviceKind::MousePad:
            step = lighting::padWorkerStep(state_, records_, device, pacer, clock, *buffers);
            break;
        }
        if (pacer.stopped()) {
            break;
        }
        if (step.connected) {
            sender.sendKind(kind, step);
        }
        if (step.trace != nullptr) {
            platform::debugOutput(step.trace);
        }
    }
    platform::debugOutput(lightingExitTrace(kind));
}

void LightingWorkers::runSync(platform::Event& stop) {
    platform::Clock& clock = this->clock();
    StopPacer pacer(clock, stop);
    Sender sender(*this);
    const auto buffers = std::make_unique<lighting::FrameBuffers>();
    const lighting::SyncDevices devices{flags(DeviceKind::Keyboard), flags(DeviceKind::Mouse),
                                        flags(DeviceKind::MousePad)};
    while (!pacer.stopped()) {
        const lighting::SyncOutcome outcome =
            lighting::syncWorkerStep(state_, records_, devices, pacer, *buffers, sender);
        if (outcome == lighting::SyncOutcome::NoneSynchronised) {
            // Nothing to drive: sleep until a session is synchronised.
            if (clock.waitFor({&stop, &syncWake_}, timing_.syncIdleCheck) == 0) {
                break;
            }
        }
    }
    platform::debugOutput(kSyncLightingExitTrace);
}

} // namespace quellix::app
