// Costs of the control model that the program pays often: building a
// layout, finding controls by name (the key caches and handlers), raising a
// notification, and handing work to the UI thread from a worker.

#include "quellix/dui/dui.h"
#include "quellix/dui/headless.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

using namespace quellix::dui;

class BenchWindow : public WindowImplBase {
public:
    CDuiString GetWindowClassName() const override { return "BenchWnd"; }
    CDuiString GetSkinFile() override { return "main.xml"; }
    CControlUI* CreateControl(const CDuiString& className) override {
        if (!EqualsNoCase(className, "MS_Deng_UI"))
            return nullptr;
        CDialogBuilder builder;
        return builder.Create("Mouse_deng.xml", {}, nullptr, &m_pm);
    }
    void Notify(TNotifyUI&) override { ++notifications; }
    long notifications = 0;
};

struct Ui {
    HeadlessBackend backend;
    Toolkit toolkit{backend};
    Ui() { toolkit.resources().SetResourcePath(QUELLIX_DUI_BENCH_DATA); }
};

void BM_BuildLayoutWindow(benchmark::State& state) {
    Ui ui;
    for (auto _ : state) {
        BenchWindow window;
        window.Create(kNullWindow, "bench", UI_WNDSTYLE_FRAME, 0);
        benchmark::DoNotOptimize(window.GetHWND());
        window.DestroyWindow();
        ui.backend.Pump();
    }
}
BENCHMARK(BM_BuildLayoutWindow);

// A tree the size of the main window (about 1400 controls), searched by name.
void BM_FindControlByName(benchmark::State& state) {
    Ui ui;
    BenchWindow window;
    window.Create(kNullWindow, "bench", UI_WNDSTYLE_FRAME, 0);
    auto* list = window.FindControl<CListUI>("name_list");
    for (int i = 0; i < 1400; ++i) {
        auto* item = new CListLabelElementUI;
        item->SetName("item_" + std::to_string(i));
        list->Add(item);
    }
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(window.FindControl("item_" + std::to_string(i++ % 1400)));
    }
}
BENCHMARK(BM_FindControlByName);

void BM_SelectItemWithNotification(benchmark::State& state) {
    Ui ui;
    BenchWindow window;
    window.Create(kNullWindow, "bench", UI_WNDSTYLE_FRAME, 0);
    auto* combo = window.FindControl<CComboUI>("mode_combo");
    int i = 0;
    for (auto _ : state)
        combo->SelectItem(i++ % 3);
    benchmark::DoNotOptimize(window.notifications);
}
BENCHMARK(BM_SelectItemWithNotification);

void BM_DispatcherPostAndRun(benchmark::State& state) {
    Dispatcher dispatcher;
    long counter = 0;
    for (auto _ : state) {
        dispatcher.post([&counter] { ++counter; });
        dispatcher.runPending();
    }
    benchmark::DoNotOptimize(counter);
}
BENCHMARK(BM_DispatcherPostAndRun);

// Round trip of a sent message: a worker blocks until the UI thread ran it.
void BM_DispatcherSendRoundTrip(benchmark::State& state) {
    Dispatcher dispatcher;
    std::atomic<bool> stop{false};
    std::thread ui([&] {
        dispatcher.bindToCurrentThread();
        while (!stop.load()) {
            dispatcher.waitForWork(std::chrono::milliseconds(1));
            dispatcher.runPending();
        }
    });
    while (dispatcher.isUiThread()) // wait until the UI thread took over
        std::this_thread::yield();
    long counter = 0;
    for (auto _ : state)
        dispatcher.send([&counter] { ++counter; });
    stop = true;
    ui.join();
    benchmark::DoNotOptimize(counter);
}
BENCHMARK(BM_DispatcherSendRoundTrip)->UseRealTime();

} // namespace
