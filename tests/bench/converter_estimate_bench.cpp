// The marking-time estimate of a drawing of 1,000,000 records, against its bar of 0.1 s.
#include "marking_estimate.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace ondrel {
namespace {

constexpr double kBarSeconds = 0.1;

// Jumps, single marks and chains across the whole field, in drawing units.
const ConverterState& MillionRecords() {
    static const ConverterState state = [] {
        ConverterState s;
        s.drawing.VectorStream.reserve(1000000);
        for (std::int64_t i = 0; i < 1000000; ++i) {
            const auto kind = static_cast<std::uint8_t>(i % 10 == 0 ? 0 : i % 10 == 1 ? 1 : 2 + i % 3); // jump, single, chain
            s.drawing.VectorStream.push_back({kind, static_cast<float>((i * 7919) % 65001 - 32500),
                                              static_cast<float>((i * 104729) % 65001 - 32500)});
        }
        s.drawing.Bounds = {-32500, 32500, -32500, 32500};
        s.drawing.DrawingScale = 65530.0f / 65000.0f;
        s.parameters.UseVarPolyDelay = true;
        s.parameters.JumpLengthLimit = 2000;
        s.parameters.LaserOnDelay = -100;
        return s;
    }();
    return state;
}

void EstimateMillionRecords(benchmark::State& bench) {
    const ConverterState& state = MillionRecords();
    double seconds = 0;
    for (auto _ : bench) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(MarkingInfo(state));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    bench.counters["time_over_bar"] = seconds / static_cast<double>(bench.iterations()) / kBarSeconds;
    bench.SetItemsProcessed(bench.iterations() * state.VectorCount());
}
BENCHMARK(EstimateMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
} // namespace ondrel
