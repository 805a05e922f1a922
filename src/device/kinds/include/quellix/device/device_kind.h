#pragma once
// The three kinds of device the program configures, and everything that
// tells them apart: one table, indexed by the kind.  Detection, the
// listeners, the configuration images, lighting, profiles, the pages, the
// tools, the simulator's identities and the udev rule all read it.

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

// A HID top-level collection, by usage page and usage.
struct HidUsage {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    constexpr bool present() const { return usagePage != 0; }
    friend constexpr bool operator==(const HidUsage&, const HidUsage&) = default;
};

// A product id a kind is accepted with.  For the keyboard it also selects
// the variant: 0 full colour, 1 one colour (per-key on/off), 2 full colour
// with another key layout; -1 for the other kinds.
struct KindProduct {
    std::uint16_t productId = 0;
    std::int8_t keyboardVariant = -1;
};

struct DeviceKindInfo {
    DeviceKind kind;
    std::string_view name;   // for messages: "keyboard", "mouse", "mouse pad"
    std::string_view word;   // on command lines and simulator commands: "keyboard", "mouse", "pad"
    std::string_view prefix; // control names, file names and the data folder: "kb", "ms", "mp"
    // The kind's number where devices and files store it: byte 0 of the
    // device information block and the kind word of profile file headers.
    std::uint16_t code;
    std::uint16_t vendorId;
    // Accepted products; the first is the one the kind's session and its
    // listener look for, and the one the simulator plugs by default.
    std::span<const KindProduct> products;
    HidUsage configInterface;   // the vendor-defined collection it is configured through
    HidUsage listenerInterface; // consumer control announcements; none for the pad
    std::uint8_t ledCount;      // LEDs a lighting frame addresses, three bytes each
};

inline constexpr std::uint16_t kVendorId = 0x0C45;
inline constexpr HidUsage kConfigInterface{0xFF1C, 0x0092};
inline constexpr HidUsage kConsumerInterface{0x000C, 0x0001};

inline constexpr KindProduct kKeyboardProducts[] = {{0x0632, 1}, {0x7513, 0}, {0x763E, 2}};
inline constexpr KindProduct kMouseProducts[] = {{0x5F01, -1}};
inline constexpr KindProduct kMousePadProducts[] = {{0x5F02, -1}};

inline constexpr std::array<DeviceKindInfo, 3> kDeviceKinds = {{
    {DeviceKind::Keyboard, "keyboard", "keyboard", "kb", 1, kVendorId, kKeyboardProducts,
     kConfigInterface, kConsumerInterface, 126},
    {DeviceKind::Mouse, "mouse", "mouse", "ms", 2, kVendorId, kMouseProducts, kConfigInterface,
     kConsumerInterface, 20},
    {DeviceKind::MousePad, "mouse pad", "pad", "mp", 3, kVendorId, kMousePadProducts,
     kConfigInterface, HidUsage{}, 11},
}};

inline constexpr const DeviceKindInfo& kindInfo(DeviceKind kind) {
    return kDeviceKinds[kindIndex(kind)];
}

inline constexpr std::string_view kindPrefix(DeviceKind kind) {
    return kindInfo(kind).prefix;
}

inline constexpr std::string_view kindName(DeviceKind kind) {
    return kindInfo(kind).name;
}

inline constexpr std::string_view kindWord(DeviceKind kind) {
    return kindInfo(kind).word;
}

inline constexpr std::uint16_t kindCode(DeviceKind kind) {
    return kindInfo(kind).code;
}

// The product id a kind's session and listener look for.
inline constexpr std::uint16_t primaryProductId(DeviceKind kind) {
    return kindInfo(kind).products.front().productId;
}

// The prefix back to its kind ("kb", "ms", "mp"); nothing for any other text.
inline constexpr std::optional<DeviceKind> kindFromPrefix(std::string_view prefix) {
    for (const DeviceKindInfo& info : kDeviceKinds) {
        if (info.prefix == prefix) {
            return info.kind;
        }
    }
    return std::nullopt;
}

// The command-line word back to its kind ("keyboard", "mouse", "pad").
inline constexpr std::optional<DeviceKind> kindFromWord(std::string_view word) {
    for (const DeviceKindInfo& info : kDeviceKinds) {
        if (info.word == word) {
            return info.kind;
        }
    }
    return std::nullopt;
}

// The kind stored as `code` (profile headers, information block).
inline constexpr std::optional<DeviceKind> kindFromCode(std::uint16_t code) {
    for (const DeviceKindInfo& info : kDeviceKinds) {
        if (info.code == code) {
            return info.kind;
        }
    }
    return std::nullopt;
}

inline constexpr bool acceptsProduct(DeviceKind kind, std::uint16_t productId) {
    for (const KindProduct& product : kindInfo(kind).products) {
        if (product.productId == productId) {
            return true;
        }
    }
    return false;
}

// The kind a vendor and product id belong to, if any.
inline constexpr std::optional<DeviceKind> kindOfProduct(std::uint16_t vendorId,
                                                         std::uint16_t productId) {
    for (const DeviceKindInfo& info : kDeviceKinds) {
        if (info.vendorId == vendorId && acceptsProduct(info.kind, productId)) {
            return info.kind;
        }
    }
    return std::nullopt;
}

inline constexpr int kKeyboardVariants = 3;

// The keyboard variant a product id selects; nothing for any other id.
inline constexpr std::optional<int> keyboardVariantFor(std::uint16_t productId) {
    for (const KindProduct& product : kKeyboardProducts) {
        if (product.productId == productId) {
            return product.keyboardVariant;
        }
    }
    return std::nullopt;
}

// The product id of a keyboard variant (0..2); nothing for any other number.
inline constexpr std::optional<std::uint16_t> keyboardProductOf(int variant) {
    for (const KindProduct& product : kKeyboardProducts) {
        if (product.keyboardVariant == variant) {
            return product.productId;
        }
    }
    return std::nullopt;
}

// The one-colour keyboard lights each key on or off instead of colouring it.
inline constexpr int kOneColourKeyboardVariant = 1;

struct DeviceIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    friend bool operator==(const DeviceIdentity&, const DeviceIdentity&) = default;
};

// What the start-up sequence writes into each kind's session.
inline constexpr DeviceIdentity identityOf(DeviceKind kind) {
    const DeviceKindInfo& info = kindInfo(kind);
    return {info.vendorId, primaryProductId(kind), info.configInterface.usage,
            info.configInterface.usagePage};
}

// The table's own promises: every kind in its place, a distinct code,
// word and prefix, products no two kinds share, and each keyboard variant
// once.
namespace table_check {
constexpr bool consistent() {
    for (std::size_t i = 0; i < kDeviceKinds.size(); ++i) {
        const DeviceKindInfo& a = kDeviceKinds[i];
        if (kindIndex(a.kind) != i || a.products.empty() || !a.configInterface.present()) {
            return false;
        }
        for (std::size_t k = i + 1; k < kDeviceKinds.size(); ++k) {
            const DeviceKindInfo& b = kDeviceKinds[k];
            if (a.code == b.code || a.word == b.word || a.prefix == b.prefix) {
                return false;
            }
            for (const KindProduct& p : b.products) {
                if (a.vendorId == b.vendorId && acceptsProduct(a.kind, p.productId)) {
                    return false;
                }
            }
        }
    }
    for (int variant = 0; variant < kKeyboardVariants; ++variant) {
        if (!keyboardProductOf(variant)) {
            return false;
        }
    }
    return true;
}
static_assert(consistent(), "the device kind table contradicts itself");
} // namespace table_check

} // namespace quellix::device
