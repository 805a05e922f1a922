#pragma once
// Lets GoogleTest print a result by its reason when an expectation fails.

#include "quellix/platform/result.h"

#include <ostream>

namespace quellix {

inline void PrintTo(const Result& result, std::ostream* os) {
    *os << result.describe();
}

inline void PrintTo(Status status, std::ostream* os) {
    *os << statusName(status);
}

} // namespace quellix
