#pragma once
// A canvas that remembers what was drawn, so that tests can check the
// geometry of the custom controls without a display.

#include <set>
#include <string>
#include <vector>

#include "quellix/ui/canvas.h"

namespace quellix::ui {

struct CanvasOp {
    enum class Kind { Antialias, FillRect, DrawRect, Line, Ellipse, Pie, Arc, Image, Text };
    Kind kind{};
    Rect rect; // FillRect, DrawRect, Image (destination), Text
    Rect clip; // Image
    Box box;   // Ellipse, Pie, Arc
    double start = 0;
    double sweep = 0;
    Argb colour = 0;
    int width = 0;    // pen width; Line stores its end points in rect
    std::string text; // Image: the description; Text: the text
    ImageTint tint;
    int font = -1;
    unsigned style = 0;
    bool flag = false; // Antialias: on; Text: html; Image: drawn
};

class RecordingCanvas : public ICanvas {
public:
    std::vector<CanvasOp> ops;
    // Images whose drawing fails, as when the file is missing.
    std::set<std::string> failingImages;

    void setAntialias(bool on) override;
    void fillRect(const Rect& rect, Argb colour) override;
    void drawRect(const Rect& rect, Argb colour, int width) override;
    void drawLine(int x1, int y1, int x2, int y2, Argb colour, int width) override;
    void fillEllipse(const Box& box, Argb colour) override;
    void fillPie(const Box& box, double startDegrees, double sweepDegrees, Argb colour) override;
    void drawArc(const Box& box, double startDegrees, double sweepDegrees, Argb colour,
                 int width) override;
    bool drawImage(const std::string& image, const Rect& dest, const Rect& clip,
                   const ImageTint& tint) override;
    void drawText(const Rect& rect, const std::string& text, Argb colour, int font, unsigned style,
                  bool html) override;

    // The operations of one kind, in drawing order.
    std::vector<CanvasOp> of(CanvasOp::Kind kind) const;
};

} // namespace quellix::ui
