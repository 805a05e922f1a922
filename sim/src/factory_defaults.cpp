#include "factory_defaults.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

namespace quellix::sim {
namespace {

// Information block (command 3), byte by byte:
//   0      device kind: 1 keyboard, 2 mouse, 3 mouse pad
//   1-2    firmware version, little endian BCD
//   3      on-board slots
//   4      LEDs
//   5      keys (the keyboard's key count; the mouse's programmable buttons)
//   6      macro memory in units of 128 bytes
//   7      pointer-pattern memory in units of 128 bytes
//   9-10   sensor identifier, little endian (mouse)
//   11     DPI stages (mouse)
//   12     largest DPI slider position (mouse)
//   13-14  DPI base, little endian (mouse)
//   others 0
struct InfoFields {
    std::uint8_t kind;
    std::uint8_t slots;
    std::uint8_t leds;
    std::uint8_t keys;
    std::uint8_t macroUnits;
    std::uint8_t pointerUnits;
    std::uint16_t sensor;
    std::uint8_t dpiStages;
    std::uint8_t dpiMaxPosition;
    std::uint16_t dpiBase;
};

constexpr std::uint16_t kFirmwareVersion = 0x0105;
constexpr std::size_t kUnitBytes = 128;

std::vector<std::uint8_t> infoBlock(const InfoFields& f) {
    std::vector<std::uint8_t> info(kInfoBlockSize, 0);
    info[0] = f.kind;
    info[1] = kFirmwareVersion & 0xFF;
    info[2] = kFirmwareVersion >> 8;
    info[3] = f.slots;
    info[4] = f.leds;
    info[5] = f.keys;
    info[6] = f.macroUnits;
    info[7] = f.pointerUnits;
    info[9] = f.sensor & 0xFF;
    info[10] = f.sensor >> 8;
    info[11] = f.dpiStages;
    info[12] = f.dpiMaxPosition;
    info[13] = f.dpiBase & 0xFF;
    info[14] = f.dpiBase >> 8;
    return info;
}

// Mouse: sensor 0x3325, DPI base 200; position 73 is 200 + (73 - 24) * 200
// = 10000 DPI.
using device::DeviceKind;
constexpr std::uint8_t kindCodeOf(DeviceKind kind) {
    return static_cast<std::uint8_t>(device::kindCode(kind));
}
constexpr std::uint8_t ledsOf(DeviceKind kind) {
    return device::kindInfo(kind).ledCount;
}
constexpr InfoFields kMouseInfo{
    kindCodeOf(DeviceKind::Mouse), 5, ledsOf(DeviceKind::Mouse), 7, 32, 24, 0x3325, 4, 73, 200};
constexpr InfoFields kPadInfo{
    kindCodeOf(DeviceKind::MousePad), 5, ledsOf(DeviceKind::MousePad), 0, 0, 0, 0, 0, 0, 0};
constexpr InfoFields kKeyboardInfo{kindCodeOf(DeviceKind::Keyboard),
                                   1,
                                   ledsOf(DeviceKind::Keyboard),
                                   ledsOf(DeviceKind::Keyboard),
                                   64,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0};

struct Rgb {
    std::uint8_t r, g, b;
};
constexpr std::array<Rgb, 5> kSlotColours{
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}}};

// The nine lighting bytes that begin every slot: slot, mode, brightness,
// speed, direction, multicolour, red, green, blue.
void putLighting(std::uint8_t* slot, std::uint8_t index, std::uint8_t mode, Rgb colour,
                 bool multicolour) {
    const std::array<std::uint8_t, 9> fields{
        index,    mode,     4,       2, 0, static_cast<std::uint8_t>(multicolour ? 1 : 0),
        colour.r, colour.g, colour.b};
    std::copy(fields.begin(), fields.end(), slot);
}

std::vector<std::uint8_t> padSlots() {
    std::vector<std::uint8_t> slots(5 * kSlotSize, 0);
    for (std::uint8_t s = 0; s < 5; ++s) {
        // Byte 0 of slot 0 is the active slot index: slot 0 is active.
        putLighting(&slots[s * kSlotSize], s, static_cast<std::uint8_t>(2 * s), kSlotColours[s],
                    s == 0);
    }
    return slots;
}

// DPI positions 6, 14, 30, 55: 800, 1600, 3200 and 6400 DPI at base 200.
constexpr std::array<std::uint8_t, 4> kDpiLevels{6, 14, 30, 55};
constexpr std::array<Rgb, 4> kDpiColours{{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}};
constexpr std::uint8_t kReportRate1000Hz = 3;

