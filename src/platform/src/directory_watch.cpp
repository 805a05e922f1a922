#include "quellix/platform/directory_watch.h"

#include <cerrno>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace quellix::platform {

DirectoryWatch::DirectoryWatch(const std::string& directory) : directory_(directory) {
    if (directory.empty()) {
        return;
    }
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        return;
    }
    // Attribute changes matter too: udev gives a new hidraw node its
    // permissions just after creating it, and the open only succeeds then.
    watch_ = inotify_add_watch(fd_, directory.c_str(),
                               IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                   IN_ONLYDIR);
    if (watch_ < 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

DirectoryWatch::~DirectoryWatch() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void DirectoryWatch::drain() {
    alignas(inotify_event) char buffer[4096];
    while (::read(fd_, buffer, sizeof buffer) > 0) {
    }
}

DirectoryWatch::Wake DirectoryWatch::wait(Event& stop, std::chrono::milliseconds timeout,
                                          int hangUpFd) {
    if (fd_ < 0 && hangUpFd < 0) {
        return stop.wait(timeout) ? Wake::Stop : Wake::Timeout;
    }
    // No events asked of the device: poll() reports its hang-up (POLLHUP,
    // POLLERR) regardless, and the replies other threads read on it do not
    // wake this wait.
    pollfd fds[3] = {{stop.fd(), POLLIN, 0}, {fd_, POLLIN, 0}, {hangUpFd, 0, 0}};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int ready = ::poll(fds, 3, left.count() > 0 ? int(left.count()) : 0);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        // The event's own check orders memory with the thread that set it.
        if (stop.isSignalled()) {
            return Wake::Stop;
        }
        if (ready > 0 && (fds[1].revents & POLLIN)) {
            drain();
            return Wake::Changed;
        }
        if (ready > 0 && (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            return Wake::Changed;
        }
        return Wake::Timeout;
    }
}

} // namespace quellix::platform
