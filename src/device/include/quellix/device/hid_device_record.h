#pragma once
// The HID access record: one opened HID interface collection with its path
// list, capabilities, decoded report tables and I/O events.
//
// Threads: the record has no lock of its own.  Whoever closes or reopens the
// handle (openDevice, closeHandle, freeDeviceInfo, releaseRecord) must hold
// the owning session's lock, which also orders readReport/writeReport, so the
// handle is never closed under a reader's feet.  The one call allowed from
// any thread without the lock is cancelPending: it reads the atomic pending
// flags and signals cancelEvent, which ends the wait in progress with 0.

#include "quellix/hid/descriptor.h"
#include "quellix/hid/device.h"
#include "quellix/hid/device_source.h"
#include "quellix/platform/event.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::device {

inline constexpr std::uint32_t kHidStatusSuccess = 0x00110000;
inline constexpr std::uint32_t kWriteTimeoutMs = 1000;
inline constexpr std::size_t kMaxPathChars = 260;
// The most bytes the usage lists of one report type's button items may take
// together.  A descriptor whose lists would need more is refused: each list
// is as long as every field of its usage page together, so the total grows
// with the square of the item count and a small hostile descriptor would
// otherwise ask for gigabytes.  Real devices need a few kilobytes.
inline constexpr std::size_t kMaxUsageListBytes = 1u << 20;

// One decoded data item of a report type.
struct HidData {
    std::uint8_t isButtonData = 0;
    std::uint8_t reserved = 0;
    std::uint16_t usagePage = 0;
    std::uint32_t status = kHidStatusSuccess;
    std::uint32_t reportId = 0;
    std::uint8_t isDataSet = 0;
    // Button part.
    std::uint32_t usageMin = 0;
    std::uint32_t usageMax = 0;
    std::uint32_t maxUsageLength = 0;
    std::unique_ptr<std::uint16_t[]> usages; // maxUsageLength entries
    // Value part.
    std::uint16_t usage = 0;
    std::uint16_t reserved2 = 0;
    std::uint32_t value = 0;
    std::int32_t scaledValue = 0;
};

// Path of the device being opened: at most kMaxPathChars - 1 characters.
class PathBuffer {
public:
    // False (and the buffer left unchanged) when `text` does not fit.
    bool assign(std::string_view text);
    void clear() { length_ = 0, text_[0] = '\0'; }
    std::string_view view() const { return {text_, length_}; }
    const char* c_str() const { return text_; }
    bool empty() const { return length_ == 0; }

private:
    char text_[kMaxPathChars] = {};
    std::size_t length_ = 0;
};

struct HidDeviceRecord {
    // Where this record's devices come from.  Set once, before the record
    // is used (and before any worker that uses it starts); initRecord and
    // releaseRecord leave it alone.
    hid::DeviceSource source;

    // Interface paths of the last enumeration, none between scans.  The
    // array grows 8 -> 16 -> 32 ...; pathCapacity is its allocated size.
    std::unique_ptr<std::string[]> paths;
    std::uint32_t pathCount = 0;
    std::uint32_t cursor = 0;
    std::uint32_t pathCapacity = 0;

    int openForRead = 0;
    int openForWrite = 0;
    int openOverlapped = 0;
    int openExclusive = 0; // 1: share for reading only; 0: reading and writing

    std::unique_ptr<hid::Device> handle;
    PathBuffer path;

    std::shared_ptr<const hid::PreparsedData> preparsedData;
    hid::Caps caps;
    hid::Attributes attributes;

    std::vector<std::uint8_t> inputReport;
    std::unique_ptr<HidData[]> inputData;
    std::uint32_t inputDataLength = 0;
    std::vector<hid::ButtonCaps> inputButtonCaps;
    std::vector<hid::ValueCaps> inputValueCaps;

    std::vector<std::uint8_t> outputReport;
    std::unique_ptr<HidData[]> outputData;
    std::uint32_t outputDataLength = 0;
    std::vector<hid::ButtonCaps> outputButtonCaps;
    std::vector<hid::ValueCaps> outputValueCaps;

