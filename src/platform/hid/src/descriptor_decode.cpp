// Decoding of reports against a collection's capabilities: pressed button
// usages, raw and scaled values, with the Windows HID parser's status codes.

#include "quellix/hid/descriptor.h"

#include <algorithm>
#include <set>

namespace quellix::hid {

namespace {

// Field `index` of a capability: `reportSize` bits, least significant first,
// after the report-id byte.  Fields wider than 32 bits give their low bits.
std::uint32_t fieldBits(const CapsCommon& cap, std::uint32_t index,
                        std::span<const std::uint8_t> report) {
    const std::uint64_t first =
        8 + std::uint64_t(cap.bitOffset) + std::uint64_t(index) * cap.reportSize;
    const std::uint32_t width = std::min<std::uint32_t>(cap.reportSize, 32);
    // At most 39 bits span five bytes; never read past the report.
    const std::size_t byte = static_cast<std::size_t>(first / 8);
    std::uint64_t window = 0;
    for (std::size_t k = 0; k < 5 && byte + k < report.size(); ++k)
        window |= std::uint64_t(report[byte + k]) << (8 * k);
    window >>= first % 8;
    return static_cast<std::uint32_t>(window & ((std::uint64_t(1) << width) - 1));
}

Status checkReport(const PreparsedData& data, ReportType type,
                   std::span<const std::uint8_t> report) {
    const std::size_t t = static_cast<std::size_t>(type);
    if (t >= kReportTypeCount)
        return Status::InvalidReportType;
    const std::uint16_t length = reportByteLength(data.caps, type);
    if (length == 0 || report.size() != length)
        return Status::InvalidReportLength;
    return Status::Success;
}

template <class CapsT>
bool idMatches(const PreparsedData& data, const CapsT& cap, std::span<const std::uint8_t> report) {
    return data.usesReportIds ? cap.reportId == report[0] : report[0] == 0;
}

// The value capability that holds `usage` in this report, after the report
// itself was checked; `field` is the usage's field within the capability.
const ValueCaps* findValue(const PreparsedData& data, ReportType type, std::uint16_t usagePage,
                           std::uint16_t usage, std::span<const std::uint8_t> report,
                           std::uint32_t& field, Status& status) {
    status = checkReport(data, type, report);
    if (status != Status::Success)
        return nullptr;
    const auto& caps = data.valueCaps[static_cast<std::size_t>(type)];
    status = Status::UsageNotFound;
    for (const ValueCaps& cap : caps) {
        if (cap.usagePage != usagePage || usage < cap.range.usageMin || usage > cap.range.usageMax)
            continue;
        if (!idMatches(data, cap, report)) {
            status = Status::IncompatibleReportId;
            continue;
        }
        field = usage - cap.range.usageMin;
        status = Status::Success;
        return &cap;
    }
    return nullptr;
}

} // namespace

std::uint32_t maxUsageListLength(const PreparsedData& data, ReportType type,
                                 std::uint16_t usagePage) {
    const std::size_t t = static_cast<std::size_t>(type);
    if (t >= kReportTypeCount)
        return 0;
    // Every 1-bit variable field can be pressed; an array item reports at
    // most its field count however many usage ranges it lists.
    std::uint32_t total = 0;
    std::set<std::pair<std::uint8_t, std::uint32_t>> arrays;
    for (const ButtonCaps& cap : data.buttonCaps[t]) {
        if (usagePage != 0 && cap.usagePage != usagePage)
            continue;
        if (!cap.isArray)
            total += cap.reportCount;
        else if (arrays.insert({cap.reportId, cap.bitOffset}).second)
            total += cap.reportCount;
    }
    return total;
}

Status getUsages(const PreparsedData& data, ReportType type, std::uint16_t usagePage,
                 std::uint16_t* usages, std::uint32_t& count,
                 std::span<const std::uint8_t> report) {
    const std::uint32_t capacity = count;
    count = 0;
    const Status status = checkReport(data, type, report);
    if (status != Status::Success)
        return status;
    bool pageFound = false, idFound = false, tooSmall = false;
    const auto emit = [&](std::uint16_t usage) {
        if (count < capacity && usages)
            usages[count++] = usage;
        else
            tooSmall = true;
    };
    for (const ButtonCaps& cap : data.buttonCaps[static_cast<std::size_t>(type)]) {
        if (cap.usagePage != usagePage)
            continue;
        pageFound = true;
        if (!idMatches(data, cap, report))
            continue;
        idFound = true;
        const std::uint32_t usageCount = std::uint32_t(cap.range.usageMax) - cap.range.usageMin + 1;
        for (std::uint32_t f = 0; f < cap.reportCount; ++f) {
            const std::uint32_t bits = fieldBits(cap, f, report);
            if (!cap.isArray) {
                if (bits)
                    emit(static_cast<std::uint16_t>(cap.range.usageMin +
                                                    std::min(f, usageCount - 1)));
                continue;
            }
            // Sign-extend array indices when the logical range is signed.
            std::int64_t index = bits;
            if (cap.logicalMin < 0 && cap.reportSize < 32 && (bits >> (cap.reportSize - 1)) & 1)
                index -= std::int64_t(1) << cap.reportSize;
            if (index < cap.logicalMin || index > cap.logicalMax)
                continue;
            const std::int64_t offset = index - cap.arrayFirstIndex;
            if (offset < 0 || offset >= usageCount)
                continue;
            const auto usage = static_cast<std::uint16_t>(cap.range.usageMin + offset);
            if (usage != 0) // usage 0 means "no control pressed"
                emit(usage);
        }
    }
    if (!pageFound)
        return Status::UsageNotFound;
    if (!idFound)
        return Status::IncompatibleReportId;
    return tooSmall ? Status::BufferTooSmall : Status::Success;
}

Status getUsageValue(const PreparsedData& data, ReportType type, std::uint16_t usagePage,
                     std::uint16_t usage, std::uint32_t& value,
                     std::span<const std::uint8_t> report) {
    Status status = Status::Success;
    std::uint32_t field = 0;
    const ValueCaps* cap = findValue(data, type, usagePage, usage, report, field, status);
    if (!cap)
        return status;
    value = fieldBits(*cap, field, report);
    return Status::Success;
}

Status getScaledUsageValue(const PreparsedData& data, ReportType type, std::uint16_t usagePage,
                           std::uint16_t usage, std::int32_t& value,
                           std::span<const std::uint8_t> report) {
    Status status = Status::Success;
    std::uint32_t field = 0;
    const ValueCaps* cap = findValue(data, type, usagePage, usage, report, field, status);
    if (!cap)
        return status;
    std::int64_t logicalMin = cap->logicalMin, logicalMax = cap->logicalMax;
    std::int64_t physicalMin = cap->physicalMin, physicalMax = cap->physicalMax;
    if (physicalMin == 0 && physicalMax == 0) { // no physical range: the logical one
        physicalMin = logicalMin;
        physicalMax = logicalMax;
    }
    if (logicalMin >= logicalMax || physicalMin >= physicalMax || cap->reportSize > 32)
        return Status::BadLogPhyValues;
    const std::uint32_t bits = fieldBits(*cap, field, report);
    std::int64_t raw = bits;
    if (logicalMin < 0 && cap->reportSize < 32 && ((bits >> (cap->reportSize - 1)) & 1))
        raw -= std::int64_t(1) << cap->reportSize;
    else if (logicalMin < 0 && cap->reportSize == 32)
        raw = static_cast<std::int32_t>(bits);
    if (raw < logicalMin || raw > logicalMax) {
        value = 0;
        return cap->hasNull ? Status::Null : Status::ValueOutOfRange;
    }
    // The product needs up to 66 bits.
    const __int128 scaled = static_cast<__int128>(raw - logicalMin) * (physicalMax - physicalMin) /
                                (logicalMax - logicalMin) +
                            physicalMin;
    value = static_cast<std::int32_t>(scaled);
    return Status::Success;
}

} // namespace quellix::hid
