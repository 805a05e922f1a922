// Opening an interface collection and moving reports through it.
//
// Waits use poll() on the device descriptor together with the cancel
// event's eventfd, so a wait ends at the first of: data (or room) on the
// device, the cancel signal, the timeout.  Descriptors are non-blocking and
// every buffer is allocated at open, so reads and writes allocate nothing.
// hidraw writes block in the kernel whatever the descriptor's mode, so they
// go through the device's writing thread (report_writer.h).

#include "quellix/hid/device.h"
#include "quellix/platform/event.h"
#include "report_writer.h"
#include "source.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quellix::hid {

namespace {

// Largest report hidraw hands out (HID_MAX_BUFFER_SIZE).
constexpr std::size_t kReceiveBufferBytes = 16384;
// dropPendingInput gives up after this many reports so that a device that
// streams without pause cannot hold the caller forever.
constexpr int kMaxDroppedReports = 1024;

using Clock = std::chrono::steady_clock;

// Remaining time for poll(): -1 waits forever, 0 means the time is up.
int remainingMs(int timeoutMs, Clock::time_point deadline) {
    if (timeoutMs < 0)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<long long>(0, left));
}

enum class Readiness { Ready, TimedOut, Cancelled, Gone, Failed };

// Waits until fd shows `events`, the cancel event fires or the deadline
// passes.  An auto-reset cancel event is consumed when it ends the wait.
Readiness waitReady(int fd, short events, platform::Event* cancel, int timeoutMs,
                    Clock::time_point deadline) {
    for (;;) {
        const int wait = remainingMs(timeoutMs, deadline);
        pollfd fds[2] = {{fd, events, 0}, {cancel ? cancel->fd() : -1, POLLIN, 0}};
        const int ready = ::poll(fds, 2, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return Readiness::Failed;
        }
        if (ready == 0)
            return Readiness::TimedOut;
        if ((fds[1].revents & POLLIN) && cancel->acquire())
            return Readiness::Cancelled;
        if (fds[0].revents & events)
            return Readiness::Ready;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return Readiness::Gone;
        if (wait == 0)
            return Readiness::TimedOut;
    }
}

// The I/O result for a wait that did not end with the device ready.
IoResult unreadyResult(Readiness readiness) {
    switch (readiness) {
    case Readiness::TimedOut:
        return IoResult::TimedOut;
    case Readiness::Cancelled:
        return IoResult::Cancelled;
    default:
        return IoResult::Failed;
    }
}

