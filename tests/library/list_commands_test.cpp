// List commands: the entries each export appends, for plain, clamped, invalid and NaN arguments.
// The entries are read from the board's pending batch, so no transfer takes place.
#include "list_batch.h"
#include "quarnel4.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace quarnel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using ListCommandTest = testing::ListBatchTest;
using testing::kNoOp;

struct PackingCase {
    std::string call;
    std::function<void()> run;
    std::vector<ListEntry> expected;
};

TEST_F(ListCommandTest, EachCommandPacksItsEntries) {
    const std::vector<PackingCase> cases = {
        // Vectors: coordinates as their low 16 bits.
        {"jump_abs(-1, 32767)", [] { jump_abs(-1, 32767); }, {{2, 0xFFFF, 0x7FFF, 0}}},
        {"jump_abs_3d(1, 2, -3)", [] { jump_abs_3d(1, 2, -3); }, {{2, 1, 2, 0xFFFD}}},
        {"mark_abs(70000, 5)", [] { mark_abs(70000, 5); }, {{3, 4464, 5, 0}}},
        {"mark_abs_3d(4, 5, 6)", [] { mark_abs_3d(4, 5, 6); }, {{3, 4, 5, 6}}},
        {"jump_rel(-2, 3)", [] { jump_rel(-2, 3); }, {{4, 0xFFFE, 3, 0}}},
        {"jump_rel_3d(7, 8, 9)", [] { jump_rel_3d(7, 8, 9); }, {{4, 7, 8, 9}}},
        {"mark_rel(10, -11)", [] { mark_rel(10, -11); }, {{5, 10, 0xFFF5, 0}}},
        {"mark_rel_3d(1, 1, -1)", [] { mark_rel_3d(1, 1, -1); }, {{5, 1, 1, 0xFFFF}}},
        {"set_offset_list(-5, 6)", [] { set_offset_list(-5, 6); }, {{9, 0xFFFB, 6, 0}}},
        {"list_nop()", [] { list_nop(); }, {kNoOp}},
        {"set_pixel(7, 8, 9)", [] { set_pixel(7, 8, 9); }, {{0, 7, 8, 0}}},
        // Single-value commands.
        {"write_8bit_port_list(0x1FF)", [] { write_8bit_port_list(0x1FF); }, {{6, 0x1FF, 0, 0}}},
        {"long_delay(100)", [] { long_delay(100); }, {{10, 100, 0, 0}}},
        {"laser_on_list(200)", [] { laser_on_list(200); }, {{11, 200, 0, 0}}},
        {"write_io_port_list(0xFFFF)", [] { write_io_port_list(0xFFFF); }, {{30, 0xFFFF, 0, 0}}},
        {"set_wait(3)", [] { set_wait(3); }, {{31, 3, 0, 0}}},
        {"laser_signal_on_list()", [] { laser_signal_on_list(); }, {{36, 0, 0, 0}}},
        {"laser_signal_off_list()", [] { laser_signal_off_list(); }, {{37, 0, 0, 0}}},
        {"set_firstpulse_killer_list(9)", [] { set_firstpulse_killer_list(9); }, {{38, 9, 0, 0}}},
        {"set_io_cond_list(1, 2, 3)", [] { set_io_cond_list(1, 2, 3); }, {{39, 1, 2, 3}}},
        {"clear_io_cond_list(4, 5, 6)", [] { clear_io_cond_list(4, 5, 6); }, {{40, 4, 5, 6}}},
        {"save_and_restart_timer()", [] { save_and_restart_timer(); }, {{44, 0, 0, 0}}},
        {"set_control_mode_list(5)", [] { set_control_mode_list(5); }, {{46, 5, 0, 0}}},
        {"set_defocus_list(-3)", [] { set_defocus_list(static_cast<std::uint32_t>(-3)); }, {{47, 0xFFFD, 0, 0}}},
        {"list_return()", [] { list_return(); }, {{18, 0, 0, 0}}},
        {"z_out_list(-32768)", [] { z_out_list(-32768); }, {{19, 0, 0, 0}}},
        {"z_out_list(0)", [] { z_out_list(0); }, {{19, 32768, 0, 0}}},
        {"z_out_list(32767)", [] { z_out_list(32767); }, {{19, 65535, 0, 0}}},
        // Analog outputs: limited to 1023, counted as unsigned 16-bit.
        {"write_da_1_list(5000)", [] { write_da_1_list(5000); }, {{7, 1023, 0, 0}}},
        {"write_da_1_list(1023)", [] { write_da_1_list(1023); }, {{7, 1023, 0, 0}}},
        {"write_da_2_list(1024)", [] { write_da_2_list(1024); }, {{8, 1023, 0, 0}}},
        {"write_da_2_list(0x10005)", [] { write_da_2_list(0x10005); }, {{8, 5, 0, 0}}},
        {"write_da_x_list(1, 2000)", [] { write_da_x_list(1, 2000); }, {{7, 1023, 0, 0}}},
        {"write_da_x_list(2, 7)", [] { write_da_x_list(2, 7); }, {{8, 7, 0, 0}}},
        {"write_da_x_list(3, 500)", [] { write_da_x_list(3, 500); }, {}},
        {"write_da_x_list(0, 500)", [] { write_da_x_list(0, 500); }, {}},
        // Speeds: 100 / s * 2^24 with s limited to 0.9..50001; the mark word 10.24 s / pi.
        {"set_jump_speed(1000)", [] { set_jump_speed(1000); }, {{12, 0x0019, 0x999A, 0}}},
        {"set_jump_speed(0.5)", [] { set_jump_speed(0.5); }, {{12, 0x6F1C, 0x71C7, 0}}},
        {"set_jump_speed(60000)", [] { set_jump_speed(60000); }, {{12, 0, 0x8312, 0}}},
        {"set_mark_speed(100)", [] { set_mark_speed(100); }, {{13, 0x0100, 0, 326}}},
        {"set_mark_speed(0.2)", [] { set_mark_speed(0.2); }, {{13, 0x6F1C, 0x71C7, 1}}},
        {"set_mark_speed(30000)", [] { set_mark_speed(30000); }, {{13, 0, 0xDA74, 0xFFFF}}},
        {"set_mark_speed(-inf)", [] { set_mark_speed(-std::numeric_limits<double>::infinity()); },
         {{13, 0x6F1C, 0x71C7, 1}}},
        // Laser delays: magnitude of on, off + 10 below the clamp, sign flags.
        {"set_laser_delays(-100, -5)", [] { set_laser_delays(-100, -5); }, {{14, 100, 2, 3}}},
        {"set_laser_delays(1, 8105)", [] { set_laser_delays(1, 8105); }, {{14, 2, 8115, 0}}},
        {"set_laser_delays(9000, 9000)", [] { set_laser_delays(9000, 9000); }, {{14, 8110, 8110, 0}}},
        {"set_laser_delays(0, 8111)", [] { set_laser_delays(0, 8111); }, {{14, 2, 8110, 0}}},
        {"set_laser_delays(-32768, 1)", [] { set_laser_delays(-32768, 1); }, {{14, 8110, 2, 1}}},
        {"set_scanner_delays(-1, 100, 40000)", [] { set_scanner_delays(-1, 100, 40000); },
         {{15, 0x7FFF, 100, 0x7FFF}}},
        {"set_scanner_delays(0x7FFF, 0x8000, 0)", [] { set_scanner_delays(0x7FFF, 0x8000, 0); },
         {{15, 0x7FFF, 0x7FFF, 0}}},
        // List positions: 0..999999, else the no-operation entry.
        {"set_list_jump(1000000)", [] { set_list_jump(1000000); }, {kNoOp}},
        {"set_list_jump(-1)", [] { set_list_jump(-1); }, {kNoOp}},
        {"set_list_jump(500000)", [] { set_list_jump(500000); }, {{16, 7, 0xA120, 0}}},
        {"set_list_jump(999999)", [] { set_list_jump(999999); }, {{16, 0xF, 0x423F, 0}}},
        {"list_call(0)", [] { list_call(0); }, {{17, 0, 0, 0}}},
        {"list_call(1000000)", [] { list_call(1000000); }, {kNoOp}},
        {"list_jump_cond(1, 2, 999999)", [] { list_jump_cond(1, 2, 999999); }, {{41 + 15 * 4096, 1, 2, 0x423F}}},
        {"list_call_cond(3, 4, 65536)", [] { list_call_cond(3, 4, 65536); }, {{42 + 4096, 3, 4, 0}}},
        {"list_call_cond(3, 4, -1)", [] { list_call_cond(3, 4, -1); }, {kNoOp}},
        // Stand-by: the pulse stays below the period; enabled only with both.
        {"set_standby_list(100, 150)", [] { set_standby_list(100, 150); }, {{20, 1, 100, 99}}},
        {"set_standby_list(0, 5)", [] { set_standby_list(0, 5); }, {{20, 0, 0, 0}}},
        {"set_standby_list(100, 50)", [] { set_standby_list(100, 50); }, {{20, 1, 100, 50}}},
        {"set_standby_list(1, 5)", [] { set_standby_list(1, 5); }, {{20, 0, 1, 0}}},
        {"set_standby_list(100, 0)", [] { set_standby_list(100, 0); }, {{20, 0, 100, 0}}},
        // Timed moves: t / 10 to even, at least 1, at most 0xFFFF.
        {"timed_mark_abs(0, 0, 5)", [] { timed_mark_abs(0, 0, 5); }, {{22, 0, 0, 1}}},
        {"timed_mark_abs(0, 0, 15)", [] { timed_mark_abs(0, 0, 15); }, {{22, 0, 0, 2}}},
        {"timed_mark_abs(0, 0, 700000)", [] { timed_mark_abs(0, 0, 700000); }, {{22, 0, 0, 0xFFFF}}},
        {"timed_jump_abs(1, 2, 25)", [] { timed_jump_abs(1, 2, 25); }, {{21, 1, 2, 2}}},
        {"timed_jump_rel(-1, -2, 35)", [] { timed_jump_rel(-1, -2, 35); }, {{23, 0xFFFF, 0xFFFE, 4}}},
        {"timed_mark_rel(3, 4, -100)", [] { timed_mark_rel(3, 4, -100); }, {{24, 3, 4, 1}}},
        {"timed_mark_rel(3, 4, 655350)", [] { timed_mark_rel(3, 4, 655350); }, {{24, 3, 4, 65535}}},
        // Laser timing: the time base chooses the opcode.
        {"set_laser_timing(100, 20, 30, 0)", [] { set_laser_timing(100, 20, 30, 0); }, {{25, 100, 20, 30}}},
        {"set_laser_timing(100, 20, 30, 1)", [] { set_laser_timing(100, 20, 30, 1); }, {{26, 100, 20, 30}}},
        // Wobble: doubled amplitude up to 5000, 2^20 / 100000 * |f| below 6249 Hz.
        {"set_wobbel(6000, 100)", [] { set_wobbel(6000, 100); }, {{27, 10000, 1049, 0}}},
        {"set_wobbel(6000, -100)", [] { set_wobbel(6000, -100); }, {{27, 10000, 1049, 0}}},
        {"set_wobbel(5000, 6249)", [] { set_wobbel(5000, 6249); }, {{27, 10000, 0xFFFF, 0}}},
        {"set_wobbel(5001, 0)", [] { set_wobbel(5001, 0); }, {{27, 10000, 0, 0}}},
        {"set_wobbel_xy(100, 6000, 100)", [] { set_wobbel_xy(100, 6000, 100); }, {{49, 200, 1049, 10000}}},
        // Pixel lines: two entries, or nothing.
        {"set_pixel_line(1, 4, 2.0, 0.0)", [] { set_pixel_line(1, 4, 2.0, 0.0); },
         {{33, 0, 4, 0}, {0, 0x8000, 0, 0}}},
        {"set_pixel_line(0, 3, -1.0, 0.5)", [] { set_pixel_line(0, 3, -1.0, 0.5); },
         {{33, 2, 1, 0xFFFF}, {0, 0, 0, 0x8000}}},
        {"set_pixel_line(1, 0, 1, 1)", [] { set_pixel_line(1, 0, 1.0, 1.0); }, {}},
        {"set_pixel_line(1, 1, 11000.5, 0)", [] { set_pixel_line(1, 1, 11000.5, 0.0); }, {}},
        {"set_pixel_line(1, 1, 0, -11001)", [] { set_pixel_line(1, 1, 0.0, -11001.0); }, {}},
        // Matrix: m * 2^24 for i, j in 1..2 and |m| <= 101.
        {"set_matrix_list(2, 2, 1.0)", [] { set_matrix_list(2, 2, 1.0); }, {{45, 3, 0x0100, 0}}},
        {"set_matrix_list(1, 1, -1.0)", [] { set_matrix_list(1, 1, -1.0); }, {{45, 0, 0xFF00, 0}}},
        {"set_matrix_list(1, 2, 0.5)", [] { set_matrix_list(1, 2, 0.5); }, {{45, 1, 0x0080, 0}}},
        {"set_matrix_list(2, 1, 101)", [] { set_matrix_list(2, 1, 101); }, {{45, 2, 0x6500, 0}}},
        {"set_matrix_list(3, 1, 1.0)", [] { set_matrix_list(3, 1, 1.0); }, {kNoOp}},
        {"set_matrix_list(0, 1, 1.0)", [] { set_matrix_list(0, 1, 1.0); }, {kNoOp}},
        {"set_matrix_list(1, 2, 101.5)", [] { set_matrix_list(1, 2, 101.5); }, {kNoOp}},
        {"select_cor_table_list(1, 2)", [] { select_cor_table_list(1, 2); }, {{52, 0x3001, 0x5641, 0}}},
        {"select_cor_table_list(3, 1)", [] { select_cor_table_list(3, 1); }, {{52, 0, 0x3001, 0}}},
        // Trigger: period and both signals in range, else the no-operation entry.
        {"set_trigger(0, 1, 1)", [] { set_trigger(0, 1, 1); }, {kNoOp}},
        {"set_trigger(10, 2, 3)", [] { set_trigger(10, 2, 3); }, {{60, 3, 2, 10}}},
        {"set_trigger(10, 16, 0)", [] { set_trigger(10, 16, 0); }, {kNoOp}},
        {"set_trigger(10, 15, 15)", [] { set_trigger(10, 15, 15); }, {{60, 15, 15, 10}}},
        // Arcs: the sign chooses the opcode; |angle| * 65535 / 360.
        {"arc_abs(0, 0, -90)", [] { arc_abs(0, 0, -90); }, {{64, 0, 0, 16384}}},
        {"arc_abs(0, 0, 0.05)", [] { arc_abs(0, 0, 0.05); }, {kNoOp}},
        {"arc_abs(1, 2, 360)", [] { arc_abs(1, 2, 360); }, {{63, 1, 2, 65535}}},
        {"arc_rel(0, 0, 400)", [] { arc_rel(0, 0, 400); }, {{61, 0, 0, 0xFFFF}}},
        {"arc_rel(5, -6, 90)", [] { arc_rel(5, -6, 90); }, {{61, 5, 0xFFFA, 16384}}},
        {"arc_rel(0, 0, -0.1)", [] { arc_rel(0, 0, -0.1); }, {{62, 0, 0, 18}}},
        // NaN is outside every range: the no-operation entry, or nothing where the command
        // appends nothing for invalid arguments.
        {"set_jump_speed(NaN)", [] { set_jump_speed(kNaN); }, {kNoOp}},
        {"set_mark_speed(NaN)", [] { set_mark_speed(kNaN); }, {kNoOp}},
        {"timed_jump_abs(1, 2, NaN)", [] { timed_jump_abs(1, 2, kNaN); }, {kNoOp}},
        {"timed_mark_abs(1, 2, NaN)", [] { timed_mark_abs(1, 2, kNaN); }, {kNoOp}},
        {"timed_jump_rel(1, 2, NaN)", [] { timed_jump_rel(1, 2, kNaN); }, {kNoOp}},
        {"timed_mark_rel(1, 2, NaN)", [] { timed_mark_rel(1, 2, kNaN); }, {kNoOp}},
        {"set_wobbel(100, NaN)", [] { set_wobbel(100, kNaN); }, {kNoOp}},
        {"set_wobbel_xy(100, 100, NaN)", [] { set_wobbel_xy(100, 100, kNaN); }, {kNoOp}},
        {"set_pixel_line(1, 4, NaN, 0)", [] { set_pixel_line(1, 4, kNaN, 0.0); }, {}},
        {"set_pixel_line(0, 4, 0, NaN)", [] { set_pixel_line(0, 4, 0.0, kNaN); }, {}},
        {"set_matrix_list(1, 1, NaN)", [] { set_matrix_list(1, 1, kNaN); }, {kNoOp}},
        {"arc_rel(1, 2, NaN)", [] { arc_rel(1, 2, kNaN); }, {kNoOp}},
        {"arc_abs(1, 2, NaN)", [] { arc_abs(1, 2, kNaN); }, {kNoOp}},
    };
    for (const PackingCase& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_EQ(appended(c.run), c.expected);
    }
}

