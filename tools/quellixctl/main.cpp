// quellixctl: talks to the devices (real or simulated) without the window.

#include "quellixctl.h"

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
    return quellix::tools::runQuellixctl(args, std::cout, std::cerr, fx);
}
