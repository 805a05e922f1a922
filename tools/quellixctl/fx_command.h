#pragma once
// `quellixctl fx`: runs a lighting effect without a device and prints every
// frame, so that an effect can be looked at and compared byte for byte.

#include <iosfwd>
#include <string>
#include <vector>

namespace quellix::tools {

// args: everything after "fx".  Returns 0 on success, 2 on bad arguments
// (with a message on `err`).
int runFx(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text of the command.
const char* fxUsage();

} // namespace quellix::tools
