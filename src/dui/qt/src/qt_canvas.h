#pragma once
// The custom controls' canvas on a QPainter.

#include <QPainter>
#include <functional>

#include "image_cache.h"
#include "quellix/ui/canvas.h"

namespace quellix::dui::qt {

QColor ToQColor(DWORD argb);
QRect ToQRect(const RECT& rc);
QRect ToQRect(const ui::Rect& rc);

class QtCanvas : public ui::ICanvas {
public:
    using FontOf = std::function<QFont(int id)>;
    QtCanvas(QPainter& painter, ImageCache& images, FontOf fonts);

    void setAntialias(bool on) override;
    void fillRect(const ui::Rect& rect, ui::Argb colour) override;
    void drawRect(const ui::Rect& rect, ui::Argb colour, int width) override;
    void drawLine(int x1, int y1, int x2, int y2, ui::Argb colour, int width) override;
    void fillEllipse(const ui::Box& box, ui::Argb colour) override;
    void fillPie(const ui::Box& box, double startDegrees, double sweepDegrees,
                 ui::Argb colour) override;
    void drawArc(const ui::Box& box, double startDegrees, double sweepDegrees, ui::Argb colour,
                 int width) override;
    bool drawImage(const std::string& image, const ui::Rect& dest, const ui::Rect& clip,
                   const ui::ImageTint& tint) override;
    void drawText(const ui::Rect& rect, const std::string& text, ui::Argb colour, int font,
                  unsigned style, bool html) override;

private:
    QPainter& painter_;
    ImageCache& images_;
    FontOf fonts_;
};

} // namespace quellix::dui::qt
