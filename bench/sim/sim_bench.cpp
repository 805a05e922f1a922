// Cost of the simulator's work per frame: the firmware's handling alone and
// a full request/reply round trip through the sockets.

#include "firmware.h"
#include "quellix/sim/simulator.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace quellix::sim;

Report readRequest(std::uint16_t offset) {
    Report r{};
    r[0] = 4;
    r[3] = command::kReadBlock;
    r[4] = 56;
    r[5] = static_cast<std::uint8_t>(offset);
    r[6] = static_cast<std::uint8_t>(offset >> 8);
    storeChecksum(r);
    return r;
}

void FirmwareHandleRead(benchmark::State& state) {
    Firmware mouse(Model::Mouse, quellix::device::primaryProductId(Model::Mouse));
    const Report request = readRequest(128);
    for (auto _ : state) {
        benchmark::DoNotOptimize(mouse.handle(request));
    }
}
BENCHMARK(FirmwareHandleRead);

void FirmwareHandleKeyboardFrame(benchmark::State& state) {
    Firmware keyboard(Model::Keyboard, 0x7513);
    Report chunk{};
    chunk[0] = 4;
    chunk[3] = command::kStreamFrame;
    for (auto _ : state) {
        for (unsigned offset = 0; offset < 378; offset += 56) {
            chunk[4] = static_cast<std::uint8_t>(std::min(56u, 378 - offset));
            chunk[5] = static_cast<std::uint8_t>(offset);
            chunk[6] = static_cast<std::uint8_t>(offset >> 8);
            storeChecksum(chunk);
            benchmark::DoNotOptimize(keyboard.handle(chunk));
        }
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FirmwareHandleKeyboardFrame);

// One frame out, its reply back, with the reply latency given in
// microseconds (0, and the default that models full-speed USB).
void SocketRoundTrip(benchmark::State& state) {
    Simulator sim(Options{{}, std::chrono::microseconds(state.range(0))});
    sim.plug(Model::Mouse);
    const std::string path = (sim.dir() / "0c45_5f01_0105_00.sock").native();
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        state.SkipWithError("connect failed");
        return;
    }
    const Report request = readRequest(0);
    Report reply{};
    for (auto _ : state) {
        ::send(fd, request.data(), request.size(), 0);
        ::recv(fd, reply.data(), reply.size(), 0);
    }
    ::close(fd);
}
BENCHMARK(SocketRoundTrip)->Arg(0)->Arg(Options{}.replyLatency.count())->UseRealTime();

} // namespace
