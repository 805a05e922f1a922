#pragma once
// What a device holds when it leaves the factory (and after command 13).

#include "quellix/sim/simulator.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quellix::sim {

inline constexpr std::size_t kInfoBlockSize = 33;
inline constexpr std::size_t kSlotSize = 64;
inline constexpr std::size_t kKeyPageStride = 126; // page p starts at p * 126
inline constexpr std::size_t kKeyPageCount = 5;
inline constexpr std::size_t kKeyTableSize = 512;   // default key table
inline constexpr std::size_t kKeyMemorySize = 1024; // covers page 4 + 512 bytes

struct FactoryImage {
    std::vector<std::uint8_t> info;        // command 3
    std::vector<std::uint8_t> slots;       // commands 5 and 6
    std::vector<std::uint8_t> defaultKeys; // command 7; empty on the pad
    std::vector<std::uint8_t> keyPages;    // commands 8 and 9; empty on the pad
    std::size_t slotCount = 0;
    std::size_t keyPageBytes = 0;           // bytes of one page that command 9 stores
    std::size_t macroBytes = 0;             // command 21 area
    std::size_t pointerBytes = 0;           // command 23 area
    std::vector<std::size_t> ledFrameSizes; // command 18 frame lengths
};

// keyboardProductId selects the keyboard's LED layout (its variant in the
// device table); other models ignore it.
FactoryImage factoryImage(Model model, std::uint16_t keyboardProductId);

// The keyboard's factory key table (512 bytes): the key of LED n sits in
// slot n, as a three-byte key function.
std::vector<std::uint8_t> keyboardDefaultKeys(std::uint16_t keyboardProductId);

bool isKeyboardProductId(std::uint16_t productId);
// The keyboard's accepted product ids for messages: "0xPPPP, 0xPPPP or 0xPPPP".
std::string keyboardProductIdChoice();
// The product id a model is plugged with: the keyboard's given one, the
// table's product for the others.
std::uint16_t productIdOf(Model model, std::uint16_t keyboardProductId);

} // namespace quellix::sim
