// List commands for marking on the fly, the external start and the regulation: the entry each
// call appends for plain, clamped, NaN and limit arguments, the board forms, and the words as
// they reach the board's list memory.
#include "list_batch.h"
#include "quarnel4.h"
#include "sim/list_firmware.h"
#include "sim_bus.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace quarnel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using FlyCommandTest = testing::ListBatchTest;

TEST_F(FlyCommandTest, FlyFactorsAreScaledBy2To21WithTheirFlag) {
    const std::vector<testing::EntryCase> cases = {
        {"set_fly_x(1.0)", [] { set_fly_x(1.0); }, {28, 0x0020, 0, 1}},
        {"set_fly_x(-0.5)", [] { set_fly_x(-0.5); }, {28, 0xFFF0, 0, 1}},
        {"set_fly_x(0.0)", [] { set_fly_x(0.0); }, {28, 0, 0, 0}},
        {"set_fly_x(1001.0)", [] { set_fly_x(1001.0); }, {28, 0, 0, 0}},
        {"set_fly_x(-1001.0)", [] { set_fly_x(-1001.0); }, {28, 0, 0, 0}},
        // Just below the top: 1000.9999 x 2^21 still fits a signed 32-bit value.
        {"set_fly_x(1000.9999)", [] { set_fly_x(1000.9999); }, {28, 0x7D1F, 0xFF2E, 1}},
        {"set_fly_x(-1000.9999)", [] { set_fly_x(-1000.9999); }, {28, 0x82E0, 0x00D2, 1}},
        // Below 0.00009 the code is still sent, without the flag.
        {"set_fly_y(0.00005)", [] { set_fly_y(0.00005); }, {29, 0, 105, 0}},
        {"set_fly_y(0.00009)", [] { set_fly_y(0.00009); }, {29, 0, 189, 1}},
        {"set_fly_y(-0.00009)", [] { set_fly_y(-0.00009); }, {29, 0xFFFF, 0xFF43, 1}},
        // Halves go to even: 2.5 / 2^21 and 3.5 / 2^21.
        {"set_fly_y(2.5 / 2^21)", [] { set_fly_y(2.5 / 2097152.0); }, {29, 0, 2, 0}},
        {"set_fly_y(3.5 / 2^21)", [] { set_fly_y(3.5 / 2097152.0); }, {29, 0, 4, 0}},
        // A real that is not a number switches the factor off.
        {"set_fly_x(NaN)", [] { set_fly_x(kNaN); }, {28, 0, 0, 0}},
        {"set_fly_y(-inf)", [] { set_fly_y(-kInf); }, {29, 0, 0, 0}},
    };
    expect_entries(cases);
}

TEST_F(FlyCommandTest, RotationAndSpeed) {
    const std::vector<testing::EntryCase> cases = {
        // 137438953500 / 200 = 687194767.5 goes to the even 687194768.
        {"set_fly_rot(200)", [] { set_fly_rot(200); }, {53, 0x28F5, 0xC290, 1}},
        {"set_fly_rot(-200)", [] { set_fly_rot(-200); }, {53, 0xD70A, 0x3D70, 1}},
        {"set_fly_rot(100)", [] { set_fly_rot(100); }, {53, 0, 0, 0}},
        {"set_fly_rot(-100)", [] { set_fly_rot(-100); }, {53, 0, 0, 0}},
        {"set_fly_rot(0)", [] { set_fly_rot(0); }, {53, 0, 0, 0}},
        // Just above 100 the code is near its largest and still fits 32 bits.
        {"set_fly_rot(100.0001)", [] { set_fly_rot(100.0001); }, {53, 0x51EB, 0x7FC1, 1}},
        {"set_fly_rot(1e12)", [] { set_fly_rot(1e12); }, {53, 0, 0, 1}},
        {"set_fly_rot(inf)", [] { set_fly_rot(kInf); }, {53, 0, 0, 1}},
        {"set_fly_rot(NaN)", [] { set_fly_rot(kNaN); }, {53, 0, 0, 0}},
        // 819.2 x 1000 = 819200 = 0x000C8000.
        {"calculate_fly(1, 1000)", [] { calculate_fly(1, 1000); }, {50, 1, 0x000C, 0x8000}},
        {"calculate_fly(2, -1000)", [] { calculate_fly(2, -1000); }, {50, 2, 0xFFF3, 0x8000}},
        {"calculate_fly(1, 3000000)", [] { calculate_fly(1, 3000000); }, {50, 1, 0, 0}},
        {"calculate_fly(1, 2600000)", [] { calculate_fly(1, 2600000); }, {50, 1, 0, 0}},
        {"calculate_fly(1, 2599999)", [] { calculate_fly(1, 2599999); }, {50, 1, 0x7EF3, 0xFCCD}},
        {"calculate_fly(0x10003, NaN)", [] { calculate_fly(0x10003, kNaN); }, {50, 3, 0, 0}},
    };
    expect_entries(cases);
}

