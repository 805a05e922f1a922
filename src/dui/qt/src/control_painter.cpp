#include "control_painter.h"

#include <algorithm>

#include <QLinearGradient>
#include <QPainterPath>

#include "font_choice.h"
#include "qt_canvas.h"
#include "quellix/dui/canvas.h"
#include "quellix/dui/container.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/custom_painted.h"
#include "quellix/dui/list.h"
#include "quellix/dui/qt/palette_geometry.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"

namespace quellix::dui::qt {

namespace {
constexpr double kDisabledOpacity = 0.4;
} // namespace

namespace {

QRect inner(const QRect& r, const RECT& pad) {
    return r.adjusted(pad.left, pad.top, -pad.right, -pad.bottom);
}

int alignmentOf(const CLabelUI& label, bool multiLine) {
    int flags = 0;
    switch (label.GetHAlign()) {
    case HAlign::Left:
        flags |= Qt::AlignLeft;
        break;
    case HAlign::Center:
        flags |= Qt::AlignHCenter;
        break;
    case HAlign::Right:
        flags |= Qt::AlignRight;
        break;
    }
    switch (label.GetVAlign()) {
    case VAlign::Top:
        flags |= Qt::AlignTop;
        break;
    case VAlign::Center:
        flags |= Qt::AlignVCenter;
        break;
    case VAlign::Bottom:
        flags |= Qt::AlignBottom;
        break;
    }
    if (multiLine) {
        flags |= Qt::TextWordWrap;
    }
    return flags;
}

DWORD attributeColor(const CControlUI& control, const char* name, DWORD fallback) {
    if (auto value = control.GetAttribute(name)) {
        try {
            return ParseColor(*value);
        } catch (const ParseError&) {
        }
    }
    return fallback;
}

} // namespace

QFont FontFor(const CPaintManagerUI& manager, int id) {
    const TFontInfo& info = manager.GetFont(id);
    // A font that has the glyphs of the interface language: the layouts name
    // one family, which may lack them.
    Toolkit* toolkit = Toolkit::current();
    QFont font;
    font.setFamilies(FamiliesFor(
        info.name, toolkit != nullptr ? std::string_view(toolkit->resources().GetLanguageFileId())
                                      : std::string_view()));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(info.size > 0 ? info.size : 12);
    font.setBold(info.bold);
    font.setItalic(info.italic);
    font.setUnderline(info.underline);
    return font;
}

ControlPainter::ControlPainter(QPainter& painter, ImageCache& images,
                               const CPaintManagerUI& manager)
    : painter_(painter), images_(images), manager_(manager) {}

void ControlPainter::PaintTree(CControlUI& root, const QRect& dirty) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    PaintControl(root, dirty);
}

bool ControlPainter::PaintImage(const CDuiString& image, const QRect& rect) {
    return !image.empty() && images_.Draw(painter_, image, rect);
}

void ControlPainter::PaintBackground(CControlUI& control, DWORD overrideColor) {
    const QRect rect = ToQRect(control.GetPos());
    const DWORD color = overrideColor != 0 ? overrideColor : control.GetBkColor();
    const SIZE round = control.GetBorderRound();
    if (color != 0) {
        QBrush brush(ToQColor(color));
        if (control.GetBkColor2() != 0 && overrideColor == 0) {
            QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
            gradient.setColorAt(0, ToQColor(color));
            gradient.setColorAt(1, ToQColor(control.GetBkColor2()));
            brush = QBrush(gradient);
        }
        if (round.cx > 0 || round.cy > 0) {
            painter_.save();
            painter_.setPen(Qt::NoPen);
            painter_.setBrush(brush);
            painter_.drawRoundedRect(rect, round.cx / 2.0, round.cy / 2.0);
            painter_.restore();
        } else {
            painter_.fillRect(rect, brush);
        }
    }
    PaintImage(control.GetBkImage(), rect);
}

