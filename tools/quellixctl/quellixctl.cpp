#include "quellixctl.h"

#include "command.h"

#include "quellix/hid/device.h"

#include <string_view>

namespace quellix::tools {

namespace {

void printUsage(std::ostream& out, bool withFx) {
    out << "usage: quellixctl [--trace] [--sim DIR] <command> [arguments]\n"
           "\n"
           "  --trace     print every frame written (\"> \") and read (\"< \")\n"
           "  --sim DIR   use the simulated devices in DIR (also: QUELLIX_SIM_DIR)\n"
           "  --help      this text\n"
           "\n"
           "commands:\n";
    for (const CommandEntry& command : commandTable()) {
        std::string head = std::string(command.name) + ' ' + std::string(command.arguments);
        head.resize(std::max<std::size_t>(head.size() + 1, 36), ' ');
        out << "  " << head << command.summary << '\n';
    }
    if (withFx) {
        out << "  fx ...                              lighting effects (quellixctl fx --help)\n";
    }
    out << "\n<kind> is keyboard, mouse or pad (or kb, ms, mp).\n";
}

} // namespace

int runQuellixctl(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                  ExternalCommand fx, const hid::DeviceSource& source) {
    CommandContext context{out, err, false, source};
    std::size_t next = 0;
    for (; next < args.size() && args[next].starts_with("--"); ++next) {
        const std::string_view option = args[next];
        if (option == "--help") {
            printUsage(out, fx != nullptr);
            return kExitOk;
        }
        if (option == "--trace") {
            context.trace = true;
        } else if (option == "--sim") {
            if (next + 1 == args.size()) {
                err << "quellixctl: --sim needs a directory\n";
                return kExitUsage;
            }
            context.source = hid::DeviceSource::simulator(args[++next]);
        } else {
            err << "quellixctl: unknown option '" << option << "'\n";
            return kExitUsage;
        }
    }
    if (next == args.size()) {
        printUsage(err, fx != nullptr);
        return kExitUsage;
    }
    const std::string& name = args[next];
    const auto rest = args.subspan(next + 1);
    if (fx != nullptr && name == "fx") {
        return fx(std::vector<std::string>(rest.begin(), rest.end()), out, err);
    }
    const CommandEntry* command = findCommand(name);
    if (command == nullptr) {
        err << "quellixctl: unknown command '" << name << "' (see quellixctl --help)\n";
        return kExitUsage;
    }
    if (rest.size() != command->argumentCount) {
        err << "quellixctl: usage: quellixctl " << command->name << ' ' << command->arguments
            << '\n';
        return kExitUsage;
    }
    return command->run(rest, context);
}

} // namespace quellix::tools
