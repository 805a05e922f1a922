#include "quellix/device/report_frame.h"

#include <cstdio>

#include <algorithm>

namespace quellix::device {

void ReportFrame::seal() {
    const std::uint16_t sum = frameChecksum(bytes);
    bytes[1] = static_cast<std::uint8_t>(sum & 0xFF);
    bytes[2] = static_cast<std::uint8_t>(sum >> 8);
}

ReportFrame makeRequest(Command command, std::uint8_t length, std::uint16_t offset,
                        std::span<const std::uint8_t> payload) {
    ReportFrame frame;
    frame.bytes[0] = kRequestReportId;
    frame.bytes[3] = static_cast<std::uint8_t>(command);
    frame.bytes[4] = length;
    frame.bytes[5] = static_cast<std::uint8_t>(offset & 0xFF);
    frame.bytes[6] = static_cast<std::uint8_t>(offset >> 8);
    const std::size_t copied = std::min(payload.size(), kMaxChunkPayload);
    std::copy_n(payload.begin(), copied, frame.bytes.begin() + kFrameHeaderSize);
    frame.seal();
    return frame;
}

ReportFrame makeUnsealedNotice(Command command) {
    ReportFrame frame;
    frame.bytes[0] = kRequestReportId;
    frame.bytes[3] = static_cast<std::uint8_t>(command);
    return frame;
}

std::string frameToHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0) {
            text.push_back(' ');
        }
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

bool replyAnswers(const FrameBytes& request, const FrameBytes& reply) {
    constexpr std::size_t kCommand = 3, kLength = 4, kOffsetLow = 5, kOffsetHigh = 6;
    if (reply[kCommand] != request[kCommand] || reply[kOffsetLow] != request[kOffsetLow] ||
        reply[kOffsetHigh] != request[kOffsetHigh] || reply[kLength] > kMaxChunkPayload) {
        return false;
    }
    switch (static_cast<Command>(request[kCommand])) {
    case Command::ReadDeviceInfo:
    case Command::ReadBlock:
    case Command::ReadDefaultKeys:
    case Command::ReadKeyPage:
        return reply[kLength] == request[kLength];
    default:
        return true;
    }
}

std::string describeRequest(const FrameBytes& request) {
    ReportFrame frame{request};
    char text[32];
    std::snprintf(text, sizeof text, "command %u at 0x%04x", static_cast<unsigned>(frame.command()),
                  static_cast<unsigned>(frame.offset()));
    return text;
}

} // namespace quellix::device
