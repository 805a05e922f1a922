#include "quellix/ui/custom_paint.h"

#include <algorithm>
#include <array>

namespace quellix::ui {

namespace {

constexpr Argb kOpaqueWhite = 0xFFFFFFFF;

constexpr std::array<Argb, 18> kPieColours = {
    0xFF3F96F5, 0xFFFF5A01, 0xFF6AF4C0, 0xFFF5EA6A, 0xFFFC7B97, 0xFFA2F53F,
    0xFF9D90FC, 0xFFD290FC, 0xFF7FB0CB, 0xFFF4C471, 0xFFA2C285, 0xFFBD1717,
    0xFFBD17B3, 0xFF6117BD, 0xFF172BBD, 0xFF12884C, 0xFF887912, 0xFF882612,
};

constexpr int kLegendWidth = 100;
constexpr int kLegendRow = 22;
constexpr int kLegendSwatch = 18;
constexpr int kHistogramLabelHeight = 25;

Box boxOf(const Rect& r) {
    return {double(r.left), double(r.top), double(r.width()), double(r.height())};
}

} // namespace

void paintCircleProgress(ICanvas& canvas, const Rect& rect, int minimum, int maximum, int value,
                         Argb background, Argb foreground) {
    canvas.fillPie(boxOf(rect), 0, 360, background);
    const int range = maximum - minimum;
    // An empty range would divide by zero; such a control shows no progress.
    const double sweep = range > 0 ? double(value) * 360.0 / double(range) : 0.0;
    canvas.fillPie(boxOf(rect), 90, sweep, foreground);
    canvas.fillEllipse(boxOf(rect.deflated(kCircleRingWidth)), kOpaqueWhite);
}

Argb pieColour(std::size_t index) {
    return kPieColours[index % kPieColours.size()];
}

void paintPieChart(ICanvas& canvas, const Rect& rect, const Rect& paintRect,
                   const std::vector<ChartItem>& items, const ChartStyle& style) {
    if (items.empty()) {
        return;
    }
    const int legend = style.showText ? kLegendWidth : 0;
    double sum = 0;
    for (const auto& item : items) {
        sum += item.value;
    }
    canvas.setAntialias(true);

    const int w = rect.width() - legend - 10;
    const int h = rect.height() - 10;
    const int d = std::min(w, h);
    const int x0 = rect.left + 5 + (w - d) / 2;
    const int y0 = rect.top + 5 + (h - d) / 2;
    canvas.fillEllipse({double(x0 - 4), double(y0 - 4), double(d + 8), double(d + 8)}, 0x1E1E1E1E);
    canvas.fillEllipse({double(x0 - 1), double(y0 - 1), double(d + 2), double(d + 2)}, 0x64646464);

    const int n = int(items.size());
    int ly = std::max(rect.top + (h - kLegendRow * n) / 2, rect.top + 5);
    double start = 0;
    const Box pie{double(x0), double(y0), double(d), double(d)};
    for (std::size_t i = 0; i < items.size(); ++i) {
        // With a zero sum every share is undefined; draw no sectors then.
        const double sweep = sum != 0 ? items[i].value / sum * 360.0 : 0.0;
        canvas.fillPie(pie, start, sweep, pieColour(i));
        start += sweep;
        if (!style.showText) {
            continue;
        }
        const Rect box{x0 + d + 10, ly, x0 + d + legend + 28, ly + kLegendSwatch};
        if (box.intersects(paintRect)) {
            canvas.fillRect({box.left, box.top, box.left + kLegendSwatch, box.top + kLegendSwatch},
                            pieColour(i));
            canvas.drawText({box.left + 23, box.top, box.right, box.bottom}, items[i].name,
                            style.textColour, style.font, kTextSingleLine | kTextVCenter,
                            style.showHtml);
        }
        ly += kLegendRow;
    }
}

void paintHistogram(ICanvas& canvas, const Rect& rect, const std::vector<ChartItem>& items,
                    const ChartStyle& style, HistogramImages& images) {
    const int c = style.showText ? kHistogramLabelHeight : 0;
    if (!images.shadowImage.empty()) {
        const Rect base{rect.left, rect.bottom - images.shadowImageHeight - c, rect.right,
                        rect.bottom - c};
        if (!canvas.drawImage(images.shadowImage, base, base, {})) {
            images.shadowImage.clear();
        }
    }
    if (items.empty() || images.pillarImageWidth <= 0) {
        // Without a column width neither spacing nor columns are defined.
        return;
    }
    double max = 0;
    for (const auto& item : items) {
        max = std::max(max, item.value);
    }
    const int available = rect.height() - c;
    const int spacing = (rect.width() / images.pillarImageWidth) * 2;
    int x = spacing;
    for (const auto& item : items) {
        if (!images.pillarImage.empty()) {
            const int top = rect.bottom - c - (max > 0 ? int(item.value / max * available) : 0);
            const Rect column{rect.left + x, top, rect.left + x + images.pillarImageWidth,
                              rect.bottom - c};
            if (!canvas.drawImage(images.pillarImage, column, column, {})) {
                images.pillarImage.clear();
            }
        }
        if (style.showText) {
            canvas.drawText({rect.left + x - spacing, rect.bottom - c,
                             rect.left + x + images.pillarImageWidth + spacing, rect.bottom},
                            item.name, style.textColour, style.font,
                            kTextSingleLine | kTextVCenter | kTextCenter, style.showHtml);
        }
        x += images.pillarImageWidth + spacing;
    }
}

} // namespace quellix::ui