void ControlPainter::PaintBorder(CControlUI& control) {
    const int size = control.GetBorderSize();
    if (size <= 0 || control.GetBorderColor() == 0) {
        return;
    }
    const QRectF rect = QRectF(ToQRect(control.GetPos()))
                            .adjusted(size / 2.0, size / 2.0, -size / 2.0, -size / 2.0);
    painter_.save();
    painter_.setPen(QPen(ToQColor(control.GetBorderColor()), size));
    painter_.setBrush(Qt::NoBrush);
    const SIZE round = control.GetBorderRound();
    if (round.cx > 0 || round.cy > 0) {
        painter_.drawRoundedRect(rect, round.cx / 2.0, round.cy / 2.0);
    } else {
        painter_.drawRect(rect);
    }
    painter_.restore();
}

void ControlPainter::PaintLabelText(CLabelUI& label, DWORD color, const QRect& box) {
    QString text = QString::fromStdString(label.GetText());
    if (text.isEmpty()) {
        return;
    }
    if (auto* edit = dynamic_cast<CEditUI*>(&label); edit != nullptr && edit->IsPasswordMode()) {
        text = QString(text.size(), QChar(0x2022));
    }
    if (color == 0) {
        color = kFallbackTextColor;
    }
    painter_.save();
    painter_.setFont(FontFor(manager_, label.GetFont()));
    painter_.setPen(ToQColor(color));
    const bool multiLine = dynamic_cast<CTextUI*>(&label) != nullptr;
    const QRect area = inner(box, label.GetTextPadding());
    AuditDrawnText(painter_.font(), text);
    painter_.drawText(
        area, alignmentOf(label, multiLine),
        multiLine ? text : painter_.fontMetrics().elidedText(text, Qt::ElideRight, area.width()));
    painter_.restore();
}

void ControlPainter::PaintButton(CButtonUI& button) {
    const QRect rect = ToQRect(button.GetPos());
    auto* option = dynamic_cast<COptionUI*>(&button);
    const bool selected = option != nullptr && option->IsSelected();
    const bool hot = button.IsHot() && button.IsEnabled();

    DWORD bk = 0;
    if (selected && option->GetSelectedBkColor() != 0) {
        bk = option->GetSelectedBkColor();
    } else if (hot && button.GetHotBkColor() != 0) {
        bk = button.GetHotBkColor();
    }
    PaintBackground(button, bk);

    // The status image: the first that applies of disabled, selected,
    // pushed, hot and normal (each falling back to the next one).
    bool drawn = false;
    if (!button.IsEnabled()) {
        drawn = PaintImage(button.GetDisabledImage(), rect);
    }
    if (!drawn && selected) {
        drawn = (hot && PaintImage(option->GetSelectedHotImage(), rect)) ||
                PaintImage(option->GetSelectedImage(), rect);
    }
    if (!drawn && button.IsPushed()) {
        drawn = PaintImage(button.GetPushedImage(), rect);
    }
    if (!drawn && hot) {
        drawn = PaintImage(button.GetHotImage(), rect);
    }
    if (!drawn) {
        drawn = PaintImage(button.GetNormalImage(), rect);
    }
    PaintImage(button.GetForeImage(), rect);

    QRect textBox = rect;
    if (dynamic_cast<CCheckBoxUI*>(&button) != nullptr && !drawn) {
        // A check box without pictures: a small box with a tick.
        const int side = std::min(14, rect.height());
        const QRect box(rect.left() + 2, rect.center().y() - side / 2, side, side);
        painter_.save();
        painter_.setPen(QPen(ToQColor(selected ? kAccentColor : 0xFF6B7280), 1.5));
        painter_.setBrush(selected ? ToQColor(kAccentColor) : QColor(Qt::transparent));
        painter_.drawRoundedRect(box, 3, 3);
        if (selected) {
            painter_.setPen(QPen(Qt::white, 2));
            painter_.drawPolyline(
                QPolygonF({QPointF(box.left() + side * 0.22, box.center().y()),
                           QPointF(box.left() + side * 0.43, box.bottom() - side * 0.25),
                           QPointF(box.right() - side * 0.2, box.top() + side * 0.25)}));
        }
        painter_.restore();
        textBox.setLeft(box.right() + 6);
    }

    DWORD color = button.GetTextColor();
    if (!button.IsEnabled() && button.GetDisabledTextColor() != 0) {
        color = button.GetDisabledTextColor();
    } else if (selected && option->GetSelectedTextColor() != 0) {
        color = option->GetSelectedTextColor();
    } else if (hot && button.GetHotTextColor() != 0) {
        color = button.GetHotTextColor();
    }
    PaintLabelText(button, color, textBox);
}

