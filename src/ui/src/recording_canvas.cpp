#include "quellix/ui/recording_canvas.h"

namespace quellix::ui {

namespace {

CanvasOp opOf(CanvasOp::Kind kind) {
    CanvasOp op;
    op.kind = kind;
    return op;
}

} // namespace

void RecordingCanvas::setAntialias(bool on) {
    auto op = opOf(CanvasOp::Kind::Antialias);
    op.flag = on;
    ops.push_back(op);
}

void RecordingCanvas::fillRect(const Rect& rect, Argb colour) {
    auto op = opOf(CanvasOp::Kind::FillRect);
    op.rect = rect;
    op.colour = colour;
    ops.push_back(op);
}

void RecordingCanvas::drawRect(const Rect& rect, Argb colour, int width) {
    auto op = opOf(CanvasOp::Kind::DrawRect);
    op.rect = rect;
    op.colour = colour;
    op.width = width;
    ops.push_back(op);
}

void RecordingCanvas::drawLine(int x1, int y1, int x2, int y2, Argb colour, int width) {
    auto op = opOf(CanvasOp::Kind::Line);
    op.rect = {x1, y1, x2, y2};
    op.colour = colour;
    op.width = width;
    ops.push_back(op);
}

void RecordingCanvas::fillEllipse(const Box& box, Argb colour) {
    auto op = opOf(CanvasOp::Kind::Ellipse);
    op.box = box;
    op.colour = colour;
    ops.push_back(op);
}

void RecordingCanvas::fillPie(const Box& box, double startDegrees, double sweepDegrees,
                              Argb colour) {
    auto op = opOf(CanvasOp::Kind::Pie);
    op.box = box;
    op.start = startDegrees;
    op.sweep = sweepDegrees;
    op.colour = colour;
    ops.push_back(op);
}

void RecordingCanvas::drawArc(const Box& box, double startDegrees, double sweepDegrees, Argb colour,
                              int width) {
    auto op = opOf(CanvasOp::Kind::Arc);
    op.box = box;
    op.start = startDegrees;
    op.sweep = sweepDegrees;
    op.colour = colour;
    op.width = width;
    ops.push_back(op);
}

bool RecordingCanvas::drawImage(const std::string& image, const Rect& dest, const Rect& clip,
                                const ImageTint& tint) {
    const bool drawn = !image.empty() && !failingImages.contains(image);
    auto op = opOf(CanvasOp::Kind::Image);
    op.rect = dest;
    op.clip = clip;
    op.text = image;
    op.tint = tint;
    op.flag = drawn;
    ops.push_back(op);
    return drawn;
}

void RecordingCanvas::drawText(const Rect& rect, const std::string& text, Argb colour, int font,
                               unsigned style, bool html) {
    auto op = opOf(CanvasOp::Kind::Text);
    op.rect = rect;
    op.colour = colour;
    op.text = text;
    op.font = font;
    op.style = style;
    op.flag = html;
    ops.push_back(op);
}

std::vector<CanvasOp> RecordingCanvas::of(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> out;
    for (const auto& op : ops) {
        if (op.kind == kind) {
            out.push_back(op);
        }
    }
    return out;
}

} // namespace quellix::ui
