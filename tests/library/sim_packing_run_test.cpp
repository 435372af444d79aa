// The library packs list commands; the simulated board, whose decoder knows nothing of the
// packing code, executes them. Where both agree the motion file shows the drawing the host
// asked for and the board's timer the time the arguments give.
#include "quarnel4.h"
#include "sim/list_firmware.h"
#include "sim/sim_motion.h"
#include "sim_bus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace quarnel {
namespace {

constexpr std::uint32_t B = 1; // the board every call goes to

class PackedRun {
public:
    PackedRun() : bus("2d"), path_(bus.directory() + "/motion.txt") {
        set_current_context(&bus.ctx);
        auto file = std::make_shared<sim::MotionFile>();
        EXPECT_TRUE(file->open(path_));
        bus.board(1).with_lock([&](sim::SimBoard& board) {
            dynamic_cast<sim::ListFirmware&>(board.firmware()).set_motion_file(file);
        });
    }
    ~PackedRun() { set_current_context(nullptr); }

    // Fills list 1 through `fill`, closes it and runs it to its end.
    void run_list_1(const std::function<void()>& fill) {
        n_set_start_list_1(B);
        fill();
        n_set_end_of_list(B);
        n_execute_list_1(B);
        EXPECT_EQ(n_read_status(B) & 0x30, 0) << "the list ran to its end";
    }

