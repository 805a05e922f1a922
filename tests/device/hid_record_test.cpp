// The HID access record against simulated interfaces: path array growth,
// interface and collection numbers, open flags, the decoded item tables,
// cancellable reads and report unpacking.

#include "fake_sim_dir.h"
#include "quellix/device/hid_device_record.h"

#include <gtest/gtest.h>
#include <thread>

namespace quellix::device {
namespace {

using quellix::testing::FakeSimDir;
using Bytes = std::vector<std::uint8_t>;
namespace descriptors = quellix::testing::descriptors;

// Consumer page, one 16-bit array field pair over two usage ranges:
// indices 1..0x402 select usages 1..0x402, indices 0x403.. usages 0x500...
const Bytes kTwoRangeConsumer = {0x05, 0x0c, 0x09, 0x01, 0xa1, 0x01, 0x85, 0x03, 0x19, 0x01, 0x2a,
                                 0x02, 0x04, 0x1a, 0x00, 0x05, 0x2a, 0xff, 0x05, 0x15, 0x01, 0x26,
                                 0x02, 0x05, 0x75, 0x10, 0x95, 0x02, 0x81, 0x00, 0xc0};

// One value capability over usages 3..6 (four 8-bit fields).
const Bytes kValueRange = {0x06, 0x00, 0xff, 0x09, 0x01, 0xa1, 0x01, 0x19, 0x03, 0x29, 0x06, 0x15,
                           0x00, 0x26, 0xff, 0x00, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0xc0};

class HidRecord : public ::testing::Test {
protected:
    void SetUp() override {
        record.source = sim.source();
        initRecord(record);
    }
    void TearDown() override { releaseRecord(record); }

    // Plugs an interface and opens its (single or numbered) collection.
    std::string plugAndOpen(const Bytes& descriptor, const std::string& collection = "",
                            int exclusive = 0) {
        const std::string socket = sim.plug(0x0c45, 0x5f02, 0x0100, 1, descriptor);
        record.openForRead = record.openForWrite = record.openOverlapped = 1;
        record.openExclusive = exclusive;
        EXPECT_TRUE(record.path.assign("hid#vid_0c45&pid_5f02&mi_01" + collection + "#" + socket));
        EXPECT_EQ(openDevice(record), 1);
        return socket;
    }

