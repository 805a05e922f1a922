#include "quellix/lighting/records.h"

namespace quellix::lighting {

unsigned LightingRecords::variant() const {
    const int v = keyboardVariant != nullptr ? keyboardVariant->load() : 0;
    return v >= 0 && v <= 2 ? static_cast<unsigned>(v) : 0;
}

OwnedLightingRecords::OwnedLightingRecords() {
    writeLightingFields(kFactoryLighting, pad.span());
    writeLightingFields(kFactoryLighting, mouse.span());
    writeLightingFields(kFactoryLighting, keyboard.span());
}

LightingRecords OwnedLightingRecords::records() {
    return {pad.span(),
            mouse.span(),
            keyboard.span(),
            sync.span(),
            {customState.span(), customTable.span()},
            &keyboardVariant};
}

} // namespace quellix::lighting
