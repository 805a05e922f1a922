// list: every HID interface collection the HID layer presents.

#include "command.h"

#include "quellix/device/hid_device_record.h"

#include <cstdio>

namespace quellix::tools {

using namespace quellix::device;

namespace {

std::string describeOpened(const HidDeviceRecord& record) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "vendor 0x%04x product 0x%04x usage_page 0x%04x usage 0x%04x interface %u "
                  "collection %u",
                  record.attributes.vendorId, record.attributes.productId, record.caps.usagePage,
                  record.caps.usage, record.interfaceNumber, record.collectionNumber);
    return line;
}

} // namespace

int runList(CommandArgs, CommandContext& context) {
    HidDeviceRecord record;
    record.source = context.source;
    initRecord(record);
    if (enumeratePaths(record) != 1) {
        context.err << "quellixctl: cannot list the HID interfaces\n";
        releaseRecord(record);
        return kExitFailure;
    }
    if (record.pathCount == 0) {
        context.err << "quellixctl: no HID interfaces found\n";
    }
    for (std::uint32_t i = 0; i < record.pathCount; ++i) {
        const std::string& path = record.paths[i];
        // No access rights: attributes and caps without opening for I/O.
        record.openForRead = record.openForWrite = record.openOverlapped = 0;
        record.openExclusive = 0;
        if (!record.path.assign(path) || openDevice(record) != 1) {
            context.out << path << " (cannot be opened)\n";
            continue;
        }
        context.out << path << ' ' << describeOpened(record) << '\n';
        freeDeviceInfo(record);
        closeHandle(record);
    }
    releaseRecord(record);
    return kExitOk;
}

} // namespace quellix::tools