    FakeSimDir sim;
    HidDeviceRecord record;
};

struct Growth {
    int interfaces;
    std::uint32_t capacity;
};

class HidRecordGrowth : public HidRecord, public ::testing::WithParamInterface<Growth> {};

TEST_P(HidRecordGrowth, PathArrayDoublesFromEight) {
    for (int i = 0; i < GetParam().interfaces; ++i)
        sim.plug(0x0c45, static_cast<std::uint16_t>(0x1000 + i), 0x0100, 0,
                 descriptors::kUnnumberedMouse);
    ASSERT_EQ(enumeratePaths(record), 1);
    EXPECT_EQ(record.pathCount, static_cast<std::uint32_t>(GetParam().interfaces));
    EXPECT_EQ(record.pathCapacity, GetParam().capacity);
    for (std::uint32_t i = 0; i < record.pathCount; ++i)
        EXPECT_NE(record.paths[i].find("vid_0c45"), std::string::npos);
    freePaths(record);
    EXPECT_EQ(record.paths, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HidRecordGrowth,
                         ::testing::Values(Growth{0, 8}, Growth{9, 16}, Growth{17, 32}));

TEST(HidRecordPath, InterfaceAndCollectionNumbersAreHex) {
    struct Case {
        const char* path;
        std::uint32_t interface, collection;
    };
    const Case cases[] = {
        {"hid#vid_0c45&pid_5f02&mi_01&col02#hidraw3", 1, 2},
        {"HID#VID_0C45&PID_5F02&MI_0A&COL1B#x", 0x0a, 0x1b},
        {"hid#vid_0c45&pid_5f02#hidraw3", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hexAfter(c.path, "&mi_"), c.interface) << c.path;
        EXPECT_EQ(hexAfter(c.path, "&col"), c.collection) << c.path;
    }
}

TEST(HidRecordPath, OverlongPathIsRefused) {
    PathBuffer path;
    EXPECT_TRUE(path.assign("short"));
    EXPECT_FALSE(path.assign(std::string(kMaxPathChars, 'x')));
    EXPECT_EQ(path.view(), "short");
}

TEST_F(HidRecord, OpenFillsInfoAndRecordsTheSharing) {
    plugAndOpen(descriptors::kConfigAndConsumer, "&col01", 1);
    ASSERT_NE(record.handle, nullptr);
    EXPECT_TRUE(record.handle->flags().shareRead);
    EXPECT_FALSE(record.handle->flags().shareWrite); // exclusive: share for reading only
    EXPECT_EQ(record.interfaceNumber, 1u);
    EXPECT_EQ(record.collectionNumber, 1u);
    EXPECT_EQ(record.attributes.productId, 0x5f02);
    EXPECT_EQ(record.caps.usagePage, 0xff1c);
    EXPECT_EQ(record.caps.usage, 0x92);
    EXPECT_EQ(record.inputReport.size(), 64u);
    EXPECT_EQ(record.inputDataLength, 1u);

    record.openExclusive = 0;
    ASSERT_EQ(openDevice(record), 1);
    EXPECT_TRUE(record.handle->flags().shareWrite);
}

TEST_F(HidRecord, ProbeSeesPresenceWithoutTouchingTheHandle) {
    const std::string socket = plugAndOpen(descriptors::kConfigAndConsumer, "&col02");
    const hid::Device* handle = record.handle.get();
    EXPECT_EQ(probeDevice(record), 1);
    EXPECT_EQ(record.handle.get(), handle);
    sim.unplug(socket);
    EXPECT_EQ(probeDevice(record), 0);
}

TEST_F(HidRecord, FailedOpenLeavesNoHandle) {
    record.openForRead = 1;
    ASSERT_TRUE(record.path.assign("hid#vid_0c45&pid_5f02&mi_01#absent.sock"));
    EXPECT_EQ(openDevice(record), 0);
    EXPECT_EQ(record.handle, nullptr);
    freeDeviceInfo(record); // safe on an empty record
    EXPECT_EQ(record.inputData, nullptr);
}

TEST_F(HidRecord, ValueRangeYieldsOneItemPerUsage) {
    plugAndOpen(kValueRange);
    ASSERT_EQ(record.inputDataLength, 4u);
    for (std::uint16_t i = 0; i < 4; ++i) {
        EXPECT_EQ(record.inputData[i].isButtonData, 0);
        EXPECT_EQ(record.inputData[i].usage, 3 + i);
        EXPECT_EQ(record.inputData[i].status, kHidStatusSuccess);
    }
    const Bytes report = {0x00, 10, 20, 30, 40};
    ASSERT_TRUE(unpackReport(record.inputData.get(), record.inputDataLength, report.data(),
                             static_cast<std::uint32_t>(report.size()),
                             record.preparsedData.get()));
    EXPECT_EQ(record.inputData[2].value, 30u);
    EXPECT_EQ(record.inputData[3].scaledValue, 40);
    EXPECT_EQ(record.inputData[3].isDataSet, 1);
}

TEST_F(HidRecord, ButtonItemKeepsOnlyUsagesInItsRange) {
    plugAndOpen(kTwoRangeConsumer);
    ASSERT_EQ(record.inputDataLength, 2u);
    HidData& item = record.inputData[0];
    EXPECT_EQ(item.usageMin, 1u);
    EXPECT_EQ(item.usageMax, 0x402u);
    ASSERT_EQ(item.maxUsageLength, 2u);
    item.usages[1] = 0xbeef;
    // Indices 0x401 and 0x403: usages 0x401 and 0x500.
    const Bytes report = {0x03, 0x01, 0x04, 0x03, 0x04};
    ASSERT_TRUE(unpackReport(record.inputData.get(), record.inputDataLength, report.data(),
                             static_cast<std::uint32_t>(report.size()),
                             record.preparsedData.get()));
    EXPECT_EQ(item.usages[0], 0x401);
    EXPECT_EQ(item.usages[1], 0);
    EXPECT_EQ(item.isDataSet, 1);
    EXPECT_EQ(record.inputData[1].usages[0], 0x500);

    // A report of another id touches nothing.
    record.inputData[0].isDataSet = 0;
    const Bytes other = {0x07, 0, 0, 0, 0};
    EXPECT_TRUE(unpackReport(record.inputData.get(), record.inputDataLength, other.data(),
                             static_cast<std::uint32_t>(other.size()), record.preparsedData.get()));
    EXPECT_EQ(record.inputData[0].isDataSet, 0);
}

TEST_F(HidRecord, ReadTimesOutWithZero) {
    plugAndOpen(descriptors::kConfigAndConsumer, "&col01");
    std::uint32_t bytesRead = 7;
    EXPECT_EQ(readReport(record, record.inputReport.data(), 64, 300, &bytesRead), 0);
    EXPECT_EQ(bytesRead, 0u);
    EXPECT_EQ(record.readPending.load(), 0);
}

TEST_F(HidRecord, CancelPendingEndsAReadOnAnotherThread) {
    plugAndOpen(descriptors::kConfigAndConsumer, "&col01");
    std::uint32_t bytesRead = 0;
    int result = -1;
    std::thread reader(
        [&] { result = readReport(record, record.inputReport.data(), 64, 60000, &bytesRead); });
    while (record.readPending.load() == 0)
        std::this_thread::yield();
    cancelPending(record);
    reader.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(record.readPending.load(), 0);
}

TEST_F(HidRecord, ReplyLateForAnAbandonedReadIsDroppedBeforeTheNextRequest) {
    const std::string socket = plugAndOpen(descriptors::kConfigAndConsumer, "&col01");
    Bytes stale(64, 0), fresh(64, 0), request(64, 0);
    stale[0] = fresh[0] = request[0] = 4;
    stale[1] = 0x51;
    fresh[1] = 0x52;
    std::uint32_t count = 0;
    // A request whose read gives up before its answer comes.
    ASSERT_EQ(writeReport(record, request.data(), 64, &count), 1);
    EXPECT_EQ(sim.receive(socket), request);
    EXPECT_EQ(readReport(record, record.inputReport.data(), 64, 1, &count), 0);
    sim.send(socket, stale);
    // The late answer is queued on the handle before the next request goes.
    pollfd queued{record.handle->fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&queued, 1, 20000), 1);
    ASSERT_EQ(writeReport(record, request.data(), 64, &count), 1);
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(sim.receive(socket), request);
    sim.send(socket, fresh);
    ASSERT_EQ(readReport(record, record.inputReport.data(), 64, 20000, &count), 1);
    EXPECT_EQ(record.inputReport[1], 0x52);
}

TEST_F(HidRecord, ReleaseIsSafeTwice) {
    plugAndOpen(descriptors::kConfigAndConsumer, "&col02");
    releaseRecord(record);
    EXPECT_EQ(record.handle, nullptr);
    EXPECT_EQ(record.cancelEvent, nullptr);
    releaseRecord(record);
    initRecord(record);
    // The source is the record's for its whole life, not a state of one open.
    EXPECT_EQ(record.source, sim.source());
}

} // namespace
} // namespace quellix::device

