// Host cost of a list command through the public export (board test, board lock, packing and
// batching) on a simulated board without a trace. The bar: 10 million list commands a second.
#include "context.h"
#include "quarnel4.h"
#include "sim/sim_driver.h"
#include "startup.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr double kBarPerSecond = 10e6;

struct ListBenchBoard {
    ListBenchBoard() {
        std::string error;
        driver = std::make_shared<quarnel::sim::SimDriver>(*quarnel::sim::parse_sim_config("2d", error));
        ctx.driver = driver;
        ctx.platform.sleep_ms = [](unsigned) {};
        quarnel::enumerate_boards(ctx);
        quarnel::set_current_context(&ctx);
    }
    ~ListBenchBoard() { quarnel::set_current_context(nullptr); }
    std::shared_ptr<quarnel::sim::SimDriver> driver;
    quarnel::Context ctx;
};

void JumpAbsExport(benchmark::State& state) {
    ListBenchBoard board;
    set_start_list_1();
    std::int32_t i = 0;
    for (auto _ : state) {
        jump_abs(i, -i);
        if (++i == 490000) { // a converter-sized list, then the list is opened again
            i = 0;
            set_start_list_1();
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["ratio_to_bar"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / kBarPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(JumpAbsExport);

} // namespace
