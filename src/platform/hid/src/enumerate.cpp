// Interface paths: one per top-level collection, spelled as Windows spells
// HID device interface paths.

#include "source.h"

#include <cctype>
#include <cstdio>

namespace quellix::hid {

namespace detail {

namespace {

// Hex digits after the first case-insensitive `marker`; nullopt when the
// marker is missing or not followed by a hex digit.
std::optional<std::uint32_t> hexField(std::string_view text, std::string_view marker) {
    for (std::size_t i = 0; i + marker.size() <= text.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; k < marker.size() && same; ++k)
            same = std::tolower(static_cast<unsigned char>(text[i + k])) == marker[k];
        if (!same)
            continue;
        std::uint32_t value = 0;
        std::size_t digits = 0;
        for (std::size_t k = i + marker.size(); k < text.size() && digits < 8; ++k, ++digits) {
            const int c = std::tolower(static_cast<unsigned char>(text[k]));
            if (!std::isxdigit(c))
                break;
            value = value * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        }
        if (digits == 0)
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

} // namespace

std::string formatPath(const Attributes& attributes, std::uint8_t interfaceNumber,
                       std::uint32_t collection, std::string_view source) {
    char head[64];
    if (collection == 0)
        std::snprintf(head, sizeof head, "hid#vid_%04x&pid_%04x&mi_%02x#", attributes.vendorId,
                      attributes.productId, interfaceNumber);
    else
        std::snprintf(head, sizeof head, "hid#vid_%04x&pid_%04x&mi_%02x&col%02x#",
                      attributes.vendorId, attributes.productId, interfaceNumber, collection);
    return head + std::string(source);
}

std::optional<PathParts> parsePath(std::string_view path) {
    const std::size_t hash = path.rfind('#');
    if (path.size() < 4 || hash == std::string_view::npos || hash + 1 >= path.size())
        return std::nullopt;
    const std::string_view head = path.substr(0, hash);
    PathParts parts;
    parts.source = std::string(path.substr(hash + 1));
    if (parts.source.find('/') != std::string::npos)
        return std::nullopt;
    const auto vid = hexField(head, "vid_");
    const auto pid = hexField(head, "pid_");
    const auto mi = hexField(head, "&mi_");
    if (!vid || !pid || !mi || *vid > 0xFFFF || *pid > 0xFFFF || *mi > 0xFF)
        return std::nullopt;
    parts.vendorId = static_cast<std::uint16_t>(*vid);
    parts.productId = static_cast<std::uint16_t>(*pid);
    parts.interfaceNumber = static_cast<std::uint8_t>(*mi);
    parts.collection = hexField(head, "&col").value_or(0);
    return parts;
}

} // namespace detail

std::optional<std::vector<std::string>> enumerateInterfacePaths(const DeviceSource& source) {
    auto interfaces =
        source.simulated() ? detail::listSimulated(source) : detail::listHidraw(source);
    if (!interfaces)
        return std::nullopt;
    std::vector<std::string> paths;
    for (const detail::InterfaceInfo& info : *interfaces) {
        ParsedDescriptor parsed;
        // An interface whose descriptor does not parse offers no collection.
        if (!parseReportDescriptor(info.descriptor, parsed).ok)
            continue;
        const std::size_t count = parsed.collections.size();
        for (std::size_t c = 0; c < count; ++c) {
            const std::uint32_t number = count > 1 ? static_cast<std::uint32_t>(c + 1) : 0;
            paths.push_back(
                detail::formatPath(info.attributes, info.interfaceNumber, number, info.source));
        }
    }
    return paths;
}

} // namespace quellix::hid
