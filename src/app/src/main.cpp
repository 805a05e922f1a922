// The desktop program: the Qt view around the application.

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/qt/qt_backend.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/hid/device_source.h"
#include "quellix/ui/skin_observer.h"

#ifdef QUELLIX_HAVE_SIM
#include "quellix/sim/simulator.h"
#endif

namespace {

#ifdef QUELLIX_HAVE_SIM
std::unique_ptr<quellix::sim::Simulator> startSimulator(const quellix::app::AppOptions& options) {
    auto simulator = std::make_unique<quellix::sim::Simulator>();
    for (const auto& device : options.simulatedDevices) {
        // The names were checked when the command line was read.
        if (const auto kind = quellix::device::kindFromWord(device)) {
            simulator->plug(*kind);
        }
    }
    return simulator;
}
#endif

// SIGTERM and SIGINT end the run through the window's normal shutdown:
// the handler only writes a byte that the event loop reads.  The signals
// are caught from the first instruction on; a stop that comes before the
// window exists waits in the pipe until the event loop runs.
int g_signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

// Runs before the program's static initialisers, as early as the process
// can run code of its own.
__attribute__((constructor)) void catchTerminationSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// A stop asked for before the event loop ran: nothing slow is left to
// undo, so the process ends at once with success.
bool stopRequested() {
    pollfd pending{g_signalPipe[0], POLLIN, 0};
    return g_signalPipe[0] >= 0 && ::poll(&pending, 1, 0) == 1;
}

void installTerminationHandler(const std::function<void()>& shutdown) {
    if (g_signalPipe[0] < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [shutdown] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], &byte, 1);
        shutdown();
    });
}

// Qt ends the process with abort() when its platform cannot start (a
// display that is not there, a screen it does not have, an unknown
// platform name); while the application is being made, such a failure is
// reported in a sentence and the process exits 1 instead.
QtMessageHandler g_previousMessageHandler = nullptr;
// The last warning before the fatal message: it names what failed (the
// display, the plugin), where the fatal text only says that nothing worked.
QString g_platformWarning;

void reportPlatformFailure(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    const QString firstLine = message.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (type == QtWarningMsg || type == QtCriticalMsg) {
        g_platformWarning = firstLine;
    }
    if (type == QtFatalMsg) {
        const QString reason = g_platformWarning.isEmpty() ? firstLine : g_platformWarning;
        std::fprintf(stderr,
                     "quellix: the display cannot be used (%s); check DISPLAY, WAYLAND_DISPLAY "
                     "and QT_QPA_PLATFORM, or run it under xvfb-run\n",
                     reason.toLocal8Bit().constData());
        std::_Exit(1);
    }
    if (g_previousMessageHandler != nullptr) {
        g_previousMessageHandler(type, context, message);
    }
}

// Whether the X server DISPLAY names accepts a connection.
bool x11DisplayReachable() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

} // namespace

int main(int argc, char** argv) {
    const auto parsed =
        quellix::app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "quellix: %s\n%s", parsed.error.c_str(),
                     quellix::app::UsageText().c_str());
        return 2;
    }
    const quellix::app::AppOptions& options = parsed.options;
    if (options.help) {
        std::fputs(quellix::app::UsageText().c_str(), stdout);
        return 0;
    }

    // QUELLIX_INSTANCE_NAME lets tests run beside a user's own instance.
    const char* instanceName = std::getenv("QUELLIX_INSTANCE_NAME");
    auto claim = quellix::app::ClaimInstance(instanceName != nullptr && *instanceName != '\0'
                                                 ? instanceName
                                                 : quellix::app::kInstanceName);
    if (claim.secondInstance) {
        return 0;
    }

    // Where the devices come from: the in-process simulator (--simulate),
    // a running quellix-sim (--sim-dir, or the environment variable
    // QUELLIX_SIM_DIR when neither option is given), else the system's
    // hidraw devices.
    quellix::hid::DeviceSource source;
#ifdef QUELLIX_HAVE_SIM
    std::unique_ptr<quellix::sim::Simulator> simulator;
    if (options.simulate) {
        simulator = startSimulator(options);
        source = quellix::hid::DeviceSource::simulator(simulator->dir());
    }
