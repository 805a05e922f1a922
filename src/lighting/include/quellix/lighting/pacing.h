#pragma once
// What an effect asks of time: the sleeps it requests, which the library
// never takes itself so that the engine stays testable and the worker
// decides how to wait, and the tick count that the flash effect reads from
// the injectable platform clock.

#include "quellix/platform/clock.h"

#include <chrono>
#include <cstdint>

namespace quellix::lighting {

using platform::Clock;

class Pacer {
public:
    virtual ~Pacer() = default;
    // The step wants `ms` milliseconds to pass at this point.
    virtual void sleepMs(unsigned ms) = 0;
};

// Takes the requested sleeps on a clock: the system clock in the workers, a
// manual clock (time passes at once) in tests and in `quellixctl fx`.
class ClockPacer final : public Pacer {
public:
    explicit ClockPacer(Clock& clock) : clock_(clock) {}
    void sleepMs(unsigned ms) override { clock_.sleep(std::chrono::milliseconds(ms)); }

private:
    Clock& clock_;
};

} // namespace quellix::lighting
