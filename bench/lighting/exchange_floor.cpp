// The least any host can spend on the lighting streams: a bare client that
// makes the same exchanges and pauses per frame as the program's lighting
// workers (one 64-byte request, wait for its reply; then the frame's
// pauses), against a running simulator, and reports its own CPU time and
// context switches.  Nothing of the program is linked in, so the figure is
// what the request/reply protocol itself costs on this machine.
//
//   bench_exchange_floor SIM_DIR [SECONDS]

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// One device's frame: `chunks` exchanges, then the pauses (ms) that follow
// the given exchange, as the lighting workers make them.
struct Pattern {
    const char* name;
    const char* socket;
    int chunks;
    std::vector<std::pair<int, int>> pauses; // (after chunk index, ms)
};

const Pattern kPatterns[] = {
    {"pad", "0c45_5f02_0105_00.sock", 1, {{0, 41}}},
    {"mouse", "0c45_5f01_0105_00.sock", 2, {{0, 30}, {1, 20}}},
    {"keyboard", "0c45_763e_0105_00.sock", 7, {{6, 30}}}, // full colour
};

int connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void frameRequest(std::uint8_t (&frame)[64], int chunk) {
    std::memset(frame, 0, sizeof frame);
    const int offset = chunk * 56;
    frame[0] = 4;
    frame[3] = 18;
    frame[4] = 56;
    frame[5] = static_cast<std::uint8_t>(offset & 0xFF);
    frame[6] = static_cast<std::uint8_t>(offset >> 8);
    for (int i = 8; i < 64; ++i) {
        frame[i] = static_cast<std::uint8_t>(i * 7 + chunk);
    }
    unsigned sum = 0;
    for (int i = 3; i < 64; ++i) {
        sum += frame[i];
    }
    frame[1] = static_cast<std::uint8_t>(sum & 0xFF);
    frame[2] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
}

void stream(int fd, const Pattern& pattern, const std::atomic<bool>& stop,
            std::atomic<long>& frames) {
    std::uint8_t request[64];
    std::uint8_t reply[64];
    for (; !stop.load(std::memory_order_relaxed); frames.fetch_add(1, std::memory_order_relaxed)) {
        for (int chunk = 0; chunk < pattern.chunks; ++chunk) {
            frameRequest(request, chunk);
            if (::send(fd, request, sizeof request, MSG_NOSIGNAL) != sizeof request) {
                return;
            }
            pollfd wait{fd, POLLIN, 0};
            if (::poll(&wait, 1, 300) == 1 && ::read(fd, reply, sizeof reply) <= 0) {
                return;
            }
            for (const auto& [after, ms] : pattern.pauses) {
                if (after == chunk) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                }
            }
        }
    }
}

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SIM_DIR [SECONDS]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const int duration = argc > 2 ? std::atoi(argv[2]) : 20;
    std::atomic<bool> stop{false};
    std::atomic<long> frames[std::size(kPatterns)] = {};
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
        const Pattern& pattern = kPatterns[i];
        const int fd = connectTo(dir + "/" + pattern.socket);
        if (fd < 0) {
            std::fprintf(stderr, "cannot connect to %s/%s\n", dir.c_str(), pattern.socket);
            return 1;
        }
        threads.emplace_back([fd, &pattern, &stop, &counted = frames[i]] {
            stream(fd, pattern, stop, counted);
            ::close(fd);
        });
    }
    // Let the streams settle before sampling.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    long framesBefore[std::size(kPatterns)];
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
        framesBefore[i] = frames[i].load();
    }
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(duration));
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    long framesAfter[std::size(kPatterns)];
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
        framesAfter[i] = frames[i].load();
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stop = true;
    for (std::thread& thread : threads) {
        thread.join();
    }
    const double cpu = seconds(after.ru_utime) + seconds(after.ru_stime) -
                       seconds(before.ru_utime) - seconds(before.ru_stime);
    const long switches = after.ru_nvcsw + after.ru_nivcsw - before.ru_nvcsw - before.ru_nivcsw;
    std::printf("protocol floor: bare client %.2f %% of a core, %.0f wake-ups/s over %.1f s\n",
                100.0 * cpu / wall, static_cast<double>(switches) / wall, wall);
    // Against the pauses + 2 ms per exchange, as the program's rates are.
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
        const Pattern& pattern = kPatterns[i];
        int periodMs = 2 * pattern.chunks;
        for (const auto& pause : pattern.pauses) {
            periodMs += pause.second;
        }
        const double rate = static_cast<double>(framesAfter[i] - framesBefore[i]) / wall;
        const double expected = 1000.0 / periodMs;
        std::printf("  %-8s %6.2f frames/s (expected %6.2f, %+5.1f %%)\n", pattern.name, rate,
                    expected, 100.0 * (rate - expected) / expected);
    }
    return 0;
}
