#pragma once
// Internal: where HID interfaces come from (hidraw nodes or simulator
// sockets) and how their paths are spelled.

#include "quellix/hid/device.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::hid::detail {

// One HID interface (all its top-level collections).
struct InterfaceInfo {
    Attributes attributes;
    std::uint8_t interfaceNumber = 0;
    std::vector<std::uint8_t> descriptor;
    std::string source; // "hidraw3" or the socket file name
    std::string node;   // file to open for I/O: /dev/hidraw3 or the socket
    bool isSocket = false;
};

using SourceRoots = DeviceSource;

// nullopt when the source cannot be listed at all.
std::optional<std::vector<InterfaceInfo>> listHidraw(const SourceRoots& roots);
std::optional<std::vector<InterfaceInfo>> listSimulated(const SourceRoots& roots);
// The one interface behind `source`, nullopt when it is not present.
std::optional<InterfaceInfo> findHidraw(const SourceRoots& roots, std::string_view source);
std::optional<InterfaceInfo> findSimulated(const SourceRoots& roots, std::string_view source);

struct PathParts {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint8_t interfaceNumber = 0;
    std::uint32_t collection = 0; // 0: no "&col" (single collection)
    std::string source;
};

// "hid#vid_1234&pid_abcd&mi_01&col02#hidraw3"; collection 0 omits "&col".
std::string formatPath(const Attributes& attributes, std::uint8_t interfaceNumber,
                       std::uint32_t collection, std::string_view source);
std::optional<PathParts> parsePath(std::string_view path);

// Reads a whole small file; nullopt when it cannot be read or exceeds limit.
std::optional<std::string> readSmallFile(const std::string& file, std::size_t limit);

} // namespace quellix::hid::detail
