// The HID access record's operations: enumeration into a growing path array,
// open with the record's flags, capability tables and decoded item arrays,
// cancellable report reads and writes, and report unpacking.

#include "quellix/device/hid_device_record.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace quellix::device {

namespace {

using hid::ReportType;

// The arrays fillDeviceInfo builds per report type, addressed uniformly.
struct ReportTables {
    std::vector<std::uint8_t>& report;
    std::unique_ptr<HidData[]>& data;
    std::uint32_t& dataLength;
    std::vector<hid::ButtonCaps>& buttonCaps;
    std::vector<hid::ValueCaps>& valueCaps;
};

ReportTables tablesOf(HidDeviceRecord& r, ReportType type) {
    switch (type) {
    case ReportType::Input:
        return {r.inputReport, r.inputData, r.inputDataLength, r.inputButtonCaps, r.inputValueCaps};
    case ReportType::Output:
        return {r.outputReport, r.outputData, r.outputDataLength, r.outputButtonCaps,
                r.outputValueCaps};
    case ReportType::Feature:
        break;
    }
    return {r.featureReport, r.featureData, r.featureDataLength, r.featureButtonCaps,
            r.featureValueCaps};
}

constexpr ReportType kReportTypes[] = {ReportType::Input, ReportType::Output, ReportType::Feature};

// Length of a button item's usage list: every field of its usage page, but
// never more usages than one report has bits.
std::uint32_t usageListLength(const hid::PreparsedData& pre, ReportType type,
                              std::uint16_t usagePage) {
    const std::uint32_t bits = 8u * hid::reportByteLength(pre.caps, type);
    return std::min(hid::maxUsageListLength(pre, type, usagePage), bits);
}

// Bytes the usage lists of one report type's button items would take.
std::size_t usageListBytes(const hid::PreparsedData& pre, ReportType type) {
    const auto t = static_cast<std::size_t>(type);
    std::size_t total = 0;
    for (const hid::ButtonCaps& b : pre.buttonCaps[t]) {
        total += std::size_t{usageListLength(pre, type, b.usagePage)} * sizeof(std::uint16_t);
        if (total > kMaxUsageListBytes)
            break;
    }
    return total;
}

void fillTables(HidDeviceRecord& record, const hid::PreparsedData& pre, ReportType type) {
    const auto t = static_cast<std::size_t>(type);
    ReportTables tables = tablesOf(record, type);
    tables.report.assign(hid::reportByteLength(pre.caps, type), 0);
    tables.buttonCaps = pre.buttonCaps[t];
    tables.valueCaps = pre.valueCaps[t];

    std::uint32_t count = static_cast<std::uint32_t>(tables.buttonCaps.size());
    for (const hid::ValueCaps& v : tables.valueCaps)
        count += v.isRange ? std::uint32_t(v.range.usageMax) - v.range.usageMin + 1 : 1;
    tables.data = std::make_unique<HidData[]>(count);
    tables.dataLength = count;

    std::uint32_t next = 0;
    for (const hid::ButtonCaps& b : tables.buttonCaps) {
        HidData& item = tables.data[next++];
        item.isButtonData = 1;
        item.status = kHidStatusSuccess;
        item.usagePage = b.usagePage;
        item.usageMin = b.range.usageMin;
        item.usageMax = b.isRange ? b.range.usageMax : b.range.usageMin;
        item.maxUsageLength = usageListLength(pre, type, b.usagePage);
        item.usages = std::make_unique<std::uint16_t[]>(item.maxUsageLength);
        item.reportId = b.reportId;
    }
    for (const hid::ValueCaps& v : tables.valueCaps) {
        const std::uint32_t usages =
            v.isRange ? std::uint32_t(v.range.usageMax) - v.range.usageMin + 1 : 1;
        for (std::uint32_t u = 0; u < usages && next < count; ++u) {
            HidData& item = tables.data[next++];
            item.isButtonData = 0;
            item.status = kHidStatusSuccess;
            item.usagePage = v.usagePage;
            item.usage = static_cast<std::uint16_t>(v.range.usageMin + u);
            item.reportId = v.reportId;
        }
    }
}

// Clears the pending flag and stores the byte count on every way out.
struct PendingScope {
    std::atomic<int>& flag;
    std::uint32_t& count;
    std::uint32_t* out;
    ~PendingScope() {
        flag.store(0);
        if (out)
            *out = count;
    }
};

} // namespace

bool PathBuffer::assign(std::string_view text) {
    if (text.size() >= kMaxPathChars)
        return false;
    std::copy(text.begin(), text.end(), text_);
    length_ = text.size();
    text_[length_] = '\0';
    return true;
}

