#pragma once
// The custom controls draw on the toolkit's canvas; these names let them say
// so without the namespace.

#include "quellix/dui/canvas.h"
#include "quellix/dui/custom_painted.h"

namespace quellix::ui {

using dui::Argb;
using dui::Box;
using dui::ICanvas;
using dui::ICustomPainted;
using dui::ImageTint;
using dui::kTextCenter;
using dui::kTextLeft;
using dui::kTextRight;
using dui::kTextSingleLine;
using dui::kTextVCenter;
using dui::Rect;
using dui::TextStyle;

} // namespace quellix::ui
