#pragma once
// The 64-byte report every configuration request and reply travels in.
//
//   byte 0     report id (4 in a request)
//   bytes 1-2  checksum, little endian: sum of bytes 3..63 modulo 65536
//   byte 3     command
//   byte 4     payload length of this frame, at most 56
//   bytes 5-6  device-side offset, little endian
//   byte 7     status (0 in a request; 0xFF or 0xFE in a reply is a rejection)
//   bytes 8-63 payload
//
// Pure data and arithmetic: no I/O, no allocation.

#include "quellix/platform/result.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace quellix::device {

inline constexpr std::size_t kFrameSize = 64;
inline constexpr std::size_t kFrameHeaderSize = 8;
inline constexpr std::size_t kMaxChunkPayload = kFrameSize - kFrameHeaderSize; // 56
inline constexpr std::uint8_t kRequestReportId = 4;
inline constexpr std::uint8_t kStatusRejectedFF = 0xFF;
inline constexpr std::uint8_t kStatusRejectedFE = 0xFE;

enum class Command : std::uint8_t {
    BeginTransfer = 1,
    EndTransfer = 2,
    ReadDeviceInfo = 3,
    ReadBlock = 5,
    WriteBlock = 6,
    ReadDefaultKeys = 7,
    ReadKeyPage = 8,
    WriteKeyPage = 9,
    ResetDevice = 13,
    StreamFrame = 18,
    LightingNotice = 19,
    WriteMacroImage = 21,
    WritePointerImage = 23,
};

using FrameBytes = std::array<std::uint8_t, kFrameSize>;

// Sum of bytes 3..63 as unsigned bytes, wrapping at 16 bits.
constexpr std::uint16_t frameChecksum(const FrameBytes& bytes) {
    std::uint16_t sum = 0;
    for (std::size_t i = 3; i < kFrameSize; ++i) {
        sum = static_cast<std::uint16_t>(sum + bytes[i]);
    }
    return sum;
}

struct ReportFrame {
    FrameBytes bytes{};

    std::uint8_t command() const { return bytes[3]; }
    std::uint8_t length() const { return bytes[4]; }
    std::uint16_t offset() const { return static_cast<std::uint16_t>(bytes[5] | (bytes[6] << 8)); }
    std::uint8_t status() const { return bytes[7]; }
    std::uint16_t checksumField() const {
        return static_cast<std::uint16_t>(bytes[1] | (bytes[2] << 8));
    }
    std::span<const std::uint8_t, kMaxChunkPayload> payload() const {
        return std::span<const std::uint8_t, kMaxChunkPayload>(bytes.data() + kFrameHeaderSize,
                                                               kMaxChunkPayload);
    }

    // Stores the checksum of the current contents in bytes 1-2.
    void seal();
};

// A request: report id 4, command, length, offset and up to 56 payload
// bytes (the rest zero), sealed with its checksum.  The length field is
// `length`; the payload copied is `payload` (callers pass at most 56).
ReportFrame makeRequest(Command command, std::uint8_t length, std::uint16_t offset,
                        std::span<const std::uint8_t> payload = {});

// The unsealed frames of commands 13 and 19: report id, command, and zeros
// everywhere else, the checksum field included.
ReportFrame makeUnsealedNotice(Command command);

// What a reply's status byte says: Rejected for 0xFF, Malformed for 0xFE,
// Ok for anything else.
constexpr Status replyStatus(std::uint8_t status) {
    if (status == kStatusRejectedFF) {
        return Status::Rejected;
    }
    if (status == kStatusRejectedFE) {
        return Status::Malformed;
    }
    return Status::Ok;
}

// "command 5 at 0x0092": names a request's frame in a result's detail.
std::string describeRequest(const FrameBytes& request);

// True when `reply` is the answer to `request`: it echoes the request's
// command and offset, and its length field fits a frame (for the commands
// that return data, it is the length asked for).  Anything else is the late
// answer to an earlier request and must not be taken for this one's.
bool replyAnswers(const FrameBytes& request, const FrameBytes& reply);

// Payload length of the chunk at chunk offset `chunkOffset` of a `total`-byte
// transfer: 56 while a further chunk follows, else what is left.
constexpr std::uint8_t chunkLength(std::size_t chunkOffset, std::size_t total) {
    return static_cast<std::uint8_t>(chunkOffset + kMaxChunkPayload < total ? kMaxChunkPayload
                                                                            : total - chunkOffset);
}

// "04 01 00 ..." : 64 lowercase hex bytes separated by single spaces.
std::string frameToHex(std::span<const std::uint8_t> bytes);

} // namespace quellix::device