void ControlPainter::PaintProgress(CProgressUI& progress) {
    const QRect rect = ToQRect(progress.GetPos());
    PaintBackground(progress);
    const int range = progress.GetMaxValue() - progress.GetMinValue();
    const double share =
        range > 0 ? double(progress.GetValue() - progress.GetMinValue()) / range : 0.0;
    auto* slider = dynamic_cast<CSliderUI*>(&progress);
    QRect track = rect;
    if (slider != nullptr) {
        // The track runs between the thumb's half-widths so that the thumb
        // stays inside the control at both ends.
        const SIZE thumb = slider->GetThumbSize();
        track = progress.IsHorizontal() ? rect.adjusted(thumb.cx / 2, 0, -thumb.cx / 2, 0)
                                        : rect.adjusted(0, thumb.cy / 2, 0, -thumb.cy / 2);
    }
    QRect filled = track;
    if (progress.IsHorizontal()) {
        filled.setWidth(int(track.width() * share));
    } else {
        filled.setTop(track.bottom() - int(track.height() * share));
    }
    const CDuiString foreImage = progress.GetAttribute("foreimage").value_or(CDuiString{});
    if (!foreImage.empty()) {
        painter_.save();
        painter_.setClipRect(filled, Qt::IntersectClip);
        PaintImage(foreImage, track);
        painter_.restore();
    } else if (slider != nullptr || progress.GetAttribute("forecolor")) {
        const DWORD fore = attributeColor(progress, "forecolor", kAccentColor);
        const int thickness =
            slider != nullptr ? 4 : (progress.IsHorizontal() ? rect.height() : rect.width());
        painter_.save();
        painter_.setPen(Qt::NoPen);
        if (slider != nullptr && progress.GetBkColor() == 0) {
            // A bare slider: a thin groove under the filled part.
            painter_.setBrush(ToQColor(0xFF3A3F4B));
            painter_.drawRoundedRect(
                progress.IsHorizontal()
                    ? QRect(track.left(), track.center().y() - 2, track.width(), 4)
                    : QRect(track.center().x() - 2, track.top(), 4, track.height()),
                2, 2);
        }
        painter_.setBrush(ToQColor(fore));
        const QRect bar = progress.IsHorizontal()
                              ? QRect(filled.left(), track.center().y() - thickness / 2,
                                      filled.width(), thickness)
                              : QRect(track.center().x() - thickness / 2, filled.top(), thickness,
                                      filled.height());
        painter_.drawRoundedRect(bar, thickness / 2.0, thickness / 2.0);
        painter_.restore();
    }
    if (slider != nullptr) {
        const SIZE thumb = slider->GetThumbSize();
        const QPoint centre =
            progress.IsHorizontal()
                ? QPoint(track.left() + int(track.width() * share), rect.center().y())
                : QPoint(rect.center().x(), track.bottom() - int(track.height() * share));
        const QRect thumbRect(centre.x() - thumb.cx / 2, centre.y() - thumb.cy / 2, thumb.cx,
                              thumb.cy);
        if (!PaintImage(slider->GetThumbImage(), thumbRect)) {
            painter_.save();
            painter_.setPen(QPen(ToQColor(kAccentColor), 2));
            painter_.setBrush(QColor(0xF0, 0xF3, 0xF7));
            painter_.drawEllipse(thumbRect.adjusted(1, 1, -1, -1));
            painter_.restore();
        }
    }
    PaintLabelText(progress, progress.GetTextColor(), rect);
}

