#include "quellix/app/workers.h"

#include "quellix/platform/thread_name.h"

#include <algorithm>

namespace quellix::app {

WorkerSet::WorkerSet() {
    for (auto& stop : stops_) {
        stop = std::make_shared<platform::Event>(platform::Event::Reset::Manual);
    }
}

WorkerSet::~WorkerSet() {
    if (!threads_.empty()) {
        stopAll(std::chrono::hours(1));
    }
}

void WorkerSet::start(std::vector<WorkerEntry> entries, std::chrono::milliseconds pauseAfterFirst) {
    {
        std::lock_guard guard(exits_->mutex);
        exits_->done.assign(entries.size(), false);
    }
    for (std::size_t i = 0; i < entries.size() && i < kWorkerCount; ++i) {
        std::shared_ptr<platform::Event> stop = stops_[i];
        threads_.emplace_back(
            [body = std::move(entries[i].body), name = entries[i].name, stop, exits = exits_, i] {
                platform::setCurrentThreadName(name);
                body(*stop);
                std::lock_guard guard(exits->mutex);
                exits->done[i] = true;
                exits->ended.notify_all();
            });
        if (i == 0 && pauseAfterFirst.count() > 0) {
            std::this_thread::sleep_for(pauseAfterFirst);
        }
    }
}

WorkerSet::StopResult WorkerSet::stopAll(std::chrono::milliseconds deadline,
                                         const std::function<void()>& whileWaiting) {
    for (auto& stop : stops_) {
        stop->set();
    }
    const auto until = std::chrono::steady_clock::now() + deadline;
    const auto allDone = [&] {
        for (bool done : exits_->done) {
            if (!done) {
                return false;
            }
        }
        return true;
    };
    bool allEnded = false;
    for (;;) {
        {
            std::unique_lock lock(exits_->mutex);
            const auto slice = whileWaiting
                                   ? std::chrono::steady_clock::now() + std::chrono::milliseconds(5)
                                   : until;
            allEnded = exits_->ended.wait_until(lock, std::min(slice, until), allDone);
        }
        if (allEnded || std::chrono::steady_clock::now() >= until) {
            break;
        }
        whileWaiting();
    }
    for (auto& thread : threads_) {
        if (allEnded) {
            thread.join();
        } else {
            thread.detach();
        }
    }
    threads_.clear();
    return allEnded ? StopResult::AllEnded : StopResult::TimedOut;
}

std::string_view shutdownWaitTrace(WorkerSet::StopResult result) {
    return result == WorkerSet::StopResult::AllEnded ? "所有对象处于激发状态\n"
                                                     : "所有对象处于非激发状态，超时\n";
}

} // namespace quellix::app
