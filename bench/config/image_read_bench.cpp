// The mouse image read (information, default keys, five slots and five key
// pages) against the simulator at its default reply latency, which models
// a full-speed USB device: the read should take the device's time, not
// ours.  Counters: frames (requests the mouse received per read), ms (wall
// time per read), device_ms (frames x the simulator's latency plus the
// protocol's fixed pause before command 2), ratio (ms / device_ms) and
// ratio_frames_only (ms / (frames x latency)).  OneExchangeAtDefaultLatency
// measures the simulator's own time for one bare exchange (ms_per_frame),
// the baseline that the read's per-frame time compares with.

#include "quellix/config/mouse_config.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using namespace quellix;

void MouseImageRead(benchmark::State& state) {
    sim::Simulator simulator; // default options: the default reply latency
    const auto latency = sim::Options{}.replyLatency;
    simulator.plug(sim::Model::Mouse);
    device::DeviceSession session;
    session.hid.source = hid::DeviceSource::simulator(simulator.dir());
    session.setIdentity(device::identityOf(device::DeviceKind::Mouse));
    const Result connected = device::connectSession(session, device::DeviceKind::Mouse);
    if (!connected) {
        state.SkipWithError(connected.describe().c_str());
        return;
    }
    auto mouse = std::make_unique<config::MouseConfig>();
    const auto framesBefore = simulator.stats(sim::Model::Mouse).framesReceived;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!config::readMouseImage(*mouse, session)) {
            state.SkipWithError("the image read failed");
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double reads = static_cast<double>(state.iterations());
    const double frames =
        static_cast<double>(simulator.stats(sim::Model::Mouse).framesReceived - framesBefore) /
        reads;
    const double latencyMs = std::chrono::duration<double, std::milli>(latency).count();
    const double ms = seconds * 1000 / reads;
    const double deviceMs = frames * latencyMs + device::kEndTransferPauseMs;
    state.counters["frames"] = frames;
    state.counters["ms"] = ms;
    state.counters["device_ms"] = deviceMs;
    state.counters["ratio"] = ms / deviceMs;
    state.counters["ratio_frames_only"] = ms / (frames * latencyMs);
    device::disconnectSession(session);
}
BENCHMARK(MouseImageRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void OneExchangeAtDefaultLatency(benchmark::State& state) {
    sim::Simulator simulator;
    simulator.plug(sim::Model::Mouse);
    device::DeviceSession session;
    session.hid.source = hid::DeviceSource::simulator(simulator.dir());
    session.setIdentity(device::identityOf(device::DeviceKind::Mouse));
    const Result connected = device::connectSession(session, device::DeviceKind::Mouse);
    if (!connected) {
        state.SkipWithError(connected.describe().c_str());
        return;
    }
    std::uint8_t active = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!session.readBlock(0, std::span(&active, 1))) {
            state.SkipWithError("command 5 failed");
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_frame"] = seconds * 1000 / static_cast<double>(state.iterations());
    device::disconnectSession(session);
}
BENCHMARK(OneExchangeAtDefaultLatency)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(200);

} // namespace
