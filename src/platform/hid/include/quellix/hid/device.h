#pragma once
// HID interface enumeration and report I/O on Linux.
//
// Interfaces are presented the way Windows presents them: one path per
// top-level application collection,
//   hid#vid_1234&pid_abcd&mi_01&col02#hidraw3
// with "&colNN" only when the interface has more than one top-level
// collection.  The part after the last '#' names the source: a hidraw node,
// or a socket of the device simulator (see sim/simulator.h).
//
// Every call names its source (device_source.h): the simulated devices of a
// simulator directory, or the hidraw devices under a sysfs root (default
// "/sys") with nodes in a device directory (default "/dev").

#include "quellix/hid/descriptor.h"
#include "quellix/hid/device_source.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quellix::platform {
class Event;
}

namespace quellix::hid {

namespace detail {
class ReportWriter;
}

struct Attributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

// Every present HID interface collection.  nullopt when the source cannot be
// listed at all (no sysfs class directory, unreadable simulator directory);
// an empty list when there simply are no devices.
std::optional<std::vector<std::string>> enumerateInterfacePaths(const DeviceSource& source);

struct OpenFlags {
    bool read = false;
    bool write = false;
    // Windows share modes.  Linux cannot refuse another process's open of a
    // hidraw node, so they are recorded (Device::flags) but not enforced.
    bool shareRead = true;
    bool shareWrite = true;
    // Reads and writes always wait with poll() and can be cancelled; the
    // flag is kept for callers that look at it.
    bool overlapped = false;
};

enum class IoResult { Completed, TimedOut, Cancelled, Failed };

class Device {
public:
    // Opens the collection at `path`.  With neither read nor write access the
    // device's existence is checked and its attributes and descriptor are
    // read, but no I/O channel is opened.  nullptr and a message on failure;
    // `osError` gets the system's error number when the node itself could
    // not be opened (EACCES without the udev rule), else 0.
    static std::unique_ptr<Device> open(const DeviceSource& source, const std::string& path,
                                        const OpenFlags& flags, std::string* error = nullptr,
                                        int* osError = nullptr);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    const OpenFlags& flags() const { return flags_; }
    const Attributes& attributes() const { return attributes_; }
    // The parsed descriptor of this path's collection; shared so that it can
    // outlive the handle like Windows preparsed data.
    const std::shared_ptr<const PreparsedData>& preparsedData() const { return preparsed_; }
    // Poll-able descriptor, -1 without I/O access.
    int fd() const { return fd_; }

    // Reads one input report of this collection into `buffer`, the way
    // Windows delivers it: report id first (0 when the interface numbers no
    // reports), zero-padded to the collection's input report length.
    // `bytesRead` is what the device sent (with the added 0 of an
    // unnumbered report), at most the report length: a short report stays
    // short.  Reports of other collections are dropped.  Ends early when
    // `cancel` is signalled (it is consumed).
    IoResult read(std::uint8_t* buffer, std::uint32_t length, int timeoutMs,
                  platform::Event* cancel, std::uint32_t& bytesRead);
    // Writes one output report (report id first, 0 when unnumbered).
    //
    // What a caller can rely on: the call returns within `timeoutMs` (a
    // negative value waits without limit) or as soon as `cancel` is
    // signalled, on hidraw too.  The kernel performs a hidraw write
    // synchronously (up to the USB core's 5 s timeout) and ignores
    // O_NONBLOCK, so the write runs on the device's own writing thread and
    // this call only waits for it.  When the wait ends first (TimedOut,
    // Cancelled) the report may still reach the device later; until that
    // write has left the kernel, further writes return Failed at once
    // (writeInFlight() tells), so a hung device never makes callers queue.
    // Simulator sockets take a report without blocking: there the wait is
    // for room in the socket and nothing stays in flight.
    IoResult write(const std::uint8_t* buffer, std::uint32_t length, int timeoutMs,
                   platform::Event* cancel, std::uint32_t& bytesWritten);
    // A write whose caller stopped waiting is still in the kernel.
    bool writeInFlight() const;
    // True when the descriptor has hung up: the device was unplugged (the
    // node or socket name may already serve another device), as poll()
    // reports it with zero timeout (POLLHUP, POLLERR, POLLNVAL), or as an
    // earlier read or write found it (ENODEV, end of the connection).
    bool hungUp() const;
    // True while the node or socket this handle was opened from is still
    // there.  Together with hungUp() it tells whether an open device is
    // still plugged, without opening it again.
    bool nodePresent() const;
    // Drops every input report already queued, so that a late reply to an
    // abandoned request is not taken for the reply to the next one.
    void dropPendingInput();

private:
    Device() = default;
    bool deliver(std::size_t received, std::uint8_t* buffer, std::uint32_t reportLength,
                 std::uint32_t& delivered) const;

    OpenFlags flags_;
    Attributes attributes_;
    std::shared_ptr<const PreparsedData> preparsed_;
    int fd_ = -1;
    bool isSocket_ = false;
    std::string node_;
    bool numbered_ = false;                        // the interface numbers its reports
    std::vector<std::uint8_t> inputIds_;           // this collection's input report ids
    std::vector<std::uint8_t> outputIds_;          // and output report ids
    std::vector<std::uint8_t> scratch_;            // receive buffer, sized at open
    std::unique_ptr<detail::ReportWriter> writer_; // hidraw with write access
    mutable std::atomic<bool> gone_{false};
};

} // namespace quellix::hid
