// The path optimiser at the 30000-record limit, against its time bars and against the plain
// procedure, and how short its jumps are against a lower bound. Ratios, one run each.
#include "optimizer.h"
#include "optimizer_drawings.h"
#include "optimizer_reference.h"
#include "optimizer_segments.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

namespace ondrel {
namespace {

double Seconds(auto&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The two drawings at the 30000-record limit: 15000 random single segments, and 15000
// strokes hatching a disc.
const Drawing& LimitDrawing()
{
    static const Drawing drawing = drawings::RandomSingles(MaxOptimizerVectors / 2, 2024);
    return drawing;
}

const Drawing& LimitHatching()
{
    static const Drawing drawing = drawings::Hatching(MaxOptimizerVectors / 2, 2025);
    return drawing;
}

using OptimizeMode = OptimizeOutcome (*)(Drawing&, const FieldTransform&, OptimizerProgress&);

double RunOnce(OptimizeMode optimize, const Drawing& original)
{
    Drawing drawing = original;
    SilentProgress progress;
    return Seconds([&] { benchmark::DoNotOptimize(optimize(drawing, {}, progress)); });
}

// "Slow and good" against its bar of half a second, and against "Quick and dirty" on the
// same drawing in the same run.
void SlowAndGoodAgainstBar(benchmark::State& state, const Drawing& (*drawing)())
{
    constexpr double BarSeconds = 0.5;
    double good = 0, quick = 0;
    for (auto _ : state) {
        good += RunOnce(OptimizeGood, drawing());
        quick += RunOnce(OptimizeFast, drawing());
    }
    const double iterations = double(state.iterations());
    state.counters["seconds"] = good / iterations;
    state.counters["time_over_bar"] = good / iterations / BarSeconds;
    state.counters["over_quick_and_dirty"] = good / quick;
}
BENCHMARK_CAPTURE(SlowAndGoodAgainstBar, random_singles_at_limit, LimitDrawing)
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SlowAndGoodAgainstBar, hatching_at_limit, LimitHatching)
    ->Unit(benchmark::kMillisecond)->Iterations(3);

void QuickAndDirtyAtLimit(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state)
        total += RunOnce(OptimizeFast, LimitDrawing());
    state.counters["time_over_bar"] = total / double(state.iterations()) / 0.3;
}
BENCHMARK(QuickAndDirtyAtLimit)->Unit(benchmark::kMillisecond)->Iterations(5);

// The plain procedure (a full rescan of all pairs after every join) at 2000 singles,
// beside the fast one on the same drawing and on the drawing at the limit.
void PlainProcedureAt2000Singles(benchmark::State& state)
{
    const Drawing small = drawings::RandomSingles(2000, 77);
    double plain = 0, fast = 0;
    for (auto _ : state) {
        plain = Seconds([&] { benchmark::DoNotOptimize(reference::OptimizeGood(small, {})); });
        Drawing copy = small;
        SilentProgress progress;
        fast = Seconds([&] { OptimizeGood(copy, {}, progress); });
    }
    Drawing limit = LimitDrawing();
    SilentProgress progress;
    const double fastAtLimit = Seconds([&] { OptimizeGood(limit, {}, progress); });
    state.counters["plain_over_fast_same_drawing"] = plain / fast;
    state.counters["plain_2000_over_fast_30000_records"] = plain / fastAtLimit;
    state.counters["plain_2000_seconds"] = plain;
}
BENCHMARK(PlainProcedureAt2000Singles)->Unit(benchmark::kMillisecond)->Iterations(1);

// Total jump length of a record stream, from the home point.
double JumpLength(const std::vector<VectorRecord>& stream, BitPoint home)
{
    double total = 0;
    double x = home.x, y = home.y;
    for (const VectorRecord& r : stream) {
        if (r.kind == Jump)
            total += std::hypot(r.x - x, r.y - y);
        x = r.x;
        y = r.y;
    }
    return total;
}

// Minimum spanning tree over the home point and the segments, an edge being the shortest
// distance between two segments' end points: no order of the segments jumps less.
double SpanningTreeBound(const Drawing& drawing)
{
    const SegmentArray s = LoadSegments(drawing, {});
    const std::size_t n = s.size();
    auto gap = [&](std::size_t a, std::size_t b) {
        double best = std::numeric_limits<double>::infinity();
        for (const BitPoint p : {s[a].start, s[a].end})
            for (const BitPoint q : {s[b].start, s[b].end})
                best = std::min(best, std::hypot(double(p.x) - q.x, double(p.y) - q.y));
        return best;
    };
    std::vector<double> reach(n, std::numeric_limits<double>::infinity());
    std::vector<char> inTree(n, 0);
    double total = 0;
    std::size_t next = 0;
    reach[0] = 0;
    for (std::size_t step = 0; step < n; ++step) {
        const std::size_t u = next;
        inTree[u] = 1;
        total += reach[u];
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t v = 0; v < n; ++v) {
            if (inTree[v])
                continue;
            reach[v] = std::min(reach[v], gap(u, v));
            if (reach[v] < nearest) {
                nearest = reach[v];
                next = v;
            }
        }
    }
    return total;
}

void JumpLengthOverSpanningTree(benchmark::State& state, const Drawing& drawing)
{
    double bound = 0, input = 0, quick = 0, good = 0;
    for (auto _ : state) {
        bound = SpanningTreeBound(drawing);
        input = JumpLength(drawing.VectorStream, {0, 0});
        SilentProgress progress;
        Drawing fast = drawing;
        OptimizeFast(fast, {}, progress);
        quick = JumpLength(fast.VectorStream, {0, 0});
        Drawing slow = drawing;
        OptimizeGood(slow, {}, progress);
        good = JumpLength(slow.VectorStream, {0, 0});
    }
    state.counters["input_over_bound"] = input / bound;
    state.counters["quick_over_bound"] = quick / bound;
    state.counters["good_over_bound"] = good / bound;
}
BENCHMARK_CAPTURE(JumpLengthOverSpanningTree, random_segments, drawings::RandomSingles(3000, 5))
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(JumpLengthOverSpanningTree, dots, drawings::Dots(3000, 6))
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(JumpLengthOverSpanningTree, hatching, drawings::Hatching(1500, 7))
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(JumpLengthOverSpanningTree, text, drawings::Text(1500, 8))
    ->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace ondrel
