// quellixctl: talks to the devices (real or simulated) without the window.

#include "quellixctl.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#ifdef QUELLIXCTL_WITH_FX
#include "fx_command.h"
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef QUELLIXCTL_WITH_FX
    constexpr quellix::tools::ExternalCommand fx = &quellix::tools::runFx;
#else
    constexpr quellix::tools::ExternalCommand fx = nullptr;
#endif
    // A running quellix-sim can also be named by the environment; --sim
    // takes precedence.  Without either, the system's hidraw devices.
    quellix::hid::DeviceSource source;
    if (const char* simDir = std::getenv("QUELLIX_SIM_DIR"); simDir != nullptr && *simDir != '\0') {
        source = quellix::hid::DeviceSource::simulator(simDir);
    }
    return quellix::tools::runQuellixctl(args, std::cout, std::cerr, fx, source);
}
