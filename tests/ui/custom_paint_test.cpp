#include <gtest/gtest.h>

#include "quellix/ui/colour_presets.h"
#include "quellix/ui/custom_paint.h"
#include "quellix/ui/recording_canvas.h"

namespace quellix::ui {
namespace {

using Kind = CanvasOp::Kind;

TEST(CircleProgress, QuarterRingStartsAtSixOClockAndRunsClockwise) {
    RecordingCanvas canvas;
    paintCircleProgress(canvas, {10, 20, 110, 120}, 0, 100, 25, 0xFF202020, 0xFF0199CB);

    ASSERT_EQ(canvas.ops.size(), 3u);
    const auto& background = canvas.ops[0];
    EXPECT_EQ(background.kind, Kind::Pie);
    EXPECT_EQ(background.box, (Box{10, 20, 100, 100}));
    EXPECT_DOUBLE_EQ(background.start, 0);
    EXPECT_DOUBLE_EQ(background.sweep, 360);
    EXPECT_EQ(background.colour, 0xFF202020u);

    const auto& progress = canvas.ops[1];
    EXPECT_EQ(progress.kind, Kind::Pie);
    EXPECT_EQ(progress.box, (Box{10, 20, 100, 100}));
    EXPECT_DOUBLE_EQ(progress.start, 90);
    EXPECT_DOUBLE_EQ(progress.sweep, 90);
    EXPECT_EQ(progress.colour, 0xFF0199CBu);

    // The white disc 10 pixels inside leaves a ring of that width.
    const auto& hole = canvas.ops[2];
    EXPECT_EQ(hole.kind, Kind::Ellipse);
    EXPECT_EQ(hole.box, (Box{20, 30, 80, 80}));
    EXPECT_EQ(hole.colour, 0xFFFFFFFFu);
}

TEST(CircleProgress, EmptyRangeShowsNoProgressInsteadOfDividingByZero) {
    RecordingCanvas canvas;
    paintCircleProgress(canvas, {0, 0, 50, 50}, 5, 5, 5, 0, 0xFFFFFFFF);
    ASSERT_EQ(canvas.of(Kind::Pie).size(), 2u);
    EXPECT_DOUBLE_EQ(canvas.of(Kind::Pie)[1].sweep, 0);
}

TEST(PieChart, WithoutTextThePieUsesTheFullWidth) {
    const std::vector<ChartItem> items = {{"a", 1}, {"b", 3}};
    struct Case {
        bool showText;
        double x0;
    };
    // Rect 300 x 100: pie side d = 90; the legend (100 px) moves it left.
    for (const auto& c : {Case{false, 105}, Case{true, 55}}) {
        RecordingCanvas canvas;
        paintPieChart(canvas, {0, 0, 300, 100}, {0, 0, 300, 100}, items, {.showText = c.showText});
        const auto pies = canvas.of(Kind::Pie);
        ASSERT_EQ(pies.size(), 2u) << c.showText;
        EXPECT_EQ(pies[0].box, (Box{c.x0, 5, 90, 90}));
        EXPECT_DOUBLE_EQ(pies[0].start, 0);
        EXPECT_DOUBLE_EQ(pies[0].sweep, 90);
        EXPECT_DOUBLE_EQ(pies[1].start, 90);
        EXPECT_DOUBLE_EQ(pies[1].sweep, 270);
        EXPECT_EQ(pies[0].colour, pieColour(0));
        EXPECT_EQ(pies[1].colour, 0xFFFF5A01u);
        const auto shadows = canvas.of(Kind::Ellipse);
        ASSERT_EQ(shadows.size(), 2u);
        EXPECT_EQ(shadows[0].box, (Box{c.x0 - 4, 1, 98, 98}));
        EXPECT_EQ(shadows[0].colour, 0x1E1E1E1Eu);
        EXPECT_EQ(canvas.of(Kind::Text).size(), c.showText ? 2u : 0u);
    }
}

TEST(PieChart, LegendRowsSitBesideThePie) {
    RecordingCanvas canvas;
    paintPieChart(canvas, {0, 0, 300, 100}, {0, 0, 300, 100}, {{"one", 1}, {"two", 1}},
                  {.showText = true, .font = 2, .textColour = 0xFF112233});
    const auto texts = canvas.of(Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    // ly = (90 - 44) / 2 = 23; box from x0 + d + 10 = 155 to x0 + d + b + 28 = 273.
    EXPECT_EQ(texts[0].rect, (Rect{178, 23, 273, 41}));
    EXPECT_EQ(texts[1].rect, (Rect{178, 45, 273, 63}));
    EXPECT_EQ(texts[0].style, unsigned(kTextSingleLine | kTextVCenter));
    EXPECT_EQ(texts[0].font, 2);
    EXPECT_EQ(canvas.of(Kind::FillRect)[1].rect, (Rect{155, 45, 173, 63}));
}

TEST(PieChart, NoItemsDrawsNothing) {
    RecordingCanvas canvas;
    paintPieChart(canvas, {0, 0, 300, 100}, {0, 0, 300, 100}, {}, {});
    EXPECT_TRUE(canvas.ops.empty());
}

TEST(Histogram, WithoutItemsOnlyTheBasePictureIsDrawn) {
    RecordingCanvas canvas;
    HistogramImages images;
    images.shadowImage = "chart/base.png";
    images.shadowImageHeight = 12;
    images.pillarImage = "chart/pillar.png";
    images.pillarImageWidth = 8;
    paintHistogram(canvas, {0, 0, 200, 100}, {}, {.showText = true}, images);
    ASSERT_EQ(canvas.ops.size(), 1u);
    EXPECT_EQ(canvas.ops[0].kind, Kind::Image);
    EXPECT_EQ(canvas.ops[0].text, "chart/base.png");
    EXPECT_EQ(canvas.ops[0].rect, (Rect{0, 63, 200, 75}));
}

TEST(Histogram, ColumnsScaleToTheLargestValueAndFailedPicturesAreForgotten) {
    RecordingCanvas canvas;
    HistogramImages images;
    images.pillarImage = "p.png";
    images.pillarImageWidth = 10;
    paintHistogram(canvas, {0, 0, 100, 125}, {{"a", 50}, {"b", 100}}, {.showText = true}, images);
    const auto columns = canvas.of(Kind::Image);
    ASSERT_EQ(columns.size(), 2u);
    // spacing = (100 / 10) * 2 = 20; H = 100.
    EXPECT_EQ(columns[0].rect, (Rect{20, 50, 30, 100}));
    EXPECT_EQ(columns[1].rect, (Rect{50, 0, 60, 100}));
    EXPECT_EQ(canvas.of(Kind::Text)[0].rect, (Rect{0, 100, 50, 125}));

    RecordingCanvas failing;
    failing.failingImages.insert("p.png");
    paintHistogram(failing, {0, 0, 100, 125}, {{"a", 50}, {"b", 100}}, {.showText = false}, images);
    EXPECT_EQ(failing.of(Kind::Image).size(), 1u);
    EXPECT_TRUE(images.pillarImage.empty());
}

TEST(ColourPresets, TableAndNames) {
    EXPECT_EQ(presetColour(0), 0xFFFF0000u);
    EXPECT_EQ(presetColour(3), 0xFF7E00FFu);
    EXPECT_EQ(presetColour(29), 0xFF4776A4u);
    EXPECT_EQ(presetColour(30), std::nullopt);
    EXPECT_EQ(presetColour(-1), std::nullopt);

    EXPECT_EQ(numberAfterPrefix("ms_dpi_color_png_3", "ms_dpi_color_png_"), 3);
    EXPECT_EQ(numberAfterPrefix("ms_dpi_color_png_", "ms_dpi_color_png_"), std::nullopt);
    EXPECT_EQ(numberAfterPrefix("ms_dpi_color_png_x1", "ms_dpi_color_png_"), std::nullopt);
    EXPECT_EQ(numberAfterPrefix("ms_dpi_color_png_-1", "ms_dpi_color_png_"), std::nullopt);
    EXPECT_EQ(numberAfterPrefix("okbtn", "ms_dpi_color_png_"), std::nullopt);
}

} // namespace
} // namespace quellix::ui
