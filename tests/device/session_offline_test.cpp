// Session behaviour that needs no device: results while disconnected and
// the pause before command 2.

#include "quellix/device/device_session.h"
#include "quellix/platform/clock.h"

#include "result_print.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace quellix::device {
namespace {

TEST(SessionOffline, EndTransferPausesTenMillisecondsEvenWhenDisconnected) {
    platform::ManualClock clock;
    DeviceSession session;
    session.setClock(clock);
    EXPECT_EQ(session.endTransfer(), Status::NotConnected);
    EXPECT_EQ(clock.tickCount(), 10u);
    EXPECT_EQ(session.beginTransfer(), Status::NotConnected);
    EXPECT_EQ(clock.tickCount(), 10u);
}

TEST(SessionOffline, ConstructionAndIdentity) {
    DeviceSession session;
    EXPECT_EQ(session.blockLength, 512);
    EXPECT_EQ(session.connected, 0);
    EXPECT_EQ(session.syncActive, 0);
    EXPECT_EQ(session.streamEnabled, 1);
    EXPECT_EQ(session.identity(), DeviceIdentity{});
    session.setIdentity(identityOf(DeviceKind::MousePad));
    EXPECT_EQ(session.productId, 0x5F02);
    EXPECT_EQ(session.usagePage, 0xFF1C);
    EXPECT_EQ(session.usage, 0x0092);
}

TEST(SessionOffline, DisconnectedResults) {
    DeviceSession session;
    KeyBlock block{};
    DeviceInfoBlock info{};
    const std::vector<std::uint8_t> data(100, 1);
    std::vector<std::uint8_t> out(8);
    struct Case {
        const char* what;
        Result result;
        Status expected;
    };
    const Case cases[] = {
        {"begin", session.beginTransfer(), Status::NotConnected},
        {"info", session.readDeviceInfo(info), Status::NotConnected},
        {"read block", session.readBlock(0, out), Status::NotConnected},
        {"default keys", session.readDefaultKeys(block), Status::NotConnected},
        {"key page 4", session.readKeyPage(4, block), Status::NotConnected},
        {"key page 5", session.readKeyPage(5, block), Status::BadArgument},
        {"write page 9", session.writeKeyPage(9, block), Status::BadArgument},
        {"reset", session.resetDevice(), Status::NotConnected},
        {"notice", session.lightingNotice(), Status::NotConnected},
        {"stream", session.streamFrame(data), Status::NotConnected},
        {"macro", session.writeMacroImage(data), Status::NotConnected},
        {"empty pointer image", session.writePointerImage({}), Status::Ok},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.what;
    }
    session.blockLength = 0;
    EXPECT_TRUE(session.readDefaultKeys(block));
}

} // namespace
} // namespace quellix::device
