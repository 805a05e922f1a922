#include "quellix/ui/custom_controls.h"

namespace quellix::ui {

void CChartViewUI::SetAttribute(const dui::CDuiString& name, const dui::CDuiString& value) {
    CControlUI::SetAttribute(name, value);
    if (dui::EqualsNoCase(name, "view")) {
        // Any other value keeps the current view.  "histpgram" is the
        // spelling layouts use for the histogram.
        if (dui::EqualsNoCase(value, "pie")) {
            view_ = View::Pie;
        } else if (dui::EqualsNoCase(value, "histpgram")) {
            view_ = View::Histogram;
        }
    } else if (dui::EqualsNoCase(name, "shadowimage")) {
        images_.shadowImage = value;
    } else if (dui::EqualsNoCase(name, "shadowimageheight")) {
        images_.shadowImageHeight = dui::ParseInt(value);
    } else if (dui::EqualsNoCase(name, "pillarimage")) {
        images_.pillarImage = value;
    } else if (dui::EqualsNoCase(name, "pillarimagewidth")) {
        images_.pillarImageWidth = dui::ParseInt(value);
    } else if (dui::EqualsNoCase(name, "showhtml")) {
        style_.showHtml = value == "true";
    } else if (dui::EqualsNoCase(name, "showtext")) {
        style_.showText = value == "true";
    } else if (dui::EqualsNoCase(name, "font")) {
        style_.font = dui::ParseInt(value);
    } else {
        return;
    }
    Invalidate();
}

void CChartViewUI::AddItem(const std::string& name, double value) {
    items_.push_back({name, value});
    Invalidate();
}

void CChartViewUI::ClearItems() {
    items_.clear();
    Invalidate();
}

void CChartViewUI::paint(ICanvas& canvas, const Rect& paintRect) {
    const Rect rect = toRect(GetPos());
    if (!rect.intersects(paintRect)) {
        return;
    }
    if (view_ == View::Pie) {
        paintPieChart(canvas, rect, paintRect, items_, style_);
    } else {
        paintHistogram(canvas, rect, items_, style_, images_);
    }
}

} // namespace quellix::ui
