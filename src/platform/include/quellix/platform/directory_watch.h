#pragma once
// Wakes a waiting thread when entries appear in or vanish from a directory
// (hidraw nodes under /dev, sockets in a simulator directory), so that
// hot-plug is seen at once rather than at the next poll.
//
// Each waiter owns its own watch; the watch has no thread of its own.  When
// the directory cannot be watched (missing, no inotify), wait() still
// honours the stop event and the timeout, so callers keep polling.

#include "quellix/platform/event.h"

#include <chrono>
#include <string>

namespace quellix::platform {

class DirectoryWatch {
public:
    enum class Wake { Stop, Changed, Timeout };

    // Watches `directory` for entries created, deleted or moved; an empty
    // name watches nothing.
    explicit DirectoryWatch(const std::string& directory);
    ~DirectoryWatch();
    DirectoryWatch(const DirectoryWatch&) = delete;
    DirectoryWatch& operator=(const DirectoryWatch&) = delete;

    // True when changes are being watched (the directory existed).
    bool active() const { return watch_ >= 0; }
    const std::string& directory() const { return directory_; }

    // Waits for the stop event, a change in the directory or the timeout,
    // whichever comes first.  The stop event wins over a change seen at
    // the same time.  Pending change notifications are consumed.  A
    // descriptor given as `hangUpFd` ends the wait with Changed as well
    // when it hangs up (an open device that was unplugged); the caller is
    // expected to close it then, since a hung-up descriptor stays so.
    Wake wait(Event& stop, std::chrono::milliseconds timeout, int hangUpFd = -1);

private:
    void drain();

    std::string directory_;
    int fd_ = -1;
    int watch_ = -1;
};

} // namespace quellix::platform