void ControlPainter::PaintCombo(CComboUI& combo) {
    const QRect rect = ToQRect(combo.GetPos());
    PaintBackground(combo);
    const bool image = PaintImage(combo.GetNormalImage(), rect);
    if (!image) {
        // A drop-down arrow when the layout gives no picture.
        const QPointF c(rect.right() - 12, rect.center().y() + 1);
        painter_.save();
        painter_.setPen(QPen(ToQColor(combo.IsEnabled() ? 0xFFB8BEC9 : 0xFF5B616C), 1.6));
        painter_.drawPolyline(
            QPolygonF({c + QPointF(-4, -2), c + QPointF(0, 2), c + QPointF(4, -2)}));
        painter_.restore();
    }
    PaintBorder(combo);
    const QString text = QString::fromStdString(combo.GetText());
    if (!text.isEmpty()) {
        painter_.save();
        painter_.setFont(FontFor(manager_, combo.GetFont()));
        DWORD color = combo.GetTextColor();
        painter_.setPen(ToQColor(color != 0 ? color : kFallbackTextColor));
        const QRect box = rect.adjusted(8, 0, -24, 0);
        AuditDrawnText(painter_.font(), text);
        painter_.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                          painter_.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
        painter_.restore();
    }
}

void ControlPainter::PaintPalette(CColorPaletteUI& palette) {
    const PaletteLayout layout =
        LayoutPalette(palette.GetPos(), palette.GetPalletHeight(), palette.GetBarHeight());
    const QRect square = ToQRect(layout.square);
    const QRect bar = ToQRect(layout.bar);
    painter_.save();
    QLinearGradient hue(square.topLeft(), square.topRight());
    for (int i = 0; i <= 6; ++i) {
        hue.setColorAt(i / 6.0, QColor::fromHsvF(std::min(i / 6.0, 0.9999), 1, 1));
    }
    painter_.fillRect(square, hue);
    QLinearGradient saturation(square.topLeft(), square.bottomLeft());
    saturation.setColorAt(0, QColor(255, 255, 255, 0));
    saturation.setColorAt(1, QColor(255, 255, 255, 255));
    painter_.fillRect(square, saturation);

    const DWORD color = palette.GetSelectColor();
    Hsv hsv = ToHsv(color);
    hsv.v = 1;
    QLinearGradient value(bar.topLeft(), bar.topRight());
    value.setColorAt(0, Qt::black);
    value.setColorAt(1, ToQColor(FromHsv(hsv)));
    painter_.fillRect(bar, value);

    // The ring is drawn inside the square even for a colour on its edge:
    // the control's own rectangle would cut it off.
    constexpr int kRing = 6;
    constexpr int kRingReach = kRing + 2;
    const POINT marker = SquareMarker(layout, color);
    const QPoint ring(
        std::clamp(int(marker.x), square.left() + kRingReach,
                   std::max(square.left() + kRingReach, square.right() - kRingReach)),
        std::clamp(int(marker.y), square.top() + kRingReach,
                   std::max(square.top() + kRingReach, square.bottom() - kRingReach)));
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(QPen(Qt::black, 3));
    painter_.drawEllipse(ring, kRing, kRing);
    painter_.setPen(QPen(Qt::white, 1.5));
    painter_.drawEllipse(ring, kRing, kRing);
    const int x = BarMarker(layout, color);
    painter_.setPen(QPen(Qt::white, 2));
    painter_.drawRect(QRect(x - 2, bar.top() - 2, 4, bar.height() + 4));
    painter_.restore();
    PaintBorder(palette);
}

void ControlPainter::PaintListElement(CControlUI& element, bool selected) {
    const bool hot = manager_.GetHot() == &element && element.IsEnabled();
    DWORD overlay = 0;
    if (selected) {
        overlay = attributeColor(element, "selectedbkcolor", 0x590199CB);
    } else if (hot) {
        overlay = attributeColor(element, "hotbkcolor", 0x26FFFFFF);
    }
    PaintBackground(element);
    if (overlay != 0) {
        painter_.fillRect(ToQRect(element.GetPos()), ToQColor(overlay));
    }
}

