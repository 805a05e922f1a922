#pragma once
// The drop-down list of a combo: a popup list under (or, without room,
// over) the combo that scrolls when it holds more items than fit its
// height.  Runs until the user picks an item or dismisses the list.

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

namespace quellix::dui::qt {

struct DropListItem {
    QString text;
    int index = 0; // the combo's item index
    bool enabled = true;
};

// `anchor` is the combo's rectangle in global coordinates.  Returns the
// picked item's index, or nothing when the list was dismissed.
std::optional<int> RunDropList(QWidget* owner, const QFont& font, const QRect& anchor,
                               const std::vector<DropListItem>& items, int current, int maxHeight);

} // namespace quellix::dui::qt
