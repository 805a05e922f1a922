#pragma once
// The custom controls' canvas on a QPainter.

#include <QPainter>
#include <functional>

#include "image_cache.h"
#include "quellix/dui/canvas.h"

namespace quellix::dui::qt {

QColor ToQColor(DWORD argb);
QRect ToQRect(const RECT& rc);
QRect ToQRect(const Rect& rc);

class QtCanvas : public ICanvas {
public:
    using FontOf = std::function<QFont(int id)>;
    QtCanvas(QPainter& painter, ImageCache& images, FontOf fonts);

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

private:
    QPainter& painter_;
    ImageCache& images_;
    FontOf fonts_;
};

} // namespace quellix::dui::qt
