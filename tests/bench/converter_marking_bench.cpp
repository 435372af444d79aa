// The whole marking run of a 1,000,000-record drawing (three list fills) into a simulated 2-D
// board at full speed without a trace, from the handler's start to the finished label, against
// the USB full-speed ceiling for the same list commands (about 133,000 per second).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "../app/core/fake_run_window.h"
#include "../app/core/fakes.h"
#include "library_binding.h"
#include "marking_run.h"
#include "quarnel4.h"

namespace {

using namespace ondrel;

constexpr double kUsbListCommandsPerSecond = 133000.0;
constexpr std::int32_t kRecords = 1'000'000;

// Puts one simulated board on the bus, without a trace or a motion file.
void PlugSimulatedBoard() {
    static const bool plugged = [] {
        const std::filesystem::path locks = std::filesystem::temp_directory_path() / "ondrel-bench-locks";
        std::filesystem::create_directories(locks);
        setenv("QUARNEL_LOCK_DIR", locks.c_str(), 1);
        setenv("QUARNEL_SIM", "2d", 1);
        unsetenv("QUARNEL_SIM_TRACE");
        unsetenv("QUARNEL_SIM_MOTION");
        setenv("QUARNEL_SIM_SPEED", "0", 1);
        std::uint32_t count = 0;
        usb_reinitialize(&count);
        return count == 1;
    }();
    if (!plugged) std::abort();
}

void MarkMillionRecordDrawing(benchmark::State& bench) {
    PlugSimulatedBoard();
    ConverterState state;
    state.CorrectionLoaded = 1;
    state.field.FieldGain = 1.0f;
    state.drawing.DrawingScale = 1.0f;
    state.drawing.VectorStream.reserve(kRecords);
    for (std::int32_t i = 0; i < kRecords; ++i)
        state.drawing.VectorStream.push_back(
            {static_cast<std::uint8_t>(i % 4 == 0 ? Jump : Single), static_cast<float>(i % 60001 - 30000),
             static_cast<float>((i * 7) % 60001 - 30000)});
    fakes::RecordingNotifier notifier;
    SharedBoard board(BoundLibrary());
    for (auto _ : bench) {
        fakes::FakeRunWindow window(state);
        if (StartMarking(state, board, notifier, window) != MarkingEnd::Finished) std::abort();
    }
    bench.SetItemsProcessed(bench.iterations() * kRecords);
    // Seconds the USB ceiling needs for these list commands, per run.
    bench.counters["usb_ceiling_s"] = kRecords / kUsbListCommandsPerSecond;
    // The ceiling's time over the run's time: the bar is 10.
    bench.counters["ceiling_over_run"] =
        benchmark::Counter(kRecords / kUsbListCommandsPerSecond, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(MarkMillionRecordDrawing)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace
