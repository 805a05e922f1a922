#include "quellix/lighting/state.h"

namespace quellix::lighting {

void EffectState::clear() {
    phase.store(0);
    levels.fill(0);
    hues.fill(0);
    masks.clear();
    ring.fill(0);
}

void resetPadAnimation(PadLighting& pad) {
    pad.effect.clear();
}

void resetMouseAnimation(MouseLighting& mouse) {
    mouse.effect.clear();
}

void resetKeyboardAnimation(KeyboardLighting& keyboard) {
    keyboard.effect.clear();
    keyboard.showStage.store(0);
}

void triggerFlashes(LightingState& state) {
    state.pad.flash.trigger.store(1);
    state.mouse.flash.trigger.store(1);
}

} // namespace quellix::lighting
