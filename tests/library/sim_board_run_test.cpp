// Lists run on a simulated board and followed through the library's query exports, as a host
// program sees them: busy bits, position, timer, external start and stop input.
#include "context.h"
#include "quarnel4.h"
#include "sim/list_firmware.h"
#include "sim_bus.h"
#include "usb/usb_driver.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace quarnel {
namespace {

using Entry = std::array<std::uint16_t, 4>;
constexpr Entry kEnd{1, 0, 0, 0};
constexpr std::uint16_t kBusyBits = 0x30;

// Timed jump by (1, 0) taking 1 ms.
constexpr Entry kStep{23, 1, 0, 100};

class BoardUnderTest {
public:
    explicit BoardUnderTest(const std::string& config = "2d") : bus(config) {
        set_current_context(&bus.ctx);
    }
    ~BoardUnderTest() { set_current_context(nullptr); }

    sim::ListFirmware& firmware() {
        return dynamic_cast<sim::ListFirmware&>(bus.board(1).firmware());
    }
    // The board's clock follows the test instead of running flat out.
    void clocked() {
        bus.board(1).with_lock([this](sim::SimBoard&) { firmware().set_speed(1.0); });
    }

    // Writes a list from a position on through the library's batching.
    void write_list(std::uint32_t position, const std::vector<Entry>& entries) {
        std::lock_guard hold(bus.ctx.board_lock[1]);
        flush_list_batch(bus.ctx, 1);
        bus.slot(1).input_pointer = kListMemoryAddress + 4 * position;
        for (const Entry& e : entries) append_list_entry(bus.ctx, 1, e[0], e[1], e[2], e[3]);
        flush_list_batch(bus.ctx, 1);
    }

    std::vector<std::string> errors() {
        std::vector<std::string> out;
        bus.board(1).with_lock([&](sim::SimBoard&) { out = firmware().executor().errors(); });
        return out;
    }

    std::int16_t x() {
        std::int16_t x = 0, y = 0;
        n_get_xy_pos(1, &x, &y);
        return x;
    }

    testing::SimBus bus;
};

TEST(BoardRun, ReadStatusShowsWhichListIsBusy) {
    BoardUnderTest r;
    r.clocked();
    r.write_list(0, {kStep, kStep, kEnd});
    r.write_list(500000, {kStep, kEnd});
    const std::uint16_t rest = n_read_status(1);
    EXPECT_EQ(rest & kBusyBits, 0);
    n_execute_list_1(1);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0x10);
    r.bus.board(1).advance_clock(1250);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0x10);
    EXPECT_EQ(r.x(), 1); // a quarter of the way from 1 to 2
    r.bus.board(1).advance_clock(1250);
    EXPECT_EQ(n_read_status(1), rest);
    n_execute_list_2(1);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0x20);
    r.bus.board(1).advance_clock(1000);
    EXPECT_EQ(n_read_status(1), rest);
    EXPECT_EQ(r.x(), 3);
}

TEST(BoardRun, AutoChangeWhileList1IsBusyContinuesWithList2) {
    BoardUnderTest r;
    r.clocked();
    r.write_list(0, {kStep, kStep, kEnd});
    r.write_list(500000, {kStep, kStep, kEnd});
    n_execute_list_1(1);
    r.bus.board(1).advance_clock(500);
    n_auto_change(1);
    r.bus.board(1).advance_clock(2000);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0x20);
    std::uint16_t busy = 0;
    std::int32_t position = 0;
    n_get_status(1, &busy, &position);
    EXPECT_EQ(busy, 0xFFFF);
    EXPECT_EQ(position, 500000);
    r.bus.board(1).advance_clock(2000);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0);
    EXPECT_EQ(r.x(), 4);
}

TEST(BoardRun, EndlessListJumpLoopEndsWithStopExecution) {
    BoardUnderTest r; // flat out: every transfer runs a budget of the loop
    r.bus.board(1).with_lock([&r](sim::SimBoard&) { r.firmware().set_entries_per_transfer(100); });
    r.write_list(0, {{2, 100, 0, 0}, {3, 200, 0, 0}, {16, 0, 0, 0}});
    n_execute_list_1(1);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0x10);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0x10);
    n_stop_execution(1);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0);
    EXPECT_TRUE(r.errors().empty());
}

TEST(BoardRun, GetTimeReportsTheTimeBetweenTimerSaves) {
    BoardUnderTest r;
    // 2.5 ms of delay and 10 ms of a timed mark between the saves; the second delay after
    // the last save is not counted.
    r.write_list(0, {{44, 0, 0, 0}, {10, 250, 0, 0}, {22, 5, 5, 1000}, {44, 0, 0, 0},
                     {10, 500, 0, 0}, kEnd});
    EXPECT_EQ(n_get_time(1), 0.0);
    n_execute_list_1(1);
    EXPECT_DOUBLE_EQ(n_get_time(1), 1250 * 0.00001);
}

