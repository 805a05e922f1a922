#include "quellix/device/device_kind.h"
#include "quellix/device/report_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace quellix::device {
namespace {

TEST(ReportFrame, BeginTransferRequestIsByteExact) {
    const ReportFrame frame = makeRequest(Command::BeginTransfer, 0, 0);
    FrameBytes expected{};
    expected[0] = 4;
    expected[1] = 1; // bytes 3..63 add up to 1
    expected[3] = 1;
    EXPECT_EQ(frame.bytes, expected);
}

TEST(ReportFrame, FieldsAreLittleEndianAndChecksumCoversBytes3To63) {
    const std::vector<std::uint8_t> payload = {0xFF, 0xFF, 0xFF, 0x10};
    const ReportFrame frame = makeRequest(Command::WriteBlock, 4, 0x1234, payload);
    EXPECT_EQ(frame.bytes[4], 4);
    EXPECT_EQ(frame.bytes[5], 0x34);
    EXPECT_EQ(frame.bytes[6], 0x12);
    EXPECT_EQ(frame.bytes[7], 0);
    EXPECT_EQ(frame.offset(), 0x1234);
    // 6 + 4 + 0x34 + 0x12 + 3 * 0xFF + 0x10 = 0x035D
    EXPECT_EQ(frame.checksumField(), 0x035D);
    EXPECT_EQ(frame.bytes[1], 0x5D);
    EXPECT_EQ(frame.bytes[2], 0x03);
    EXPECT_EQ(frame.bytes[12], 0x00); // past the payload
}

TEST(ReportFrame, PayloadBeyond56BytesIsNotCopied) {
    const std::vector<std::uint8_t> payload(80, 0x01);
    const ReportFrame frame = makeRequest(Command::WriteMacroImage, 56, 0, payload);
    EXPECT_EQ(frame.checksumField(), 21 + 56 + 56);
}

TEST(ReportFrame, NoticesGoOutWithAZeroChecksumField) {
    for (Command command : {Command::ResetDevice, Command::LightingNotice}) {
        const ReportFrame frame = makeUnsealedNotice(command);
        EXPECT_EQ(frame.bytes[0], 4);
        EXPECT_EQ(frame.bytes[3], static_cast<std::uint8_t>(command));
        EXPECT_EQ(frame.checksumField(), 0);
    }
}

TEST(ReportFrame, StatusByteMapsToResult) {
    struct Case {
        std::uint8_t status;
        Status result;
    };
    for (const Case& c : {Case{0x00, Status::Ok}, Case{0x01, Status::Ok}, Case{0xFD, Status::Ok},
                          Case{0xFE, Status::Malformed}, Case{0xFF, Status::Rejected}}) {
        EXPECT_EQ(replyStatus(c.status), c.result) << int(c.status);
    }
}

TEST(ReportFrame, ChunkLengthsCoverTheTotal) {
    struct Case {
        std::size_t offset, total;
        std::uint8_t length;
    };
    for (const Case& c : {Case{0, 1, 1}, Case{0, 56, 56}, Case{0, 57, 56}, Case{56, 57, 1},
                          Case{448, 512, 56}, Case{504, 512, 8}}) {
        EXPECT_EQ(chunkLength(c.offset, c.total), c.length) << c.offset << "/" << c.total;
    }
}

TEST(ReportFrame, HexIsLowercaseAndSpaced) {
    const std::vector<std::uint8_t> bytes = {0x04, 0xAB, 0x00};
    EXPECT_EQ(frameToHex(bytes), "04 ab 00");
}

TEST(DeviceKind, PrefixesRoundTrip) {
    for (DeviceKind kind : kAllDeviceKinds) {
        EXPECT_EQ(kindFromPrefix(kindPrefix(kind)), kind);
    }
    EXPECT_EQ(kindPrefix(DeviceKind::MousePad), "mp");
    EXPECT_FALSE(kindFromPrefix("xx").has_value());
}

} // namespace
} // namespace quellix::device
