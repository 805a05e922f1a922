// quellix-sim: runs the device simulator as a process and changes a running
// one through its control socket.

#include "control_protocol.h"
#include "factory_defaults.h"
#include "quellix/sim/simulator.h"
#include "uhid_server.h"
#include "unix_socket.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using namespace quellix::sim;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr int kControlTimeoutMs = 10000;

void printUsage(std::ostream& out) {
    char keyboardPid[8];
    std::snprintf(keyboardPid, sizeof keyboardPid, "0x%04X", kDefaultKeyboardProductId);
    out << "usage:\n"
           "  quellix-sim serve [--devices mouse,pad,keyboard] [--keyboard-pid "
        << keyboardPid
        << "]\n"
           "                    [--dir D] [--latency-us N] [--uhid]\n"
           "      serves the devices until SIGINT or SIGTERM; prints the directory\n"
           "      --uhid: as kernel HID devices through /dev/uhid (hidraw nodes)\n"
           "  quellix-sim <command> [--dir D]   (D defaults to $QUELLIX_SIM_DIR)\n"
           "  commands of a running simulator:\n"
        << controlCommandSummary() << "  plug also takes the product id as --pid P\n";
}

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; // without the leading "--"
};

// Options are "--name value" or "--name=value"; every option takes a value.
bool splitArguments(int argc, char** argv, Arguments& out, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word.rfind("--", 0) != 0) {
            out.positional.push_back(word);
            continue;
        }
        word.erase(0, 2);
        const std::size_t equals = word.find('=');
        if (equals != std::string::npos) {
            out.options[word.substr(0, equals)] = word.substr(equals + 1);
        } else if (word == "help" || word == "uhid") {
            out.options[word] = "";
        } else if (i + 1 < argc) {
            out.options[word] = argv[++i];
        } else {
            error = "option --" + word + " needs a value";
            return false;
        }
    }
    return true;
}

bool onlyOptions(const Arguments& args, std::initializer_list<const char*> allowed,
                 std::string& error) {
    for (const auto& [name, value] : args.options) {
        bool known = false;
        for (const char* a : allowed) {
            known = known || name == a;
        }
        if (!known) {
            error = "unknown option --" + name;
            return false;
        }
    }
    return true;
}

int fail(const std::string& message, int code) {
    std::cerr << "quellix-sim: " << message << '\n';
    if (code == kExitUsage) {
        printUsage(std::cerr);
    }
    return code;
}

// The devices as kernel HID devices: each interface through /dev/uhid.
int serveThroughUhid(const Options& options, const std::vector<Model>& models,
                     std::uint16_t keyboardPid, const sigset_t& stopSignals) {
    if (!uhidAvailable()) {
        const int error = errno;
        return fail(std::string(kUhidNode) + " cannot be opened (" + std::strerror(error) +
                        "): the kernel needs the uhid module",
                    kExitError);
    }
    UhidOptions uhidOptions;
    uhidOptions.dir = options.dir;
    uhidOptions.replyLatency = options.replyLatency;
    UhidServer server(uhidOptions);
    for (Model model : models) {
        server.plug(model, keyboardPid);
    }
    std::cout << server.dir().native() << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    return 0;
}

