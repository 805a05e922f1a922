#pragma once
// Paints a window's control tree with QPainter: colours, gradients,
// images, borders and texts as the layout's attributes give them, the
// states of buttons, options, lists and sliders, the colour palette, and
// the custom controls through their canvas.

#include <QFont>
#include <QPainter>

#include "image_cache.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/list.h"
#include "quellix/dui/paint_manager.h"

namespace quellix::dui::qt {

// The text colour used where a layout gives none (a dark skin's light grey).
inline constexpr DWORD kFallbackTextColor = 0xFFD0D4DC;
inline constexpr DWORD kAccentColor = 0xFF0199CB;

QFont FontFor(const CPaintManagerUI& manager, int id);

class ControlPainter {
public:
    ControlPainter(QPainter& painter, ImageCache& images, const CPaintManagerUI& manager);

    void PaintTree(CControlUI& root, const QRect& dirty);

private:
    void PaintControl(CControlUI& control, const QRect& dirty);
    void PaintBackground(CControlUI& control, DWORD overrideColor = 0);
    void PaintBorder(CControlUI& control);
    void PaintLabelText(CLabelUI& label, DWORD color, const QRect& box);
    bool PaintImage(const CDuiString& image, const QRect& rect);
    void PaintButton(CButtonUI& button);
    void PaintProgress(CProgressUI& progress);
    void PaintCombo(CComboUI& combo);
    void PaintPalette(CColorPaletteUI& palette);
    void PaintListElement(CControlUI& element, bool selected);
    void PaintCustom(CControlUI& control, const QRect& dirty);

    QPainter& painter_;
    ImageCache& images_;
    const CPaintManagerUI& manager_;
};

} // namespace quellix::dui::qt