void ControlPainter::PaintCustom(CControlUI& control, const QRect& dirty) {
    auto* custom = dynamic_cast<ICustomPainted*>(&control);
    if (custom == nullptr) {
        return;
    }
    QtCanvas canvas(painter_, images_, [this](int id) { return FontFor(manager_, id); });
    painter_.save();
    custom->paint(canvas, {dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1});
    painter_.restore();
}

void ControlPainter::PaintControl(CControlUI& control, const QRect& dirty) {
    if (!control.IsVisible()) {
        return;
    }
    const QRect rect = ToQRect(control.GetPos());
    if (!rect.intersects(dirty)) {
        return;
    }
    painter_.save();
    painter_.setClipRect(rect, Qt::IntersectClip);

    auto* custom = dynamic_cast<ICustomPainted*>(&control);
    const bool replaceBody =
        custom != nullptr && custom->paintMode() == ICustomPainted::Mode::ReplaceBody;

    if (replaceBody) {
        PaintCustom(control, dirty);
        if (auto* label = dynamic_cast<CLabelUI*>(&control)) {
            PaintLabelText(*label, label->GetTextColor(), rect);
        }
        PaintBorder(control);
    } else if (auto* combo = dynamic_cast<CComboUI*>(&control)) {
        PaintCombo(*combo);
    } else if (auto* button = dynamic_cast<CButtonUI*>(&control)) {
        PaintButton(*button);
        PaintBorder(control);
    } else if (auto* progress = dynamic_cast<CProgressUI*>(&control)) {
        // A slider or palette the user cannot move is drawn faded, as the
        // disabled pictures of buttons are.
        painter_.setOpacity(control.IsEnabled() ? 1.0 : kDisabledOpacity);
        PaintProgress(*progress);
        PaintBorder(control);
    } else if (auto* palette = dynamic_cast<CColorPaletteUI*>(&control)) {
        painter_.setOpacity(control.IsEnabled() ? 1.0 : kDisabledOpacity);
        PaintPalette(*palette);
    } else if (auto* item = dynamic_cast<IListItemUI*>(&control)) {
        PaintListElement(control, item->IsSelected());
        if (auto* label = dynamic_cast<CLabelUI*>(&control)) {
            PaintLabelText(*label, label->GetTextColor(), rect);
        } else if (!control.GetText().empty()) {
            // A container element with a text of its own (menu items).
            painter_.save();
            painter_.setFont(FontFor(manager_, -1));
            painter_.setPen(ToQColor(attributeColor(control, "textcolor", kFallbackTextColor)));
            AuditDrawnText(painter_.font(), QString::fromStdString(control.GetText()));
            painter_.drawText(rect.adjusted(12, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              QString::fromStdString(control.GetText()));
            painter_.restore();
        }
        PaintBorder(control);
    } else if (auto* label = dynamic_cast<CLabelUI*>(&control)) {
        PaintBackground(control);
        DWORD color = label->GetTextColor();
        if (!label->IsEnabled() && label->GetDisabledTextColor() != 0) {
            color = label->GetDisabledTextColor();
        }
        PaintLabelText(*label, color, rect);
        PaintBorder(control);
    } else {
        PaintBackground(control);
        PaintBorder(control);
    }

    if (custom != nullptr && !replaceBody) {
        PaintCustom(control, dirty);
    }
    if (control.IsChangerActive()) {
        QColor changer = ToQColor(control.GetChangerColor() | 0xFF000000);
        changer.setAlpha(std::clamp(control.GetChangerAlpha(), 0, 255));
        painter_.fillRect(rect, changer);
    }

    // A combo's elements live in its drop-down list, not in the control.
    auto* container = dynamic_cast<CContainerUI*>(&control);
    if (container != nullptr && dynamic_cast<CComboUI*>(&control) == nullptr) {
        for (int i = 0; i < container->GetCount(); ++i) {
            if (CControlUI* child = container->GetItemAt(i)) {
                PaintControl(*child, dirty);
            }
        }
    }
    painter_.restore();
}

} // namespace quellix::dui::qt
