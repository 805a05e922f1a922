// Cost of parsing report descriptors, decoding a report, and one
// request/reply round trip through a simulated interface's socket.

#include "fake_sim_dir.h"
#include "quellix/hid/descriptor.h"
#include "quellix/hid/device.h"
#include "quellix/platform/event.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <thread>

namespace {

using namespace quellix::hid;

std::vector<std::uint8_t> fixture(const char* name) {
    std::vector<std::uint8_t> bytes;
    if (!loadDescriptorFile(std::string(QUELLIX_HID_FIXTURES "/") + name + ".hex", bytes).ok)
        throw std::runtime_error(name);
    return bytes;
}

void BM_ParseLargestFixture(benchmark::State& state) {
    const auto bytes = fixture("17CC_1130_0000_FF01"); // 700 bytes, 231 capabilities
    for (auto _ : state) {
        ParsedDescriptor parsed;
        benchmark::DoNotOptimize(parseReportDescriptor(bytes, parsed).ok);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseLargestFixture);

void BM_ParseConfigAndConsumer(benchmark::State& state) {
    const auto& bytes = quellix::testing::descriptors::kConfigAndConsumer;
    for (auto _ : state) {
        ParsedDescriptor parsed;
        benchmark::DoNotOptimize(parseReportDescriptor(bytes, parsed).ok);
    }
}
BENCHMARK(BM_ParseConfigAndConsumer);

void BM_DecodeMouseReport(benchmark::State& state) {
    ParsedDescriptor parsed;
    parseReportDescriptor(fixture("046D_C52F_0002_0001"), parsed);
    const PreparsedData& mouse = parsed.collections.at(0);
    const std::vector<std::uint8_t> report = {0, 0x05, 0x00, 0x10, 0x00, 0xf0, 0xff, 0x01, 0x00};
    std::uint16_t usages[16];
    for (auto _ : state) {
        std::uint32_t count = 16, x = 0;
        benchmark::DoNotOptimize(getUsages(mouse, ReportType::Input, 0x09, usages, count, report));
        benchmark::DoNotOptimize(getUsageValue(mouse, ReportType::Input, 0x01, 0x30, x, report));
    }
}
BENCHMARK(BM_DecodeMouseReport);

// Write a 64-byte request, the test server echoes it, read the reply: the
// HID layer's own share of a configuration frame's round trip.
void BM_SimulatedRoundTrip(benchmark::State& state) {
    quellix::testing::FakeSimDir sim;
    const std::string socket =
        sim.plug(0x0c45, 0x5f02, 0x0100, 1, quellix::testing::descriptors::kConfigAndConsumer);
    OpenFlags flags;
    flags.read = flags.write = true;
    auto device = Device::open(sim.source(), "hid#vid_0c45&pid_5f02&mi_01&col01#" + socket, flags);
    if (!device) {
        state.SkipWithError("open failed");
        return;
    }
    sim.accept(socket);
    std::atomic<bool> stop{false};
    std::thread echo([&] {
        while (!stop.load()) {
            auto packet = sim.receive(socket);
            if (!packet.empty())
                sim.send(socket, packet);
        }
    });
    quellix::platform::Event cancel(quellix::platform::Event::Reset::Auto);
    std::vector<std::uint8_t> request(64, 0), reply(64);
    request[0] = 4;
    for (auto _ : state) {
        std::uint32_t count = 0;
        device->write(request.data(), 64, 1000, &cancel, count);
        device->read(reply.data(), 64, 1000, &cancel, count);
    }
    stop.store(true);
    std::uint32_t last = 0;
    device->write(request.data(), 64, 1000, &cancel, last); // wakes the echo thread
    echo.join();
}
BENCHMARK(BM_SimulatedRoundTrip)->UseRealTime();

} // namespace
