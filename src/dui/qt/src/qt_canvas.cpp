#include "qt_canvas.h"

#include "font_choice.h"

#include <QTextDocument>

namespace quellix::dui::qt {

namespace {

QRectF toQRectF(const Box& box) {
    return QRectF(box.x, box.y, box.width, box.height);
}

// The canvas counts degrees clockwise from three o'clock with y down; Qt
// counts them counter-clockwise in 1/16 degree.
int qtAngle(double degrees) {
    return int(-degrees * 16);
}

Qt::Alignment alignmentOf(unsigned style) {
    Qt::Alignment align = Qt::AlignLeft;
    if (style & kTextCenter) {
        align = Qt::AlignHCenter;
    } else if (style & kTextRight) {
        align = Qt::AlignRight;
    }
    return align | ((style & kTextVCenter) ? Qt::AlignVCenter : Qt::AlignTop);
}

} // namespace

QColor ToQColor(DWORD argb) {
    return QColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, (argb >> 24) & 0xFF);
}

QRect ToQRect(const RECT& rc) {
    return QRect(rc.left, rc.top, rc.width(), rc.height());
}
QRect ToQRect(const Rect& rc) {
    return QRect(rc.left, rc.top, rc.width(), rc.height());
}

QtCanvas::QtCanvas(QPainter& painter, ImageCache& images, FontOf fonts)
    : painter_(painter), images_(images), fonts_(std::move(fonts)) {}

void QtCanvas::setAntialias(bool on) {
    painter_.setRenderHint(QPainter::Antialiasing, on);
}

void QtCanvas::fillRect(const Rect& rect, Argb colour) {
    painter_.fillRect(ToQRect(rect), ToQColor(colour));
}

void QtCanvas::drawRect(const Rect& rect, Argb colour, int width) {
    painter_.save();
    painter_.setPen(QPen(ToQColor(colour), width));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(ToQRect(rect).adjusted(0, 0, -1, -1));
    painter_.restore();
}

void QtCanvas::drawLine(int x1, int y1, int x2, int y2, Argb colour, int width) {
    painter_.save();
    painter_.setPen(QPen(ToQColor(colour), width));
    painter_.drawLine(x1, y1, x2, y2);
    painter_.restore();
}

void QtCanvas::fillEllipse(const Box& box, Argb colour) {
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQColor(colour));
    painter_.drawEllipse(toQRectF(box));
    painter_.restore();
}

void QtCanvas::fillPie(const Box& box, double startDegrees, double sweepDegrees, Argb colour) {
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQColor(colour));
    painter_.drawPie(toQRectF(box), qtAngle(startDegrees), qtAngle(sweepDegrees));
    painter_.restore();
}

void QtCanvas::drawArc(const Box& box, double startDegrees, double sweepDegrees, Argb colour,
                       int width) {
    painter_.save();
    painter_.setPen(QPen(ToQColor(colour), width));
    painter_.drawArc(toQRectF(box), qtAngle(startDegrees), qtAngle(sweepDegrees));
    painter_.restore();
}

bool QtCanvas::drawImage(const std::string& image, const Rect& dest, const Rect& clip,
                         const ImageTint& tint) {
    if (dest.empty() || clip.empty()) {
        // Nothing of it is visible: not a failure of the picture.
        return !image.empty();
    }
    painter_.save();
    painter_.setClipRect(ToQRect(clip), Qt::IntersectClip);
    bool drawn = false;
    if (!tint.enabled) {
        drawn = images_.Draw(painter_, image, ToQRect(dest));
    } else {
        // A lit key: the picture coloured with the light, as strong as its level.
        const QRect target = ToQRect(dest);
        QImage layer(target.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter p(&layer);
            drawn = images_.Draw(p, image, QRect(QPoint(0, 0), target.size()));
            p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            QColor light = ToQColor(0xFF000000 | tint.colour);
            light.setAlpha(std::clamp(tint.level, 0, 255));
            p.fillRect(layer.rect(), light);
        }
        if (drawn) {
            painter_.drawImage(target.topLeft(), layer);
        }
    }
    painter_.restore();
    return drawn;
}

void QtCanvas::drawText(const Rect& rect, const std::string& text, Argb colour, int font,
                        unsigned style, bool html) {
    painter_.save();
    painter_.setFont(fonts_(font));
    painter_.setPen(ToQColor(colour));
    const QRect box = ToQRect(rect);
    if (html) {
        QTextDocument doc;
        doc.setDefaultFont(painter_.font());
        doc.setHtml(QString::fromStdString(text));
        AuditDrawnText(painter_.font(), doc.toPlainText());
        painter_.translate(box.topLeft());
        doc.drawContents(&painter_, QRectF(0, 0, box.width(), box.height()));
    } else {
        int flags = int(alignmentOf(style));
        if (!(style & kTextSingleLine)) {
            flags |= Qt::TextWordWrap;
        }
        AuditDrawnText(painter_.font(), QString::fromStdString(text));
        painter_.drawText(box, flags, QString::fromStdString(text));
    }
    painter_.restore();
}

} // namespace quellix::dui::qt
