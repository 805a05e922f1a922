#pragma once
// The LED previews of the lighting pages: one key button per LED cell,
// filled from the cells on the UI thread by the repaint timer.  The
// workers only write the cells; nothing here runs on a worker.

#include "quellix/device/device_kind.h"
#include "quellix/dui/control.h"
#include "quellix/lighting/led_cells.h"

#include <cstdint>
#include <span>

namespace quellix::app {

// The light colour a preview shows for a cell: 0x00RRGGBB.
constexpr std::uint32_t previewColour(lighting::Rgb c) {
    return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

// Lights one preview button (a device key button; any other control, or
// none, is left alone).  Only what changed is repainted.
void showCellOnPreview(dui::CControlUI* button, lighting::Cell cell, bool active);

// Button i shows cell i: light on while `active`, the cell's colour, the
// cell's level.  Missing and hidden buttons are skipped.
template <std::size_t N>
void copyCellsToPreviews(const lighting::LedCells<N>& cells,
                         std::span<dui::CControlUI* const> buttons, bool active) {
    const std::size_t count = buttons.size() < N ? buttons.size() : N;
    for (std::size_t i = 0; i < count; ++i) {
        if (buttons[i] != nullptr && buttons[i]->IsVisible()) {
            showCellOnPreview(buttons[i], cells.cell(i), active);
        }
    }
}

// Whether the control and every container above it are visible.
bool shownWithItsContainers(const dui::CControlUI* control);

// The layout that holds a kind's preview buttons on its lighting page.
const char* previewLayoutName(device::DeviceKind kind);

} // namespace quellix::app
