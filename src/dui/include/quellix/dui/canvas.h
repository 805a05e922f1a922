#pragma once
// A small drawing surface for the custom controls.
//
// The custom controls describe what they draw in terms of rectangles,
// sectors, images and text; the Qt view renders those calls with QPainter
// and tests record them.  Angles are in degrees, 0 at three o'clock and
// growing clockwise (screen coordinates, y pointing down).

#include <cstdint>
#include <string>

namespace quellix::dui {

using Argb = std::uint32_t;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool intersects(const Rect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    Rect deflated(int by) const { return {left + by, top + by, right - by, bottom - by}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle given by its corner and size, as ellipse and sector calls use.
struct Box {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

// How an image is tinted when it stands for a lit key: the light's colour
// (0x00RRGGBB) and level (0..255).  `enabled` false draws the image as is.
struct ImageTint {
    bool enabled = false;
    std::uint32_t colour = 0;
    int level = 0;
    friend bool operator==(const ImageTint&, const ImageTint&) = default;
};

// Text layout flags, combinable.
enum TextStyle : unsigned {
    kTextLeft = 0x00,
    kTextCenter = 0x01,
    kTextRight = 0x02,
    kTextVCenter = 0x04,
    kTextSingleLine = 0x20,
};

class ICanvas {
public:
    virtual ~ICanvas() = default;

    virtual void setAntialias(bool on) = 0;
    virtual void fillRect(const Rect& rect, Argb colour) = 0;
    virtual void drawRect(const Rect& rect, Argb colour, int width) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2, Argb colour, int width) = 0;
    virtual void fillEllipse(const Box& box, Argb colour) = 0;
    // A filled sector of the ellipse inscribed in `box`.
    virtual void fillPie(const Box& box, double startDegrees, double sweepDegrees, Argb colour) = 0;
    virtual void drawArc(const Box& box, double startDegrees, double sweepDegrees, Argb colour,
                         int width) = 0;
    // Draws an image description ("file='x.png' source=... corner=..." or a
    // bare file name relative to the skin folder) into `dest`, clipped to
    // `clip`.  False when the image cannot be loaded.
    virtual bool drawImage(const std::string& image, const Rect& dest, const Rect& clip,
                           const ImageTint& tint) = 0;
    // `font` is the layout's font id (-1: the window's default font).
    virtual void drawText(const Rect& rect, const std::string& text, Argb colour, int font,
                          unsigned style, bool html) = 0;
};

} // namespace quellix::dui
