#pragma once
// Where the main window sends a control notification: the routing tables by
// notification type and sender name.  Pure: the main window carries out the
// steps (features get the notification, local steps change the window's
// own controls).

#include <cstdint>
#include <string_view>
#include <vector>

#include "quellix/ui/feature_page.h"

namespace quellix::app {

// What the main window does itself.
enum class LocalStep : std::uint8_t {
    MacroEditGuard,       // an open macro editor keeps its page (may end the routing)
    Navigate,             // the page navigation table
    HideProfileSpreadTab, // focus on a mouse sub-page tab
    DpiColourBorderOn,    // pointer over a DPI colour button
    DpiColourBorderOff,
    ShowKeyboardKeyPanel, // a keyboard key picked: its function panel appears
    CancelMouseKeyEdit,   // the key function panel closes
    CancelKeyboardKeyEdit,
    ShowProgress, // around an upload
    HideProgressSoon,
    UnselectBullet,   // a pointer-pattern option clicked again
    TraceUserData,    // "cmdbtn"
    DpiFromUserData,  // "dpi_btn"
    TraceRenewDevice, // "renew_device"
};

struct RouteStep {
    enum class Kind : std::uint8_t { Feature, Local } kind;
    ui::Feature feature = ui::Feature::Count;
    LocalStep local = LocalStep::Navigate;

    static RouteStep to(ui::Feature f) { return {Kind::Feature, f, LocalStep::Navigate}; }
    static RouteStep own(LocalStep s) { return {Kind::Local, ui::Feature::Count, s}; }
    bool operator==(const RouteStep&) const = default;
};

using Route = std::vector<RouteStep>;

// The steps for a notification of `type` from the control `name`, in order.
// Empty: only the toolkit's default handling.  "windowinit", the caption
// buttons and "closebtn" are the main window's own and not listed here.
Route routeNotification(std::string_view type, std::string_view name);

// A name split at its last "_": the prefix with the "_" and the digits after
// it (-1 when there are none or anything else follows).
struct SplitName {
    std::string_view prefix;
    int number = -1;
};
SplitName splitName(std::string_view name);

// The senders of the page navigation table.
bool isNavigationSender(std::string_view name);

} // namespace quellix::app
