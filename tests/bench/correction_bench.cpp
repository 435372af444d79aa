// The correction-table loader: resampling the four tables of a 3-D file, and a whole 3-D
// load into a simulated board without a trace (its packets counted).
#include "context.h"
#include "correction_loader.h"
#include "sim/sim_driver.h"
#include "startup.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t k3dFileWords = 16973;

std::vector<std::uint16_t> three_d_file() {
    std::vector<std::uint16_t> words(k3dFileWords);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint16_t>((i * 2654435761u) >> 16);
    return words;
}

void Resample3dTables(benchmark::State& state) {
    const auto file = three_d_file();
    std::vector<std::uint16_t> out(4 * quarnel::kCorrectionTableWords);
    const quarnel::CorrectionTransform rotated{1.1, -0.9, 91.5, 120.0, -80.0};
    for (auto _ : state) {
        quarnel::resample_correction_tables(file.data(), 4, rotated, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(out.size()));
}
BENCHMARK(Resample3dTables)->Unit(benchmark::kMicrosecond);

void Load3dCorrectionFile(benchmark::State& state) {
    std::string error;
    auto driver = std::make_shared<quarnel::sim::SimDriver>(*quarnel::sim::parse_sim_config("3d", error));
    quarnel::Context ctx;
    ctx.driver = driver;
    ctx.platform.sleep_ms = [](unsigned) {};
    quarnel::enumerate_boards(ctx);

    const std::string name = (std::filesystem::temp_directory_path() / "quarnel-bench-3d.ctb").string();
    {
        std::ofstream out(name, std::ios::binary);
        for (std::uint16_t w : three_d_file()) out.put(static_cast<char>(w & 0xFF)).put(static_cast<char>(w >> 8));
    }
    std::uint64_t packets = 0;
    for (auto _ : state) {
        const std::uint64_t before = driver->board(1).transfers();
        if (quarnel::load_correction_file(ctx, 1, name.c_str(), 1, {}) != 0) state.SkipWithError("load failed");
        packets = driver->board(1).transfers() - before;
    }
    state.counters["packets"] = static_cast<double>(packets);
    std::remove(name.c_str());
}
BENCHMARK(Load3dCorrectionFile)->Unit(benchmark::kMillisecond);

} // namespace
