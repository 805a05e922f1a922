// Host cost of the report protocol against the in-process simulator with no
// reply latency: one exchange round trip, and one 512-byte key page read
// (ten frames).  Counters: frames_per_s and us_per_frame (wall time).

#include "quellix/device/device_session.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using namespace quellix;
using namespace std::chrono_literals;

class SimulatedMouse {
public:
    SimulatedMouse() : sim_(sim::Options{.dir = {}, .replyLatency = 0us}) {
        sim_.plug(sim::Model::Mouse);
        hid::setSimulatorDir(sim_.dir().string());
        session_.setIdentity(device::identityOf(device::DeviceKind::Mouse));
        connected_ = device::connectSession(session_, device::DeviceKind::Mouse, &error_);
    }
    ~SimulatedMouse() {
        device::disconnectSession(session_);
        hid::setSimulatorDir("");
    }

    bool connected() const { return connected_; }
    const std::string& error() const { return error_; }
    device::DeviceSession& session() { return session_; }

private:
    sim::Simulator sim_;
    device::DeviceSession session_;
    bool connected_ = false;
    std::string error_;
};

void setFrameCounters(benchmark::State& state, double framesPerIteration) {
    const double frames = framesPerIteration * static_cast<double>(state.iterations());
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["us_per_frame"] = benchmark::Counter(
        frames * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ExchangeRoundTrip(benchmark::State& state) {
    SimulatedMouse mouse;
    if (!mouse.connected()) {
        state.SkipWithError(mouse.error().c_str());
        return;
    }
    for (auto _ : state) {
        if (mouse.session().beginTransfer() != 1) {
            state.SkipWithError("command 1 failed");
            break;
        }
    }
    setFrameCounters(state, 1);
}
BENCHMARK(BM_ExchangeRoundTrip)->UseRealTime();

void BM_KeyPageRead512(benchmark::State& state) {
    SimulatedMouse mouse;
    if (!mouse.connected()) {
        state.SkipWithError(mouse.error().c_str());
        return;
    }
    device::KeyBlock page{};
    for (auto _ : state) {
        if (mouse.session().readKeyPage(1, page) != 1) {
            state.SkipWithError("command 8 failed");
            break;
        }
        benchmark::DoNotOptimize(page);
    }
    setFrameCounters(state, 10);
}
BENCHMARK(BM_KeyPageRead512)->UseRealTime();

void BM_BuildRequestFrame(benchmark::State& state) {
    const std::array<std::uint8_t, 56> payload{1, 2, 3};
    for (auto _ : state) {
        auto frame = device::makeRequest(device::Command::WriteMacroImage, 56, 112, payload);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_BuildRequestFrame);

} // namespace
