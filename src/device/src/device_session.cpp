#include "quellix/device/device_session.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>

namespace quellix::device {

namespace {

// The highest device offset a frame can address plus one.
constexpr std::size_t kAddressSpace = 0x10000;

std::size_t clampedBlockLength(const platform::Shared<std::uint16_t>& blockLength) {
    return std::min<std::size_t>(blockLength.load(), kKeyBlockSize);
}

Result badPage(std::uint32_t page) {
    return Result::failure(Status::BadArgument, "key page " + std::to_string(page) + " of 0..4");
}

} // namespace

DeviceSession::DeviceSession() {
    initRecord(hid);
}

DeviceSession::~DeviceSession() {
    connected = 0;
    setIdentity({});
    releaseRecord(hid);
}

void DeviceSession::setIdentity(const DeviceIdentity& identity) {
    vendorId = identity.vendorId;
    productId = identity.productId;
    usage = identity.usage;
    usagePage = identity.usagePage;
}

void DeviceSession::setFrameObserver(FrameObserver observer) {
    std::lock_guard guard(lock);
    observer_ = std::move(observer);
}

void DeviceSession::observe(FrameEvent event, std::span<const std::uint8_t> bytes) {
    if (observer_) {
        observer_(event, bytes);
    }
}

Result DeviceSession::frameFailure(Status status, const FrameBytes& request) {
    std::lock_guard guard(lock);
    return Result::failure(handleHungUp(hid) ? Status::HungUp : status, describeRequest(request));
}

bool DeviceSession::writeFrame(const FrameBytes& request) {
    std::lock_guard guard(lock);
    // writeReport drops input left queued first, so that a reply that came
    // after an earlier attempt gave up is not read as this request's answer.
    std::uint32_t written = 0;
    const int result = writeReport(hid, request.data(), kFrameSize, &written);
    if (result <= 0 || written != kFrameSize) {
        return false;
    }
    observe(FrameEvent::Sent, request);
    return true;
}

bool DeviceSession::readReply(const FrameBytes& request, FrameBytes& reply) {
    using SteadyClock = std::chrono::steady_clock;
    std::lock_guard guard(lock);
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
        const auto waitMs = static_cast<std::uint32_t>(std::max<long long>(0, left));
        std::uint32_t received = 0;
        if (readReport(hid, reply.data(), kFrameSize, waitMs, &received) <= 0) {
            return false;
        }
        const std::span<const std::uint8_t> bytes(reply.data(), received);
        // A short report carries no complete status and payload: no reply.
        // The real answer may still follow it, so the next request drops
        // what is queued.
        if (received != kFrameSize) {
            observe(FrameEvent::DroppedShort, bytes);
            hid.inputMayBeQueued.store(true);
            return false;
        }
        if (replyAnswers(request, reply)) {
            observe(FrameEvent::Taken, bytes);
            return true;
        }
        observe(FrameEvent::DroppedStale, bytes);
        // The late answer to an earlier request: dropped; this request's
        // answer may still come within the attempt's time.
        if (waitMs == 0) {
            hid.inputMayBeQueued.store(true);
            return false;
        }
    }
}

Result DeviceSession::exchange(const FrameBytes& request, FrameBytes& reply) {
    if (connected == 0) {
        return Result::failure(Status::NotConnected, describeRequest(request));
    }
    const FrameBytes privateRequest = request;
    for (int attempt = 0; attempt < kAttemptsPerFrame; ++attempt) {
        // The write and the read take the lock each; holding it over the
        // whole attempt as well keeps another thread's request from coming
        // between this request and its reply (that thread would otherwise
        // drop or take this reply as its own).
        std::lock_guard attemptGuard(lock);
        if (!writeFrame(privateRequest)) {
            return frameFailure(Status::WriteFailed, privateRequest);
        }
        if (readReply(privateRequest, reply)) {
            return Result::success();
        }
    }
    return frameFailure(Status::NoReply, privateRequest);
}

Result DeviceSession::exchangeOnce(const FrameBytes& request) {
    if (connected == 0) {
        return Result::failure(Status::NotConnected, describeRequest(request));
    }
    std::lock_guard attemptGuard(lock);
    writeFrame(request);
    FrameBytes reply;
    if (readReply(request, reply)) {
        return Result::success();
    }
    return frameFailure(Status::NoReply, request);
}

Result DeviceSession::singleFrame(Command command, std::uint8_t length, std::uint16_t offset,
                                  std::span<const std::uint8_t> payload,
                                  std::span<std::uint8_t> out) {
    const ReportFrame request = makeRequest(command, length, offset, payload);
    ReportFrame reply;
    if (Result result = exchange(request.bytes, reply.bytes); !result) {
        return result;
    }
    if (const Status status = replyStatus(reply.status()); status != Status::Ok) {
        return Result::failure(status, describeRequest(request.bytes));
    }
    std::copy_n(reply.payload().begin(), out.size(), out.begin());
    return Result::success();
}

