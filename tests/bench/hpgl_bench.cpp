// The HP-GL interpreter on a generated plot of one million points in polylines of ten:
// throughput of plot text into vector records, and its ratio to the 50 MB/s the converter
// needs.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "plot_loading.h"

namespace {

constexpr double RequiredBytesPerSecond = 50e6;

// "IN;SP1;" then polylines "PU x,y;PD x,y,x,y,...;" of ten points in plotter units; with
// decimals every coordinate carries one or two fraction digits.
std::string GeneratePlot(int points, bool decimals)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> coordinate(0, 16000);
    std::uniform_int_distribution<int> fraction(0, 99);
    std::string plot = "IN;SP1;";
    const auto append = [&](int value) {
        plot += std::to_string(value);
        if (decimals) {
            plot += '.';
            plot += std::to_string(fraction(random));
        }
    };
    for (int i = 0; i < points; ++i) {
        if (i % 10 == 0) plot += i == 0 ? "PU" : ";PU";
        append(coordinate(random));
        plot += ',';
        append(coordinate(random));
        plot += i % 10 == 0 ? ";PD" : (i % 10 == 9 ? "" : ",");
    }
    plot += ";PU;";
    return plot;
}

void InterpretPlot(benchmark::State& state, bool decimals)
{
    const std::string plot = GeneratePlot(1000000, decimals);
    std::int64_t records = 0;
    for (auto _ : state) {
        ondrel::Drawing drawing;
        ondrel::FieldTransform field;
        const ondrel::LoadResult result = ondrel::LoadHPGLText(plot, drawing, field);
        if (!result.Loaded()) state.SkipWithError(result.Message.c_str());
        records = drawing.VectorCount();
        benchmark::DoNotOptimize(drawing.VectorStream.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(plot.size()));
    state.counters["records"] = static_cast<double>(records);
    state.counters["ratio_to_50MBps"] = benchmark::Counter(
        static_cast<double>(plot.size()) / RequiredBytesPerSecond, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_HpglMillionPoints(benchmark::State& state) { InterpretPlot(state, false); }
void BM_HpglMillionPointsWithDecimals(benchmark::State& state) { InterpretPlot(state, true); }

BENCHMARK(BM_HpglMillionPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HpglMillionPointsWithDecimals)->Unit(benchmark::kMillisecond);

} // namespace
