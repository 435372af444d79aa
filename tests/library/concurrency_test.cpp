// Two threads on two boards: the transport lock keeps every request/reply pair together on
// the wire, and each board sees only its own traffic.
#include "sim_bus.h"

#include <sstream>
#include <thread>

namespace quarnel::testing {
namespace {

void work_on_board(Context& ctx, std::uint16_t b, int rounds) {
    for (int i = 0; i < rounds; ++i) {
        std::lock_guard<std::recursive_mutex> hold(ctx.board_lock[b]);
        const std::uint16_t words[2] = {b, static_cast<std::uint16_t>(i)};
        writemem(ctx, b, 0x1000 + 2u * static_cast<std::uint32_t>(i), 2, words);
        append_list_entry(ctx, b, b, static_cast<std::uint16_t>(i), 0, 0);
        ctx.slots[b].command_mailbox[0] = 17;
        exchange_mailbox(ctx, b, 0, 1);
        std::uint16_t back[2] = {};
        std::uint16_t* p = back;
        readmem(ctx, b, 0x1000 + 2u * static_cast<std::uint32_t>(i), 2, p);
        EXPECT_EQ(back[0], b);
        EXPECT_EQ(back[1], i);
    }
}

TEST(Concurrency, TwoThreadsOnTwoBoardsNeverSplitAnExchange) {
    SimBus bus("2d,3d");
    bus.board(1).set_busy_polls(3);
    bus.board(2).set_busy_polls(1);
    bus.mark();
    constexpr int kRounds = 200;
    std::thread first(work_on_board, std::ref(bus.ctx), std::uint16_t{1}, kRounds);
    std::thread second(work_on_board, std::ref(bus.ctx), std::uint16_t{2}, kRounds);
    first.join();
    second.join();

    const auto wire = bus.wire();
    std::size_t pairs = 0;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const std::string& line = wire[i];
        const bool read_request = line.find(" OUT 8") != std::string::npos ||
                                  line.find(" OUT 9") != std::string::npos;
        if (!read_request)
            continue;
        ASSERT_LT(i + 1, wire.size());
        EXPECT_EQ(wire[i + 1].substr(0, 5), line.substr(0, 1) + " IN ") << "line " << i;
        ++pairs;
    }
    // Each round: (busy polls + 1) polls and one read per board.
    EXPECT_EQ(pairs, static_cast<std::size_t>(kRounds) * ((3 + 1 + 1) + (1 + 1 + 1)));
    EXPECT_EQ(bus.slot(1).last_status, 0u);
    EXPECT_EQ(bus.slot(2).last_status, 0u);
    EXPECT_EQ(bus.slot(1).input_pointer, 0x20000u + 4 * kRounds);
    EXPECT_EQ(bus.board(2).peek(0x20000 + 4 * (kRounds - 1)), 2);
}

} // namespace
} // namespace quarnel::testing
