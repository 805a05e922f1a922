#pragma once
// What the custom controls draw, as pure functions of their state and
// rectangle.  The control classes call these from their paint slots; tests
// call them on a recording canvas.

#include <string>
#include <vector>

#include "quellix/ui/canvas.h"

namespace quellix::ui {

// Width of the circular progress ring in pixels.
inline constexpr int kCircleRingWidth = 10;

// A ring filled clockwise from six o'clock: the background disc, the
// sector of value / (max - min) of a full turn, then a white disc 10 pixels
// inside the edge that turns the sector into a ring.
void paintCircleProgress(ICanvas& canvas, const Rect& rect, int minimum, int maximum, int value,
                         Argb background, Argb foreground);

struct ChartItem {
    std::string name;
    double value = 0;
};

struct ChartStyle {
    bool showText = true;
    bool showHtml = false;
    int font = -1;
    Argb textColour = 0;
};

// The opaque colour of pie item `index` (cycles through 18 colours).
Argb pieColour(std::size_t index);

// The pie with its shadow and, with text shown, a legend of 100 pixels on
// the right.  Nothing is drawn without items.
void paintPieChart(ICanvas& canvas, const Rect& rect, const Rect& paintRect,
                   const std::vector<ChartItem>& items, const ChartStyle& style);

struct HistogramImages {
    std::string shadowImage; // base picture along the bottom
    int shadowImageHeight = 0;
    std::string pillarImage; // picture of one column
    int pillarImageWidth = 0;
};

// The base picture and one column per item with its label underneath.  A
// picture that fails to draw is forgotten (cleared in `images`) so that it
// is not tried again on every paint.
void paintHistogram(ICanvas& canvas, const Rect& rect, const std::vector<ChartItem>& items,
                    const ChartStyle& style, HistogramImages& images);

} // namespace quellix::ui
