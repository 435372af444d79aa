// The drawing export of 1,000,000 records in both formats, written to a file, against its bar
// of 50 MB/s.
#include "drawing_export.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace ondrel {
namespace {

constexpr double kBarBytesPerSecond = 50e6;

const Drawing& MillionRecords() {
    static const Drawing drawing = [] {
        Drawing d;
        d.VectorStream.reserve(1000000);
        for (std::int64_t i = 0; i < 1000000; ++i)
            d.VectorStream.push_back({static_cast<std::uint8_t>(i % 4 == 0 ? 0 : 3),
                                      static_cast<float>((i * 7919) % 65001 - 32500),
                                      static_cast<float>((i * 104729) % 65001 - 32500)});
        d.DrawingScale = 65530.0f / 65000.0f;
        return d;
    }();
    return drawing;
}

// The text made and written out whole, as the save does it.
void ExportMillionRecords(benchmark::State& bench, ExportFormat format) {
    const Drawing& drawing = MillionRecords();
    FieldTransform field;
    field.FieldGain = 1.0f;
    const std::string path = (std::filesystem::temp_directory_path() / "ondrel-export-bench.out").string();
    double seconds = 0, bytes = 0;
    for (auto _ : bench) {
        const auto start = std::chrono::steady_clock::now();
        const std::string text = DrawingFileText(drawing, field, format);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0)
            bench.SkipWithError("write failed");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bytes += static_cast<double>(text.size());
    }
    std::remove(path.c_str());
    bench.counters["MB_per_s"] = bytes / seconds / 1e6;
    bench.counters["bar_over_rate"] = kBarBytesPerSecond / (bytes / seconds);
}
BENCHMARK_CAPTURE(ExportMillionRecords, HPGL, ExportFormat::HPGL)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(ExportMillionRecords, Vector, ExportFormat::Vector)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
} // namespace ondrel
