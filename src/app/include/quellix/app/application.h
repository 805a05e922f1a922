#pragma once
// The process entry, split so that the desktop program and the tests run
// the same steps: parse the command line, claim the single instance, set up
// the toolkit's resources and run the main window until it is closed.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quellix/dui/toolkit.h"
#include "quellix/hid/device_source.h"
#include "quellix/platform/single_instance.h"

namespace quellix::app {

class CMainWnd;

inline constexpr const char* kInstanceName = "TOLVARDRVER";

struct AppOptions {
    // --simulate[=mouse,pad,keyboard]: run against simulated devices
    // (all three when no list is given).
    bool simulate = false;
    std::vector<std::string> simulatedDevices;
    // --sim-dir=DIR: attach to the devices of a running `quellix-sim serve`
    // (as the environment variable QUELLIX_SIM_DIR does, which main reads
    // when neither this nor --simulate is given).
    std::string simDir;
    // --hidden: start in the tray; the window comes up when the user asks
    // (tray icon, starting the program again).  The desktop's autostart
    // entry uses it.
    bool hidden = false;
    // --screenshot=FILE: save a PNG of the main window after its first
    // paint, then end the run.
    std::string screenshotPath;
    // --exit-after-paint[=MS]: print "painted" on standard output at the
    // first paint and end the run MS milliseconds later (start-up
    // measurements; 0 when no delay is given).
    bool exitAfterPaint = false;
    int exitDelayMs = 0;
    // --skin=DIR: the skin folder (default: "skin/" beside the executable).
    std::string skinDir;
    // --page=keyboard|mouse|mouse-dpi|pad: the device page shown first
    // (screenshots of each page); empty keeps the layout's own choice.
    std::string page;
    // --check-glyphs: with --screenshot, fail (exit 1) when a text was
    // drawn with a character its font has no glyph for, naming the texts.
    bool checkGlyphs = false;
    // --background=#AARRGGBB|PICTURE: the background for this run, as the
    // skin chooser's colours and own pictures give it (not remembered).
    std::string background;
    bool help = false;
};

struct ParsedCommandLine {
    AppOptions options;
    std::string error; // empty when the command line was understood
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

// Claims the instance name.  A second instance delivers the show-window
// message to the first and gets nothing back (the caller exits with 0); the
// first one (or a process that could not claim the name at all) gets the
// claim to keep for the run.
struct InstanceClaim {
    bool secondInstance = false;
    std::unique_ptr<platform::SingleInstance> instance;
};
InstanceClaim ClaimInstance(const std::string& name = kInstanceName);

// Resource set-up: the skin folder, "res.xml" and the custom control classes.
// False (with the reason in debug output) when res.xml cannot be loaded.
bool SetUpResources(dui::Toolkit& toolkit, const std::string& skinDir);

// The page selector option of a device page ("keyboard", "mouse", "pad"),
// or nullptr for any other name.
const char* PageOptionName(std::string_view page);

// The sub-page selector option of a page that names one ("mouse-dpi": the
// mouse's performance page), or nullptr.
const char* SubPageOptionName(std::string_view page);

// Creates the main window (800 x 572, centred, titled), starts listening
// for the show-window message of later instances, runs the event loop until
// the window is closed, then tears down.  `onCreated` runs once the window
// exists (the desktop program hooks its screenshot there).  Returns 0.
// The devices come from `source`.  With `startHidden` the window is created
// without being shown.
int RunMainWindow(dui::Toolkit& toolkit, std::unique_ptr<platform::SingleInstance> instance,
                  const hid::DeviceSource& source,
                  const std::function<void(CMainWnd&)>& onCreated = {}, bool startHidden = false);

} // namespace quellix::app
