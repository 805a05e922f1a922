#include "flash.h"

namespace quellix::lighting::detail {

FlashFrame stepFlash(FlashState& flash, const Clock& clock) {
    const std::uint64_t now = clock.tickCount();
    if (flash.trigger.load() != 0) {
        flash.trigger.store(0);
        flash.active.store(1);
        flash.startMs.store(now);
        const unsigned hue = flash.hue.load() + 14u;
        flash.hue.store(hue >= 192 ? 0 : static_cast<std::uint8_t>(hue));
    }
    const FlashFrame frame{flash.active.load() != 0, flash.hue.load()};
    if (frame.lit && now - flash.startMs.load() >= kFlashMs)
        flash.active.store(0);
    return frame;
}

} // namespace quellix::lighting::detail
