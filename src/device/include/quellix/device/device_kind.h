#pragma once
// The three kinds of device the program configures, and what identifies
// each kind's configuration interface on the bus.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quellix::device {

// In this order everywhere: sessions, workers and tables are indexed by it.
enum class DeviceKind : std::uint8_t { Keyboard, Mouse, MousePad };

inline constexpr std::array<DeviceKind, 3> kAllDeviceKinds = {
    DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::MousePad};

inline constexpr std::size_t kindIndex(DeviceKind kind) {
    return static_cast<std::size_t>(kind);
}

// Short prefix used in control names, file names and data folders.
inline constexpr std::string_view kindPrefix(DeviceKind kind) {
    constexpr std::array<std::string_view, 3> prefixes = {"kb", "ms", "mp"};
    return prefixes[kindIndex(kind)];
}

// "keyboard", "mouse", "mouse pad": for messages.
inline constexpr std::string_view kindName(DeviceKind kind) {
    constexpr std::array<std::string_view, 3> names = {"keyboard", "mouse", "mouse pad"};
    return names[kindIndex(kind)];
}

// The prefix back to its kind ("kb", "ms", "mp"); nothing for any other text.
std::optional<DeviceKind> kindFromPrefix(std::string_view prefix);

// Vendor-defined collection every kind is configured through.
inline constexpr std::uint16_t kConfigUsagePage = 0xFF1C;
inline constexpr std::uint16_t kConfigUsage = 0x0092;

struct DeviceIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    friend bool operator==(const DeviceIdentity&, const DeviceIdentity&) = default;
};

// What the start-up sequence writes into each kind's session.
inline constexpr std::array<DeviceIdentity, 3> kDeviceIdentities = {{
    {0x0C45, 0x0632, kConfigUsage, kConfigUsagePage}, // keyboard
    {0x0C45, 0x5F01, kConfigUsage, kConfigUsagePage}, // mouse
    {0x0C45, 0x5F02, kConfigUsage, kConfigUsagePage}, // mouse pad
}};

inline constexpr const DeviceIdentity& identityOf(DeviceKind kind) {
    return kDeviceIdentities[kindIndex(kind)];
}

// Product ids a keyboard is accepted with besides its session's own.
inline constexpr std::array<std::uint16_t, 3> kKeyboardProductIds = {0x7513, 0x0632, 0x763E};

// Product ids a device of this kind is accepted with.
inline constexpr std::span<const std::uint16_t> acceptedProductIds(DeviceKind kind) {
    if (kind == DeviceKind::Keyboard) {
        return kKeyboardProductIds;
    }
    return {&kDeviceIdentities[kindIndex(kind)].productId, 1};
}

} // namespace quellix::device