std::uint32_t hexAfter(std::string_view text, std::string_view marker) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    const auto hit = std::search(text.begin(), text.end(), marker.begin(), marker.end(),
                                 [&](char a, char b) { return lower(a) == lower(b); });
    if (hit == text.end())
        return 0;
    std::uint32_t value = 0;
    for (auto it = hit + static_cast<std::ptrdiff_t>(marker.size()); it != text.end(); ++it) {
        const int c = lower(static_cast<unsigned char>(*it));
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

void initRecord(HidDeviceRecord& record) {
    record.paths.reset();
    record.pathCount = 0;
    record.cursor = 0;
    record.pathCapacity = 0;
    record.openForRead = record.openForWrite = record.openOverlapped = record.openExclusive = 0;
    record.handle.reset();
    record.path.clear();
    freeDeviceInfo(record);
    using platform::Event;
    record.readEvent = std::make_unique<Event>(Event::Reset::Auto);
    record.writeEvent = std::make_unique<Event>(Event::Reset::Auto);
    record.cancelEvent = std::make_unique<Event>(Event::Reset::Auto);
    record.readPending.store(0);
    record.writePending.store(0);
}

void freePaths(HidDeviceRecord& record) {
    record.paths.reset();
    record.pathCount = 0;
    record.pathCapacity = 0;
}

int enumeratePaths(HidDeviceRecord& record) {
    freePaths(record);
    std::optional<std::vector<std::string>> found = hid::enumerateInterfacePaths(record.source);
    if (!found)
        return 0;
    try {
        // Capacity starts at 4 and doubles before the first allocation, so
        // the first array has 8 entries; it doubles whenever it is full.
        std::uint32_t capacity = 4;
        std::unique_ptr<std::string[]> paths;
        std::uint32_t i = 0;
        for (std::string& p : *found) {
            if (!paths || i == capacity) {
                capacity *= 2;
                auto grown = std::make_unique<std::string[]>(capacity);
                for (std::uint32_t k = 0; k < i; ++k)
                    grown[k] = std::move(paths[k]);
                paths = std::move(grown);
            }
            paths[i++] = std::move(p);
        }
        if (!paths) {
            capacity *= 2;
            paths = std::make_unique<std::string[]>(capacity);
        }
        record.paths = std::move(paths);
        record.pathCapacity = capacity;
        record.pathCount = i;
    } catch (const std::bad_alloc&) {
        freePaths(record);
        return 0;
    }
    return 1;
}

void closeHandle(HidDeviceRecord& record) {
    record.handle.reset();
}

int openDevice(HidDeviceRecord& record) {
    cancelPending(record);
    freeDeviceInfo(record);
    closeHandle(record);

    hid::OpenFlags flags;
    flags.read = record.openForRead != 0;
    flags.write = record.openForWrite != 0;
    flags.shareRead = true;
    flags.shareWrite = record.openExclusive == 0;
    flags.overlapped = record.openOverlapped != 0;
    record.openError.clear();
    record.openErrno = 0;
    const std::string path(record.path.view());
    record.handle =
        hid::Device::open(record.source, path, flags, &record.openError, &record.openErrno);
    if (!record.handle) {
        // The record knows its path: keep the reason alone.
        const std::string prefix = path + ": ";
        if (record.openError.compare(0, prefix.size(), prefix) == 0)
            record.openError.erase(0, prefix.size());
        return 0;
    }
    record.inputMayBeQueued.store(true);
    if (!fillDeviceInfo(record)) {
        freeDeviceInfo(record);
        closeHandle(record);
        return 0;
    }
    return 1;
}

int fillDeviceInfo(HidDeviceRecord& record) {
    if (!record.handle || !record.handle->preparsedData()) {
        record.openError = "no device information";
        return 0;
    }
    return fillDeviceInfoFrom(record, record.handle->preparsedData(), record.handle->attributes());
}

int fillDeviceInfoFrom(HidDeviceRecord& record, std::shared_ptr<const hid::PreparsedData> data,
                       const hid::Attributes& attributes) {
    if (!data) {
        record.openError = "no device information";
        return 0;
    }
    for (ReportType type : kReportTypes) {
        if (usageListBytes(*data, type) > kMaxUsageListBytes) {
            record.openError = "the report descriptor declares more buttons than a report "
                               "can carry (usage lists beyond " +
                               std::to_string(kMaxUsageListBytes / 1024) + " KiB)";
            return 0;
        }
    }
    try {
        record.preparsedData = std::move(data);
        record.attributes = attributes;
        record.caps = record.preparsedData->caps;
        for (ReportType type : kReportTypes)
            fillTables(record, *record.preparsedData, type);
    } catch (const std::bad_alloc&) {
        freeDeviceInfo(record);
        record.openError = "out of memory for the device's report tables";
        return 0;
    }
    record.interfaceNumber = hexAfter(record.path.view(), "&mi_");
    record.collectionNumber = hexAfter(record.path.view(), "&col");
    return 1;
}

void freeDeviceInfo(HidDeviceRecord& record) {
    record.preparsedData.reset();
    record.caps = {};
    record.attributes = {};
    for (ReportType type : kReportTypes) {
        ReportTables t = tablesOf(record, type);
        t.report.clear();
        t.report.shrink_to_fit();
        t.data.reset();
        t.dataLength = 0;
        t.buttonCaps.clear();
        t.valueCaps.clear();
    }
    record.interfaceNumber = 0;
    record.collectionNumber = 0;
}

void releaseRecord(HidDeviceRecord& record) {
    if (record.cancelEvent)
        cancelPending(record);
    freeDeviceInfo(record);
    closeHandle(record);
    freePaths(record);
    record.cursor = 0;
    record.readEvent.reset();
    record.writeEvent.reset();
    record.cancelEvent.reset();
}

int probeDevice(const HidDeviceRecord& record) {
    // An open handle answers from its node: opening the path again would
    // read and parse the descriptor on every probe.
    if (record.handle) {
        return record.handle->nodePresent() ? 1 : 0;
    }
    return hid::Device::open(record.source, std::string(record.path.view()), hid::OpenFlags{}) ? 1
                                                                                               : 0;
}

bool handleHungUp(HidDeviceRecord& record) {
    return record.handle && record.handle->hungUp();
}

void cancelPending(HidDeviceRecord& record) {
    if ((record.readPending.load() || record.writePending.load()) && record.cancelEvent)
        record.cancelEvent->set();
}

int readReport(HidDeviceRecord& record, std::uint8_t* buffer, std::uint32_t length,
               std::uint32_t timeoutMs, std::uint32_t* bytesRead) {
    std::uint32_t count = 0;
    if (bytesRead)
        *bytesRead = 0;
    if (!record.handle || !record.cancelEvent || !buffer)
        return 0;
    // A cancel signalled after the previous wait had already ended would
    // otherwise abort this unrelated read: only a wait in progress is meant.
    record.cancelEvent->reset();
    record.readPending.store(1);
    PendingScope scope{record.readPending, count, bytesRead};
    const hid::IoResult result = record.handle->read(buffer, length, static_cast<int>(timeoutMs),
                                                     record.cancelEvent.get(), count);
    if (result != hid::IoResult::Completed) {
        record.inputMayBeQueued.store(true);
        count = 0;
        return 0;
    }
    return 1;
}

int writeReport(HidDeviceRecord& record, const std::uint8_t* buffer, std::uint32_t length,
                std::uint32_t* bytesWritten) {
    std::uint32_t count = 0;
    if (bytesWritten)
        *bytesWritten = 0;
    if (!record.handle || !record.cancelEvent || !buffer)
        return 0;
    record.cancelEvent->reset();
    record.writePending.store(1);
    PendingScope scope{record.writePending, count, bytesWritten};
    // A reply that arrived after its read gave up must not be taken for the
    // reply to this request.
    if (record.inputMayBeQueued.exchange(false)) {
        record.handle->dropPendingInput();
    }
    const hid::IoResult result = record.handle->write(
        buffer, length, static_cast<int>(kWriteTimeoutMs), record.cancelEvent.get(), count);
    if (result != hid::IoResult::Completed) {
        count = 0;
        return 0;
    }
    return 1;
}

bool unpackReport(HidData* data, std::uint32_t dataCount, const std::uint8_t* report,
                  std::uint32_t reportLength, const hid::PreparsedData* preparsedData) {
    if (!report || reportLength == 0 || !preparsedData)
        return dataCount == 0;
    const std::span<const std::uint8_t> bytes(report, reportLength);
    for (std::uint32_t i = 0; i < dataCount; ++i) {
        HidData& item = data[i];
        if (item.reportId != report[0])
            continue;
        if (item.isButtonData) {
            std::uint32_t n = item.maxUsageLength;
            const hid::Status status = hid::getUsages(*preparsedData, ReportType::Input,
                                                      item.usagePage, item.usages.get(), n, bytes);
            std::uint32_t kept = 0;
            for (std::uint32_t k = 0; k < n && k < item.maxUsageLength; ++k) {
                const std::uint16_t usage = item.usages[k];
                if (usage >= item.usageMin && usage <= item.usageMax)
                    item.usages[kept++] = usage;
            }
            if (kept < item.maxUsageLength)
                item.usages[kept] = 0;
            item.status = static_cast<std::uint32_t>(status);
        } else {
            const hid::Status status = hid::getUsageValue(
                *preparsedData, ReportType::Input, item.usagePage, item.usage, item.value, bytes);
            item.status = static_cast<std::uint32_t>(status);
            if (status != hid::Status::Success)
                return false;
            std::int32_t scaled = 0;
            const hid::Status scaledStatus = hid::getScaledUsageValue(
                *preparsedData, ReportType::Input, item.usagePage, item.usage, scaled, bytes);
            item.status = static_cast<std::uint32_t>(scaledStatus);
            item.scaledValue = scaled;
        }
        item.isDataSet = 1;
    }
    return true;
}

} // namespace quellix::device
