// Arbitrary bytes as a report descriptor: parsing must end without a crash,
// hang or unbounded allocation, and every collection it accepts must decode
// a report of its own lengths (built from the same bytes) safely.  Each
// accepted collection also goes through the access record's tables
// (fillDeviceInfo's work, whose usage lists are bounded) and unpackReport.

#include "quellix/device/hid_device_record.h"
#include "quellix/hid/descriptor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

using namespace quellix::hid;

namespace {

// The record's tables for one collection, and an input report unpacked
// through them.
void fillAndUnpack(const PreparsedData& collection, const std::uint8_t* data, std::size_t size) {
    using namespace quellix::device;
    HidDeviceRecord record;
    initRecord(record);
    if (fillDeviceInfoFrom(record, std::make_shared<PreparsedData>(collection), {}) == 1 &&
        !record.inputReport.empty()) {
        for (std::size_t i = 0; i < record.inputReport.size(); ++i)
            record.inputReport[i] = data[i % size];
        (void)unpackReport(
            record.inputData.get(), record.inputDataLength, record.inputReport.data(),
            static_cast<std::uint32_t>(record.inputReport.size()), record.preparsedData.get());
    }
    releaseRecord(record);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParsedDescriptor parsed;
    if (!parseReportDescriptor({data, size}, parsed).ok)
        return 0;
    (void)describeCollections(parsed);
    std::vector<std::uint8_t> report;
    std::vector<std::uint16_t> usages;
    for (const PreparsedData& collection : parsed.collections) {
        fillAndUnpack(collection, data, size);
        const std::uint16_t lengths[] = {collection.caps.inputReportByteLength,
                                         collection.caps.outputReportByteLength,
                                         collection.caps.featureReportByteLength};
        for (std::size_t t = 0; t < kReportTypeCount; ++t) {
            const auto type = static_cast<ReportType>(t);
            report.assign(lengths[t], 0);
            for (std::size_t i = 0; i < report.size(); ++i)
                report[i] = data[i % size];
            // One decode per usage page and report id is enough to reach
            // every button capability.
            std::set<std::pair<std::uint16_t, std::uint8_t>> decoded;
            for (const ButtonCaps& cap : collection.buttonCaps[t]) {
                if (report.empty() || !decoded.insert({cap.usagePage, cap.reportId}).second)
                    continue;
                report[0] = cap.reportId;
                std::uint32_t count = maxUsageListLength(collection, type, cap.usagePage);
                usages.assign(count, 0);
                (void)getUsages(collection, type, cap.usagePage, usages.data(), count, report);
            }
            for (const ValueCaps& cap : collection.valueCaps[t]) {
                if (!report.empty())
                    report[0] = cap.reportId;
                std::uint32_t raw = 0;
                std::int32_t scaled = 0;
                (void)getUsageValue(collection, type, cap.usagePage, cap.range.usageMax, raw,
                                    report);
                (void)getScaledUsageValue(collection, type, cap.usagePage, cap.range.usageMin,
                                          scaled, report);
            }
        }
    }
    return 0;
}
