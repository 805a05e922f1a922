#pragma once
// Internal: the writing thread of an open hidraw node.
//
// A hidraw write is synchronous in the kernel (an interrupt OUT transfer or
// a SET_REPORT control request, bounded only by the USB core's 5 s timeout)
// whatever O_NONBLOCK says, and poll() reports POLLOUT at all times.  So the
// write itself runs on this thread, on a descriptor of its own in blocking
// mode, and the caller waits for it no longer than its timeout or until its
// cancel event.  A write the caller stopped waiting for stays in the kernel
// until it ends there; meanwhile further writes fail at once instead of
// queueing behind it.

#include "quellix/hid/device.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quellix::platform {
class Event;
}

namespace quellix::hid::detail {

class ReportWriter {
public:
    // Opens `node` for writing and starts the thread; nullptr and the reason
    // in `error` / `osError` when the node cannot be opened.
    static std::unique_ptr<ReportWriter> start(const std::string& node, std::size_t maxReport,
                                               std::string& error, int& osError);
    // Stops the thread.  A write still in the kernel is not waited for: the
    // thread finishes it, closes its descriptor and ends on its own.
    ~ReportWriter();
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    // Completed when the whole report was written within `timeoutMs`;
    // TimedOut / Cancelled when the wait ended first (the write goes on in
    // the background); Failed when the write failed or an earlier one is
    // still in progress.
    IoResult write(const std::uint8_t* data, std::size_t size, int timeoutMs,
                   platform::Event* cancel);
    bool busy() const;

private:
    struct Shared;
    explicit ReportWriter(std::shared_ptr<Shared> shared);
    static void run(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

} // namespace quellix::hid::detail
