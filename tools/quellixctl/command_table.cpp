#include "command.h"

#include <array>

namespace quellix::tools {

namespace {

constexpr std::array<CommandEntry, 7> kCommands = {{
    {"list", "", "every HID interface with its ids, usages, interface and collection", 0, &runList},
    {"info", "<kind>", "the 33-byte device information block (commands 1, 3, 2)", 1, &runInfo},
    {"read", "<kind> <offset> <length>", "device memory (command 5, bracketed by 1 and 2)", 3,
     &runRead},
    {"keys", "<kind> <page>", "key page 0..4 (command 8, bracketed by 1 and 2)", 2, &runKeys},
    {"image", "<kind>", "the device's configuration image, decoded (slots, DPI, variant)", 1,
     &runImage},
    {"profile", "FILE", "a profile file decoded: kind, family by size, fields", 1, &runProfile},
    {"descriptor", "FILE", "collections of a report descriptor (binary or hex text)", 1,
     &runDescriptor},
}};

} // namespace

std::span<const CommandEntry> commandTable() {
    return kCommands;
}

const CommandEntry* findCommand(std::string_view name) {
    for (const CommandEntry& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace quellix::tools