    std::vector<std::uint8_t> featureReport;
    std::unique_ptr<HidData[]> featureData;
    std::uint32_t featureDataLength = 0;
    std::vector<hid::ButtonCaps> featureButtonCaps;
    std::vector<hid::ValueCaps> featureValueCaps;

    std::uint32_t interfaceNumber = 0;
    std::uint32_t collectionNumber = 0;

    // Why the last openDevice failed ("" after a successful one), and the
    // system's error number when the node itself refused the open (EACCES
    // when the udev rule is missing), else 0.
    std::string openError;
    int openErrno = 0;

    std::unique_ptr<platform::Event> readEvent;
    std::unique_ptr<platform::Event> writeEvent;
    std::unique_ptr<platform::Event> cancelEvent;
    std::atomic<int> readPending{0};
    std::atomic<int> writePending{0};
    // True when a report may sit unread on the handle: after an open, and
    // after a read that gave up (timeout, cancel) or a reply its reader
    // did not accept, since the late answer can still come.  writeReport
    // drops queued input only then, which spares a system call per report
    // on the lighting streams.
    std::atomic<bool> inputMayBeQueued{true};
};

void initRecord(HidDeviceRecord& record);
// 1: `paths`/`pathCount` hold a fresh list of the record's source (the
// previous one is freed); 0: enumeration failed, no list.
int enumeratePaths(HidDeviceRecord& record);
// Frees every path string and the list; `paths` none, counts 0.
void freePaths(HidDeviceRecord& record);
// 1 when the device at `path` is open with the open flags and its
// information is filled; else 0 with no handle.
// A failure leaves its reason in `openError` / `openErrno`.
int openDevice(HidDeviceRecord& record);
int fillDeviceInfo(HidDeviceRecord& record);
// fillDeviceInfo's work on given capabilities (the open handle's, or a
// parsed descriptor's in tests): 0 with the reason in `openError` when the
// tables cannot be built or would exceed kMaxUsageListBytes.
int fillDeviceInfoFrom(HidDeviceRecord& record, std::shared_ptr<const hid::PreparsedData> data,
                       const hid::Attributes& attributes);
void freeDeviceInfo(HidDeviceRecord& record);
// Closes the handle (none afterwards); safe without one.
void closeHandle(HidDeviceRecord& record);
void releaseRecord(HidDeviceRecord& record);
// 1 while the device at `path` is present: with an open handle, while its
// node is still there; otherwise an open with no access rights (no I/O
// channel), closed at once.
int probeDevice(const HidDeviceRecord& record);
// True when the record's open handle has hung up (device gone, node reused):
// a zero-timeout poll of the session's own descriptor shows POLLHUP or
// POLLERR, or a read or write already met ENODEV or the end of the
// connection.  The owner then treats the device as removed.
bool handleHungUp(HidDeviceRecord& record);
void cancelPending(HidDeviceRecord& record);
// 1 when a report was read within timeoutMs; 0 on timeout, cancel or error
// (which sets `inputMayBeQueued`).
int readReport(HidDeviceRecord& record, std::uint8_t* buffer, std::uint32_t length,
               std::uint32_t timeoutMs, std::uint32_t* bytesRead);
// 1 when the report was written within 1000 ms; else 0, also at once while
// an earlier write the caller gave up on is still in the kernel (see
// hid::Device::write).  Input left queued on the handle is dropped first
// when `inputMayBeQueued` says there may be some (see
// hid::Device::dropPendingInput).
int writeReport(HidDeviceRecord& record, const std::uint8_t* buffer, std::uint32_t length,
                std::uint32_t* bytesWritten);
// Decodes an input report into the items whose report id equals its first
// byte; false at the first value item that cannot be decoded.
bool unpackReport(HidData* data, std::uint32_t dataCount, const std::uint8_t* report,
                  std::uint32_t reportLength, const hid::PreparsedData* preparsedData);

// Hexadecimal number after the first case-insensitive `marker` in `text`,
// 0 when absent.
std::uint32_t hexAfter(std::string_view text, std::string_view marker);

} // namespace quellix::device
