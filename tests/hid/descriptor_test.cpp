// The descriptor parser against the Windows parser's figures for 25 real
// collections, its errors on malformed input, and report decoding.

#include "fake_sim_dir.h"
#include "quellix/hid/descriptor.h"

#include <fstream>
#include <gtest/gtest.h>

namespace quellix::hid {
namespace {

using quellix::testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

ParsedDescriptor parse(const Bytes& bytes) {
    ParsedDescriptor parsed;
    const ParseResult result = parseReportDescriptor(bytes, parsed);
    EXPECT_TRUE(result.ok) << result.error;
    return parsed;
}

TEST(HidDescriptorFixtures, AgreeWithTheWindowsParser) {
    std::ifstream expected(QUELLIX_HID_FIXTURES "/EXPECTED.txt");
    ASSERT_TRUE(expected) << "missing EXPECTED.txt";
    std::string line;
    int fixtures = 0;
    while (std::getline(expected, line)) {
        if (line.empty())
            continue;
        const std::size_t space = line.find(' ');
        const std::string name = line.substr(0, space);
        SCOPED_TRACE(name);
        Bytes bytes;
        const ParseResult loaded =
            loadDescriptorFile(QUELLIX_HID_FIXTURES "/" + name + ".hex", bytes);
        ASSERT_TRUE(loaded.ok) << loaded.error;
        ParsedDescriptor parsed;
        const ParseResult result = parseReportDescriptor(bytes, parsed);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(describeCollections(parsed), line.substr(space + 1) + "\n");
        ++fixtures;
    }
    EXPECT_EQ(fixtures, 25);
}

struct MalformedCase {
    const char* name;
    Bytes bytes;
    const char* error;
};

class HidDescriptorMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(HidDescriptorMalformed, IsRejectedWithAReason) {
    ParsedDescriptor parsed;
    const ParseResult result = parseReportDescriptor(GetParam().bytes, parsed);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(GetParam().error), std::string::npos) << result.error;
    EXPECT_TRUE(parsed.collections.empty());
}

Bytes deeplyNested() {
    Bytes bytes;
    for (int i = 0; i < 40; ++i)
        bytes.insert(bytes.end(), {0xa1, 0x00});
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidDescriptorMalformed,
    ::testing::Values(
        MalformedCase{"Empty", {}, "no top-level collection"},
        MalformedCase{"Unclosed", {0x09, 0x01, 0xa1, 0x01}, "not closed"},
        MalformedCase{"ExtraEnd", {0xa1, 0x01, 0xc0, 0xc0}, "end collection without collection"},
        MalformedCase{"TruncatedItem", {0xa1, 0x01, 0x26, 0xff}, "truncated"},
        MalformedCase{"TruncatedLongItem", {0xfe, 0x05, 0x00, 0x01}, "truncated"},
        MalformedCase{"MainOutsideCollection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}, "outside"},
        MalformedCase{"HugeReportCount", {0xa1, 0x01, 0x97, 0x00, 0x00, 0x01, 0x00}, "too large"},
        MalformedCase{"ReportTooLong",
                      {0xa1, 0x01, 0x75, 0xff, 0x96, 0xff, 0xff, 0x81, 0x02, 0xc0},
                      "report longer"},
        MalformedCase{"ReportSizeZero", {0xa1, 0x01, 0x75, 0x00}, "report size"},
        MalformedCase{"ReportIdZero", {0xa1, 0x01, 0x85, 0x00}, "report id"},
        MalformedCase{"PopWithoutPush", {0xb4}, "pop without push"},
        MalformedCase{"NestedTooDeeply", deeplyNested(), "nested too deeply"},
        MalformedCase{"UsageRangeReversed", {0x19, 0x05, 0x29, 0x01}, "above"},
        MalformedCase{"UnknownGlobal", {0xc5, 0x00}, "unknown global"},
        MalformedCase{"ReservedType", {0x0c}, "reserved"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidDescriptor, LinkCollectionsReportIdsAndArrayCaps) {
    const ParsedDescriptor parsed = parse(quellix::testing::descriptors::kConfigAndConsumer);
    ASSERT_EQ(parsed.collections.size(), 2u);
    const PreparsedData& config = parsed.collections[0];
    EXPECT_EQ(config.caps.usagePage, 0xff1c);
    EXPECT_EQ(config.caps.usage, 0x92);
    EXPECT_EQ(config.caps.inputReportByteLength, 64);
    EXPECT_EQ(config.caps.outputReportByteLength, 64);
    EXPECT_EQ(config.reportIds[0], Bytes{4});
    const PreparsedData& consumer = parsed.collections[1];
    ASSERT_EQ(consumer.buttonCaps[0].size(), 1u);
    const ButtonCaps& array = consumer.buttonCaps[0][0];
    EXPECT_TRUE(array.isArray);
    EXPECT_TRUE(array.isRange);
    EXPECT_EQ(array.range.usageMax, 0xfff);
    EXPECT_EQ(array.reportId, 3);
    EXPECT_EQ(consumer.caps.inputReportByteLength, 3);
    EXPECT_EQ(consumer.caps.numberInputDataIndices, 0x1000);
}

TEST(HidDescriptor, SeveralUsagesOfOneVariableItemGiveOneCapabilityEach) {
    // Usages X, Y, Wheel with a count of 4: the last usage takes two fields.
    const Bytes bytes = {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,
                         0x15, 0x81, 0x25, 0x7f, 0x75, 0x08, 0x95, 0x04, 0x81, 0x06, 0xc0};
    const PreparsedData data = parse(bytes).collections.at(0);
    ASSERT_EQ(data.valueCaps[0].size(), 3u);
    EXPECT_EQ(data.valueCaps[0][0].range.usageMin, 0x30);
    EXPECT_EQ(data.valueCaps[0][1].bitOffset, 8u);
    EXPECT_EQ(data.valueCaps[0][2].range.usageMin, 0x38);
    EXPECT_EQ(data.valueCaps[0][2].reportCount, 2);
    EXPECT_FALSE(data.valueCaps[0][2].isAbsolute);
    EXPECT_EQ(data.caps.inputReportByteLength, 5);
}

class HidDecode : public ::testing::Test {
protected:
    PreparsedData mouse = parse(quellix::testing::descriptors::kUnnumberedMouse).collections.at(0);
};

TEST_F(HidDecode, ButtonsAndValuesOfAnUnnumberedReport) {
    const Bytes report = {0x00, 0b101, 0xff, 0x05};
    std::uint16_t usages[8] = {};
    std::uint32_t count = 8;
    EXPECT_EQ(getUsages(mouse, ReportType::Input, 0x09, usages, count, report), Status::Success);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(usages[0], 1);
    EXPECT_EQ(usages[1], 3);
    EXPECT_EQ(maxUsageListLength(mouse, ReportType::Input, 0x09), 3u);

    std::uint32_t raw = 0;
    EXPECT_EQ(getUsageValue(mouse, ReportType::Input, 0x01, 0x30, raw, report), Status::Success);
    EXPECT_EQ(raw, 0xffu);
    std::int32_t scaled = 0;
    EXPECT_EQ(getScaledUsageValue(mouse, ReportType::Input, 0x01, 0x30, scaled, report),
              Status::Success);
    EXPECT_EQ(scaled, -1); // sign-extended: the logical minimum is negative
    EXPECT_EQ(getScaledUsageValue(mouse, ReportType::Input, 0x01, 0x31, scaled, report),
              Status::Success);
    EXPECT_EQ(scaled, 5);
}

TEST_F(HidDecode, RejectsWrongLengthsUsagesAndTypes) {
    std::uint32_t raw = 0;
    const Bytes shortReport = {0x00, 0x01};
    EXPECT_EQ(getUsageValue(mouse, ReportType::Input, 0x01, 0x30, raw, shortReport),
              Status::InvalidReportLength);
    const Bytes report = {0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(getUsageValue(mouse, ReportType::Input, 0x01, 0x38, raw, report),
              Status::UsageNotFound);
    std::uint16_t usages[1];
    std::uint32_t count = 1;
    const Bytes pressed = {0x00, 0b011, 0x00, 0x00};
    EXPECT_EQ(getUsages(mouse, ReportType::Input, 0x09, usages, count, pressed),
              Status::BufferTooSmall);
    EXPECT_EQ(count, 1u);
    const Bytes feature = {0x00};
    EXPECT_EQ(getUsageValue(mouse, ReportType::Feature, 0x01, 0x30, raw, feature),
              Status::InvalidReportLength);
}

TEST(HidDecodeNumbered, ReportIdMustBelongToTheUsage) {
    const PreparsedData consumer =
        parse(quellix::testing::descriptors::kConfigAndConsumer).collections.at(1);
    std::uint16_t usages[4] = {};
    std::uint32_t count = 4;
    const Bytes report = {0x03, 0x01, 0x04};
    EXPECT_EQ(getUsages(consumer, ReportType::Input, 0x0c, usages, count, report), Status::Success);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(usages[0], 0x401);
    count = 4;
    const Bytes otherId = {0x05, 0x01, 0x04};
    EXPECT_EQ(getUsages(consumer, ReportType::Input, 0x0c, usages, count, otherId),
              Status::IncompatibleReportId);
    const Bytes released = {0x03, 0x00, 0x00};
    count = 4;
    EXPECT_EQ(getUsages(consumer, ReportType::Input, 0x0c, usages, count, released),
              Status::Success);
    EXPECT_EQ(count, 0u); // usage 0: nothing pressed
}

// One 8-bit value (usage 0x30) with the given logical and physical ranges and
// main-item flags.
PreparsedData oneValue(Bytes ranges, std::uint8_t flags = 0x02) {
    Bytes bytes = {0x05, 0x01, 0x09, 0x01, 0xa1, 0x01, 0x09, 0x30};
    bytes.insert(bytes.end(), ranges.begin(), ranges.end());
    bytes.insert(bytes.end(), {0x75, 0x08, 0x95, 0x01, 0x81, flags, 0xc0});
    return parse(bytes).collections.at(0);
}

struct ScaleCase {
    const char* name;
    Bytes ranges;
    std::uint8_t flags;
    std::uint8_t field;
    Status status;
    std::int32_t scaled;
};

class HidScaled : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(HidScaled, FollowsTheWindowsRules) {
    const ScaleCase& c = GetParam();
    const PreparsedData data = oneValue(c.ranges, c.flags);
    const Bytes report = {0x00, c.field};
    std::int32_t scaled = 12345;
    EXPECT_EQ(getScaledUsageValue(data, ReportType::Input, 0x01, 0x30, scaled, report), c.status);
    if (c.status == Status::Success) {
        EXPECT_EQ(scaled, c.scaled);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidScaled,
    ::testing::Values(
        // logical 0..255 (0xff read unsigned), physical 0..1000
        ScaleCase{"PhysicalRange",
                  {0x15, 0x00, 0x25, 0xff, 0x35, 0x00, 0x46, 0xe8, 0x03},
                  0x02,
                  51,
                  Status::Success,
                  200},
        ScaleCase{
            "NoPhysicalMeansLogical", {0x15, 0x00, 0x25, 0x64}, 0x02, 42, Status::Success, 42},
        ScaleCase{"SignExtended", {0x15, 0x81, 0x25, 0x7f}, 0x02, 0x81, Status::Success, -127},
        ScaleCase{
            "EmptyLogicalRange", {0x15, 0x05, 0x25, 0x05}, 0x02, 5, Status::BadLogPhyValues, 0},
        ScaleCase{"ReversedPhysicalRange",
                  {0x15, 0x00, 0x25, 0x64, 0x35, 0x64, 0x45, 0x00},
                  0x02,
                  1,
                  Status::BadLogPhyValues,
                  0},
        ScaleCase{
            "OutOfLogicalRange", {0x15, 0x00, 0x25, 0x64}, 0x02, 200, Status::ValueOutOfRange, 0},
        ScaleCase{"OutOfRangeWithNullState", {0x15, 0x00, 0x25, 0x64}, 0x42, 200, Status::Null, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidDescriptorFile, LoadsHexTextAndBinary) {
    TempDir dir;
    quellix::testing::writeText(dir.path() / "a.txt", "0x05, 0x01 // page\n09 02 # usage\nA1 1\n");
    Bytes bytes;
    ParseResult result = loadDescriptorFile((dir.path() / "a.txt").string(), bytes);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(bytes, (Bytes{0x05, 0x01, 0x09, 0x02, 0xa1, 0x01}));

    quellix::testing::writeFile(dir.path() / "b.bin", {0x05, 0x01, 0x09, 0x02, 0xa1, 0x00, 0xc0});
    result = loadDescriptorFile((dir.path() / "b.bin").string(), bytes);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(bytes.size(), 7u);
}

TEST(HidDescriptorFile, ReportsBadFiles) {
    TempDir dir;
    quellix::testing::writeText(dir.path() / "bad.txt", "05 01\n09 zz\n");
    quellix::testing::writeText(dir.path() / "long.txt", "05 123\n");
    quellix::testing::writeText(dir.path() / "empty.txt", "");
    Bytes bytes;
    ParseResult result = loadDescriptorFile((dir.path() / "bad.txt").string(), bytes);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("line 2"), std::string::npos) << result.error;
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(loadDescriptorFile((dir.path() / "long.txt").string(), bytes).ok);
    EXPECT_FALSE(loadDescriptorFile((dir.path() / "empty.txt").string(), bytes).ok);
    EXPECT_FALSE(loadDescriptorFile((dir.path() / "missing").string(), bytes).ok);
}

TEST(HidDescriptorText, OneLinePerCollection) {
    EXPECT_EQ(describeCollections(parse(quellix::testing::descriptors::kConfigAndConsumer)),
              "col 1 usage_page 0xff1c usage 0x0092 input 64 output 64 feature 0 caps input 0/1 "
              "output 0/1 feature 0/0\n"
              "col 2 usage_page 0x000c usage 0x0001 input 3 output 0 feature 0 caps input 1/0 "
              "output 0/0 feature 0/0\n");
}

} // namespace
} // namespace quellix::hid
