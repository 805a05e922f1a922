#pragma once
// Geometry of the colour palette control as the view draws it: a square of
// hue (left to right) and saturation (top to bottom) at full brightness,
// and under it a bar of brightness for the chosen hue and saturation.
// Pure computation, no Qt, so that picking is tested directly.

#include "quellix/dui/types.h"

namespace quellix::dui::qt {

struct Hsv {
    double h = 0; // 0 <= h < 360
    double s = 0; // 0..1
    double v = 0; // 0..1
};

Hsv ToHsv(DWORD argb);
DWORD FromHsv(const Hsv& hsv, std::uint8_t alpha = 0xFF);

struct PaletteLayout {
    RECT square; // hue x saturation
    RECT bar;    // brightness
};

// The square takes the control's width and `palletHeight` pixels (less
// when the control is shorter); the bar `barHeight` pixels below a 4 pixel
// gap.
PaletteLayout LayoutPalette(const RECT& control, int palletHeight, int barHeight);

// The colour the user picks at a point that lies in the square or the bar,
// starting from `current`; nothing changes outside both (returns current).
// A pick in the square keeps the brightness (a black colour becomes fully
// bright, so that the pick shows); a pick in the bar keeps hue and
// saturation.  Points are clamped into the part where the drag started
// (`inBar`).
DWORD PickColour(const PaletteLayout& layout, POINT point, DWORD current, bool inBar);

// Where the markers of a colour sit.
POINT SquareMarker(const PaletteLayout& layout, DWORD colour);
int BarMarker(const PaletteLayout& layout, DWORD colour);

} // namespace quellix::dui::qt
