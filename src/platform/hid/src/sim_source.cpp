// Simulated devices: each interface is a SOCK_SEQPACKET socket in the
// simulator directory, VVVV_PPPP_RRRR_II.sock, with its report descriptor in
// VVVV_PPPP_RRRR_II.rdesc beside it (lowercase hex: vendor, product,
// release, interface).  The socket's presence means the device is plugged.

#include "source.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace quellix::hid::detail {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxDescriptorBytes = 4096;
constexpr std::string_view kSocketSuffix = ".sock";

// "1234_abcd_0100_01.sock" -> fields; anything else is not one of ours.
bool parseSocketName(std::string_view name, InterfaceInfo& info) {
    if (name.size() != 17 + kSocketSuffix.size() || name.substr(17) != kSocketSuffix)
        return false;
    const auto field = [&](std::size_t at, std::size_t width, std::uint32_t& out) {
        for (std::size_t i = at; i < at + width; ++i) {
            const char c = name[i];
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
                return false;
        }
        return std::from_chars(name.data() + at, name.data() + at + width, out, 16).ec ==
               std::errc();
    };
    std::uint32_t vendor = 0, product = 0, release = 0, interface = 0;
    if (!field(0, 4, vendor) || name[4] != '_' || !field(5, 4, product) || name[9] != '_' ||
        !field(10, 4, release) || name[14] != '_' || !field(15, 2, interface))
        return false;
    info.attributes = {static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product),
                       static_cast<std::uint16_t>(release)};
    info.interfaceNumber = static_cast<std::uint8_t>(interface);
    return true;
}

std::optional<InterfaceInfo> describe(const SourceRoots& roots, std::string_view name) {
    InterfaceInfo info;
    if (!parseSocketName(name, info))
        return std::nullopt;
    const fs::path socket = fs::path(roots.simDir) / std::string(name);
    std::error_code ec;
    if (!fs::is_socket(socket, ec))
        return std::nullopt;
    fs::path rdesc = socket;
    rdesc.replace_extension(".rdesc");
    const auto descriptor = readSmallFile(rdesc.string(), kMaxDescriptorBytes);
    if (!descriptor || descriptor->empty())
        return std::nullopt;
    info.descriptor.assign(descriptor->begin(), descriptor->end());
    info.source = std::string(name);
    info.node = socket.string();
    info.isSocket = true;
    return info;
}

} // namespace

std::optional<std::vector<InterfaceInfo>> listSimulated(const SourceRoots& roots) {
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(roots.simDir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    if (ec)
        return std::nullopt;
    std::sort(names.begin(), names.end());
    std::vector<InterfaceInfo> found;
    for (const std::string& name : names) {
        if (auto info = describe(roots, name))
            found.push_back(std::move(*info));
    }
    return found;
}

std::optional<InterfaceInfo> findSimulated(const SourceRoots& roots, std::string_view source) {
    return describe(roots, source);
}

} // namespace quellix::hid::detail