#endif
    if (!options.simDir.empty()) {
        if (!std::filesystem::is_directory(options.simDir)) {
            std::fprintf(stderr, "quellix: %s is not a simulator directory\n",
                         options.simDir.c_str());
            return 1;
        }
        source = quellix::hid::DeviceSource::simulator(options.simDir);
    } else if (const char* simDir = std::getenv("QUELLIX_SIM_DIR");
               !options.simulate && simDir != nullptr && *simDir != '\0') {
        source = quellix::hid::DeviceSource::simulator(simDir);
    }

    // Qt aborts when it finds no display; tell the user what to do instead.
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
        std::fputs("quellix: no display found (DISPLAY and WAYLAND_DISPLAY are unset); run it on "
                   "a desktop, or under xvfb-run\n",
                   stderr);
        return 1;
    }
    // An X display that cannot be reached makes Qt abort; say so instead.
    if (isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM") &&
        !x11DisplayReachable()) {
        std::fprintf(stderr,
                     "quellix: cannot open the display %s (no X server answers there); run it "
                     "on a desktop, or under xvfb-run\n",
                     std::getenv("DISPLAY"));
        return 1;
    }

    g_previousMessageHandler = qInstallMessageHandler(reportPlatformFailure);
    QApplication application(argc, argv);
    qInstallMessageHandler(g_previousMessageHandler);
    if (stopRequested()) {
        return 0;
    }
    QApplication::setApplicationName("Quellix");
    QApplication::setQuitOnLastWindowClosed(false);
    quellix::dui::qt::QtBackend backend;
    quellix::dui::Toolkit toolkit(backend);
    quellix::app::SetUpResources(toolkit, options.skinDir);
    const auto icon = toolkit.resources().ResolveFile("common/app_icon.png");
    if (std::filesystem::exists(icon)) {
        QApplication::setWindowIcon(QIcon(QString::fromStdString(icon.string())));
    }

    int exitCode = 0;
    // --page: the page shown once the devices found at start are connected
    // (each connection selects its own page).
    const auto selectRequestedPage = [&](quellix::dui::HWND handle) {
        const char* option = quellix::app::PageOptionName(options.page);
        auto* window = dynamic_cast<quellix::app::CMainWnd*>(quellix::dui::FromHandle(handle));
        if (auto* selector =
                option && window ? window->FindControl<quellix::dui::COptionUI>(option) : nullptr) {
            selector->Selected(true);
        }
        const char* subPage = quellix::app::SubPageOptionName(options.page);
        if (auto* selector = subPage && window
                                 ? window->FindControl<quellix::dui::COptionUI>(subPage)
                                 : nullptr) {
            selector->Selected(true);
        }
    };
    const bool endAfterPaint = !options.screenshotPath.empty() || options.exitAfterPaint;
    if (endAfterPaint || !options.page.empty()) {
        backend.SetFirstPaintHandler([&](quellix::dui::HWND window) {
            if (options.exitAfterPaint) {
                std::puts("painted");
                std::fflush(stdout);
            }
            // Let the devices' connections and the first frame (fonts,
            // images) settle, then show the page asked for and grab it.
            // A page asked for without a screenshot waits out the connect
            // sequences too: each selects its device's page when it ends.
            const int delay = options.exitAfterPaint ? options.exitDelayMs
                              : endAfterPaint        ? 400
                                                     : 1000;
            QTimer::singleShot(delay, [&, window] {
                selectRequestedPage(window);
                QTimer::singleShot(options.page.empty() ? 0 : 100, [&, window] {
                    if (!endAfterPaint) {
                        return;
                    }
                    if (!options.screenshotPath.empty() &&
                        !backend.GrabWindow(window, options.screenshotPath)) {
                        std::fprintf(stderr, "quellix: cannot save %s\n",
                                     options.screenshotPath.c_str());
                        exitCode = 1;
                    }
                    for (const auto& text : backend.TextsWithMissingGlyphs()) {
                        std::fprintf(stderr, "quellix: missing glyph: %s\n", text.c_str());
                        exitCode = 1;
                    }
                    quellix::dui::PostQuitMessage(exitCode);
                });
            });
        });
    }

    backend.SetGlyphCheck(options.checkGlyphs);
    const auto onWindowCreated = [&](quellix::app::CMainWnd& window) {
        window.SetStartHidden(options.hidden);
        const quellix::dui::HWND handle = window.GetHWND();
        if (!options.background.empty()) {
            // After the start-up sequence's remembered background.
            quellix::dui::PostTask([background = options.background] {
                quellix::ui::SkinObserver().Broadcast(
                    quellix::ui::BackgroundFromOption(background));
            });
        }
        installTerminationHandler([handle] {
            if (auto* main = quellix::dui::FromHandle(handle)) {
                main->DestroyWindow();
            }
        });
    };
    if (!backend.HasSystemTray()) {
        // Without a notification area the window cannot wait in the tray:
        // starting the program again is the way back to it.
        std::fputs("quellix: this desktop has no system tray; when the window is hidden, start "
                   "quellix again to show it\n",
                   stderr);
    }
    const int runResult = quellix::app::RunMainWindow(toolkit, std::move(claim.instance), source,
                                                      onWindowCreated, options.hidden);
    return runResult != 0 ? runResult : exitCode;
}
