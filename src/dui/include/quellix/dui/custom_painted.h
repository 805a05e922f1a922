#pragma once
// How a custom control takes part in painting.
//
// The view paints every control from the model; a control that implements
// ICustomPainted adds its own drawing through the canvas.  A control that
// replaces its body gets no background colour, images or progress bar from
// the view (its border and text are still drawn); an overlay is drawn after
// the view painted the control as its base class.

#include "quellix/dui/canvas.h"

namespace quellix::dui {

class ICustomPainted {
public:
    enum class Mode { ReplaceBody, Overlay };

    virtual ~ICustomPainted() = default;
    virtual Mode paintMode() const = 0;
    // `paintRect` is the part of the window being repainted (client coordinates).
    virtual void paint(ICanvas& canvas, const Rect& paintRect) = 0;
};

} // namespace quellix::dui
