#include "quellix/app/application.h"

#include "quellix/app/main_wnd.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "quellix/device/device_kind.h"
#include "quellix/dui/control_factory.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/platform/atomic_file.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/paths.h"
#include "quellix/ui/custom_controls.h"
#include "quellix/ui/skin_menu_page.h"

namespace quellix::app {

namespace {

// What a bare --simulate plugs, in this order.
constexpr std::string_view kKnownDevices[] = {"mouse", "pad", "keyboard"};

std::vector<std::string> splitList(std::string_view list) {
    std::vector<std::string> out;
    while (!list.empty()) {
        const auto comma = list.find(',');
        out.emplace_back(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    return out;
}

bool knownDevice(std::string_view name) {
    return device::kindFromWord(name).has_value();
}

} // namespace

std::string UsageText() {
    return "usage: quellix [--simulate[=mouse,pad,keyboard] | --sim-dir=DIR] [--screenshot=FILE]\n"
           "               [--exit-after-paint[=MS]] [--skin=DIR] [--page=keyboard|mouse|pad]\n"
           "               [--hidden] [--check-glyphs] [--background=#AARRGGBB|PICTURE]\n";
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine parsed;
    AppOptions& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto valueOf = [&](std::string_view option) -> std::optional<std::string> {
            // "--option=value" or "--option value".
            if (arg.size() > option.size() && arg.compare(0, option.size(), option) == 0 &&
                arg[option.size()] == '=') {
                return arg.substr(option.size() + 1);
            }
            if (arg == option && i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        if ((arg == "--simulate" || arg.starts_with("--simulate=")) && !o.simDir.empty()) {
            parsed.error = "--sim-dir and --simulate cannot be used together";
            return parsed;
        }
        if (arg == "--simulate") {
            o.simulate = true;
            o.simulatedDevices.assign(std::begin(kKnownDevices), std::end(kKnownDevices));
        } else if (arg.starts_with("--simulate=")) {
            o.simulate = true;
            o.simulatedDevices = splitList(std::string_view(arg).substr(11));
            for (const auto& device : o.simulatedDevices) {
                if (!knownDevice(device)) {
                    parsed.error = "unknown device '" + device +
                                   "' in --simulate (expected mouse, pad or keyboard)";
                    return parsed;
                }
            }
        } else if (arg == "--exit-after-paint") {
            o.exitAfterPaint = true;
        } else if (arg.starts_with("--exit-after-paint=")) {
            o.exitAfterPaint = true;
            const std::string value = arg.substr(19);
            char* end = nullptr;
            const long ms = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || ms < 0 || ms > 600000) {
                parsed.error = "--exit-after-paint needs a delay in milliseconds (0..600000)";
                return parsed;
            }
            o.exitDelayMs = int(ms);
        } else if (arg == "--hidden") {
            o.hidden = true;
        } else if (arg == "--check-glyphs") {
            o.checkGlyphs = true;
        } else if (arg.starts_with("--background")) {
            auto value = valueOf("--background");
            if (!value || value->empty()) {
                parsed.error = "--background needs a colour (#AARRGGBB) or a picture";
                return parsed;
            }
            o.background = *value;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg.starts_with("--screenshot")) {
            auto value = valueOf("--screenshot");
            if (!value || value->empty()) {
                parsed.error = "--screenshot needs a file name";
                return parsed;
            }
            o.screenshotPath = *value;
        } else if (arg.starts_with("--page")) {
            auto value = valueOf("--page");
            if (!value || !PageOptionName(*value)) {
                parsed.error = "--page needs keyboard, mouse, mouse-dpi or pad";
                return parsed;
            }
            o.page = *value;
        } else if (arg.starts_with("--sim-dir")) {
            auto value = valueOf("--sim-dir");
            if (!value || value->empty()) {
                parsed.error = "--sim-dir needs the simulator's directory";
                return parsed;
            }
            o.simDir = *value;
            if (o.simulate) {
                parsed.error = "--sim-dir and --simulate cannot be used together";
                return parsed;
            }
        } else if (arg.starts_with("--skin")) {
            auto value = valueOf("--skin");
            if (!value || value->empty()) {
                parsed.error = "--skin needs a folder";
                return parsed;
            }
            o.skinDir = *value;
        } else {
            parsed.error = "unknown argument '" + arg + "'";
            return parsed;
        }
    }
    return parsed;
}

const char* PageOptionName(std::string_view page) {
    constexpr std::pair<std::string_view, const char*> kPages[] = {
        {"keyboard", "kb_tab"}, {"mouse", "ms_tab"}, {"mouse-dpi", "ms_tab"}, {"pad", "mp_tab"}};
    for (const auto& [name, option] : kPages) {
        if (page == name) {
            return option;
        }
    }
    return nullptr;
}

const char* SubPageOptionName(std::string_view page) {
    return page == "mouse-dpi" ? "ms_rich_Op_tab" : nullptr;
}

InstanceClaim ClaimInstance(const std::string& name) {
    const dui::UINT message = dui::RegisterWindowMessage(kShowWindowMessage);
    platform::debugOutputf("软件标示：%u", message);
    InstanceClaim claim;
    claim.instance = platform::SingleInstance::acquire(name);
    if (claim.instance && claim.instance->role() == platform::SingleInstance::Role::Secondary) {
        claim.instance->notifyPrimary(kShowWindowMessage);
        claim.instance.reset();
        claim.secondInstance = true;
    }
    return claim;
}

bool SetUpResources(dui::Toolkit& toolkit, const std::string& skinDir) {
    dui::CResourceManager& resources = toolkit.resources();
    resources.SetResourcePath(skinDir.empty() ? dui::DefaultResourcePath()
                                              : std::filesystem::path(skinDir));
    const bool loaded = resources.LoadResource("res.xml");
    if (!loaded) {
        platform::debugOutput("res.xml: " + resources.GetLastError());
    }
    ui::registerCustomControls(toolkit.factory());
    return loaded;
}

int RunMainWindow(dui::Toolkit& toolkit, std::unique_ptr<platform::SingleInstance> instance,
                  const hid::DeviceSource& source, const std::function<void(CMainWnd&)>& onCreated,
                  bool startHidden) {
    // Saves of an instance killed mid-save leave their temporary files; this
    // instance is the only one, so none of them is still being written.
    for (const std::string& dir : {platform::dataRoot(), platform::keyboardDir(),
                                   platform::mouseDir(), platform::mousePadDir()}) {
        if (const int removed = platform::removeStaleTemporaries(dir); removed > 0) {
            platform::debugOutputf("%s: %d temporary files of interrupted saves removed",
                                   dir.c_str(), removed);
        }
    }
    auto window = std::make_unique<CMainWnd>();
    window->SetDeviceSource(source);
    window->SetPage(ui::Feature::SkinAndMenu,
                    std::make_unique<ui::SkinMenuPage>(*window, ui::ShellSettings::system()));
    const dui::DWORD style = startHidden ? kMainWindowStyle & ~dui::WS_VISIBLE : kMainWindowStyle;
    if (window->Create(dui::kNullWindow, kMainWindowTitle, style, 0, 0, 0, kMainWindowWidth,
                       kMainWindowHeight) == dui::kNullWindow) {
        // Without its window the program cannot do anything: say why and fail.
        std::fprintf(stderr, "quellix: the main window could not be built from the skin in %s\n",
                     toolkit.resources().GetResourcePath().string().c_str());
        for (const auto& error : window->GetBuildErrors()) {
            platform::debugOutput(error);
            std::fprintf(stderr, "  %s\n", error.c_str());
        }
        return 1;
    }
    window->CenterWindow();
    if (startHidden) {
        // Started from the desktop's autostart, the window waits in the tray
        // without ever appearing; its start-up sequence runs all the same
        // (a shown window gets it after its first showing).
        dui::CPaintManagerUI* manager = &window->GetPaintManager();
        const dui::HWND handle = window->GetHWND();
        dui::PostTask([manager, handle] {
            if (dui::IsWindow(handle)) {
                manager->SendWindowInit();
            }
        });
    } else {
        window->ShowWindow(true);
    }

    if (instance && instance->isPrimary()) {
        // Runs on the listener thread: hand the message to the UI thread.
        const dui::HWND handle = window->GetHWND();
        const dui::UINT message = window->ShowWindowMessageId();
        instance->listen([handle, message](const std::string& text) {
            if (text == kShowWindowMessage) {
                dui::PostMessage(handle, message, 0, 0);
            }
        });
    }
    if (onCreated) {
        onCreated(*window);
    }

    toolkit.backend().runEventLoop();

    // Stop listening before the window and the toolkit go away.
    instance.reset();
    if (dui::IsWindow(window->GetHWND())) {
        window->DestroyWindow();
    }
    window.reset();
    return 0;
}

} // namespace quellix::app
