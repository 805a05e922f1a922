#pragma once
// What every quellixctl command gets, and the table main dispatches on.

#include "quellix/hid/device_source.h"

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace quellix::tools {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // missing device, device error, bad file
inline constexpr int kExitUsage = 2;   // bad command line

struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    bool trace = false;       // print every frame written and read
    hid::DeviceSource source; // where the devices are found
};

using CommandArgs = std::span<const std::string>;

struct CommandEntry {
    std::string_view name;
    std::string_view arguments; // for the usage text
    std::string_view summary;
    std::size_t argumentCount;
    int (*run)(CommandArgs args, CommandContext& context);
};

std::span<const CommandEntry> commandTable();
const CommandEntry* findCommand(std::string_view name);

int runList(CommandArgs args, CommandContext& context);
int runInfo(CommandArgs args, CommandContext& context);
int runRead(CommandArgs args, CommandContext& context);
int runKeys(CommandArgs args, CommandContext& context);
int runDescriptor(CommandArgs args, CommandContext& context);
int runImage(CommandArgs args, CommandContext& context);
int runProfile(CommandArgs args, CommandContext& context);

} // namespace quellix::tools
