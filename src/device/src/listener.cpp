#include "quellix/device/listener.h"

#include "quellix/device/detection.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/directory_watch.h"

namespace quellix::device {

namespace {

void closeRecord(HidDeviceRecord& record) {
    cancelPending(record);
    freeDeviceInfo(record);
    closeHandle(record);
}

bool isConsumerInterface(const HidDeviceRecord& record, const ListenerTarget& target) {
    return record.attributes.vendorId == target.vendorId &&
           record.attributes.productId == target.productId &&
           record.caps.usagePage == target.interface.usagePage &&
           record.caps.usage == target.interface.usage;
}

bool openPath(HidDeviceRecord& record, const ListenerTarget& target, const std::string& path) {
    if ((hexAfter(path, "vid_") & 0xFFFF) != target.vendorId ||
        (hexAfter(path, "pid_") & 0xFFFF) != target.productId) {
        return false;
    }
    record.openForRead = 1;
    record.openForWrite = 0;
    record.openOverlapped = 1;
    record.openExclusive = 0;
    if (!record.path.assign(path) || openDevice(record) != 1) {
        return false;
    }
    if (!isConsumerInterface(record, target)) {
        closeRecord(record);
        return false;
    }
    return true;
}

// The first usage of the report's first data item, or 0.
std::uint16_t firstUsage(HidDeviceRecord& record, std::uint32_t length) {
    if (record.inputDataLength == 0 || !record.inputData ||
        !unpackReport(record.inputData.get(), record.inputDataLength, record.inputReport.data(),
                      length, record.preparsedData.get())) {
        return 0;
    }
    const HidData& item = record.inputData[0];
    if (item.isButtonData) {
        return item.maxUsageLength > 0 && item.usages ? item.usages[0] : 0;
    }
    return item.usage;
}

enum class LoopEnd { Gone, Stopped };

LoopEnd readLoop(HidDeviceRecord& record, const UsageHandler& onUsage, platform::Event& stop,
                 const ListenerTiming& timing) {
    while (!stop.isSignalled()) {
        const std::uint32_t length = record.caps.inputReportByteLength;
        if (record.inputReport.size() < length) {
            record.inputReport.resize(length);
        }
        std::uint32_t got = 0;
        if (length > 0 && readReport(record, record.inputReport.data(), length,
                                     timing.readTimeoutMs, &got) == 1) {
            // Decoded at the full report length, as the platform delivers
            // input reports (a short one is zero-padded in the buffer).
            if (const std::uint16_t usage = firstUsage(record, length); usage != 0) {
                onUsage(usage);
            }
            continue;
        }
        if (stop.isSignalled()) {
            break;
        }
        if (probeDevice(record) != 1 || handleHungUp(record)) {
            return LoopEnd::Gone;
        }
        if (length == 0) {
            // Nothing to read on this collection: pace the probe instead.
            if (stop.wait(std::chrono::milliseconds(timing.readTimeoutMs))) {
                break;
            }
        }
    }
    return LoopEnd::Stopped;
}

} // namespace

void runListener(const ListenerTarget& target, HidDeviceRecord& record, const UsageHandler& onUsage,
                 platform::Event& stop, const ListenerTiming& timing) {
    platform::DirectoryWatch watch(hotplugDirectory(record.source));
    while (!stop.isSignalled()) {
        record.cursor = 0;
        if (enumeratePaths(record) != 1) {
            return;
        }
        bool stoppedInLoop = false;
        for (; record.cursor < record.pathCount && !record.paths[record.cursor].empty();
             ++record.cursor) {
            if (!openPath(record, target, record.paths[record.cursor])) {
                continue;
            }
            stoppedInLoop = readLoop(record, onUsage, stop, timing) == LoopEnd::Stopped;
            closeRecord(record);
            break;
        }
        freePaths(record);
        const auto pause = stoppedInLoop ? timing.afterStopPeriod : timing.searchPeriod;
        if (watch.wait(stop, pause) == platform::DirectoryWatch::Wake::Stop) {
            break;
        }
    }
    platform::debugOutput(target.exitTrace);
}

} // namespace quellix::device
