#pragma once
// The 64-byte configuration report as the firmware sees it.
//
//   byte 0      report id 4
//   bytes 1-2   checksum, little endian: sum of bytes 3..63 modulo 65536
//   byte 3      command
//   byte 4      payload length, at most 56
//   bytes 5-6   offset, little endian
//   byte 7      status (0 in requests; the firmware's verdict in replies)
//   bytes 8-63  payload

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quellix::sim {

inline constexpr std::size_t kReportSize = 64;
inline constexpr std::size_t kPayloadOffset = 8;
inline constexpr std::size_t kMaxPayload = kReportSize - kPayloadOffset; // 56
inline constexpr std::uint8_t kConfigReportId = 4;
inline constexpr std::uint8_t kConsumerReportId = 3;

using Report = std::array<std::uint8_t, kReportSize>;

// Status byte of a reply.
namespace status {
inline constexpr std::uint8_t kOk = 0x00;
// The command is unknown, or this device has no such function.
inline constexpr std::uint8_t kRejected = 0xFF;
// The request is malformed: wrong size or report id, bad checksum, length
// above 56, a range outside the addressed memory, or an invalid value.
inline constexpr std::uint8_t kMalformed = 0xFE;
} // namespace status

namespace command {
inline constexpr std::uint8_t kBeginTransfer = 1;
inline constexpr std::uint8_t kEndTransfer = 2;
inline constexpr std::uint8_t kReadInfo = 3;
inline constexpr std::uint8_t kReadBlock = 5;
inline constexpr std::uint8_t kWriteBlock = 6;
inline constexpr std::uint8_t kReadDefaultKeys = 7;
inline constexpr std::uint8_t kReadKeyPage = 8;
inline constexpr std::uint8_t kWriteKeyPage = 9;
inline constexpr std::uint8_t kReset = 13;
inline constexpr std::uint8_t kStreamFrame = 18;
inline constexpr std::uint8_t kLightingNotice = 19;
inline constexpr std::uint8_t kWriteMacroImage = 21;
inline constexpr std::uint8_t kWritePointerImage = 23;
} // namespace command

inline std::uint16_t reportChecksum(std::span<const std::uint8_t, kReportSize> report) {
    std::uint16_t sum = 0;
    for (std::size_t i = 3; i < kReportSize; ++i) {
        sum = static_cast<std::uint16_t>(sum + report[i]);
    }
    return sum;
}

inline void storeChecksum(Report& report) {
    const std::uint16_t sum = reportChecksum(report);
    report[1] = static_cast<std::uint8_t>(sum & 0xFF);
    report[2] = static_cast<std::uint8_t>(sum >> 8);
}

} // namespace quellix::sim