TEST_F(FlyCommandTest, ExternalStartDelaysAndPositions) {
    const std::vector<testing::EntryCase> cases = {
        {"simulate_ext_start(-1, 2)", [] { simulate_ext_start(-1, 2); }, {32, 0xFFFE, 2, 0}},
        {"simulate_ext_start(-32767, 0)", [] { simulate_ext_start(-32767, 0); }, {32, 0x8000, 0, 0}},
        {"simulate_ext_start(-32768, 0)", [] { simulate_ext_start(-32768, 0); }, {32, 0x8000, 0, 0}},
        {"simulate_ext_start(0, 1)", [] { simulate_ext_start(0, 1); }, {32, 0, 1, 0}},
        {"simulate_ext_start(32767, 0x10005)", [] { simulate_ext_start(32767, 0x10005); }, {32, 0x7FFF, 5, 0}},
        // The delay is its low 16 bits: 65535 is -1.
        {"simulate_ext_start(65535, 0)", [] { simulate_ext_start(65535, 0); }, {32, 0xFFFE, 0, 0}},
        {"set_ext_start_delay_list(-100, 1)", [] { set_ext_start_delay_list(-100, 1); }, {48, 0xFF9B, 1, 0}},
        {"set_ext_start_delay_list(100, 1)", [] { set_ext_start_delay_list(100, 1); }, {48, 100, 1, 0}},
        {"set_extstartpos_list(0)", [] { set_extstartpos_list(0); }, {34, 0, 0, 0}},
        {"set_extstartpos_list(1)", [] { set_extstartpos_list(1); }, {34, 0, 1, 0}},
        {"set_extstartpos_list(999999)", [] { set_extstartpos_list(999999); }, {34, 15, 0x423F, 0}},
        {"set_extstartpos_list(1000000)", [] { set_extstartpos_list(1000000); }, {34, 0, 0, 0}},
        {"set_extstartpos_list(-1)", [] { set_extstartpos_list(-1); }, {34, 0, 0, 0}},
        {"set_extstartpos_list(500000)", [] { set_extstartpos_list(500000); }, {34, 7, 0xA120, 0}},
    };
    expect_entries(cases);
}

TEST_F(FlyCommandTest, RegulationLimitsFrequencyAndDistance) {
    const std::vector<testing::EntryCase> cases = {
        {"regulation2(100000, 100)", [] { regulation2(100000, 100); }, {68, 2560, 11, 0}},
        // f' = 1000000, d = 10: trunc(0.1024) + 1.
        {"regulation2(5000000, 1)", [] { regulation2(5000000, 1); }, {68, 256, 1, 0}},
        // f' = 10000 and d limited to f' / 10 = 1000: 0.00004 x 25600 x 1000 = 1024.
        {"regulation3(10, 1e9)", [] { regulation3(10, 1e9); }, {69, 25600, 1025, 0}},
        {"regulation3(-5, -5)", [] { regulation3(-5, -5); }, {69, 25600, 11, 0}},
        // 256000000 / 30000 = 8533.33 gives 8533; 0.00004 x 8533 x 3000 = 1023.96.
        {"regulation2(30000, 5000)", [] { regulation2(30000, 5000); }, {68, 8533, 1024, 0}},
        // NaN takes the low end: f' = 10000, d = 10.
        {"regulation2(NaN, NaN)", [] { regulation2(kNaN, kNaN); }, {68, 25600, 11, 0}},
        {"regulation2(inf, 50)", [] { regulation2(kInf, 50); }, {68, 256, 1, 0}},
        {"regulation()", [] { regulation(); }, {66, 0, 0, 0}},
    };
    expect_entries(cases);
}

