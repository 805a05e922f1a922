#pragma once
// Where a point of a window lies: in the caption band that drags the window,
// or in the client area.  A view asks the window with WM_NCHITTEST and the
// window answers from its layout, so the model decides what drags.

#include "quellix/dui/types.h"

namespace quellix::dui {

class CPaintManagerUI;

inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr LRESULT HTCAPTION = 2;

// Packs a screen point into a message parameter (16-bit signed x, y).
LPARAM PointToParam(POINT point);
POINT PointFromParam(LPARAM param);

// Whether a client point lies in the caption band of the window's layout
// (between the caption rectangle's left inset and the client width minus
// its right inset, and between its top and bottom) and is not on a button,
// an option or a text control, so that pressing there drags the window.
bool IsCaptionPoint(const CPaintManagerUI& manager, POINT client);

} // namespace quellix::dui
