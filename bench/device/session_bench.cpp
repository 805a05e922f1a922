// Host cost of the report protocol against the in-process simulator with no
// reply latency: one exchange round trip, and one 512-byte key page read
// (ten frames).  Counters: frames_per_s, wall_us_per_frame (includes the
// simulator thread's turnaround) and host_cpu_us_per_frame (CPU time of the
// calling thread: what the protocol costs the host).

#include "quellix/device/device_session.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>

namespace {

using namespace quellix;
using namespace std::chrono_literals;

class SimulatedMouse {
public:
    SimulatedMouse() : sim_(sim::Options{.dir = {}, .replyLatency = 0us}) {
        sim_.plug(sim::Model::Mouse);
        session_.hid.source = hid::DeviceSource::simulator(sim_.dir());
        session_.setIdentity(device::identityOf(device::DeviceKind::Mouse));
        const Result connected = device::connectSession(session_, device::DeviceKind::Mouse);
        connected_ = connected.ok();
        error_ = connected.describe();
    }
    ~SimulatedMouse() { device::disconnectSession(session_); }

    bool connected() const { return connected_; }
    const std::string& error() const { return error_; }
    device::DeviceSession& session() { return session_; }

private:
    sim::Simulator sim_;
    device::DeviceSession session_;
    bool connected_ = false;
    std::string error_;
};

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and calling-thread CPU time over the whole run, per frame.
class FrameTimer {
public:
    FrameTimer() : wallStart_(std::chrono::steady_clock::now()), cpuStart_(threadCpuSeconds()) {}

    void report(benchmark::State& state, double framesPerIteration) const {
        const double frames = framesPerIteration * static_cast<double>(state.iterations());
        if (frames == 0) {
            return;
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart_).count();
        const double cpu = threadCpuSeconds() - cpuStart_;
        state.counters["frames_per_s"] = frames / wall;
        state.counters["wall_us_per_frame"] = wall * 1e6 / frames;
        state.counters["host_cpu_us_per_frame"] = cpu * 1e6 / frames;
    }

private:
    std::chrono::steady_clock::time_point wallStart_;
    double cpuStart_;
};

void BM_ExchangeRoundTrip(benchmark::State& state) {
    SimulatedMouse mouse;
    if (!mouse.connected()) {
        state.SkipWithError(mouse.error().c_str());
        return;
    }
    const FrameTimer timer;
    for (auto _ : state) {
        if (!mouse.session().beginTransfer()) {
            state.SkipWithError("command 1 failed");
            break;
        }
    }
    timer.report(state, 1);
}
BENCHMARK(BM_ExchangeRoundTrip)->UseRealTime();

void BM_KeyPageRead512(benchmark::State& state) {
    SimulatedMouse mouse;
    if (!mouse.connected()) {
        state.SkipWithError(mouse.error().c_str());
        return;
    }
    device::KeyBlock page{};
    const FrameTimer timer;
    for (auto _ : state) {
        if (!mouse.session().readKeyPage(1, page)) {
            state.SkipWithError("command 8 failed");
            break;
        }
        benchmark::DoNotOptimize(page);
    }
    timer.report(state, 10);
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
