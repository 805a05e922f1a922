#pragma once
// The channel to one device's configuration collection, and the request/
// reply protocol of 64-byte reports spoken over it.
//
// Every command writes one request frame per chunk of at most 56 payload
// bytes and reads one reply frame for it, and returns a Result: ok when
// every frame was answered and accepted; NotConnected; NoReply when a frame
// got no reply in four attempts; WriteFailed when a request could not be
// written; HungUp when the device went away meanwhile; Rejected / Malformed
// when the device answered with status 0xFF / 0xFE; BadArgument when the
// request cannot be formed (a page index of 5 or more, a chunk over 56
// bytes, a transfer beyond the address space).  The detail names the
// command and the offset of the frame that failed.  Chunked transfers stop
// at the first failing chunk and keep what was already transferred.
//
// Any thread may call any command; the session's recursive `lock` orders
// the frames.  The flags are relaxed atomics that other threads read
// without the lock.

#include "quellix/device/device_kind.h"
#include "quellix/device/hid_device_record.h"
#include "quellix/device/report_frame.h"
#include "quellix/platform/clock.h"
#include "quellix/platform/lock.h"
#include "quellix/platform/result.h"
#include "quellix/platform/shared_bytes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace quellix::device {

// The 33 bytes command 3 returns.
inline constexpr std::size_t kDeviceInfoSize = 33;
using DeviceInfoBlock = std::array<std::uint8_t, kDeviceInfoSize>;

// The buffers of the whole-block commands 7, 8 and 9.
inline constexpr std::size_t kKeyBlockSize = 512;
using KeyBlock = std::array<std::uint8_t, kKeyBlockSize>;

inline constexpr std::uint32_t kKeyPageCount = 5;
inline constexpr std::uint16_t kKeyPageStride = 126;

// Waits of one attempt and how many attempts a frame gets.
inline constexpr std::uint32_t kReplyTimeoutMs = 300;
inline constexpr int kAttemptsPerFrame = 4;
inline constexpr std::uint32_t kEndTransferPauseMs = 10;

// What became of a frame: written, or a reply read and taken as the answer,
// or a reply read and dropped because it answers an earlier request (a late
// reply after an attempt gave up) or is too short to carry an answer.
enum class FrameEvent { Sent, Taken, DroppedStale, DroppedShort };
// Sees every frame written and every reply read (the bytes as they went over
// the wire).  Called with the session lock held: it must not block on
// another session's traffic.
using FrameObserver = std::function<void(FrameEvent, std::span<const std::uint8_t>)>;

class DeviceSession {
public:
    DeviceSession();
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Bytes moved by commands 7, 8 and 9 (clamped to the 512-byte buffers).
    platform::Shared<std::uint16_t> blockLength{static_cast<std::uint16_t>(kKeyBlockSize)};
    // Identity the device is recognised by; written before detection starts.
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    platform::Shared<int> connected{0};
    platform::Shared<int> syncActive{0};
    platform::Shared<int> streamEnabled{1};
    HidDeviceRecord hid;
    platform::RecursiveLock lock;

    void setIdentity(const DeviceIdentity& identity);
    DeviceIdentity identity() const { return {vendorId, productId, usage, usagePage}; }

    // The clock the pause before command 2 sleeps on (the system clock
    // unless a test gives another).  Set before traffic starts.
    void setClock(platform::Clock& clock) { clock_ = &clock; }

    // Installs (or, with an empty function, removes) the frame observer.
    void setFrameObserver(FrameObserver observer);

    // One frame with up to four attempts; the reply's status is not looked
    // at.  Only a full 64-byte reply that answers this request (replyAnswers)
    // counts: a stale reply to an earlier request is dropped and the wait
    // for this one goes on within the attempt's 300 ms; a short one ends
    // the attempt.
    Result exchange(const FrameBytes& request, FrameBytes& reply);
    // One attempt, the request exactly as given, the write's result not
    // checked: ok when a reply arrived.
    Result exchangeOnce(const FrameBytes& request);

    Result beginTransfer();                      // 1
    Result endTransfer();                        // 2
    Result readDeviceInfo(DeviceInfoBlock& out); // 3
    // Length 1..56 is out.size() (more than 56 cannot be carried).
    Result readBlock(std::uint16_t offset, std::span<std::uint8_t> out); // 5
    // Length 0..56 is data.size().  Clears syncActive
    // first, whatever the outcome.
    Result writeBlock(std::uint16_t offset, std::span<const std::uint8_t> data); // 6
    Result readDefaultKeys(KeyBlock& out);                                       // 7
    Result readKeyPage(std::uint32_t page, KeyBlock& out);                       // 8
    Result writeKeyPage(std::uint32_t page, const KeyBlock& data);               // 9
    Result resetDevice();                                                        // 13
    // Chunks are skipped while streamEnabled is 0.
    Result streamFrame(std::span<const std::uint8_t> data);       // 18
    Result lightingNotice();                                      // 19
    Result writeMacroImage(std::span<const std::uint8_t> data);   // 21
    Result writePointerImage(std::span<const std::uint8_t> data); // 23

private:
    Result singleFrame(Command command, std::uint8_t length, std::uint16_t offset,
                       std::span<const std::uint8_t> payload, std::span<std::uint8_t> out);
    Result blockTransfer(Command command, std::uint16_t base, const std::uint8_t* source,
                         std::uint8_t* destination);
    Result sizedTransfer(Command command, std::span<const std::uint8_t> source, bool streamed);
    Result sendChunk(Command command, std::uint8_t length, std::uint16_t offset,
                     const std::uint8_t* source, std::uint8_t* destination);
    bool writeFrame(const FrameBytes& request);
    bool readReply(const FrameBytes& request, FrameBytes& reply);
    // Why a frame of `request` failed: HungUp when the handle has hung up,
    // else `status`; the detail names the command and offset.
    Result frameFailure(Status status, const FrameBytes& request);
    void observe(FrameEvent event, std::span<const std::uint8_t> bytes);

    FrameObserver observer_;
    platform::Clock* clock_ = &platform::systemClock();
};

} // namespace quellix::device
