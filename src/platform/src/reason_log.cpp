#include "quellix/platform/reason_log.h"

#include "quellix/platform/debug.h"

namespace quellix::platform {

std::uint32_t ReasonLog::reasonOf(const Result& result) {
    // The status in the top byte, the error number below it: the detail
    // (which chunk, which offset) changes with every attempt and is not a
    // new reason.
    return static_cast<std::uint32_t>(result.status()) << 24 |
           (static_cast<std::uint32_t>(result.errorNumber()) & 0xFFFFFFu);
}

bool ReasonLog::note(const Result& result) {
    const std::uint32_t reason = reasonOf(result);
    const std::uint32_t before = last_.exchange(reason, std::memory_order_relaxed);
    if (before == reason) {
        return false;
    }
    debugOutput(what_ + ": " + (result.ok() ? std::string("ok again") : result.describe()));
    return true;
}

} // namespace quellix::platform