std::vector<std::uint8_t> mouseSlots() {
    std::vector<std::uint8_t> slots(5 * kSlotSize, 0);
    for (std::uint8_t s = 0; s < 5; ++s) {
        std::uint8_t* slot = &slots[s * kSlotSize];
        putLighting(slot, s, s, kSlotColours[s], s == 0);
        slot[14] = kReportRate1000Hz;
        std::copy(kDpiLevels.begin(), kDpiLevels.end(), slot + 15);
        slot[19] = 1; // second stage active
        for (std::size_t i = 0; i < kDpiColours.size(); ++i) {
            slot[20 + 3 * i] = kDpiColours[i].r;
            slot[21 + 3 * i] = kDpiColours[i].g;
            slot[22 + 3 * i] = kDpiColours[i].b;
        }
    }
    return slots;
}

std::vector<std::uint8_t> keyboardSlot() {
    std::vector<std::uint8_t> slot(kSlotSize, 0);
    putLighting(slot.data(), 0, 0, {255, 255, 255}, true);
    // Colour A (26..28) and colour B (36..38), multicolour flags 29 and 39 off,
    // style 30 "one".
    slot[26] = slot[36] = 255;
    return slot;
}

// Mouse buttons: left, wheel (middle), right, forward, back, DPI (cycle),
// second DPI (up).  The rest of the table holds the reserved filler 0x05.
std::vector<std::uint8_t> mouseDefaultKeys() {
    std::vector<std::uint8_t> table(kKeyTableSize, 0x05);
    table[510] = table[511] = 0;
    const std::array<std::uint8_t, 21> buttons{0x10, 0x01, 0,    0x10, 0x04, 0,    0x10,
                                               0x02, 0,    0x10, 0x10, 0,    0x10, 0x08,
                                               0,    0x13, 0x03, 0,    0x13, 0x01, 0};
    std::copy(buttons.begin(), buttons.end(), table.begin());
    return table;
}

// Every page starts as the factory table's page proper.
std::vector<std::uint8_t> keyPagesFrom(const std::vector<std::uint8_t>& defaults,
                                       std::size_t pageBytes, std::size_t pages) {
    std::vector<std::uint8_t> memory(kKeyMemorySize, 0);
    for (std::size_t p = 0; p < pages; ++p) {
        std::copy_n(defaults.begin(), pageBytes, memory.begin() + p * kKeyPageStride);
    }
    return memory;
}

} // namespace

bool isKeyboardProductId(std::uint16_t productId) {
    return device::acceptsProduct(DeviceKind::Keyboard, productId);
}

std::string keyboardProductIdChoice() {
    const auto products = device::kindInfo(DeviceKind::Keyboard).products;
    std::string text;
    for (std::size_t i = 0; i < products.size(); ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "0x%04X", products[i].productId);
        text += (i == 0 ? "" : i + 1 == products.size() ? " or " : ", ") + std::string(id);
    }
    return text;
}

std::uint16_t productIdOf(Model model, std::uint16_t keyboardProductId) {
    return model == DeviceKind::Keyboard ? keyboardProductId : device::primaryProductId(model);
}

FactoryImage factoryImage(Model model, std::uint16_t keyboardProductId) {
    FactoryImage image;
    switch (model) {
    case Model::MousePad:
        image.info = infoBlock(kPadInfo);
        image.slots = padSlots();
        image.slotCount = 5;
        image.ledFrameSizes = {33};
        break;
    case Model::Mouse:
        image.info = infoBlock(kMouseInfo);
        image.slots = mouseSlots();
        image.slotCount = 5;
        image.defaultKeys = mouseDefaultKeys();
        image.keyPageBytes = 126; // 42 key slots per page
        image.keyPages = keyPagesFrom(image.defaultKeys, image.keyPageBytes, kKeyPageCount);
        image.macroBytes = kMouseInfo.macroUnits * kUnitBytes;
        image.pointerBytes = kMouseInfo.pointerUnits * kUnitBytes;
        image.ledFrameSizes = {60};
        break;
    case Model::Keyboard:
        if (!isKeyboardProductId(keyboardProductId)) {
            throw std::invalid_argument("keyboard product id must be " + keyboardProductIdChoice());
        }
        image.info = infoBlock(kKeyboardInfo);
        image.slots = keyboardSlot();
        image.slotCount = 1;
        image.defaultKeys = keyboardDefaultKeys(keyboardProductId);
        image.keyPageBytes = 3 * kKeyboardInfo.keys; // 378
        // One key page (page 0); other page numbers reach the same memory.
        image.keyPages = keyPagesFrom(image.defaultKeys, image.keyPageBytes, 1);
        image.macroBytes = kKeyboardInfo.macroUnits * kUnitBytes;
        // The one-colour keyboard takes level frames of 126 bytes (108 for
        // the snake) besides full 378-byte colour frames.
        image.ledFrameSizes =
            device::keyboardVariantFor(keyboardProductId) == device::kOneColourKeyboardVariant
                ? std::vector<std::size_t>{108, 126, 378}
                : std::vector<std::size_t>{378};
        break;
    }
    return image;
}

} // namespace quellix::sim