// The n_ forms act on the board they name, and the selected-board forms on the selected one.
TEST_F(ListCommandTest, BoardFormsActOnTheirBoard) {
    EXPECT_EQ(appended([] { n_mark_abs_3d(2, 4, 5, 6); }, 2), (std::vector<ListEntry>{{3, 4, 5, 6}}));
    EXPECT_EQ(ctx.slots[1].batch_count, 0);
    ctx.selected_board = 2;
    EXPECT_EQ(appended([] { set_pixel_line(0, 3, -1.0, 0.5); }, 2),
              (std::vector<ListEntry>{{33, 2, 1, 0xFFFF}, {0, 0, 0, 0x8000}}));
    EXPECT_EQ(appended([] { set_wobbel_xy(100, 6000, 100); }, 2), (std::vector<ListEntry>{{49, 200, 1049, 10000}}));
}

TEST_F(ListCommandTest, InvalidBoardAppendsNothing) {
    const std::vector<std::function<void()>> calls = {
        [] { n_jump_abs(0, 1, 2); },
        [] { n_jump_abs(3, 1, 2); },
        [] { n_set_pixel_line(9, 1, 4, 2.0, 0.0); },
        [] { n_set_list_jump(0xFFFF, 5); },
    };
    for (const auto& call : calls) {
        for (std::uint32_t b = 1; b <= 2; ++b) {
            EXPECT_TRUE(appended(call, b).empty());
        }
    }
    ctx.selected_board = 0; // no board was found
    EXPECT_TRUE(appended([] { mark_abs(1, 2); }).empty());
}

// A call that is refused for its board or its arguments never waits for the board's lock, and
// no call leaves the lock held.
TEST_F(ListCommandTest, RefusedCallsDoNotWaitForTheLock) {
    std::promise<void> locked;
    std::promise<void> release;
    std::thread holder([&] {
        std::lock_guard lock(ctx.board_lock[1]);
        locked.set_value();
        release.get_future().wait_for(std::chrono::seconds(5));
    });
    locked.get_future().wait();
    const auto start = std::chrono::steady_clock::now();
    set_pixel_line(1, 0, 1.0, 1.0);
    write_da_x_list(3, 1);
    n_jump_abs(7, 1, 1);
    const auto waited = std::chrono::steady_clock::now() - start;
    release.set_value();
    holder.join();
    EXPECT_LT(waited, std::chrono::seconds(1));

    jump_abs(1, 1);
    set_pixel_line(1, 1, 1.0, 1.0);
    std::async(std::launch::async, [&] {
        EXPECT_TRUE(ctx.board_lock[1].try_lock());
        ctx.board_lock[1].unlock();
    }).wait();
}

} // namespace
} // namespace quarnel
