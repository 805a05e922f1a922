#pragma once
// Counts every call of the global operator new of this executable.

#include <cstddef>

namespace quellix::lighting {
std::size_t allocationCount();
} // namespace quellix::lighting