Result DeviceSession::beginTransfer() {
    return singleFrame(Command::BeginTransfer, 0, 0, {}, {});
}

Result DeviceSession::endTransfer() {
    clock_->sleep(std::chrono::milliseconds(kEndTransferPauseMs));
    return singleFrame(Command::EndTransfer, 0, 0, {}, {});
}

Result DeviceSession::readDeviceInfo(DeviceInfoBlock& out) {
    return singleFrame(Command::ReadDeviceInfo, kDeviceInfoSize, 0, {}, out);
}

Result DeviceSession::readBlock(std::uint16_t offset, std::span<std::uint8_t> out) {
    if (out.size() > kMaxChunkPayload) {
        return Result::failure(Status::BadArgument, "a read of more than 56 bytes");
    }
    return singleFrame(Command::ReadBlock, static_cast<std::uint8_t>(out.size()), offset, {}, out);
}

Result DeviceSession::writeBlock(std::uint16_t offset, std::span<const std::uint8_t> data) {
    syncActive = 0;
    if (data.size() > kMaxChunkPayload) {
        return Result::failure(Status::BadArgument, "a write of more than 56 bytes");
    }
    return singleFrame(Command::WriteBlock, static_cast<std::uint8_t>(data.size()), offset, data,
                       {});
}

Result DeviceSession::sendChunk(Command command, std::uint8_t length, std::uint16_t offset,
                                const std::uint8_t* source, std::uint8_t* destination) {
    std::span<const std::uint8_t> payload;
    if (source != nullptr) {
        payload = {source, length};
    }
    return singleFrame(command, length, offset, payload,
                       destination != nullptr ? std::span<std::uint8_t>(destination, length)
                                              : std::span<std::uint8_t>());
}

// Commands 7, 8 and 9: the total is `blockLength`, read again before every
// chunk, and never more than the 512-byte buffers hold.
Result DeviceSession::blockTransfer(Command command, std::uint16_t base, const std::uint8_t* source,
                                    std::uint8_t* destination) {
    std::size_t total = clampedBlockLength(blockLength);
    for (std::size_t chunk = 0; chunk < total; chunk += kMaxChunkPayload) {
        const std::uint8_t length = chunkLength(chunk, total);
        Result result = sendChunk(command, length, static_cast<std::uint16_t>(base + chunk),
                                  source != nullptr ? source + chunk : nullptr,
                                  destination != nullptr ? destination + chunk : nullptr);
        if (!result) {
            return result;
        }
        total = clampedBlockLength(blockLength);
    }
    return Result::success();
}

// Commands 18, 21 and 23: the total is the caller's size.
Result DeviceSession::sizedTransfer(Command command, std::span<const std::uint8_t> source,
                                    bool streamed) {
    if (source.size() > kAddressSpace) {
        // Offsets past 0xFFFF would wrap onto the start of device memory.
        return Result::failure(Status::BadArgument, "a transfer beyond the device's memory");
    }
    for (std::size_t chunk = 0; chunk < source.size(); chunk += kMaxChunkPayload) {
        if (streamed && streamEnabled == 0) {
            continue;
        }
        const std::uint8_t length = chunkLength(chunk, source.size());
        Result result = sendChunk(command, length, static_cast<std::uint16_t>(chunk),
                                  source.data() + chunk, nullptr);
        if (!result) {
            return result;
        }
    }
    return Result::success();
}

Result DeviceSession::readDefaultKeys(KeyBlock& out) {
    return blockTransfer(Command::ReadDefaultKeys, 0, nullptr, out.data());
}

Result DeviceSession::readKeyPage(std::uint32_t page, KeyBlock& out) {
    if (page >= kKeyPageCount) {
        return badPage(page);
    }
    return blockTransfer(Command::ReadKeyPage, static_cast<std::uint16_t>(page * kKeyPageStride),
                         nullptr, out.data());
}

Result DeviceSession::writeKeyPage(std::uint32_t page, const KeyBlock& data) {
    if (page >= kKeyPageCount) {
        return badPage(page);
    }
    return blockTransfer(Command::WriteKeyPage, static_cast<std::uint16_t>(page * kKeyPageStride),
                         data.data(), nullptr);
}

Result DeviceSession::resetDevice() {
    return exchangeOnce(makeUnsealedNotice(Command::ResetDevice).bytes);
}

Result DeviceSession::lightingNotice() {
    return exchangeOnce(makeUnsealedNotice(Command::LightingNotice).bytes);
}

Result DeviceSession::streamFrame(std::span<const std::uint8_t> data) {
    return sizedTransfer(Command::StreamFrame, data, true);
}

Result DeviceSession::writeMacroImage(std::span<const std::uint8_t> data) {
    return sizedTransfer(Command::WriteMacroImage, data, false);
}

Result DeviceSession::writePointerImage(std::span<const std::uint8_t> data) {
    return sizedTransfer(Command::WritePointerImage, data, false);
}

} // namespace quellix::device