namespace quellix::device {
namespace {

// A button-page application of `items` main items, each 255 one-bit fields
// over usages 1..255.
Bytes manyButtonItems(int items) {
    Bytes d = {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x05, 0x09,
               0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0xff};
    for (int i = 0; i < items; ++i) {
        d.insert(d.end(), {0x19, 0x01, 0x29, 0xff, 0x81, 0x02});
    }
    d.push_back(0xc0);
    return d;
}

std::shared_ptr<const hid::PreparsedData> parsed(const Bytes& descriptor) {
    hid::ParsedDescriptor result;
    const hid::ParseResult parse = hid::parseReportDescriptor(descriptor, result);
    EXPECT_TRUE(parse.ok) << parse.error;
    if (!parse.ok || result.collections.empty()) {
        return nullptr;
    }
    return std::make_shared<hid::PreparsedData>(std::move(result.collections.front()));
}

TEST(HidRecordTables, ButtonListsBeyondWhatAReportCarriesAreRefusedWithAReason) {
    // 250 items in 1.5 KiB: each item's list would hold all 63750 fields of
    // the page, 32 MB together.
    HidDeviceRecord record;
    initRecord(record);
    const auto data = parsed(manyButtonItems(250));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(fillDeviceInfoFrom(record, data, {}), 0);
    EXPECT_NE(record.openError.find("more buttons than a report can carry"), std::string::npos)
        << record.openError;
    EXPECT_EQ(record.inputData, nullptr);
    EXPECT_EQ(record.inputDataLength, 0u);
    releaseRecord(record);
}

TEST(HidRecordTables, EachButtonListHoldsAtMostTheReportsBits) {
    HidDeviceRecord record;
    initRecord(record);
    const auto data = parsed(manyButtonItems(4));
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(fillDeviceInfoFrom(record, data, {}), 1) << record.openError;
    ASSERT_EQ(record.inputDataLength, 4u);
    const std::uint32_t bits = 8u * record.caps.inputReportByteLength;
    for (std::uint32_t i = 0; i < record.inputDataLength; ++i) {
        EXPECT_GT(record.inputData[i].maxUsageLength, 0u);
        EXPECT_LE(record.inputData[i].maxUsageLength, bits);
    }
    releaseRecord(record);
}

} // namespace
} // namespace quellix::device
