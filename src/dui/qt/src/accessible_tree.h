#pragma once
// Which controls of a window assistive technology sees, and as what.
//
// The desktop's tree follows the control tree with the pure layout
// containers left out: a container is its own node only when the layout
// names it (the program finds it by that name) or it has a text; unnamed
// layouts and spacers pass their children up to the nearest node.  Every
// control keeps its node whether shown or not (the state says which), so
// that switching pages changes states, not the tree.

#include <QAccessible>
#include <QString>
#include <vector>

#include "quellix/dui/control.h"

namespace quellix::dui::qt {

// Whether the control is a node of its own.
bool IsExposed(const CControlUI& control);
// The nodes under a control: its exposed descendants with no exposed
// control between (in tree order).
std::vector<CControlUI*> ExposedChildren(const CControlUI& control);
// The nearest exposed ancestor; nullptr when the window itself is the parent.
CControlUI* ExposedParent(const CControlUI& control);

QAccessible::Role RoleOf(const CControlUI& control);
// The text the user sees (in the current language); a control that shows
// no text is named by its tooltip.
QString NameOf(const CControlUI& control);
// The current value as text (slider and progress values, the selected
// element of a combo, an edit's text, a palette's colour), or empty.
QString ValueTextOf(const CControlUI& control);
QAccessible::State StateOf(const CControlUI& control);

// The action names a click stands for: press for buttons, tabs and
// elements, toggle for check boxes and options, none for the rest.
QStringList ActionsOf(const CControlUI& control);

} // namespace quellix::dui::qt
