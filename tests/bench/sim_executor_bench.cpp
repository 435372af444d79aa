// The simulated board's executor on a full list: 490000 jumps and marks, run as fast as it can.
// ratio_to_bar: how many such lists run in the one second a full list may take at most.
#include <benchmark/benchmark.h>

#include <limits>
#include <vector>

#include "sim/list_executor.h"
#include "sim/list_firmware.h"
#include "sim/sim_board.h"

namespace quarnel::sim {
namespace {

constexpr std::uint32_t kVectors = 490000;

class FlatMemory : public WordMemory {
public:
    FlatMemory() : words_(kListBase + 4 * kListEnd, kUnwrittenWord) {}
    std::uint16_t read_word(std::uint32_t a) const override { return words_[a]; }
    void write_word(std::uint32_t a, std::uint16_t v) override { words_[a] = v; }
    void clear_words(std::uint32_t first, std::uint32_t count) override {
        std::fill_n(words_.begin() + first, count, kUnwrittenWord);
    }
    void read_entry(std::uint32_t a, std::uint16_t (&w)[4]) const override {
        std::copy_n(words_.begin() + a, 4, w);
    }

private:
    std::vector<std::uint16_t> words_;
};

// A drawing's worth of vectors: a jump, then marks around a small square, over and over.
void fill_list(WordMemory& memory) {
    std::uint32_t a = kListBase;
    auto put = [&](std::uint16_t op, int x, int y) {
        memory.write_word(a++, op);
        memory.write_word(a++, static_cast<std::uint16_t>(x));
        memory.write_word(a++, static_cast<std::uint16_t>(y));
        memory.write_word(a++, 0);
    };
    for (std::uint32_t i = 0; i < kVectors; ++i) {
        const int x = static_cast<int>(i % 4000) * 16 - 32000;
        put(i % 5 == 0 ? 2 : 3, x + static_cast<int>(i % 5) * 8, x / 2);
    }
    put(1, 0, 0);
}

void BM_ExecuteFullList(benchmark::State& state) {
    FlatMemory memory;
    fill_list(memory);
    for (auto _ : state) {
        ListExecutor executor;
        executor.start(0);
        const auto n = executor.advance(memory, std::numeric_limits<double>::infinity(),
                                        10'000'000, ListExecutor::Pace::FlatOut);
        if (n != kVectors + 1 || executor.busy()) state.SkipWithError("list did not finish");
        benchmark::DoNotOptimize(executor.head());
    }
    state.SetItemsProcessed(state.iterations() * (kVectors + 1));
    state.counters["ratio_to_bar"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExecuteFullList)->Unit(benchmark::kMillisecond);

// The same list in a simulated board's own memory, started by mailbox command 1 and run flat
// out before the board answers the next transfer.
class BoardWords : public WordMemory {
public:
    explicit BoardWords(SimBoard& board) : board_(board) {}
    std::uint16_t read_word(std::uint32_t a) const override { return board_.peek(a); }
    void write_word(std::uint32_t a, std::uint16_t v) override { board_.poke(a, v); }
    void clear_words(std::uint32_t, std::uint32_t) override {}

private:
    SimBoard& board_;
};

void BM_BoardRunsFullList(benchmark::State& state) {
    SimBoard board(1, SimBoardConfig{});
    BoardWords words(board);
    fill_list(words);
    // mailbox packets: execute list 1, then get_status (word 0 last, at word address 0x309)
    auto packet = [](std::uint8_t code) {
        std::vector<std::uint8_t> p{0x14, 0x00, 0x06, 0x00, 0x00};
        p.resize(25, 0);
        p[23] = code;
        return p;
    };
    const auto execute = packet(1), status = packet(84);
    for (auto _ : state) {
        board.transfer_out(execute.data(), 25);
        board.transfer_out(status.data(), 25);
        if (board.peek(0x308) != 1) state.SkipWithError("list did not finish");
    }
    state.SetItemsProcessed(state.iterations() * (kVectors + 1));
    state.counters["ratio_to_bar"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BoardRunsFullList)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quarnel::sim
