#include "session_pause.h"

#include <chrono>
#include <thread>

namespace quellix::device {

void pauseFor(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace quellix::device
