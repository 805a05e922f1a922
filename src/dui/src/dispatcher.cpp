#include "quellix/dui/dispatcher.h"

namespace quellix::dui {

struct Dispatcher::Entry {
    Task task;
    // Set for send(): the sender waits until done (or abandoned on shutdown).
    bool isSend = false;
    bool done = false;
    bool ran = false;
    std::condition_variable finished;
};

Dispatcher::Dispatcher() : uiThread_(std::this_thread::get_id()) {}

Dispatcher::~Dispatcher() {
    shutdown();
}

void Dispatcher::bindToCurrentThread() {
    std::lock_guard lock(mutex_);
    uiThread_ = std::this_thread::get_id();
}

bool Dispatcher::isUiThread() const {
    std::lock_guard lock(mutex_);
    return uiThread_ == std::this_thread::get_id();
}

void Dispatcher::post(Task task) {
    std::function<void()> wakeup;
    {
        std::lock_guard lock(mutex_);
        if (shutDown_)
            return;
        auto entry = std::make_shared<Entry>();
        entry->task = std::move(task);
        queue_.push_back(std::move(entry));
        wakeup = wakeup_;
    }
    workAvailable_.notify_all();
    if (wakeup)
        wakeup();
}

bool Dispatcher::send(Task task) {
    if (isUiThread()) {
        if (isShutDown())
            return false;
        task();
        return true;
    }
    auto entry = std::make_shared<Entry>();
    entry->task = std::move(task);
    entry->isSend = true;
    std::function<void()> wakeup;
    {
        std::lock_guard lock(mutex_);
        if (shutDown_)
            return false;
        queue_.push_back(entry);
        wakeup = wakeup_;
    }
    workAvailable_.notify_all();
    if (wakeup)
        wakeup();
    std::unique_lock lock(mutex_);
    entry->finished.wait(lock, [&] { return entry->done; });
    return entry->ran;
}

std::shared_ptr<Dispatcher::Entry> Dispatcher::pop() {
    std::lock_guard lock(mutex_);
    if (queue_.empty())
        return nullptr;
    auto entry = std::move(queue_.front());
    queue_.pop_front();
    return entry;
}

bool Dispatcher::runOne() {
    auto entry = pop();
    if (!entry)
        return false;
    // A task that throws must still release its sender.
    struct Release {
        Dispatcher& self;
        Entry& entry;
        ~Release() {
            if (!entry.isSend)
                return;
            {
                std::lock_guard lock(self.mutex_);
                entry.done = true;
            }
            entry.finished.notify_all();
        }
    } release{*this, *entry};
    entry->task();
    if (entry->isSend) {
        std::lock_guard lock(mutex_);
        entry->ran = true;
    }
    return true;
}

std::size_t Dispatcher::runPending() {
    std::size_t count = 0;
    while (runOne())
        ++count;
    return count;
}

bool Dispatcher::waitForWork(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return workAvailable_.wait_for(lock, timeout, [&] { return !queue_.empty() || shutDown_; }) &&
           !queue_.empty();
}

std::size_t Dispatcher::pendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void Dispatcher::setWakeup(std::function<void()> wakeup) {
    std::lock_guard lock(mutex_);
    wakeup_ = std::move(wakeup);
}

void Dispatcher::shutdown() {
    std::deque<std::shared_ptr<Entry>> dropped;
    {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        dropped.swap(queue_);
        for (auto& entry : dropped)
            entry->done = true;
    }
    for (auto& entry : dropped)
        entry->finished.notify_all();
    workAvailable_.notify_all();
}

bool Dispatcher::isShutDown() const {
    std::lock_guard lock(mutex_);
    return shutDown_;
}

} // namespace quellix::dui