TEST_F(FlyCommandTest, CoordinatesAndMagnitudes) {
    const std::vector<testing::EntryCase> cases = {
        {"fly_return(0, 0)", [] { fly_return(0, 0); }, {54, 0, 0, 0}},
        {"fly_return(-1, 70000)", [] { fly_return(-1, 70000); }, {54, 0xFFFF, 4464, 0}},
        {"fly_displacement_ret(5, -6)", [] { fly_displacement_ret(5, -6); }, {76, 5, 0xFFFA, 0}},
        {"drilling(-5, 7)", [] { drilling(-5, 7); }, {65, 5, 7, 0}},
        {"drilling(-32768, 32767)", [] { drilling(-32768, 32767); }, {65, 0x8000, 0x7FFF, 0}},
        {"drilling(0x1FFFF, 0)", [] { drilling(0x1FFFF, 0); }, {65, 1, 0, 0}},
        {"flyline(-32768)", [] { flyline(-32768); }, {67, 0x8000, 0, 0}},
        {"flyline(-300)", [] { flyline(-300); }, {67, 300, 0, 0}},
        {"store_encoder()", [] { store_encoder(); }, {75, 0, 0, 0}},
    };
    expect_entries(cases);
}

TEST_F(FlyCommandTest, BoardFormsActOnTheirBoardOnly) {
    EXPECT_EQ(appended([] { n_set_fly_x(2, 1.0); }, 2), (std::vector<ListEntry>{{28, 0x20, 0, 1}}));
    EXPECT_EQ(ctx.slots[1].batch_count, 0);
    const std::vector<std::function<void()>> refused = {
        [] { n_set_fly_rot(0, 200); },     [] { n_calculate_fly(3, 1, 1); },
        [] { n_regulation2(9, 1e5, 1); },  [] { n_set_extstartpos_list(0xFFFF, 1); },
        [] { n_store_encoder(0x10003); },
    };
    for (const auto& call : refused) {
        EXPECT_TRUE(appended(call, 1).empty());
        EXPECT_TRUE(appended(call, 2).empty());
    }
    ctx.selected_board = 0; // no board was found
    EXPECT_TRUE(appended([] { fly_return(0, 0); }).empty());
}

// Seven commands fill a batch, which reaches the board's list memory as one write.
TEST(FlyCommandsOnTheBoard, EntriesReachListMemoryWordForWord) {
    testing::CurrentBus bus("2d");
    n_set_start_list_1(1);
    set_fly_x(1.0);
    set_fly_rot(200);
    calculate_fly(1, 1000);
    simulate_ext_start(-1, 2);
    regulation2(100000, 100);
    set_extstartpos_list(500000);
    flyline(-32768);
    const std::uint16_t expected[7][4] = {
        {28, 0x0020, 0, 1}, {53, 0x28F5, 0xC290, 1}, {50, 1, 0x000C, 0x8000}, {32, 0xFFFE, 2, 0},
        {68, 2560, 11, 0},  {34, 7, 0xA120, 0},      {67, 0x8000, 0, 0},
    };
    for (int e = 0; e < 7; ++e)
        for (int w = 0; w < 4; ++w)
            EXPECT_EQ(bus.board(1).peek(kListMemoryAddress + 4 * e + w), expected[e][w])
                << "entry " << e << " word " << w;
}

// The board executes every entry of these commands: a list of all of them runs to its end.
TEST(FlyCommandsOnTheBoard, AListOfEveryCommandRunsToItsEnd) {
    testing::CurrentBus bus("2d");
    set_start_list_1();
    set_fly_x(1.0);
    set_fly_y(-0.5);
    set_fly_rot(200);
    calculate_fly(1, 1000);
    simulate_ext_start(-1, 2);
    set_extstartpos_list(500000);
    set_ext_start_delay_list(-5, 1);
    mark_abs(100, 100);
    fly_return(0, 0);
    fly_displacement_ret(1, 1);
    flyline(-300);
    store_encoder();
    drilling(-5, 7);
    regulation();
    regulation2(100000, 100);
    regulation3(5000000, 1);
    time_fix();
    time_fix_f(3);
    mark_time(2, 1);
    mark_date(4, 1);
    mark_serial(12, 10);
    date_check(12, 13, 7);
    set_end_of_list();
    execute_list_1();
    EXPECT_EQ(read_status() & 0x30, 0) << "the list ran to its end";
    bus.board(1).with_lock([](sim::SimBoard& board) {
        EXPECT_EQ(dynamic_cast<sim::ListFirmware&>(board.firmware()).executor().errors(),
                  std::vector<std::string>{});
    });
}

} // namespace
} // namespace quarnel
