// How long a colour picked on a lighting page takes to reach the device and
// the page's preview: the real main window on the headless toolkit, its
// lighting workers sending to an in-process simulated pad at the
// simulator's default latency.  Each iteration picks red or blue on the
// pad's palette (static effect) and waits until the pad's last frame, and
// then the first preview button, show it.
//
//   build/bench/lighting/bench_lighting_page_latency

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/headless.h"
#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"
#include "quellix/ui/custom_controls.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using namespace quellix;
using Clock = std::chrono::steady_clock;

// Whether every lit triplet of the frame has the colour's dominant channel.
bool frameShows(const std::vector<std::uint8_t>& frame, bool red) {
    bool lit = false;
    for (std::size_t i = 0; i + 2 < frame.size(); i += 3) {
        const bool isRed = frame[i] > frame[i + 2];
        if (frame[i] != 0 || frame[i + 2] != 0) {
            if (isRed != red) {
                return false;
            }
            lit = true;
        }
    }
    return lit;
}

bool previewShows(const dui::CControlUI* button, bool red) {
    const auto* key = dynamic_cast<const ui::CDeviceKeyButtonUI*>(button);
    if (key == nullptr) {
        return false;
    }
    const std::uint32_t c = key->GetLightColor();
    return red ? ((c >> 16) & 0xFF) > (c & 0xFF) : (c & 0xFF) > ((c >> 16) & 0xFF);
}

void BM_PickedColourReachesPadAndPreview(benchmark::State& state) {
    const std::filesystem::path documents =
        std::filesystem::temp_directory_path() / ("quellix-latency-" + std::to_string(getpid()));
    setenv("QUELLIX_DOCUMENTS_DIR", documents.c_str(), 1);
    sim::Simulator simulator;
    simulator.plug(sim::Model::MousePad);
    dui::HeadlessBackend backend;
    dui::Toolkit toolkit{backend};
    if (!app::SetUpResources(toolkit, SKIN_DIR)) {
        state.SkipWithError("skin not found");
        return;
    }
    auto window = std::make_unique<app::CMainWnd>();
    window->SetDeviceSource(hid::DeviceSource::simulator(simulator.dir()));
    window->Create(dui::kNullWindow, app::kMainWindowTitle, app::kMainWindowStyle, 0, 0, 0,
                   app::kMainWindowWidth, app::kMainWindowHeight);
    window->ShowWindow(true);
    // The headless toolkit's timers run on its own clock: keep it with the
    // real one, so that the repaint timer fires as often as in the program.
    auto lastTick = Clock::now();
    auto pump = [&] {
        const auto now = Clock::now();
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick).count();
        if (elapsed > 0) {
            backend.AdvanceTime(static_cast<int>(elapsed));
            lastTick += std::chrono::milliseconds(elapsed);
        }
        backend.Pump();
    };
    auto pumpUntil = [&](auto condition, std::chrono::milliseconds limit) {
        const auto until = Clock::now() + limit;
        while (!condition()) {
            pump();
            if (Clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    };
    dui::UserDriver user(*window, backend);
    // The workers' first frame comes three seconds after the start.
    if (!pumpUntil([&] { return user.Click("mp_tab"); }, std::chrono::seconds(10)) ||
        !pumpUntil([&] { return simulator.stats(sim::Model::MousePad).ledFrames > 0; },
                   std::chrono::seconds(10)) ||
        !user.SelectItem("mp_deng_combo_modeSelect", 3) ||
        !user.DragSlider("mp_deng_light_slider", {4})) {
        state.SkipWithError("the pad's lighting page did not come up");
        return;
    }
    double deviceTotal = 0, deviceWorst = 0;
    bool red = false;
    for (auto _ : state) {
        red = !red;
        const auto start = Clock::now();
        user.PickColor("mp_deng_Color_Pallet", red ? 0xFFFF0000 : 0xFF0000FF);
        if (!pumpUntil(
                [&] { return frameShows(simulator.stats(sim::Model::MousePad).lastLedFrame, red); },
                std::chrono::seconds(2))) {
            state.SkipWithError("the pad never showed the colour");
            break;
        }
        const double device = std::chrono::duration<double>(Clock::now() - start).count();
        if (!pumpUntil([&] { return previewShows(window->PadKeyButton(0), red); },
                       std::chrono::seconds(2))) {
            state.SkipWithError("the preview never showed the colour");
            break;
        }
        const double preview = std::chrono::duration<double>(Clock::now() - start).count();
        deviceTotal += device;
        deviceWorst = std::max(deviceWorst, device);
        state.SetIterationTime(preview);
    }
    state.counters["device_ms_mean"] =
        state.iterations() > 0 ? 1000 * deviceTotal / double(state.iterations()) : 0;
    state.counters["device_ms_worst"] = 1000 * deviceWorst;
    window->DestroyWindow();
    window.reset();
    std::filesystem::remove_all(documents);
}
BENCHMARK(BM_PickedColourReachesPadAndPreview)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

} // namespace
