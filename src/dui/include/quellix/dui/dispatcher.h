#pragma once
// Hands work from any thread to the UI thread.
//
// post() queues a task and returns at once; tasks run in FIFO order.
// send() queues a task and blocks until the UI thread has run it; called on
// the UI thread itself it runs the task inline.  Once shut down, posted
// tasks are dropped and send() returns false without running its task, so
// a worker never blocks on a UI thread that has stopped pumping.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace quellix::dui {

class Dispatcher {
public:
    using Task = std::function<void()>;

    // The constructing thread is the UI thread until rebound.
    Dispatcher();
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    void bindToCurrentThread();
    bool isUiThread() const;

    void post(Task task);
    bool send(Task task);

    // UI thread: runs queued tasks one by one until the queue is empty
    // (tasks queued meanwhile run too); returns how many ran.  Re-entrant:
    // a task may run a nested loop that calls it again.
    std::size_t runPending();
    // UI thread: runs at most one queued task.
    bool runOne();
    // Blocks until a task is queued, shutdown() was called or the timeout passed.
    bool waitForWork(std::chrono::milliseconds timeout);
    std::size_t pendingCount() const;

    // Called from the queuing thread whenever a task was queued, so that a
    // real event loop can wake up and call runPending() on its thread.
    void setWakeup(std::function<void()> wakeup);

    // Drops queued tasks, releases blocked senders (their send() returns
    // false) and refuses further work.
    void shutdown();
    bool isShutDown() const;

private:
    struct Entry;
    std::shared_ptr<Entry> pop();

    mutable std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::deque<std::shared_ptr<Entry>> queue_;
    std::function<void()> wakeup_;
    std::thread::id uiThread_;
    bool shutDown_ = false;
};

} // namespace quellix::dui
