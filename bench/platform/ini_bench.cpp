// Cost of the private-profile calls on a catalogue-sized file: every
// catalogue access is one such call, and the watchers make several per pass.
#include "quellix/platform/ini.h"
#include "quellix/platform/ini_document.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace quellix::platform;

// A catalogue with `entries` profiles in five families' sections.
fs::path makeCatalogue(int entries) {
    fs::path path = fs::temp_directory_path() / ("quellix-bench-" + std::to_string(::getpid()) +
                                                 "-" + std::to_string(entries) + ".ini");
    fs::remove(path);
    for (const char* section : {"PROFILENAME", "PROFILELIKEEXE", "PROCESS"}) {
        for (int i = 0; i < entries; ++i)
            writePrivateProfileString(section, std::to_string(i),
                                      "/usr/games/some program " + std::to_string(i), path);
    }
    writePrivateProfileString("PROFILECOUNT", "count", std::to_string(entries), path);
    return path;
}

void BM_GetPrivateProfileString(benchmark::State& state) {
    const fs::path path = makeCatalogue(static_cast<int>(state.range(0)));
    const std::string key = std::to_string(state.range(0) - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(getPrivateProfileString("PROCESS", key, "0", path));
    fs::remove(path);
}
BENCHMARK(BM_GetPrivateProfileString)->Arg(10)->Arg(100);

// Includes the fsync of the atomic replacement: this is what one user
// action that saves a catalogue value costs.
void BM_WritePrivateProfileString(benchmark::State& state) {
    const fs::path path = makeCatalogue(static_cast<int>(state.range(0)));
    int n = 0;
    for (auto _ : state)
        writePrivateProfileString("PROFILECOUNT", "select", std::to_string(n++ % 10), path);
    fs::remove(path);
}
BENCHMARK(BM_WritePrivateProfileString)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_ParseUtf16Document(benchmark::State& state) {
    IniDocument doc;
    for (int i = 0; i < state.range(0); ++i)
        doc.setValue("PROFILENAME", std::to_string(i), "名字 profile " + std::to_string(i));
    const std::string bytes = doc.serialize();
    for (auto _ : state)
        benchmark::DoNotOptimize(IniDocument::parse(bytes).value("profilename", "0"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseUtf16Document)->Arg(100)->Arg(1000);

} // namespace