TEST(BoardRun, ExternalStartStartsTheSelectedListAndIsReportedOnce) {
    BoardUnderTest r("2d:extstart=1");
    r.write_list(500000, {{2, 77, 0, 0}, kEnd});
    n_select_list(1, 1); // the external start begins at list 2
    EXPECT_EQ(n_get_startstop_info(1), 0);
    n_set_control_mode(1, 1);
    EXPECT_EQ(n_get_startstop_info(1), 0x02);
    EXPECT_EQ(n_get_startstop_info(1), 0);
    EXPECT_EQ(r.x(), 77);
}

TEST(BoardRun, StopInputStopsTheRunningList) {
    BoardUnderTest r("2d:stopinput=5");
    r.write_list(0, {kStep, kStep, kStep, kStep, kStep, kStep, kStep, kStep, kEnd});
    EXPECT_EQ(n_get_startstop_info(1), 0);
    n_execute_list_1(1);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0);
    EXPECT_EQ(n_get_startstop_info(1), 0x08);
    EXPECT_EQ(r.x(), 6); // the sixth step had begun at 5 ms
}

TEST(BoardRun, LostBatchInTheMiddleOfAListShowsOnTheBoard) {
    BoardUnderTest r;
    // The second batch of seven entries fails on the wire; the pointer moves on regardless.
    r.bus.board(1).fail_transfer(r.bus.board(1).transfers() + 2);
    std::vector<Entry> list(14, Entry{4, 1, 0, 0});
    list.push_back(kEnd);
    r.write_list(0, list);
    n_execute_list_1(1);
    EXPECT_EQ(n_read_status(1) & kBusyBits, 0);
    EXPECT_EQ(r.x(), 7);
    ASSERT_EQ(r.errors().size(), 1u);
    EXPECT_EQ(r.errors()[0], "list position 7: unwritten list memory");
}

// QUARNEL_SIM_SPEED as the library reads it at load: a plain number 0 or above, else 0.
TEST(BoardRun, SpeedFromTheEnvironment) {
    struct Case {
        const char* text;
        double speed;
    };
    const Case cases[] = {{"", 0.0}, {"1", 1.0}, {"0.25", 0.25}, {"10", 10.0}, {"0", 0.0},
                          {"-1", 0.0}, {"1e3", 0.0}, {"nan", 0.0}, {"fast", 0.0}, {"1 ", 0.0}};
    const std::string saved_sim = std::getenv("QUARNEL_SIM") ? std::getenv("QUARNEL_SIM") : "";
    const bool had_sim = std::getenv("QUARNEL_SIM") != nullptr;
    ::setenv("QUARNEL_SIM", "2d", 1);
    for (const Case& c : cases) {
        ::setenv("QUARNEL_SIM_SPEED", c.text, 1);
        const auto driver = std::dynamic_pointer_cast<sim::SimDriver>(driver_from_environment(nullptr));
        ASSERT_TRUE(driver);
        EXPECT_EQ(driver->speed(), c.speed) << '"' << c.text << '"';
    }
    ::unsetenv("QUARNEL_SIM_SPEED");
    had_sim ? ::setenv("QUARNEL_SIM", saved_sim.c_str(), 1) : ::unsetenv("QUARNEL_SIM");
}

// A board that runs for days keeps no record of its commands unless a test asks for one.
TEST(BoardRun, CommandLogOnlyWhenAsked) {
    sim::SimConfig config;
    config.boards.resize(1);
    sim::SimDriver driver(config, "2d");
    sim::SimBoard& board = driver.board(1);
    board.poke(kListMemoryAddress, 1); // end of list
    const std::uint8_t execute[25] = {0x14, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0,    0, 0, 0, 0, 0, 1, 0};
    for (int i = 0; i < 1000; ++i) board.transfer_out(execute, 25);
    EXPECT_TRUE(board.mailbox_log().empty());
    board.keep_mailbox_log();
    board.transfer_out(execute, 25);
    ASSERT_EQ(board.mailbox_log().size(), 1u);
    EXPECT_EQ(board.mailbox_log()[0].words[0], 1);
}

TEST(BoardRun, ScaledClockRunsTheListInRealTime) {
    sim::SimConfig config;
    config.boards.resize(1);
    sim::SimDriver driver(config, "2d", "", "", 1000.0); // a thousand times real time
    sim::SimBoard& board = driver.board(1);
    const std::uint8_t execute[25] = {0x14, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0,    0, 0, 0, 0, 0, 1, 0};
    // two seconds of list time: a long delay of 200000 ticks in four entries
    for (std::uint32_t i = 0; i < 4; ++i) {
        board.poke(kListMemoryAddress + 4 * i, 10);
        board.poke(kListMemoryAddress + 4 * i + 1, 50000);
    }
    board.poke(kListMemoryAddress + 16, 1);
    const auto start = std::chrono::steady_clock::now();
    board.transfer_out(execute, 25);
    bool busy = true;
    while (busy && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        board.transfer_out(execute, 0); // any transfer lets the board catch up
        board.with_lock([&](sim::SimBoard& b) {
            busy = dynamic_cast<sim::ListFirmware&>(b.firmware()).executor().busy();
        });
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(busy);
    EXPECT_GE(took.count(), 0.0015);
    EXPECT_LT(took.count(), 1.0);
}

} // namespace
} // namespace quarnel
