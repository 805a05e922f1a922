// One latency spike of a simulated device: sets the device's reply latency
// to SPIKE, runs COMMAND, and as soon as the simulator has received one more
// request sets the latency to NORMAL and has the replies of the next DROP
// requests lost, so that only that request's reply is late (and, with DROP
// 1, the only answer to it and its first retry).  Polling the simulator's
// control socket from this process (not by starting a quellix-sim per poll)
// does this well within the host's first reply timeout, even on a slow
// emulated machine.
//
//   quellix-latency-spike DIR MODEL SPIKE_US NORMAL_US DROP COMMAND [ARGS...]
//
// Exit status: COMMAND's; 3 when the simulator cannot be reached or the
// spike did not end after one request.

#include "unix_socket.h"

#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kExitTrouble = 3;
constexpr int kAnswerTimeoutMs = 5000;

std::string ask(int fd, const std::string& command) {
    return quellix::sim::requestReply(fd, command, kAnswerTimeoutMs);
}

// "frames received N, ..." in the device's dump.
long framesReceived(int fd, const std::string& model) {
    const std::string dump = ask(fd, "dump " + model);
    const std::string key = "frames received ";
    const std::size_t at = dump.find(key);
    return at == std::string::npos ? -1 : std::strtol(dump.c_str() + at + key.size(), nullptr, 10);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr,
                     "usage: quellix-latency-spike DIR MODEL SPIKE_US NORMAL_US DROP COMMAND...\n");
        return 2;
    }
    const std::string dir = argv[1], model = argv[2], spike = argv[3], normal = argv[4],
                      drop = argv[5];
    const int fd = quellix::sim::connectSeqpacket(dir + "/control.sock");
    if (fd < 0) {
        std::perror("quellix-latency-spike: control.sock");
        return kExitTrouble;
    }
    try {
        const long before = framesReceived(fd, model);
        if (before < 0 || ask(fd, "latency " + model + " " + spike) != "ok") {
            std::fprintf(stderr, "quellix-latency-spike: the simulator refused\n");
            return kExitTrouble;
        }
        pid_t child = 0;
        if (posix_spawnp(&child, argv[6], nullptr, nullptr, argv + 6, environ) != 0) {
            std::perror("quellix-latency-spike: spawn");
            return kExitTrouble;
        }
        bool restored = false;
        int status = 0;
        for (;;) {
            const pid_t done = ::waitpid(child, &status, restored ? 0 : WNOHANG);
            if (done == child) {
                break;
            }
            if (!restored && framesReceived(fd, model) > before) {
                restored = ask(fd, "drop " + model + " " + drop) == "ok" &&
                           ask(fd, "latency " + model + " " + normal) == "ok";
                // A second request already in means the spike outlasted one.
                restored = restored && framesReceived(fd, model) == before + 1;
                if (!restored) {
                    std::fprintf(stderr, "quellix-latency-spike: the spike outlasted a request\n");
                    ::waitpid(child, &status, 0);
                    return kExitTrouble;
                }
            } else if (!restored) {
                ::usleep(500);
            }
        }
        if (!restored) {
            std::fprintf(stderr, "quellix-latency-spike: no request arrived during the spike\n");
            return kExitTrouble;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : kExitTrouble;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quellix-latency-spike: %s\n", e.what());
        return kExitTrouble;
    }
}
