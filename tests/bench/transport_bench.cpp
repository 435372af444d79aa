// Host cost of the transport on a simulated board without a trace: one list entry, and one
// full 29-word memory write.
#include "context.h"
#include "sim/sim_driver.h"
#include "startup.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct BenchBoard {
    BenchBoard() {
        std::string error;
        driver = std::make_shared<quarnel::sim::SimDriver>(*quarnel::sim::parse_sim_config("2d", error));
        ctx.driver = driver;
        ctx.platform.sleep_ms = [](unsigned) {};
        quarnel::enumerate_boards(ctx);
    }
    std::shared_ptr<quarnel::sim::SimDriver> driver;
    quarnel::Context ctx;
};

void AppendListEntry(benchmark::State& state) {
    BenchBoard board;
    std::lock_guard<std::recursive_mutex> hold(board.ctx.board_lock[1]);
    std::uint16_t i = 0;
    for (auto _ : state) {
        quarnel::append_list_entry(board.ctx, 1, 0x8001, i, static_cast<std::uint16_t>(i + 1), 0);
        if (++i == 0) // keep the list inside list memory
            board.ctx.slots[1].input_pointer = quarnel::kListMemoryAddress;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(AppendListEntry);

void Writemem29Words(benchmark::State& state) {
    BenchBoard board;
    std::uint16_t words[29];
    for (std::uint16_t k = 0; k < 29; ++k)
        words[k] = static_cast<std::uint16_t>(k * 257);
    for (auto _ : state)
        quarnel::writemem(board.ctx, 1, 0x20000, 29, words);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Writemem29Words);

} // namespace