    std::vector<std::string> motion() const {
        std::vector<std::string> lines;
        std::ifstream in(path_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    testing::SimBus bus;

private:
    std::string path_;
};

struct DrawingCase {
    const char* name;
    std::function<void()> fill;
    std::vector<std::string> motion;
};

class PackedDrawing : public ::testing::TestWithParam<DrawingCase> {};

TEST_P(PackedDrawing, BoardDrawsWhatTheHostAskedFor) {
    PackedRun r;
    r.run_list_1(GetParam().fill);
    EXPECT_EQ(r.motion(), GetParam().motion);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PackedDrawing,
    ::testing::Values(
        DrawingCase{"ThreeDimensionsAndTheFieldEdges",
                    [] {
                        n_jump_abs_3d(B, -32768, 32767, -5);
                        n_mark_abs_3d(B, 32767, -32768, 7);
                        n_jump_rel_3d(B, -1, 1, -2);
                        n_z_out_list(B, -300);
                        n_mark_rel(B, -10, 0);
                    },
                    {"JUMP -32768 32767 -5", "MARK 32767 -32768 7", "JUMP 32766 -32767 5",
                     "MARK 32756 -32767 -300"}},
        DrawingCase{"ListJumpCallAndReturn",
                    [] {
                        // list 1: call a subroutine placed behind a jump, then end
                        const auto start = static_cast<std::int32_t>(n_get_input_pointer(B));
                        n_list_call(B, start + 3);
                        n_jump_abs(B, 9, 9);
                        n_set_list_jump(B, start + 5);
                        n_jump_abs(B, 1, 1);         // start + 3: the subroutine
                        n_list_return(B);
                        n_mark_abs(B, 2, 2);         // start + 5
                    },
                    {"JUMP 1 1 0", "JUMP 9 9 0", "MARK 2 2 0"}},
        DrawingCase{"ConditionOnQuietInputs",
                    [] {
                        const auto start = static_cast<std::int32_t>(n_get_input_pointer(B));
                        n_list_jump_cond(B, 0x0001, 0, start + 3); // input 0 is low: no jump
                        n_list_jump_cond(B, 0, 0x0001, start + 4); // ... so this one jumps
                        n_jump_abs(B, 5, 5);
                        n_jump_abs(B, 6, 6);                       // start + 3
                        n_jump_abs(B, 7, 7);                       // start + 4
                    },
                    {"JUMP 7 7 0"}},
        DrawingCase{"MatrixAndOffsetEntries",
                    [] {
                        n_set_matrix_list(B, 1, 1, 2.0);
                        n_set_matrix_list(B, 2, 2, -0.5);
                        n_set_offset_list(B, 10, 20);
                        n_jump_abs(B, 100, 100);
                        n_set_matrix_list(B, 3, 1, 1.0); // out of range: a no-operation entry
                    },
                    {"JUMP 210 -30 0"}},
        DrawingCase{"PixelLineEntriesStayTogether",
                    [] {
                        n_set_pixel_line(B, 1, 4, 2.0, 0.0);
                        n_jump_abs(B, 3, 4);
                    },
                    {"JUMP 3 4 0"}}),
    [](const ::testing::TestParamInfo<DrawingCase>& info) { return std::string(info.param.name); });

TEST(PackedDrawing, ArcsEndWhereTheAnglesSay) {
    PackedRun r;
    r.run_list_1([] {
        n_jump_abs(B, 100, 0);
        n_arc_abs(B, 0, 0, 90.0);
        n_arc_rel(B, 0, -50, -180.0);
    });
    const std::vector<std::string> lines = r.motion();
    ASSERT_EQ(lines.size(), 1u + 18 + 36);
    EXPECT_EQ(lines[18], "MARK 0 100 0");
    EXPECT_EQ(lines.back(), "MARK 0 0 0");
}

struct TimingCase {
    const char* name;
    std::function<void()> fill;
    std::uint32_t ticks; // 10 us
};

class PackedTiming : public ::testing::TestWithParam<TimingCase> {};

TEST_P(PackedTiming, BoardTimerMeasuresWhatTheArgumentsGive) {
    PackedRun r;
    r.run_list_1([&] {
        n_save_and_restart_timer(B);
        GetParam().fill();
        n_save_and_restart_timer(B);
    });
    EXPECT_NEAR(n_get_time(B), GetParam().ticks * 0.00001, 0.000015);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PackedTiming,
    ::testing::Values(
        TimingCase{"JumpAndMarkSpeeds",
                   [] {
                       n_set_jump_speed(B, 500.0);   // 1000 bits: 2 ms
                       n_set_mark_speed(B, 250.0);   // 1000 bits: 4 ms
                       n_jump_abs(B, 1000, 0);
                       n_mark_abs(B, 1000, 1000);
                   },
                   600},
        TimingCase{"SlowestSpeedIsClamped",
                   [] {
                       n_set_mark_speed(B, 0.01); // taken as 0.9 Bit/ms: 9 bits take 10 ms
                       n_mark_abs(B, 9, 0);
                   },
                   1000},
        TimingCase{"ScannerDelays",
                   [] {
                       n_set_scanner_delays(B, 10, 20, 5);
                       n_timed_jump_rel(B, 1, 0, 100.0);  // 10 ticks, then the jump delay
                       n_timed_mark_abs(B, 2, 0, 100.0);  // 10 ticks
                       n_timed_mark_abs(B, 3, 0, 100.0);  // polygon delay, 10 ticks
                       n_timed_jump_rel(B, 1, 0, 100.0);  // mark delay, 10 ticks, jump delay
                   },
                   10 + 10 + 10 + 5 + 10 + 20 + 10 + 10},
        TimingCase{"TimedMovesRoundHalvesToEven",
                   [] {
                       n_timed_mark_abs(B, 0, 0, 15.0); // 1.5 ticks: 2
                       n_timed_mark_abs(B, 0, 0, 25.0); // 2.5 ticks: 2
                       n_timed_mark_abs(B, 0, 0, 5.0);  // below 10 us: 1
                   },
                   2 + 2 + 1},
        TimingCase{"LongDelayAndLaserOn",
                   [] {
                       n_long_delay(B, 65000);
                       n_laser_on_list(B, 250);
                   },
                   65000 + 250}),
    [](const ::testing::TestParamInfo<TimingCase>& info) { return std::string(info.param.name); });

TEST(PackedOutputs, PortsAndAnalogOutputsReachTheBoard) {
    PackedRun r;
    r.run_list_1([] {
        n_write_8bit_port_list(B, 0xA5);
        n_write_da_1_list(B, 5000);
        n_write_io_port_list(B, 0x0F00);
        n_set_io_cond_list(B, 0, 0, 0x0001);
    });
    r.bus.board(1).with_lock([](sim::SimBoard& board) {
        const auto& out =
            dynamic_cast<sim::ListFirmware&>(board.firmware()).executor().outputs();
        EXPECT_EQ(out.port_8bit, 0xA5);
        EXPECT_EQ(out.analog[0], 1023);
        EXPECT_EQ(out.io_port, 0x0F01);
    });
}

TEST(PackedOutputs, Lists1And2ChainAcrossTheHalves) {
    PackedRun r;
    n_set_start_list_2(B);
    n_jump_abs(B, 22, 22);
    n_set_end_of_list(B);
    r.run_list_1([] {
        n_jump_abs(B, 11, 11);
        n_set_list_jump(B, 500000);
    });
    EXPECT_EQ(r.motion(), (std::vector<std::string>{"JUMP 11 11 0", "JUMP 22 22 0"}));
}

} // namespace
} // namespace quarnel
