#pragma once
// Names the calling thread, so that top, gdb and /proc show which worker is
// which.  Linux keeps 15 bytes of it; a longer name is cut.

#include <string_view>

namespace quellix::platform {

void setCurrentThreadName(std::string_view name);

} // namespace quellix::platform
