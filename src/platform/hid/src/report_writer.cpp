#include "report_writer.h"

#include "quellix/platform/event.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace quellix::hid::detail {

namespace {

using Clock = std::chrono::steady_clock;

enum class Stage { Idle, Queued, Writing, Done };

} // namespace

// What the caller and the thread share; it outlives the caller's object when
// the thread is still inside a write at shutdown.
struct ReportWriter::Shared {
    int fd = -1;
    std::mutex mutex;
    std::condition_variable wake;
    Stage stage = Stage::Idle;
    bool stopping = false;
    bool succeeded = false;
    std::vector<std::uint8_t> buffer; // sized at start: no allocation per write
    std::size_t size = 0;
    // Signalled (under `mutex`) when a write has ended.
    platform::Event done{platform::Event::Reset::Auto};

    ~Shared() {
        if (fd >= 0)
            ::close(fd);
    }
};

std::unique_ptr<ReportWriter> ReportWriter::start(const std::string& node, std::size_t maxReport,
                                                  std::string& error, int& osError) {
    auto shared = std::make_shared<Shared>();
    shared->fd = ::open(node.c_str(), O_WRONLY | O_CLOEXEC);
    if (shared->fd < 0) {
        osError = errno;
        error = std::strerror(errno);
        return nullptr;
    }
    shared->buffer.resize(maxReport);
    return std::unique_ptr<ReportWriter>(new ReportWriter(std::move(shared)));
}

ReportWriter::ReportWriter(std::shared_ptr<Shared> shared)
    : shared_(std::move(shared)), thread_(&ReportWriter::run, shared_) {}

ReportWriter::~ReportWriter() {
    bool inKernel = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
        inKernel = shared_->stage == Stage::Writing;
    }
    shared_->wake.notify_all();
    // A write blocked in the kernel cannot be interrupted; the thread keeps
    // the shared state alive and ends when the kernel lets the write go.
    if (inKernel)
        thread_.detach();
    else
        thread_.join();
}

void ReportWriter::run(std::shared_ptr<Shared> shared) {
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->wake.wait(lock, [&] { return shared->stopping || shared->stage == Stage::Queued; });
        if (shared->stopping)
            return;
        shared->stage = Stage::Writing;
        const std::size_t size = shared->size;
        lock.unlock();
        ssize_t sent;
        do {
            sent = ::write(shared->fd, shared->buffer.data(), size);
        } while (sent < 0 && errno == EINTR);
        lock.lock();
        shared->succeeded = sent == static_cast<ssize_t>(size);
        shared->stage = Stage::Done;
        shared->done.set();
    }
}

bool ReportWriter::busy() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->stage == Stage::Queued || shared_->stage == Stage::Writing;
}

IoResult ReportWriter::write(const std::uint8_t* data, std::size_t size, int timeoutMs,
                             platform::Event* cancel) {
    Shared& s = *shared_;
    {
        std::lock_guard lock(s.mutex);
        if (s.stage == Stage::Queued || s.stage == Stage::Writing)
            return IoResult::Failed; // the device has not taken the last report yet
        if (size > s.buffer.size())
            return IoResult::Failed;
        if (s.stage == Stage::Done) {
            // The end of a write nobody waited for any more.
            (void)s.done.wait(std::chrono::milliseconds(0));
        }
        std::memcpy(s.buffer.data(), data, size);
        s.size = size;
        s.stage = Stage::Queued;
    }
    s.wake.notify_one();

    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = static_cast<int>(std::max<long long>(0, left));
        }
        pollfd fds[2] = {{s.done.fd(), POLLIN, 0}, {cancel ? cancel->fd() : -1, POLLIN, 0}};
        const int ready = ::poll(fds, 2, wait);
        if (ready < 0 && errno != EINTR)
            return IoResult::Failed;
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            std::lock_guard lock(s.mutex);
            if (s.stage == Stage::Done && s.done.acquire()) {
                s.stage = Stage::Idle;
                return s.succeeded ? IoResult::Completed : IoResult::Failed;
            }
        }
        if (ready > 0 && (fds[1].revents & POLLIN) && cancel->acquire())
            return IoResult::Cancelled;
        if (ready == 0 || (timeoutMs >= 0 && wait == 0))
            return IoResult::TimedOut;
    }
}

} // namespace quellix::hid::detail
