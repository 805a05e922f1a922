// Start-up of the desktop program: from process start to the first painted
// main window, and the resident memory one second later.
//
// Needs an X display; run it under a virtual one:
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bin/bench_startup
// The program is started with simulated devices and --exit-after-paint, which prints "painted"
// at its first paint and ends the run a little later.

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Resident memory of a process in kB (VmRSS), or -1.
long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

struct Run {
    double paintSeconds = -1;
    long rssKb = -1;
};

Run startOnce() {
    int out[2];
    if (pipe(out) != 0) {
        return {};
    }
    const std::string instance = "quellix-bench-" + std::to_string(getpid());
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        setenv("QUELLIX_INSTANCE_NAME", instance.c_str(), 1);
        // Profiles and settings of the run stay out of the user's documents.
        const std::string documents = "/tmp/" + instance;
        setenv("QUELLIX_DOCUMENTS_DIR", documents.c_str(), 1);
        // Without a device the start-up hides the window before it paints.
        execl(QUELLIX_BINARY, QUELLIX_BINARY, "--simulate", "--exit-after-paint=1500",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    Run run;
    std::string seen;
    pollfd fd{out[0], POLLIN, 0};
    while (seen.find("painted") == std::string::npos && poll(&fd, 1, 10000) > 0) {
        char buffer[64];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        seen.append(buffer, std::size_t(n));
    }
    if (seen.find("painted") != std::string::npos) {
        run.paintSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        run.rssKb = residentKb(pid);
    } else {
        kill(pid, SIGKILL);
    }
    close(out[0]);
    waitpid(pid, nullptr, 0);
    return run;
}

void BM_StartToFirstPaint(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("needs an X display: run under xvfb-run -a");
        return;
    }
    double worstRss = 0;
    for (auto _ : state) {
        const Run run = startOnce();
        if (run.paintSeconds < 0) {
            state.SkipWithError("the program did not paint its window");
            return;
        }
        state.SetIterationTime(run.paintSeconds);
        worstRss = std::max(worstRss, double(run.rssKb));
    }
    state.counters["rss_MB_after_1s"] = worstRss / 1024.0;
}

BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
