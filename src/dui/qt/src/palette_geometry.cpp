#include "quellix/dui/qt/palette_geometry.h"

#include <algorithm>
#include <cmath>

namespace quellix::dui::qt {

namespace {

constexpr int kGap = 4;

double clamp01(double x) {
    return std::clamp(x, 0.0, 1.0);
}

double fraction(int value, int from, int to) {
    const int span = to - from - 1;
    return span > 0 ? clamp01(double(value - from) / span) : 0.0;
}

} // namespace

Hsv ToHsv(DWORD argb) {
    const double r = ((argb >> 16) & 0xFF) / 255.0;
    const double g = ((argb >> 8) & 0xFF) / 255.0;
    const double b = (argb & 0xFF) / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const double delta = max - min;
    Hsv hsv{0, max > 0 ? delta / max : 0, max};
    if (delta > 0) {
        if (max == r) {
            hsv.h = 60 * std::fmod((g - b) / delta, 6.0);
        } else if (max == g) {
            hsv.h = 60 * ((b - r) / delta + 2);
        } else {
            hsv.h = 60 * ((r - g) / delta + 4);
        }
        if (hsv.h < 0) {
            hsv.h += 360;
        }
    }
    return hsv;
}

DWORD FromHsv(const Hsv& hsv, std::uint8_t alpha) {
    const double h = std::fmod(std::max(hsv.h, 0.0), 360.0) / 60.0;
    const double s = clamp01(hsv.s);
    const double v = clamp01(hsv.v);
    const double c = v * s;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (int(h)) {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    const double m = v - c;
    auto channel = [m](double part) { return DWORD(std::lround((part + m) * 255)); };
    return (DWORD(alpha) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

PaletteLayout LayoutPalette(const RECT& control, int palletHeight, int barHeight) {
    const int squareBottom =
        std::min(control.top + std::max(palletHeight, 1), control.bottom - barHeight - kGap);
    PaletteLayout layout;
    layout.square = {control.left, control.top, control.right,
                     std::max(squareBottom, control.top + 1)};
    layout.bar = {control.left, layout.square.bottom + kGap, control.right,
                  layout.square.bottom + kGap + std::max(barHeight, 1)};
    return layout;
}

DWORD PickColour(const PaletteLayout& layout, POINT point, DWORD current, bool inBar) {
    Hsv hsv = ToHsv(current);
    const std::uint8_t alpha = std::uint8_t(current >> 24);
    if (inBar) {
        hsv.v = fraction(point.x, layout.bar.left, layout.bar.right);
    } else {
        hsv.h = fraction(point.x, layout.square.left, layout.square.right) * 359.999;
        hsv.s = 1.0 - fraction(point.y, layout.square.top, layout.square.bottom);
        if (hsv.v < 0.05) {
            hsv.v = 1.0;
        }
    }
    return FromHsv(hsv, alpha == 0 ? 0xFF : alpha);
}

POINT SquareMarker(const PaletteLayout& layout, DWORD colour) {
    const Hsv hsv = ToHsv(colour);
    const RECT& sq = layout.square;
    return {sq.left + int(std::lround(hsv.h / 360.0 * (sq.width() - 1))),
            sq.top + int(std::lround((1.0 - hsv.s) * (sq.height() - 1)))};
}

int BarMarker(const PaletteLayout& layout, DWORD colour) {
    return layout.bar.left + int(std::lround(ToHsv(colour).v * (layout.bar.width() - 1)));
}

} // namespace quellix::dui::qt
