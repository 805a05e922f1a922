// Real devices: hidraw nodes described under <sysfs>/class/hidraw.
//
//   class/hidraw/hidrawN/device          -> the HID device directory
//   .../device/uevent                    HID_ID=0003:00001234:0000ABCD, HID_NAME=...
//   .../device/report_descriptor         the report descriptor (binary)
//   .../device/../bInterfaceNumber       the USB interface ("01")
//   .../device/../../bcdDevice           the USB release number ("0100")
// The node for I/O is <dev>/hidrawN.

#include "source.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace quellix::hid::detail {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxSysfsText = 4096;
constexpr std::size_t kMaxDescriptorBytes = 4096; // HID_MAX_DESCRIPTOR_SIZE

bool isHidrawName(std::string_view name) {
    constexpr std::string_view prefix = "hidraw";
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::uint32_t> parseHex(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
        text.remove_suffix(1);
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// HID_ID=BBBB:VVVVVVVV:PPPPPPPP
bool parseUevent(const std::string& uevent, Attributes& attributes) {
    std::size_t pos = 0;
    while (pos < uevent.size()) {
        std::size_t end = uevent.find('\n', pos);
        if (end == std::string::npos)
            end = uevent.size();
        const std::string_view line(uevent.data() + pos, end - pos);
        pos = end + 1;
        constexpr std::string_view key = "HID_ID=";
        if (line.substr(0, key.size()) != key)
            continue;
        const std::string_view id = line.substr(key.size());
        const std::size_t first = id.find(':');
        const std::size_t second = id.find(':', first == std::string_view::npos ? 0 : first + 1);
        if (first == std::string_view::npos || second == std::string_view::npos)
            return false;
        const auto vendor = parseHex(id.substr(first + 1, second - first - 1));
        const auto product = parseHex(id.substr(second + 1));
        if (!vendor || !product)
            return false;
        attributes.vendorId = static_cast<std::uint16_t>(*vendor & 0xFFFF);
        attributes.productId = static_cast<std::uint16_t>(*product & 0xFFFF);
        return true;
    }
    return false;
}

std::optional<InterfaceInfo> describe(const SourceRoots& roots, const std::string& name) {
    std::error_code ec;
    const fs::path device =
        fs::canonical(fs::path(roots.sysfs) / "class" / "hidraw" / name / "device", ec);
    if (ec)
        return std::nullopt;
    InterfaceInfo info;
    const auto uevent = readSmallFile((device / "uevent").string(), kMaxSysfsText);
    if (!uevent || !parseUevent(*uevent, info.attributes))
        return std::nullopt;
    const auto descriptor =
        readSmallFile((device / "report_descriptor").string(), kMaxDescriptorBytes);
    if (!descriptor || descriptor->empty())
        return std::nullopt;
    info.descriptor.assign(descriptor->begin(), descriptor->end());
    // Devices that are not USB interfaces have no interface number: 0.
    if (const auto text = readSmallFile((device.parent_path() / "bInterfaceNumber").string(), 64))
        info.interfaceNumber = static_cast<std::uint8_t>(parseHex(*text).value_or(0));
    if (const auto text =
            readSmallFile((device.parent_path().parent_path() / "bcdDevice").string(), 64))
        info.attributes.versionNumber = static_cast<std::uint16_t>(parseHex(*text).value_or(0));
    info.source = name;
    info.node = (fs::path(roots.dev) / name).string();
    return info;
}

} // namespace

std::optional<std::vector<InterfaceInfo>> listHidraw(const SourceRoots& roots) {
    std::error_code ec;
    if (!fs::is_directory(roots.sysfs, ec))
        return std::nullopt;
    std::vector<InterfaceInfo> found;
    const fs::path classDir = fs::path(roots.sysfs) / "class" / "hidraw";
    if (!fs::is_directory(classDir, ec))
        return found; // no hidraw driver loaded: no devices
    std::vector<std::string> names;
    for (fs::directory_iterator it(classDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (isHidrawName(name))
            names.push_back(name);
    }
    if (ec)
        return std::nullopt;
    // hidraw2 before hidraw10.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const std::string& name : names) {
        if (auto info = describe(roots, name))
            found.push_back(std::move(*info));
    }
    return found;
}

std::optional<InterfaceInfo> findHidraw(const SourceRoots& roots, std::string_view source) {
    if (!isHidrawName(source))
        return std::nullopt;
    return describe(roots, std::string(source));
}

} // namespace quellix::hid::detail
