// The stop-event poll every worker makes once per iteration (a 0 ms wait on
// an unsignalled event) and a signal handed between two threads.
#include "quellix/platform/event.h"

#include <benchmark/benchmark.h>

#include <thread>

namespace {

using namespace quellix::platform;
using namespace std::chrono_literals;

void BM_PollUnsignalledStopEvent(benchmark::State& state) {
    Event stop(Event::Reset::Manual);
    for (auto _ : state)
        benchmark::DoNotOptimize(stop.wait(0ms));
}
BENCHMARK(BM_PollUnsignalledStopEvent);

void BM_PingPongBetweenThreads(benchmark::State& state) {
    Event ping(Event::Reset::Auto), pong(Event::Reset::Auto), quit(Event::Reset::Manual);
    std::thread partner([&] {
        while (waitAny({&quit, &ping}, kInfinite) == 1)
            pong.set();
    });
    for (auto _ : state) {
        ping.set();
        pong.wait(kInfinite);
    }
    quit.set();
    partner.join();
}
BENCHMARK(BM_PingPongBetweenThreads)->UseRealTime();

} // namespace
