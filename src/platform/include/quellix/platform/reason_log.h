#pragma once
// The debug line of a failure that nobody asked for (a lighting frame, a
// read after a connection): background work retries quietly, so its
// failures are written once per change of reason rather than once per
// attempt, and a return to success is written once too.
//
// Any thread may note results; the last reason is one atomic word.

#include "quellix/platform/result.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace quellix::platform {

class ReasonLog {
public:
    explicit ReasonLog(std::string what) : what_(std::move(what)) {}

    // Writes "<what>: <reason>" when the reason differs from the last one
    // noted, "<what>: ok again" when a failure is followed by a success.
    // True when a line was written.
    bool note(const Result& result);

private:
    static std::uint32_t reasonOf(const Result& result);

    std::string what_;
    std::atomic<std::uint32_t> last_{0};
};

} // namespace quellix::platform
