#pragma once
// What a family's selection or reset does beyond its own panel.

#include "quellix/profiles/pages/family_panel.h"

namespace quellix::profiles::pages {

struct Effects {
    ui::Feature refresh;     // the page refreshed (Feature::Count: none)
    bool lightingChanged;    // the device page's lighting changed
    const char* hiddenPanel; // a key function panel hidden and disabled when shown
    bool keyLabels;          // the key assignment page shows the new keys
    bool keyPage;            // key page 0 goes to the device
    bool wheelSpeed;         // the loaded wheel speed goes to the desktop
};

const Effects& selectEffects(Family family);
const Effects& resetEffects(Family family);
// How many bytes a reset reads from the family's default file.
std::size_t resetDefaultBytes(Family family);
const char* panelHiddenBeforeReset(Family family);

} // namespace quellix::profiles::pages