int serve(const Arguments& args) {
    std::string error;
    if (!onlyOptions(args, {"devices", "keyboard-pid", "dir", "latency-us", "uhid"}, error) ||
        args.positional.size() != 1) {
        return fail(error.empty() ? "serve takes no further arguments" : error, kExitUsage);
    }
    Options options;
    if (auto it = args.options.find("dir"); it != args.options.end()) {
        options.dir = it->second;
    } else if (const char* env = std::getenv("QUELLIX_SIM_DIR"); env && *env) {
        options.dir = env;
    }
    if (auto it = args.options.find("latency-us"); it != args.options.end()) {
        const auto latency = parseNumber(it->second, 10'000'000);
        if (!latency) {
            return fail("bad --latency-us '" + it->second + "'", kExitUsage);
        }
        options.replyLatency = std::chrono::microseconds(*latency);
    }
    std::uint16_t keyboardPid = kDefaultKeyboardProductId;
    if (auto it = args.options.find("keyboard-pid"); it != args.options.end()) {
        const auto pid = parseNumber(it->second, 0xFFFF);
        if (!pid || !isKeyboardProductId(static_cast<std::uint16_t>(*pid))) {
            return fail("--keyboard-pid must be " + keyboardProductIdChoice(), kExitUsage);
        }
        keyboardPid = static_cast<std::uint16_t>(*pid);
    }
    std::vector<Model> models;
    const auto devices = args.options.count("devices") ? args.options.at("devices")
                                                       : std::string("mouse,pad,keyboard");
    for (std::size_t at = 0; at < devices.size();) {
        std::size_t comma = devices.find(',', at);
        if (comma == std::string::npos) {
            comma = devices.size();
        }
        const std::string name = devices.substr(at, comma - at);
        const auto model = parseModel(name);
        if (!model) {
            return fail("unknown device '" + name + "' in --devices", kExitUsage);
        }
        models.push_back(*model);
        at = comma + 1;
    }

    // The signals are taken by sigwait below; block them before the
    // simulator's thread starts so that it inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        if (args.options.count("uhid")) {
            return serveThroughUhid(options, models, keyboardPid, stopSignals);
        }
        Simulator simulator(options);
        for (Model model : models) {
            simulator.plug(model, keyboardPid);
        }
        std::cout << simulator.dir().native() << std::endl;
        int signal = 0;
        sigwait(&stopSignals, &signal);
    } catch (const std::exception& e) {
        return fail(e.what(), kExitError);
    }
    return 0;
}

int control(const Arguments& args) {
    std::string error;
    if (!onlyOptions(args, {"dir", "pid"}, error)) {
        return fail(error, kExitUsage);
    }
    std::string line;
    for (const std::string& word : args.positional) {
        line += (line.empty() ? "" : " ") + word;
    }
    if (auto it = args.options.find("pid"); it != args.options.end()) {
        if (args.positional.front() != "plug") {
            return fail("--pid belongs to plug", kExitUsage);
        }
        line += " " + it->second;
    }
    // Checked here too, so that a bad command fails without a server.
    const auto parsed = parseControlCommand(line);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        return fail(*problem, kExitUsage);
    }
    std::string dir;
    if (auto it = args.options.find("dir"); it != args.options.end()) {
        dir = it->second;
    } else if (const char* env = std::getenv("QUELLIX_SIM_DIR"); env && *env) {
        dir = env;
    } else {
        return fail("no simulator directory: pass --dir or set QUELLIX_SIM_DIR", kExitUsage);
    }
    const std::filesystem::path socket = std::filesystem::path(dir) / "control.sock";
    const int fd = connectSeqpacket(socket);
    if (fd < 0) {
        return fail("no simulator serves " + dir + " (" + std::strerror(errno) + ")", kExitError);
    }
    std::string answer;
    try {
        answer = requestReply(fd, line, kControlTimeoutMs);
    } catch (const std::system_error& e) {
        ::close(fd);
        return fail(std::string("simulator did not answer: ") + e.what(), kExitError);
    }
    ::close(fd);
    if (answer.rfind("ok", 0) == 0) {
        if (answer.size() > 3) {
            std::cout << answer.substr(3);
            if (answer.back() != '\n') {
                std::cout << '\n';
            }
        }
        return 0;
    }
    return fail(answer.rfind("error: ", 0) == 0 ? answer.substr(7) : answer, kExitError);
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    std::string error;
    if (!splitArguments(argc, argv, args, error)) {
        return fail(error, kExitUsage);
    }
    if (args.options.count("help")) {
        printUsage(std::cout);
        return 0;
    }
    if (args.positional.empty()) {
        return fail("no command given", kExitUsage);
    }
    return args.positional.front() == "serve" ? serve(args) : control(args);
}
