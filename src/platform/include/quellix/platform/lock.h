#pragma once
// The recursive lock that orders a device session's report traffic: the
// thread that holds it may take it again (a command that calls another
// command), and other threads wait.  Meets the standard Lockable
// requirements, so std::lock_guard and std::unique_lock work with it.

#include <mutex>

namespace quellix::platform {

class RecursiveLock {
public:
    RecursiveLock() = default;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void lock() { mutex_.lock(); }
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

} // namespace quellix::platform
