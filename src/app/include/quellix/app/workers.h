#pragma once
// The main window's worker threads: each gets its own manual-reset stop
// event, they start in table order, and the shutdown signals them all and
// waits for them together with a deadline.

#include "quellix/platform/event.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace quellix::app {

inline constexpr std::size_t kWorkerCount = 14;

// Worker indexes, in start order.
enum WorkerIndex : std::size_t {
    kKeyboardDetection,
    kMouseDetection,
    kPadDetection,
    kMouseListener,
    kKeyboardListener,
    kKeyboardLighting,
    kMouseLighting,
    kPadLighting,
    kSyncLighting,
    kKeyboardLightingWatcher,
    kKeyboardKeyWatcher,
    kMouseDeviceWatcher,
    kMouseKeyWatcher,
    kPadLightingWatcher,
};

struct WorkerEntry {
    std::string_view name;
    // Runs on the worker's thread until `stop` is signalled.
    std::function<void(platform::Event& stop)> body;
};

class WorkerSet {
public:
    enum class StopResult { AllEnded, TimedOut };

    WorkerSet();
    // Signals and waits for whatever still runs (without a deadline).
    ~WorkerSet();
    WorkerSet(const WorkerSet&) = delete;
    WorkerSet& operator=(const WorkerSet&) = delete;

    // Starts the workers in order, pausing `pauseAfterFirst` after the
    // first one.
    void start(std::vector<WorkerEntry> entries, std::chrono::milliseconds pauseAfterFirst);
    bool started() const { return !threads_.empty(); }

    // Signals every stop event, then waits until all workers ended or the
    // deadline passed, calling `whileWaiting` every few milliseconds (the
    // UI thread answers the messages workers are blocked sending).  Workers
    // that did not end are left running on their own (detached); whatever
    // they use must outlive them.
    StopResult stopAll(std::chrono::milliseconds deadline,
                       const std::function<void()>& whileWaiting = {});

    platform::Event& stopEvent(std::size_t index) { return *stops_[index]; }

private:
    // Shared with the threads: a worker left running after the deadline
    // still has its event.
    std::array<std::shared_ptr<platform::Event>, kWorkerCount> stops_;
    std::vector<std::thread> threads_;
    struct Exits {
        std::mutex mutex;
        std::condition_variable ended;
        std::vector<bool> done;
    };
    std::shared_ptr<Exits> exits_ = std::make_shared<Exits>();
};

// The trace the shutdown writes for the wait's outcome.
std::string_view shutdownWaitTrace(WorkerSet::StopResult result);

} // namespace quellix::app
