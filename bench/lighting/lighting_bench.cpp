// Cost of one step of every effect (requested sleeps only move a counter,
// so they cost nothing here), and a count of the allocations that
// stepping makes, reported as a counter of every benchmark (it must be 0).

#include "counting_new.h"
#include "quellix/lighting/iteration.h"
#include "quellix/lighting/seeds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace quellix::lighting;

enum class Kind { Pad, Mouse, Keyboard0, Keyboard1, Keyboard2, Sync };

// Sleeps excluded: requested sleeps only move this clock forward, with no
// system call (the platform's manual clock yields the thread on every
// sleep, which would dominate the figures).
class BenchTime final : public Pacer, public quellix::platform::Clock {
public:
    void sleepMs(unsigned ms) override { now_ += ms; }
    std::uint64_t tickCount() const override { return now_; }
    void sleep(std::chrono::milliseconds d) override {
        now_ += static_cast<std::uint64_t>(d.count());
    }
    int waitFor(std::span<quellix::platform::Event* const>, std::chrono::milliseconds) override {
        return quellix::platform::kWaitTimeout;
    }

private:
    std::uint64_t now_ = 0;
};

struct World {
    std::unique_ptr<LightingState> state = std::make_unique<LightingState>();
    quellix::platform::SharedArray<40> record;
    quellix::platform::SharedArray<4> customState;
    quellix::platform::SharedArray<5 * 378> customTable;
    BenchTime clock;
    Pacer& pacer = clock;
    FrameBuffers buffers;
};

void stepOnce(World& w, Kind kind) {
    const SlotRecordView view(w.record.span());
    const CustomColours custom{w.customState.span(), w.customTable.span()};
    FrameBytes frame;
    switch (kind) {
    case Kind::Pad:
        frame = padIteration(*w.state, view, false, w.pacer, w.clock, w.buffers);
        break;
    case Kind::Mouse:
        frame = mouseIteration(*w.state, view, false, w.pacer, w.clock, w.buffers);
        break;
    case Kind::Keyboard0:
    case Kind::Keyboard1:
    case Kind::Keyboard2:
        frame = keyboardIteration(*w.state, static_cast<unsigned>(kind) - 2, view, custom, false,
                                  w.pacer, w.clock, w.buffers);
        break;
    case Kind::Sync:
        syncIteration(*w.state, view.fields(), {true, true, true}, w.pacer);
        buildPadFrame(w.state->pad.cells, w.buffers.pad);
        buildMouseFrame(w.state->mouse.cells, w.buffers.mouse);
        frame = syncKeyboardFrame(*w.state, 0, w.buffers);
        break;
    }
    benchmark::DoNotOptimize(frame.data());
}

void BM_Step(benchmark::State& s, Kind kind, std::uint8_t mode, std::uint8_t multicolour) {
    World w;
    writeLightingFields({0, mode, 4, 0, 1, multicolour, 200, 100, 50}, w.record.span());
    switch (kind) {
    case Kind::Pad:
        changePadMode(w.state->pad, mode);
        break;
    case Kind::Mouse:
        changeMouseMode(w.state->mouse, mode, 1);
        break;
    case Kind::Keyboard0:
    case Kind::Keyboard1:
    case Kind::Keyboard2:
        changeKeyboardMode(w.state->keyboard, static_cast<unsigned>(kind) - 2, mode);
        seedRipple(w.state->keyboard.effect.masks); // keeps the wavefront modes busy
        break;
    case Kind::Sync:
        break;
    }
    const std::size_t before = quellix::lighting::allocationCount();
    for (auto _ : s)
        stepOnce(w, kind);
    s.counters["allocations"] = static_cast<double>(quellix::lighting::allocationCount() - before);
}

void registerAll() {
    struct Set {
        const char* name;
        Kind kind;
        int modes;
    };
    const Set sets[] = {{"pad", Kind::Pad, 10},
                        {"mouse", Kind::Mouse, 7},
                        {"keyboard_v0", Kind::Keyboard0, 16},
                        {"keyboard_v1", Kind::Keyboard1, 11},
                        {"keyboard_v2", Kind::Keyboard2, 19},
                        {"sync_all", Kind::Sync, 4}};
    for (const Set& set : sets)
        for (int mode = 0; mode < set.modes; ++mode)
            for (std::uint8_t multi : {0, 1}) {
                const std::string name = std::string(set.name) + "/mode" + std::to_string(mode) +
                                         (multi ? "/multi" : "/single");
                benchmark::RegisterBenchmark(name.c_str(), BM_Step, set.kind,
                                             static_cast<std::uint8_t>(mode), multi);
            }
}

const bool registered = (registerAll(), true);

} // namespace