bool contains(const std::vector<std::uint8_t>& ids, std::uint8_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Errors that mean the device behind the descriptor is gone.
bool meansGone(int error) {
    return error == ENODEV || error == EPIPE || error == ECONNRESET || error == ENOTCONN ||
           error == ESHUTDOWN;
}

int openSocket(const std::string& node, std::string& why) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (node.size() >= sizeof address.sun_path) {
        why = "socket path too long";
        return -1;
    }
    std::memcpy(address.sun_path, node.c_str(), node.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        why = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<Device> Device::open(const DeviceSource& source, const std::string& path,
                                     const OpenFlags& flags, std::string* error, int* osError) {
    if (osError)
        *osError = 0;
    const auto fail = [&](const std::string& why) -> std::unique_ptr<Device> {
        if (error)
            *error = path + ": " + why;
        return nullptr;
    };
    // The node exists but refuses us: keep the system's reason.
    const auto failWith = [&](int number, const std::string& why) {
        if (osError)
            *osError = number;
        return fail(why);
    };
    const auto parts = detail::parsePath(path);
    if (!parts)
        return fail("not a HID interface path");
    const auto info = source.simulated() ? detail::findSimulated(source, parts->source)
                                         : detail::findHidraw(source, parts->source);
    if (!info)
        return fail("no such device");
    // The node may have been given to another device since enumeration.
    if (info->attributes.vendorId != parts->vendorId ||
        info->attributes.productId != parts->productId ||
        info->interfaceNumber != parts->interfaceNumber)
        return fail("a different device is now at " + parts->source);

    ParsedDescriptor parsed;
    if (const ParseResult result = parseReportDescriptor(info->descriptor, parsed); !result.ok)
        return fail(result.error);
    const std::size_t count = parsed.collections.size();
    std::size_t index = 0;
    if (parts->collection == 0) {
        if (count != 1)
            return fail("the interface has several collections; the path names none");
    } else {
        if (count < 2 || parts->collection > count)
            return fail("no collection " + std::to_string(parts->collection));
        index = parts->collection - 1;
    }

    std::unique_ptr<Device> device(new Device);
    device->flags_ = flags;
    device->attributes_ = info->attributes;
    auto preparsed = std::make_shared<PreparsedData>(std::move(parsed.collections[index]));
    device->numbered_ = preparsed->usesReportIds;
    device->inputIds_ = preparsed->reportIds[static_cast<std::size_t>(ReportType::Input)];
    device->outputIds_ = preparsed->reportIds[static_cast<std::size_t>(ReportType::Output)];
    device->preparsed_ = std::move(preparsed);
    device->isSocket_ = info->isSocket;
    device->node_ = info->node;

    if (!flags.read && !flags.write) {
        // A probe: the device exists; no I/O channel.
        struct stat st {};
        if (::stat(info->node.c_str(), &st) != 0)
            return failWith(errno, std::strerror(errno));
        return device;
    }
    std::string why;
    int number = 0;
    if (info->isSocket) {
        device->fd_ = openSocket(info->node, why);
        number = device->fd_ < 0 ? errno : 0;
    } else {
        const int mode = flags.read && flags.write ? O_RDWR : flags.read ? O_RDONLY : O_WRONLY;
        device->fd_ = ::open(info->node.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
        if (device->fd_ < 0) {
            number = errno;
            why = std::strerror(errno);
        }
    }
    if (device->fd_ < 0)
        return failWith(number, why);
    if (!info->isSocket && flags.write) {
        device->writer_ = detail::ReportWriter::start(
            info->node, device->preparsed_->caps.outputReportByteLength + 1u, why, number);
        if (!device->writer_)
            return failWith(number, why);
    }
    device->scratch_.resize(kReceiveBufferBytes);
    return device;
}

Device::~Device() {
    writer_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool Device::writeInFlight() const {
    return writer_ && writer_->busy();
}

bool Device::hungUp() const {
    if (gone_.load(std::memory_order_relaxed))
        return true;
    if (fd_ < 0)
        return false;
    pollfd fds{fd_, 0, 0}; // POLLHUP, POLLERR and POLLNVAL are always reported
    int ready;
    do {
        ready = ::poll(&fds, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready > 0 && (fds.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        gone_.store(true, std::memory_order_relaxed);
        return true;
    }
    return false;
}

bool Device::nodePresent() const {
    struct stat st {};
    return ::stat(node_.c_str(), &st) == 0;
}

bool Device::deliver(std::size_t received, std::uint8_t* buffer, std::uint32_t reportLength,
                     std::uint32_t& delivered) const {
    if (numbered_) {
        if (received == 0 || !contains(inputIds_, scratch_[0]))
            return false; // a report of another collection of this interface
        const std::size_t n = std::min<std::size_t>(received, reportLength);
        std::memcpy(buffer, scratch_.data(), n);
        std::memset(buffer + n, 0, reportLength - n);
        delivered = static_cast<std::uint32_t>(n);
        return true;
    }
    // Unnumbered reports are delivered behind a report id of 0.
    buffer[0] = 0;
    const std::size_t n = std::min<std::size_t>(received, reportLength - 1);
    std::memcpy(buffer + 1, scratch_.data(), n);
    std::memset(buffer + 1 + n, 0, reportLength - 1 - n);
    delivered = static_cast<std::uint32_t>(n + 1);
    return true;
}

IoResult Device::read(std::uint8_t* buffer, std::uint32_t length, int timeoutMs,
                      platform::Event* cancel, std::uint32_t& bytesRead) {
    bytesRead = 0;
    const std::uint32_t reportLength = preparsed_->caps.inputReportByteLength;
    if (fd_ < 0 || !flags_.read || !buffer || reportLength == 0 || length < reportLength)
        return IoResult::Failed;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        // Reports of other collections are dropped, so keep waiting until
        // one of ours arrives or the time is up.
        const Readiness readiness = waitReady(fd_, POLLIN, cancel, timeoutMs, deadline);
        if (readiness == Readiness::Gone)
            gone_.store(true, std::memory_order_relaxed);
        if (readiness != Readiness::Ready)
            return unreadyResult(readiness);
        const ssize_t got = ::read(fd_, scratch_.data(), scratch_.size());
        if (got < 0 && errno != EAGAIN && errno != EINTR) {
            if (meansGone(errno))
                gone_.store(true, std::memory_order_relaxed);
            return IoResult::Failed;
        }
        if (got == 0) {
            gone_.store(true, std::memory_order_relaxed); // connection closed
            return IoResult::Failed;
        }
        std::uint32_t delivered = 0;
        if (got > 0 && deliver(static_cast<std::size_t>(got), buffer, reportLength, delivered)) {
            bytesRead = delivered;
            return IoResult::Completed;
        }
    }
}

IoResult Device::write(const std::uint8_t* buffer, std::uint32_t length, int timeoutMs,
                       platform::Event* cancel, std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    if (fd_ < 0 || !flags_.write || !buffer || length == 0)
        return IoResult::Failed;
    const std::uint8_t* data = buffer;
    std::size_t size = length;
    if (numbered_) {
        if (!contains(outputIds_, buffer[0]))
            return IoResult::Failed; // not an output report of this collection
    } else {
        if (buffer[0] != 0)
            return IoResult::Failed;
        // hidraw takes the 0 in front of an unnumbered report; the simulator's
        // packets carry the report alone.
        if (isSocket_)
            ++data, --size;
    }
    if (writer_) {
        const IoResult result = writer_->write(data, size, timeoutMs, cancel);
        if (result == IoResult::Completed)
            bytesWritten = length;
        return result;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    // The descriptor is non-blocking: try at once and wait for room only
    // when the socket is full (one system call per report on the lighting
    // streams instead of two).
    for (;;) {
        const ssize_t sent = isSocket_ ? ::send(fd_, data, size, MSG_NOSIGNAL | MSG_DONTWAIT)
                                       : ::write(fd_, data, size);
        if (sent == static_cast<ssize_t>(size)) {
            bytesWritten = length;
            return IoResult::Completed;
        }
        if (sent < 0 && meansGone(errno))
            gone_.store(true, std::memory_order_relaxed);
        if (sent >= 0 || (errno != EAGAIN && errno != EINTR))
            return IoResult::Failed;
        const Readiness readiness = waitReady(fd_, POLLOUT, cancel, timeoutMs, deadline);
        if (readiness == Readiness::Gone)
            gone_.store(true, std::memory_order_relaxed);
        if (readiness != Readiness::Ready)
            return unreadyResult(readiness);
    }
}

void Device::dropPendingInput() {
    if (fd_ < 0 || !flags_.read)
        return;
    for (int i = 0; i < kMaxDroppedReports; ++i) {
        if (::read(fd_, scratch_.data(), scratch_.size()) <= 0)
            break;
    }
}

} // namespace quellix::hid
