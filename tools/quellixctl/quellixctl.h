#pragma once
// The quellixctl command line: global options, then one command.
//
//   quellixctl [--trace] [--sim DIR] <command> [arguments]

#include "quellix/hid/device_source.h"

#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace quellix::tools {

// A command implemented outside this library (fx): it gets every argument
// after its name.
using ExternalCommand = int (*)(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err);

// Runs the command line `args` (without the program name); returns the exit
// code.  `fx` is null when lighting effects are not built in.  The devices
// come from `source` unless the command line names a simulator (--sim).
int runQuellixctl(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                  ExternalCommand fx = nullptr, const hid::DeviceSource& source = {});

} // namespace quellix::tools
