// The keyboard's factory key table.  The firmware numbers its key slots by
// LED: the key that carries LED n has slot n.  Which key that is depends on
// the keyboard's layout (product id); the picture order below is the one
// the key page shows (six rows of 21 positions).

#include "factory_defaults.h"

#include <array>
#include <initializer_list>
#include <stdexcept>

namespace quellix::sim {
namespace {

struct KeyFunction {
    std::uint8_t type, p1, p2;
};

constexpr KeyFunction key(std::uint8_t usage) {
    return {0x20, 0x00, usage};
}
constexpr KeyFunction modifier(std::uint8_t bit) {
    return {0x20, bit, 0x00};
}
constexpr KeyFunction kEmpty{0x20, 0x00, 0x00};
constexpr KeyFunction kFn{0xA0, 0x02, 0x02};

// HID keyboard usages by name.
constexpr std::uint8_t kEsc = 0x29, kF1 = 0x3A, kPrintScr = 0x46;
constexpr std::uint8_t kGrave = 0x35, kDigit1 = 0x1E, kDigit0 = 0x27;

// Picture position -> key function, six rows of 21.
std::array<KeyFunction, 126> pictureKeys() {
    std::array<KeyFunction, 126> keys{};
    keys.fill(kEmpty);
    std::size_t at = 0;
    auto put = [&](std::initializer_list<KeyFunction> list) {
        for (const KeyFunction& f : list) {
            keys[at++] = f;
        }
    };
    auto skip = [&](std::size_t count) { at += count; };
    // Row 0: Esc, F1-F12, Print Screen, Scroll Lock, Pause.
    put({key(kEsc)});
    for (std::uint8_t i = 0; i < 12; ++i) {
        put({key(static_cast<std::uint8_t>(kF1 + i))});
    }
    put({key(kPrintScr), key(0x47), key(0x48)});
    skip(5);
    // Row 1: `, 1-9, 0, -, =, BackSpace, Insert, Home, Page Up, Num Lock, Num / * -.
    put({key(kGrave)});
    for (std::uint8_t i = 0; i < 9; ++i) {
        put({key(static_cast<std::uint8_t>(kDigit1 + i))});
    }
    put({key(kDigit0), key(0x2D), key(0x2E), key(0x2A), key(0x49), key(0x4A), key(0x4B), key(0x53),
         key(0x54), key(0x55), key(0x56)});
    // Row 2: Tab, Q..P, [, ], \, Delete, End, Page Down, Num 7-9.
    put({key(0x2B), key(0x14), key(0x1A), key(0x08), key(0x15), key(0x17), key(0x1C),
         key(0x18), key(0x0C), key(0x12), key(0x13), key(0x2F), key(0x30), key(0x31),
         key(0x4C), key(0x4D), key(0x4E), key(0x5F), key(0x60), key(0x61)});
    skip(1);
    // Row 3: Caps Lock, A..L, ;, ', Enter, Num 4-6, -, K45.
    put({key(0x39), key(0x04), key(0x16), key(0x07), key(0x09), key(0x0A), key(0x0B), key(0x0D),
         key(0x0E), key(0x0F), key(0x33), key(0x34), key(0x28), key(0x5C), key(0x5D), key(0x5E)});
    skip(1);
    put({key(0x64)});
    skip(3);
    // Row 4: LShift, Z../, RShift, Up, Num 1-3.
    put({modifier(0x02), key(0x1D), key(0x1B), key(0x06), key(0x19), key(0x05), key(0x11),
         key(0x10), key(0x36), key(0x37), key(0x38), modifier(0x20), key(0x52), key(0x59),
         key(0x5A), key(0x5B)});
    skip(5);
    // Row 5: LCtrl, LWin, LAlt, Space, RAlt, Fn, App, RCtrl, arrows, Num 0 . Enter +, RWin.
    put({modifier(0x01), modifier(0x08), modifier(0x04), key(0x2C), modifier(0x40), kFn, key(0x65),
         modifier(0x10), key(0x50), key(0x51), key(0x4F), key(0x62), key(0x63), key(0x58),
         key(0x57)});
    skip(5);
    put({modifier(0x80)});
    return keys;
}

// Picture position -> LED number (126: the key has no LED), written as
// runs: {first, last} is first..last, {126, 126, k} is k keys without LED.
struct Run {
    std::uint8_t first, last;
    std::uint8_t repeat = 1;
};

std::array<std::uint8_t, 126> expand(std::initializer_list<Run> runs) {
    std::array<std::uint8_t, 126> leds{};
    std::size_t at = 0;
    for (const Run& run : runs) {
        for (std::uint8_t r = 0; r < run.repeat; ++r) {
            for (unsigned led = run.first; led <= run.last; ++led) {
                if (at >= leds.size()) {
                    throw std::logic_error("keyboard LED map longer than 126 entries");
                }
                leds[at++] = static_cast<std::uint8_t>(led);
            }
        }
    }
    if (at != leds.size()) {
        throw std::logic_error("keyboard LED map shorter than 126 entries");
    }
    return leds;
}

constexpr Run none(std::uint8_t count) {
    return {126, 126, count};
}
constexpr Run one(std::uint8_t led) {
    return {led, led};
}

// By keyboard variant (device table): 0 full colour, 1 one colour, 2 the
// other full-colour layout.
std::array<std::uint8_t, 126> ledMap(std::uint16_t productId) {
    switch (device::keyboardVariantFor(productId).value_or(-1)) {
    case 0:
        return expand({{0, 12},  {14, 16},   none(5),  {21, 61},   none(1),  {63, 74},
                       one(76),  {80, 82},   none(5),  one(84),    {86, 95}, one(97),
                       one(99),  {101, 103}, none(5),  {105, 111}, one(113), {119, 121},
                       one(123), one(124),   one(104), one(62),    none(6)});
    case 1:
        return expand({{0, 15},   none(5),  {18, 34}, one(53),  one(35),    one(71),
                       one(89),   {36, 52}, {68, 70}, none(1),  {54, 65},   one(67),
                       {86, 88},  none(5),  one(72),  {74, 85}, {103, 105}, none(5),
                       {90, 102}, one(106), one(107), none(6)});
    case 2:
        return expand({{0, 12},    {14, 16}, none(5),  {21, 54},   one(75), {56, 61},   none(1),
                       {63, 74},   one(76),  {80, 82}, none(1),    one(85), none(3),    one(84),
                       {86, 95},   one(97),  one(99),  {101, 103}, none(5), {105, 111}, one(113),
                       {119, 121}, one(123), one(124), one(104),   one(62), none(6)});
    default:
        throw std::invalid_argument("not a keyboard product id");
    }
}

// Slots without a key hold this reserved filler, as unused slots do on the
// mouse.
constexpr std::uint8_t kUnusedSlotByte = 0x05;

} // namespace

std::vector<std::uint8_t> keyboardDefaultKeys(std::uint16_t keyboardProductId) {
    std::vector<std::uint8_t> table(kKeyTableSize, kUnusedSlotByte);
    table[510] = table[511] = 0;
    const auto keys = pictureKeys();
    const auto leds = ledMap(keyboardProductId);
    for (std::size_t picture = 0; picture < keys.size(); ++picture) {
        const std::uint8_t led = leds[picture];
        const KeyFunction f = keys[picture];
        if (led == 126 || (f.type == kEmpty.type && f.p1 == 0 && f.p2 == 0)) {
            continue;
        }
        table[3 * led] = f.type;
        table[3 * led + 1] = f.p1;
        table[3 * led + 2] = f.p2;
    }
    return table;
}

} // namespace quellix::sim
