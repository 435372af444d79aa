// DrawView of a plot of 1,000,000 records into a 1280 × 1024 image, at the fit zoom and at 64
// times that, with and without "Show Polygons (rgb)": the drawing area's canvas against its bar
// of 0.15 s, and one QPainter call per record as it was drawn before. The plot holds short
// strokes, or lines between random points of the whole field. Each case runs on the processors
// the program may use, and bound to one of them as `taskset -c` would bind it.
#include "drawing_view.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <random>

#include <sched.h>

#include "per_record_canvas.h"
#include "qt_canvas.h"

namespace ondrel {
namespace {

constexpr double kBarSeconds = 0.15;
constexpr AreaSize kArea{1280, 1024};

// Small shapes row by row across the field, as a large plot brings them: a jump to each, then a
// single mark or a chain of short strokes.
const ConverterState& ShortStrokes() {
    static const ConverterState state = [] {
        ConverterState s;
        s.drawing.VectorStream.reserve(1000000);
        std::mt19937 random(4);
        std::uniform_real_distribution<float> stroke(-120, 120);
        float row = 32000, column = -32000;
        while (s.VectorCount() < 1000000) {
            column += 400;
            if (column > 32000) {
                column = -32000;
                row = row < -31600 ? 32000 : row - 400;
            }
            float x = column, y = row;
            s.drawing.VectorStream.push_back({Jump, x, y});
            const int marks = 1 + static_cast<int>(random() % 12);
            for (int i = 0; i < marks; ++i) {
                x += stroke(random);
                y += stroke(random);
                const auto kind = marks == 1 ? Single : i == 0 ? ChainStart : i == marks - 1 ? ChainEnd : ChainMiddle;
                s.drawing.VectorStream.push_back({static_cast<std::uint8_t>(kind), x, y});
            }
        }
        s.drawing.VectorStream.resize(1000000);
        s.drawing.Bounds = {-32200, 32200, -32200, 32200};
        s.field.FieldGain = 1;
        return s;
    }();
    return state;
}

// A jump to a random point of the field and a chain of two marks to two others, as a plot of
// "PA x,y;PD x1,y1,x2,y2;PU;" brings them.
const ConverterState& LongLines() {
    static const ConverterState state = [] {
        ConverterState s;
        std::mt19937 random(5);
        std::uniform_real_distribution<float> field(-32765, 32765);
        const std::uint8_t kinds[] = {Jump, ChainStart, ChainEnd};
        for (int i = 0; i < 1000000; ++i) s.drawing.VectorStream.push_back({kinds[i % 3], field(random), field(random)});
        s.drawing.Bounds = {-32765, 32765, -32765, 32765};
        s.field.FieldGain = 1;
        return s;
    }();
    return state;
}

// Binds the calling thread to the first processor it may run on while it lives.
class OneProcessor {
public:
    OneProcessor() {
        CPU_ZERO(&usable_);
        sched_getaffinity(0, sizeof usable_, &usable_);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &usable_)) {
                CPU_SET(cpu, &one);
                break;
            }
        }
        sched_setaffinity(0, sizeof one, &one);
    }
    ~OneProcessor() { sched_setaffinity(0, sizeof usable_, &usable_); }
    OneProcessor(const OneProcessor&) = delete;
    OneProcessor& operator=(const OneProcessor&) = delete;

private:
    cpu_set_t usable_;
};

// range(0): 1 the converter's canvas, 0 one QPainter call per record; range(1): the zoom over
// the fit zoom; range(2): 1 with "Show Polygons (rgb)"; range(3): 1 the long lines; range(4): 1
// bound to one processor.
void DrawMillionRecords(benchmark::State& bench) {
    std::optional<OneProcessor> bound;
    if (bench.range(4) == 1) bound.emplace();
    ConverterState state = bench.range(3) == 1 ? LongLines() : ShortStrokes();
    FitView(state.view, kArea);
    state.view.ViewZoom *= static_cast<float>(bench.range(1));
    state.view.ViewCenterX = 1000;
    state.view.ViewCenterY = -2000;
    state.view.ShowPolygons = bench.range(2) == 1;
    QImage image(kArea.width, kArea.height, QImage::Format_RGB32);
    double seconds = 0;
    for (auto _ : bench) {
        const auto start = std::chrono::steady_clock::now();
        if (bench.range(0) == 1) {
            QtCanvas canvas(image, Qt::white);
            DrawView(state, kArea, canvas);
        } else {
            PerRecordCanvas canvas(image, Qt::white);
            DrawView(state, kArea, canvas);
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(image.constBits());
    }
    bench.counters["time_over_bar"] = seconds / static_cast<double>(bench.iterations()) / kBarSeconds;
    bench.SetItemsProcessed(bench.iterations() * state.VectorCount());
}
BENCHMARK(DrawMillionRecords)
    ->ArgNames({"canvas", "zoom", "polygons", "long", "one_cpu"})
    ->ArgsProduct({{1, 0}, {1, 64}, {0, 1}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace ondrel
