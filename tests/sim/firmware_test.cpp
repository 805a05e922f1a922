// The firmware model on its own: what each device answers to a request.

#include "firmware.h"
#include "sim_client.h"

#include <gtest/gtest.h>
#include <set>

namespace quellix::sim {
namespace {

constexpr std::uint16_t kMouseProductId = 0x5F01;
constexpr std::uint16_t kPadProductId = 0x5F02;

using testing::Frame;
using testing::request;

std::uint8_t statusOf(Firmware& firmware, const Frame& frame) {
    return firmware.handle(frame)[7];
}

TEST(Firmware, InfoBlockDescribesEachModel) {
    Firmware mouse(Model::Mouse, kMouseProductId);
    const Report reply = mouse.handle(request(3, 33, 0));
    EXPECT_EQ(reply[4], 33);
    const std::uint8_t* info = &reply[8];
    EXPECT_EQ(info[9] | (info[10] << 8), 0x3325); // a sensor the program knows
    EXPECT_EQ(info[12], 73);                      // 200 + (73 - 24) * 200 = 10000 DPI
    EXPECT_EQ(info[13] | (info[14] << 8), 200);
    EXPECT_EQ(info[6], 32); // 4 KiB of macro memory

    Firmware keyboard(Model::Keyboard, 0x0632);
    EXPECT_EQ(keyboard.region(Region::Info)[5], 126);
    EXPECT_GT(keyboard.region(Region::Info)[6], 0);
}

TEST(Firmware, RepliesCarryTheirOwnChecksum) {
    Firmware pad(Model::MousePad, kPadProductId);
    const Report reply = pad.handle(request(5, 56, 64));
    EXPECT_EQ(reply[1] | (reply[2] << 8), reportChecksum(reply));
    EXPECT_EQ(reply[3], 5);
    EXPECT_EQ(reply[5], 64);
}

TEST(Firmware, MalformedOrUnsupportedRequestsAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        Model model;
        Frame frame;
        std::uint8_t status;
    };
    Frame badChecksum = request(6, 1, 0, {1});
    badChecksum[1] ^= 1;
    Frame wrongReportId = request(6, 1, 0, {1});
    wrongReportId[0] = 5;
    Frame tooLong = request(6, 56, 0, {1});
    tooLong[4] = 57;
    const Case cases[] = {
        {"bad checksum", Model::MousePad, badChecksum, status::kMalformed},
        {"wrong report id", Model::MousePad, wrongReportId, status::kMalformed},
        {"length above 56", Model::MousePad, tooLong, status::kMalformed},
        {"write past slot memory", Model::MousePad,
         request(6, 8, 316, std::vector<std::uint8_t>(8, 1)), status::kMalformed},
        {"read past slot memory", Model::Keyboard, request(5, 1, 64), status::kMalformed},
        {"active slot out of range", Model::Mouse, request(6, 1, 0, {5}), status::kMalformed},
        {"keyboard has one slot", Model::Keyboard, request(6, 1, 0, {1}), status::kMalformed},
        {"key page not at a page start", Model::Mouse,
         request(9, 56, 100, std::vector<std::uint8_t>(56, 1)), status::kMalformed},
        {"key page beyond key memory", Model::Mouse, request(8, 56, 1000), status::kMalformed},
        {"macro past its memory", Model::Mouse,
         request(21, 56, 4090, std::vector<std::uint8_t>(56, 1)), status::kMalformed},
        {"LED chunk past the frame", Model::MousePad,
         request(18, 56, 0, std::vector<std::uint8_t>(56, 1)), status::kMalformed},
        {"unknown command", Model::Mouse, request(4, 0, 0), status::kRejected},
        {"pad has no key pages", Model::MousePad, request(8, 56, 0), status::kRejected},
        {"pad has no macro memory", Model::MousePad, request(21, 4, 0, {1, 2, 3, 4}),
         status::kRejected},
        {"keyboard has no pointer patterns", Model::Keyboard, request(23, 4, 0, {1, 2, 3, 4}),
         status::kRejected},
    };
    for (const Case& c : cases) {
        Firmware firmware(c.model, c.model == Model::Mouse      ? kMouseProductId
                                   : c.model == Model::MousePad ? kPadProductId
                                                                : 0x7513);
        Firmware pristine = firmware;
        const Report reply = firmware.handle(c.frame);
        EXPECT_EQ(reply[7], c.status) << c.what;
        EXPECT_EQ(reply[0], 4) << c.what;
        for (Region region : {Region::Slots, Region::KeyPages, Region::Macro, Region::Pointer}) {
            EXPECT_EQ(firmware.region(region), pristine.region(region)) << c.what;
        }
        EXPECT_EQ(firmware.ledFrames(), 0u) << c.what;
    }
}

TEST(Firmware, ResetAndLightingNoticeAreAcceptedWithAZeroChecksum) {
    Firmware mouse(Model::Mouse, kMouseProductId);
    const auto factorySlots = mouse.region(Region::Slots);
    ASSERT_EQ(statusOf(mouse, request(6, 3, 15, {1, 2, 3})), status::kOk);
    ASSERT_EQ(statusOf(mouse, request(21, 4, 0, {9, 9, 9, 9})), status::kOk);

    Frame reset{};
    reset[0] = 4;
    reset[3] = 13;
    EXPECT_EQ(statusOf(mouse, reset), status::kOk);
    EXPECT_EQ(mouse.region(Region::Slots), factorySlots);
    EXPECT_EQ(mouse.region(Region::Macro)[0], 0);
    EXPECT_EQ(mouse.resets(), 1u);

    Frame notice{};
    notice[0] = 4;
    notice[3] = 19;
    EXPECT_EQ(statusOf(mouse, notice), status::kOk);
    Frame otherWithZeroChecksum{};
    otherWithZeroChecksum[0] = 4;
    otherWithZeroChecksum[3] = 1;
    EXPECT_EQ(statusOf(mouse, otherWithZeroChecksum), status::kMalformed);
}

TEST(Firmware, TransferBracketIsTracked) {
    Firmware pad(Model::MousePad, kPadProductId);
    EXPECT_FALSE(pad.inTransfer());
    statusOf(pad, request(1, 0, 0));
    EXPECT_TRUE(pad.inTransfer());
    statusOf(pad, request(2, 0, 0));
    EXPECT_FALSE(pad.inTransfer());
}

TEST(Firmware, LedFrameCompletesWhenAChunkEndsAtAFrameLength) {
    struct Case {
        Model model;
        std::uint16_t productId;
        std::size_t frameLength;
    };
    const Case cases[] = {{Model::MousePad, kPadProductId, 33}, {Model::Mouse, kMouseProductId, 60},
                          {Model::Keyboard, 0x763E, 378},       {Model::Keyboard, 0x0632, 126},
                          {Model::Keyboard, 0x0632, 108},       {Model::Keyboard, 0x0632, 378}};
    for (const Case& c : cases) {
        Firmware firmware(c.model, c.productId);
        for (int frame = 1; frame <= 2; ++frame) {
            for (std::size_t chunk = 0; chunk < c.frameLength; chunk += 56) {
                const auto length =
                    static_cast<std::uint8_t>(std::min<std::size_t>(56, c.frameLength - chunk));
                EXPECT_EQ(firmware.ledFrames(), static_cast<std::uint64_t>(frame - 1));
                EXPECT_EQ(
                    statusOf(firmware, request(18, length, static_cast<std::uint16_t>(chunk),
                                               std::vector<std::uint8_t>(
                                                   length, static_cast<std::uint8_t>(frame)))),
                    status::kOk);
            }
        }
        EXPECT_EQ(firmware.ledFrames(), 2u) << c.frameLength;
        EXPECT_EQ(firmware.lastLedFrame(), std::vector<std::uint8_t>(c.frameLength, 2));
    }
}

TEST(Firmware, KeyPageWriteKeepsThePageThroughARetriedChunk) {
    Firmware mouse(Model::Mouse, kMouseProductId);
    const std::vector<std::uint8_t> a(56, 0xA1), b(56, 0xB2), c(14, 0xC3);
    EXPECT_EQ(statusOf(mouse, request(9, 56, 504, a)), status::kOk); // page 4
    EXPECT_EQ(statusOf(mouse, request(9, 56, 560, b)), status::kOk);
    EXPECT_EQ(statusOf(mouse, request(9, 56, 560, b)),
              status::kOk); // sent again after a lost reply
    EXPECT_EQ(statusOf(mouse, request(9, 14, 616, c)), status::kOk);
    std::vector<std::uint8_t> expected(a);
    expected.insert(expected.end(), b.begin(), b.end());
    expected.insert(expected.end(), c.begin(), c.end());
    const auto& keys = mouse.region(Region::KeyPages);
    EXPECT_EQ(std::vector<std::uint8_t>(keys.begin() + 504, keys.begin() + 630), expected);
}

TEST(Firmware, APageStartingWhereTheLastTransferEndedIsANewPage) {
    struct Case {
        Model model;
        std::uint16_t productId;
        std::size_t transfer;  // the host's key block for this model
        std::size_t pageBytes; // what the device stores of a page
        std::uint16_t nextPage;
    };
    const Case cases[] = {
        {Model::Mouse, kMouseProductId, 512, 126, 4}, // page 4 at 504
        {Model::Keyboard, 0x0632, 378, 378, 3},       // page 3 at 378
    };
    for (const Case& c : cases) {
        Firmware firmware(c.model, c.productId);
        const auto writePage = [&](std::uint16_t page, std::uint8_t value) {
            for (std::size_t chunk = 0; chunk < c.transfer; chunk += 56) {
                const auto length =
                    static_cast<std::uint8_t>(std::min<std::size_t>(56, c.transfer - chunk));
                const auto offset = static_cast<std::uint16_t>(page * 126 + chunk);
                ASSERT_EQ(statusOf(firmware, request(9, length, offset,
                                                     std::vector<std::uint8_t>(length, value))),
                          status::kOk);
            }
        };
        writePage(0, 0x11);
        writePage(c.nextPage, 0x22);
        const auto& keys = firmware.region(Region::KeyPages);
        const auto page = keys.begin() + c.nextPage * 126;
        EXPECT_EQ(std::vector<std::uint8_t>(page, page + static_cast<long>(c.pageBytes)),
                  std::vector<std::uint8_t>(c.pageBytes, 0x22))
            << modelName(c.model);
        EXPECT_EQ(keys[0], 0x11) << modelName(c.model);
    }
}

TEST(Firmware, DefaultKeysFollowTheKeyFunctionEncoding) {
    Firmware mouse(Model::Mouse, kMouseProductId);
    const auto& mouseKeys = mouse.region(Region::DefaultKeys);
    ASSERT_EQ(mouseKeys.size(), 512u);
    const std::vector<std::uint8_t> leftWheelRight{0x10, 0x01, 0, 0x10, 0x04, 0, 0x10, 0x02, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(mouseKeys.begin(), mouseKeys.begin() + 9), leftWheelRight);
    // Key page 0 starts as the factory page.
    const auto& pages = mouse.region(Region::KeyPages);
    EXPECT_TRUE(std::equal(pages.begin(), pages.begin() + 126, mouseKeys.begin()));

    // Keyboard slots are numbered by LED: on 0x7513 Esc carries LED 0 and
    // Print Screen LED 14; on 0x0632 Print Screen carries LED 13.
    Firmware full(Model::Keyboard, 0x7513);
    const auto& fullKeys = full.region(Region::DefaultKeys);
    EXPECT_EQ(std::vector<std::uint8_t>(fullKeys.begin(), fullKeys.begin() + 3),
              (std::vector<std::uint8_t>{0x20, 0, 0x29}));
    EXPECT_EQ(fullKeys[3 * 14 + 2], 0x46);
    Firmware oneColour(Model::Keyboard, 0x0632);
    EXPECT_EQ(oneColour.region(Region::DefaultKeys)[3 * 13 + 2], 0x46);
}

TEST(Firmware, EveryKeyboardKeyWithAnLedHasItsOwnSlot) {
    // Keys with an LED: 104 on 0x7513 and 0x0632, 105 on 0x763E (K45).
    const std::pair<std::uint16_t, std::size_t> layouts[] = {
        {0x7513, 104}, {0x0632, 104}, {0x763E, 105}};
    for (const auto& [productId, keyCount] : layouts) {
        const auto table = keyboardDefaultKeys(productId);
        std::set<std::array<std::uint8_t, 3>> functions;
        std::size_t keys = 0;
        for (std::size_t slot = 0; slot < 126; ++slot) {
            const std::array<std::uint8_t, 3> f{table[3 * slot], table[3 * slot + 1],
                                                table[3 * slot + 2]};
            if (f[0] != 0x05) {
                ++keys;
                functions.insert(f);
            }
        }
        EXPECT_EQ(keys, keyCount) << std::hex << productId;
        EXPECT_EQ(functions.size(), keyCount) << std::hex << productId; // no key twice
    }
}

TEST(Firmware, KeyboardProductIdMustBeKnown) {
    EXPECT_THROW(Firmware(Model::Keyboard, 0x1234), std::invalid_argument);
}

} // namespace
} // namespace quellix::sim
